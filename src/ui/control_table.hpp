// The window designs are data: one FormSpec and a table of ControlSpec rows per
// window, applied by our small Win32 controls layer. Sizes are pixels at 96 DPI.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

namespace tervalon::ui {

// 32-bit colour value: red in the low byte, then green, then blue.
using Color = std::uint32_t;

constexpr Color Rgb(unsigned red, unsigned green, unsigned blue)
{
    return static_cast<Color>(red | (green << 8) | (blue << 16));
}
constexpr unsigned RedOf(Color c) { return c & 0xFF; }
constexpr unsigned GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr unsigned BlueOf(Color c) { return (c >> 16) & 0xFF; }

inline constexpr Color White = Rgb(255, 255, 255);
inline constexpr Color PureRed = 255;
// Not a colour value but "the system's window-text colour" (normally black).
inline constexpr Color WindowTextColor = 0x80000008;

struct Rect {
    int left = 0, top = 0, width = 0, height = 0;
    constexpr int right() const { return left + width; }
    constexpr int bottom() const { return top + height; }
    friend constexpr bool operator==(const Rect&, const Rect&) = default;
};

enum class ControlKind : std::uint8_t { Label, Button, Panel, GradientPanel, Image };
enum class TextAlign : std::uint8_t { Left, Center };
enum class GradientDirection : std::uint8_t { TopToBottom, BottomToTop, LeftToRight, RightToLeft };

// Character height in pixels (not point size); an empty face means the form's font.
struct FontSpec {
    std::string_view face{};
    int height = 0;
    bool bold = false;
};

// A band blend from `from` at the start edge of `direction` to `to` at its end
// edge: BottomToTop starts at the bottom, RightToLeft at the right.
struct GradientSpec {
    Color from = 0, to = 0;
    int count = 64;
    GradientDirection direction = GradientDirection::TopToBottom;
};

inline constexpr int NoParent = -1;

// A control's child-window identifier is this plus its row in the table, so
// that outside tools can tell the controls apart.
inline constexpr int ControlIdBase = 100;

struct ControlSpec {
    std::string_view name;
    ControlKind kind = ControlKind::Label;
    int parent = NoParent;        // row of the containing panel, or the form itself
    Rect bounds{};                // within the parent's client area
    std::string_view text{};      // caption, label text, or the picture's resource name
    FontSpec font{};
    Color textColor = WindowTextColor;
    TextAlign align = TextAlign::Left;
    bool autoWidth = false;       // a label as wide as its text
    bool wordWrap = false;        // labels are single-line unless this is set
    bool visible = true;
    Color color = 0;              // panel background
    bool raisedBevel = false;     // panel: one-pixel raised edge
    GradientSpec gradient{};      // gradient panel
    int modalResult = 0;          // button: result it gives a modal window
    int tabOrder = -1;            // button: place in the keyboard order
    bool handCursor = false;
};

enum class FrameStyle : std::uint8_t {
    SingleNoTitleButtons,  // single border, caption, no system menu or buttons
    DialogWithCloseBox,    // fixed dialog frame, caption with only a close box
};

struct FormSpec {
    std::string_view className;
    std::string_view caption;
    int clientWidth = 0, clientHeight = 0;
    Color background = 0;
    FontSpec font{};
    FrameStyle frame = FrameStyle::SingleNoTitleButtons;
    bool topmost = false;
    bool keyPreview = false;
};

// A control's place within the form's client area, adding up its parents.
constexpr Rect AbsoluteBounds(std::span<const ControlSpec> controls, int index)
{
    Rect r = controls[static_cast<std::size_t>(index)].bounds;
    for (int p = controls[static_cast<std::size_t>(index)].parent; p != NoParent;
         p = controls[static_cast<std::size_t>(p)].parent) {
        r.left += controls[static_cast<std::size_t>(p)].bounds.left;
        r.top += controls[static_cast<std::size_t>(p)].bounds.top;
    }
    return r;
}

// The mnemonic letter of a caption ("&Da" gives 'D'), upper case; 0 when none.
constexpr char MnemonicOf(std::string_view caption)
{
    for (std::size_t i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != '&') continue;
        const char c = caption[i + 1];
        if (c == '&') { ++i; continue; }
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    }
    return 0;
}

}  // namespace tervalon::ui
