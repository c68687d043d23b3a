// The message dialog as designed: a header band with the kind's picture and the
// title, the body text, and a footer band carrying up to four buttons. The
// message kinds and the buttons are tables of rows as well.
#pragma once

#include <array>
#include <cstdint>

#include "ui/control_table.hpp"

namespace tervalon::ui::message {

// Rows of the control table, also the controls' child-window identifiers
// (ControlIdBase + row), in the order of the dialog's components.
enum Row : int {
    GradientPanel1, Image1, GradientPanel2, Label1, Image2, Image3, Image4, Image5,
    BE1, BE2, BE3, BE4, EroText, RowCount
};

inline constexpr Color DialogColor = 15724527;  // light grey, 0xEFEFEF
inline constexpr Color Black = Rgb(0, 0, 0);
inline constexpr FontSpec SansSerif8{"MS Sans Serif", 11, false};

inline constexpr int ClientWidth = 339;
inline constexpr int ClientHeight = 171;
inline constexpr int HeaderHeight = 49;
inline constexpr int FooterTop = 129;
inline constexpr int FooterHeight = ClientHeight - FooterTop;  // 42
inline constexpr int ButtonTop = 138;
inline constexpr int ButtonWidth = 72;
inline constexpr int ButtonHeight = 25;
inline constexpr int PictureSize = 32;

// Bitmap resources holding the four kind pictures.
inline constexpr std::string_view InformationPicture = "MSGINFORMATION";
inline constexpr std::string_view ConfirmationPicture = "MSGCONFIRMATION";
inline constexpr std::string_view WarningPicture = "MSGWARNING";
inline constexpr std::string_view ErrorPicture = "MSGERROR";

// One message kind: what the dialog looks like and whether it beeps.
struct KindRow {
    std::string_view caption;
    int pictureRow;   // the hidden image that stores the kind's picture
    Color colorFrom;  // right end of both bands
    Color colorTo;    // left end of both bands
    bool beep;
};

enum class MessageKind : std::uint8_t { Warning = 0, Error = 1, Information = 2, Confirmation = 3 };

// Indexed by MessageKind; every other value is treated as Error.
inline constexpr std::array<KindRow, 4> Kinds{{
    {"Atentie !", Image4, Rgb(183, 177, 138), Rgb(56, 54, 35), false},
    {"Eroare", Image5, Rgb(255, 213, 213), Rgb(255, 0, 0), true},
    {"Informatie", Image2, Rgb(225, 222, 250), Rgb(0, 0, 187), false},
    {"Confirmare", Image3, Rgb(129, 162, 211), Rgb(54, 95, 156), false},
}};

// Members of the 16-bit button set; the bits above these four are ignored.
enum ButtonBit : std::uint16_t { Yes = 1u << 0, No = 1u << 1, Ok = 1u << 2, Cancel = 1u << 3 };

struct ButtonRow {
    int row;
    std::uint16_t bit;
};

// The order in which the buttons are visited and placed, left to right.
inline constexpr std::array<ButtonRow, 4> Buttons{{{BE1, Yes}, {BE2, No}, {BE3, Cancel}, {BE4, Ok}}};

inline constexpr FormSpec Form{
    .className = "TervalonMessageDialog",
    .caption = "Erori",
    .clientWidth = ClientWidth,
    .clientHeight = ClientHeight,
    .background = DialogColor,
    .font = SansSerif8,
    .frame = FrameStyle::DialogWithCloseBox,
    .topmost = true,
    .keyPreview = true,
};

// Both bands blend from ColorTo at the left edge to ColorFrom at the right in
// 64 steps; the design shows the warning colours until a call sets its own.
inline constexpr GradientSpec BandGradient{.from = Kinds[0].colorFrom, .to = Kinds[0].colorTo, .count = 64,
                                           .direction = GradientDirection::RightToLeft};

constexpr ControlSpec StoredPicture(std::string_view name, std::string_view resource)
{
    return {.name = name, .kind = ControlKind::Image, .parent = GradientPanel1,
            .bounds = {8, 8, PictureSize, PictureSize}, .text = resource, .visible = false};
}

// The buttons lie on the footer band (top 138 in the dialog is 9 within it).
constexpr ControlSpec DialogButton(std::string_view name, std::string_view caption, int designLeft, int result,
                                   int tabOrder)
{
    return {.name = name, .kind = ControlKind::Button, .parent = GradientPanel2,
            .bounds = {designLeft, ButtonTop - FooterTop, ButtonWidth, ButtonHeight}, .text = caption,
            .modalResult = result, .tabOrder = tabOrder, .handCursor = true};
}

// The title and the pictures are children of the header band so that they are
// drawn over it. The caption, the title, the body text and Image1's picture
// are replaced by every call before the dialog is shown.
inline constexpr std::array<ControlSpec, RowCount> Controls{{
    {.name = "GradientPanel1", .kind = ControlKind::GradientPanel, .bounds = {0, 0, ClientWidth, HeaderHeight},
     .gradient = BandGradient},
    {.name = "Image1", .kind = ControlKind::Image, .parent = GradientPanel1,
     .bounds = {8, 8, PictureSize, PictureSize}},
    {.name = "GradientPanel2", .kind = ControlKind::GradientPanel,
     .bounds = {0, FooterTop, ClientWidth, FooterHeight}, .gradient = BandGradient},
    {.name = "Label1", .kind = ControlKind::Label, .parent = GradientPanel1, .bounds = {48, 16, 0, 16},
     .text = "Label1", .font = {"Arial", 13, true}, .textColor = White, .autoWidth = true},
    StoredPicture("Image2", InformationPicture),
    StoredPicture("Image3", ConfirmationPicture),
    StoredPicture("Image4", WarningPicture),
    StoredPicture("Image5", ErrorPicture),
    DialogButton("BE1", "&Da", 9, 6, 0),
    DialogButton("BE2", "&Nu", 89, 7, 1),
    DialogButton("BE3", "&Renunt", 169, 2, 2),
    DialogButton("BE4", "&OK", 249, 1, 3),
    {.name = "EroText", .kind = ControlKind::Label, .bounds = {8, 56, 321, 65}, .text = "EroText",
     .font = {"MS Sans Serif", 11, true}, .textColor = Black, .align = TextAlign::Center, .wordWrap = true},
}};

}  // namespace tervalon::ui::message
