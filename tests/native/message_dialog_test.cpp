#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <vector>

#include "ui/message_dialog_design.hpp"
#include "ui/message_plan.hpp"

using namespace tervalon::ui;
using namespace tervalon::ui::message;

namespace {

const ControlSpec& Spec(int row) { return Controls[static_cast<std::size_t>(row)]; }

TEST(MessageKinds, EachValueGetsItsRow)
{
    struct Case {
        std::uint8_t kind;
        const char* caption;
        int picture;
        Color from, to;
        bool beep;
    };
    const Case cases[] = {
        {0, "Atentie !", Image4, 9089463, 2307640, false},
        {1, "Eroare", Image5, 14013951, 255, true},
        {2, "Informatie", Image2, 16441057, 12255232, false},
        {3, "Confirmare", Image3, 13869697, 10247990, false},
        {4, "Eroare", Image5, 14013951, 255, true},
        {255, "Eroare", Image5, 14013951, 255, true},
    };
    for (const Case& c : cases) {
        const KindRow& row = PlanMessage(c.kind, Ok).kind;
        EXPECT_EQ(row.caption, c.caption) << int(c.kind);
        EXPECT_EQ(row.pictureRow, c.picture) << int(c.kind);
        EXPECT_EQ(row.colorFrom, c.from) << int(c.kind);
        EXPECT_EQ(row.colorTo, c.to) << int(c.kind);
        EXPECT_EQ(row.beep, c.beep) << int(c.kind);
    }
}

// The lefts of BE1..BE4, nullopt for a hidden button.
using Lefts = std::array<std::optional<int>, 4>;

Lefts LeftsOf(const MessagePlan& plan)
{
    Lefts lefts;
    for (std::size_t i = 0; i < plan.buttons.size(); ++i)
        if (plan.buttons[i].visible) lefts[i] = plan.buttons[i].left;
    return lefts;
}

TEST(MessageButtons, VisibleButtonsAreSpreadEvenlyInTheirFixedOrder)
{
    constexpr std::nullopt_t none = std::nullopt;
    struct Case {
        std::uint16_t buttons;
        Lefts lefts;
    };
    const Case cases[] = {
        {Yes, {134, none, none, none}},
        {Ok, {none, none, none, 134}},           // Ok is BE4
        {Cancel, {none, none, 134, none}},       // Cancel is BE3
        {Ok | Cancel, {none, none, 65, 203}},    // "&Renunt" left of "&OK"
        {Yes | No, {65, 203, none, none}},
        {Yes | No | Cancel, {30, 133, 236, none}},  // gap 30.75 truncates to 30
        {No | Cancel | Ok, {none, 30, 133, 236}},
        {Yes | No | Ok | Cancel, {10, 93, 176, 259}},
        {0xFFFC, {none, none, 65, 203}},  // the bits above the four are ignored
    };
    for (const Case& c : cases) {
        const MessagePlan plan = PlanMessage(0, c.buttons);
        EXPECT_TRUE(plan.shown) << c.buttons;
        EXPECT_EQ(LeftsOf(plan), c.lefts) << c.buttons;
        for (std::size_t i = 0; i < plan.buttons.size(); ++i)
            EXPECT_EQ(plan.buttons[i].row, BE1 + static_cast<int>(i));
    }
}

TEST(MessageButtons, GapIsTruncatedNotRounded)
{
    EXPECT_EQ(ButtonGap(1), 134);  // 134.5
    EXPECT_EQ(ButtonGap(2), 65);   // 65.33
    EXPECT_EQ(ButtonGap(3), 30);   // 30.75
    EXPECT_EQ(ButtonGap(4), 10);   // 10.0
}

TEST(MessageButtons, FourButtonsEndEightShortOfTheRightEdge)
{
    const MessagePlan plan = PlanMessage(0, 0x000F);
    EXPECT_EQ(plan.buttons.back().left + ButtonWidth, 331);
    EXPECT_EQ(ClientWidth - 331, 8);
}

TEST(MessageButtons, WithoutAnyOfTheFourBitsNothingIsShown)
{
    for (const std::uint16_t buttons : {std::uint16_t{0}, std::uint16_t{0xFFF0}, std::uint16_t{0x0010}}) {
        for (const std::uint8_t kind : {std::uint8_t{0}, std::uint8_t{1}}) {
            const MessagePlan plan = PlanMessage(kind, buttons);
            EXPECT_FALSE(plan.shown) << buttons;
            EXPECT_EQ(plan.visibleCount, 0);
            for (const ButtonPlan& button : plan.buttons) EXPECT_FALSE(button.visible);
            // The error still beeps although nothing is shown.
            EXPECT_EQ(plan.kind.beep, kind == 1);
        }
    }
}

TEST(MessageDialogDesign, ButtonsCarryCaptionResultAndTabOrder)
{
    struct Case {
        int row;
        const char* caption;
        char mnemonic;
        int result;
        int tabOrder;
        int designLeft;
    };
    const Case cases[] = {
        {BE1, "&Da", 'D', 6, 0, 9},
        {BE2, "&Nu", 'N', 7, 1, 89},
        {BE3, "&Renunt", 'R', 2, 2, 169},
        {BE4, "&OK", 'O', 1, 3, 249},
    };
    for (const Case& c : cases) {
        const ControlSpec& button = Spec(c.row);
        EXPECT_EQ(button.kind, ControlKind::Button);
        EXPECT_EQ(button.text, c.caption);
        EXPECT_EQ(MnemonicOf(button.text), c.mnemonic);
        EXPECT_EQ(button.modalResult, c.result);
        EXPECT_EQ(button.tabOrder, c.tabOrder);
        EXPECT_TRUE(button.handCursor);
        EXPECT_TRUE(button.visible);
        // On the footer band, at top 138 of the dialog.
        EXPECT_EQ(button.parent, GradientPanel2);
        EXPECT_EQ(AbsoluteBounds(Controls, c.row), (Rect{c.designLeft, 138, 72, 25}));
    }
    // The placement moves a button within its parent: the footer must start at
    // the dialog's left edge for its lefts to be the dialog's.
    EXPECT_EQ(Spec(GradientPanel2).bounds.left, 0);
}

TEST(MessageDialogDesign, BandsFillTheTopAndTheBottomEdge)
{
    const Rect header = AbsoluteBounds(Controls, GradientPanel1);
    const Rect footer = AbsoluteBounds(Controls, GradientPanel2);
    EXPECT_EQ(header, (Rect{0, 0, 339, 49}));
    EXPECT_EQ(footer, (Rect{0, 129, 339, 42}));
    EXPECT_EQ(footer.bottom(), Form.clientHeight);
    EXPECT_EQ(header.width, Form.clientWidth);
    for (const int band : {GradientPanel1, GradientPanel2}) {
        const GradientSpec& g = Spec(band).gradient;
        EXPECT_EQ(Spec(band).kind, ControlKind::GradientPanel);
        EXPECT_EQ(g.count, 64);
        EXPECT_EQ(g.direction, GradientDirection::RightToLeft);
        EXPECT_EQ(g.from, 9089463u);  // the warning's colours
        EXPECT_EQ(g.to, 2307640u);
    }
}

TEST(MessageDialogDesign, TitleAndPicturesLieOnTheHeader)
{
    const ControlSpec& title = Spec(Label1);
    EXPECT_EQ(title.parent, GradientPanel1);
    EXPECT_EQ(AbsoluteBounds(Controls, Label1).left, 48);
    EXPECT_EQ(AbsoluteBounds(Controls, Label1).top, 16);
    EXPECT_TRUE(title.autoWidth);
    EXPECT_FALSE(title.wordWrap);
    EXPECT_EQ(title.font.face, "Arial");
    EXPECT_EQ(title.font.height, 13);
    EXPECT_TRUE(title.font.bold);
    EXPECT_EQ(title.textColor, White);

    EXPECT_EQ(Spec(Image1).parent, GradientPanel1);
    EXPECT_TRUE(Spec(Image1).visible);
    EXPECT_EQ(AbsoluteBounds(Controls, Image1), (Rect{8, 8, 32, 32}));

    // The stored pictures: hidden, each its own bitmap resource.
    std::set<std::string_view> resources;
    for (const int row : {Image2, Image3, Image4, Image5}) {
        EXPECT_EQ(Spec(row).kind, ControlKind::Image);
        EXPECT_FALSE(Spec(row).visible);
        EXPECT_EQ(Spec(row).bounds.width, 32);
        EXPECT_EQ(Spec(row).bounds.height, 32);
        EXPECT_FALSE(Spec(row).text.empty());
        resources.insert(Spec(row).text);
    }
    EXPECT_EQ(resources.size(), 4u);
    EXPECT_EQ(Spec(Image2).text, InformationPicture);
    EXPECT_EQ(Spec(Image3).text, ConfirmationPicture);
    EXPECT_EQ(Spec(Image4).text, WarningPicture);
    EXPECT_EQ(Spec(Image5).text, ErrorPicture);
}

TEST(MessageDialogDesign, BodyTextIsACentredWrappedBoldBox)
{
    const ControlSpec& text = Spec(EroText);
    EXPECT_EQ(text.parent, NoParent);
    EXPECT_EQ(text.bounds, (Rect{8, 56, 321, 65}));
    EXPECT_EQ(text.align, TextAlign::Center);
    EXPECT_TRUE(text.wordWrap);
    EXPECT_FALSE(text.autoWidth);
    EXPECT_EQ(text.font.face, "MS Sans Serif");
    EXPECT_EQ(text.font.height, 11);
    EXPECT_TRUE(text.font.bold);
    EXPECT_EQ(text.textColor, Black);
    // Between the header and the footer.
    EXPECT_GE(text.bounds.top, Spec(GradientPanel1).bounds.bottom());
    EXPECT_LE(text.bounds.bottom(), Spec(GradientPanel2).bounds.top);
}

TEST(MessageDialogDesign, WindowIsATopmostDialogWithKeyPreview)
{
    EXPECT_EQ(Form.className, "TervalonMessageDialog");
    EXPECT_EQ(Form.clientWidth, 339);
    EXPECT_EQ(Form.clientHeight, 171);
    EXPECT_EQ(Form.background, 15724527u);
    EXPECT_EQ(Form.frame, FrameStyle::DialogWithCloseBox);
    EXPECT_TRUE(Form.topmost);
    EXPECT_TRUE(Form.keyPreview);
    EXPECT_EQ(Form.font.face, "MS Sans Serif");
    EXPECT_EQ(Form.font.height, 11);
    std::vector<std::string_view> names;
    for (const ControlSpec& c : Controls) names.push_back(c.name);
    EXPECT_EQ(names, (std::vector<std::string_view>{"GradientPanel1", "Image1", "GradientPanel2", "Label1", "Image2",
                                                     "Image3", "Image4", "Image5", "BE1", "BE2", "BE3", "BE4",
                                                     "EroText"}));
}

}  // namespace
