// The status window as designed: title line, four status lines and the OK bar.
#pragma once

#include <array>

#include "ui/control_table.hpp"

namespace tervalon::ui::status {

// Rows of the control table, also the controls' child-window identifiers
// (ControlIdBase + row), so that outside tools can tell them apart.
enum Row : int { Label1, Linia1, Linia2, Linia3, Linia4, Panel1, GradientPanel1, Button1, RowCount };

inline constexpr Color WindowColor = 14675694;  // red 238, green 238, blue 223
inline constexpr FontSpec SansSerif8{"MS Sans Serif", 11, false};

inline constexpr FormSpec Form{
    .className = "TervalonStatusWindow",
    .caption = "Actualizare",
    .clientWidth = 377,
    .clientHeight = 182,
    .background = WindowColor,
    .font = SansSerif8,
    .frame = FrameStyle::SingleNoTitleButtons,
    .topmost = true,
    .keyPreview = false,
};

constexpr ControlSpec StatusLine(std::string_view name, std::string_view designText, int top, bool bold)
{
    return {.name = name, .kind = ControlKind::Label, .bounds = {24, top, 0, 16}, .text = designText,
            .font = {"Arial", 13, bold}, .autoWidth = true};
}

// The OK button lies on Panel1 at 144, 8; it is held by the gradient that fills
// the panel inside its bevel, so that it is drawn over the gradient.
inline constexpr std::array<ControlSpec, RowCount> Controls{{
    {.name = "Label1", .kind = ControlKind::Label, .bounds = {8, 8, 361, 22}, .text = "",
     .font = {"Arial", 16, true}, .align = TextAlign::Center},
    StatusLine("Linia1", "Linia 1", 48, false),
    StatusLine("Linia2", "Linia 2", 64, false),
    StatusLine("Linia3", "Linia 3", 80, false),
    StatusLine("Linia4", "Linia 4", 96, true),
    {.name = "Panel1", .kind = ControlKind::Panel, .bounds = {0, 141, 377, 41}, .color = White,
     .raisedBevel = true},
    {.name = "GradientPanel1", .kind = ControlKind::GradientPanel, .parent = Panel1,
     .bounds = {1, 1, 375, 39},
     .gradient = {.from = WindowColor, .to = White, .count = 64, .direction = GradientDirection::BottomToTop}},
    {.name = "Button1", .kind = ControlKind::Button, .parent = GradientPanel1, .bounds = {143, 7, 81, 25},
     .text = "OK", .tabOrder = 0, .handCursor = true},
}};

}  // namespace tervalon::ui::status
