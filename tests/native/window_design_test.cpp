#include <gtest/gtest.h>

#include "ui/error_text.hpp"
#include "ui/gradient.hpp"
#include "ui/status_texts.hpp"
#include "ui/status_window_design.hpp"

using namespace tervalon;
using namespace tervalon::ui;

namespace {

TEST(StatusWindowDesign, StatusLinesStandInTheirOwnRows)
{
    const int tops[] = {48, 64, 80, 96};
    for (int i = 0; i < 4; ++i) {
        const ControlSpec& line = status::Controls[static_cast<std::size_t>(status::Linia1 + i)];
        EXPECT_EQ(AbsoluteBounds(status::Controls, status::Linia1 + i), (Rect{24, tops[i], 0, 16}));
        EXPECT_TRUE(line.autoWidth);
        EXPECT_FALSE(line.wordWrap);
        EXPECT_EQ(line.font.face, "Arial");
        EXPECT_EQ(line.font.height, 13);
        EXPECT_EQ(line.font.bold, i == 3);  // only line 4 is bold
    }
}

TEST(StatusWindowDesign, OkButtonLiesOnTheBottomBar)
{
    const Rect panel = AbsoluteBounds(status::Controls, status::Panel1);
    const Rect button = AbsoluteBounds(status::Controls, status::Button1);
    EXPECT_EQ(panel, (Rect{0, 141, 377, 41}));
    EXPECT_EQ(panel.bottom(), status::Form.clientHeight);
    EXPECT_EQ((Rect{button.left - panel.left, button.top - panel.top, button.width, button.height}),
              (Rect{144, 8, 81, 25}));
    // The gradient fills the panel inside its one-pixel bevel.
    EXPECT_EQ(AbsoluteBounds(status::Controls, status::GradientPanel1), (Rect{1, 142, 375, 39}));
}

TEST(StatusWindowDesign, TitleLineIsCentredBoldArial)
{
    const ControlSpec& title = status::Controls[status::Label1];
    EXPECT_EQ(title.bounds, (Rect{8, 8, 361, 22}));
    EXPECT_EQ(title.align, TextAlign::Center);
    EXPECT_EQ(title.font.height, 16);
    EXPECT_TRUE(title.font.bold);
    EXPECT_EQ(TitleLine("Tervalon", 10098, '.'), "Actualizare Tervalon la ver.1.0098");
}

TEST(Gradient, BottomToTopRunsFromWhiteAtTheTopToTheWindowColour)
{
    const GradientSpec spec = status::Controls[status::GradientPanel1].gradient;
    const auto bands = GradientBands(spec, 375, 39);
    ASSERT_FALSE(bands.empty());
    int covered = 0;
    const Band* top = &bands.front();
    const Band* bottom = &bands.front();
    for (const Band& band : bands) {
        covered += band.area.height;
        EXPECT_EQ(band.area.width, 375);
        if (band.area.top < top->area.top) top = &band;
        if (band.area.bottom() > bottom->area.bottom()) bottom = &band;
    }
    EXPECT_EQ(covered, 39);  // fewer pixels than bands: no band overlaps or is lost
    EXPECT_EQ(top->color, White);
    EXPECT_EQ(top->area.top, 0);
    EXPECT_EQ(bottom->color, status::WindowColor);
    EXPECT_EQ(bottom->area.bottom(), 39);
}

TEST(Gradient, RightToLeftHasSixtyFourStepsFromLeftToRight)
{
    const GradientSpec spec{.from = Rgb(183, 177, 138), .to = Rgb(56, 54, 35), .count = 64,
                            .direction = GradientDirection::RightToLeft};
    const auto bands = GradientBands(spec, 339, 49);
    ASSERT_EQ(bands.size(), 64u);
    const Band* left = &bands.front();
    const Band* right = &bands.front();
    for (const Band& band : bands) {
        if (band.area.left < left->area.left) left = &band;
        if (band.area.right() > right->area.right()) right = &band;
    }
    EXPECT_EQ(left->area.left, 0);
    EXPECT_EQ(left->color, spec.to);
    EXPECT_EQ(right->area.right(), 339);
    EXPECT_EQ(right->color, spec.from);
}

TEST(ErrorBox, FullStopOnlyAfterCharactersAboveThePoint)
{
    struct Case { const char* message; const char* shown; };
    const Case cases[] = {
        {"Nu pot crea fisierul", "Nu pot crea fisierul."},
        {"cod 5", "cod 5."},
        {"Gata.", "Gata."},
        {"Atentie!", "Atentie!"},
        {"(C:\\x)", "(C:\\x)"},
        {"a/", "a/."},  // "/" comes after "."
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(ErrorBoxText(c.message), c.shown) << c.message;
}

TEST(Mnemonics, LetterAfterTheAmpersand)
{
    EXPECT_EQ(MnemonicOf("&Da"), 'D');
    EXPECT_EQ(MnemonicOf("&Renunt"), 'R');
    EXPECT_EQ(MnemonicOf("OK"), 0);
    EXPECT_EQ(MnemonicOf("A&&B"), 0);
}

}  // namespace
