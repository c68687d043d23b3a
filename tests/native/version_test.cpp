#include <gtest/gtest.h>

#include <ostream>
#include <string>

#include "update/release_profile.hpp"
#include "update/version.hpp"

using namespace tervalon;

namespace {

struct WorkedExample {
    std::string text;
    std::string shown;
    bool installed;
    bool updateDue;  // offered 1.0098
    friend void PrintTo(const WorkedExample& example, std::ostream* out) { *out << '"' << example.text << '"'; }
};

// The version rules on the texts an installation record may hold.
const WorkedExample WorkedExamples[] = {
    {"1.0097", "1.0097", true, true},
    {"1.0098", "1.0098", true, false},
    {"1.0099", "1.0099", true, false},
    {"1,0097", "1.0097", true, true},
    {" 1.0097\t", "1.0097", true, true},
    {"1 0097", "1.0097", true, true},
    {"01.0097", "1.0097", true, true},
    {"1.1", "1.1000", true, false},
    {"1.00970", "1.0097", true, true},
    {"1.0001", "1.0001", true, true},
    {"1", "1.0000", false, true},
    {"1.0000", "1.0000", false, true},
    {"1.", "1.0000", false, true},
    {".5", "0.5000", false, true},
    {"10098", "10098.0000", true, false},
    {"1e3", "1.3000", true, false},
    {"1.00975", "0.0000", false, true},
    {"v1.0097", "0.0000", false, true},
    {"-1.0097", "0.0000", false, true},
    {"1.0097 beta", "0.0000", false, true},
    {"1.0.97", "0.0000", false, true},
    {"", "0.0000", false, true},
    {".", "0.0000", false, true},
};

class VersionWorkedExample : public testing::TestWithParam<WorkedExample> {};

TEST_P(VersionWorkedExample, ReadsShowsAndCompares)
{
    const WorkedExample& example = GetParam();
    const VersionValue value = ParseVersionText(example.text);
    EXPECT_EQ(FormatVersion(value), example.shown);
    EXPECT_EQ(IsInstalled(value), example.installed);
    EXPECT_EQ(IsUpdateDue(10098, value), example.updateDue);
}

INSTANTIATE_TEST_SUITE_P(Table, VersionWorkedExample, testing::ValuesIn(WorkedExamples));

TEST(Version, SixtyFourBitBoundsAreExact)
{
    EXPECT_EQ(ParseVersionText("922337203685477.5807"), INT64_MAX);
    EXPECT_EQ(ParseVersionText("922337203685477.5808"), 0);
    EXPECT_EQ(ParseVersionText("922337203685478"), 0);
    // The same digits without a separator are multiplied by 10000 and overflow.
    EXPECT_EQ(ParseVersionText("9223372036854775807"), 0);
    EXPECT_EQ(ParseVersionText("0000000000000000000000001.0097"), 10097);
    EXPECT_EQ(ParseVersionText("1.0000000000000000000000000"), 10000);
    EXPECT_EQ(FormatVersion(INT64_MAX), "922337203685477.5807");
    EXPECT_EQ(FormatVersion(10098LL * 10000), "10098.0000");
}

TEST(Version, ZerosAfterTheFourthDecimalAreAccepted)
{
    EXPECT_EQ(ParseVersionText("1.0097000000000000"), 10097);
    EXPECT_EQ(ParseVersionText("1.00970000000000001"), 0);
}

TEST(Version, TrimmingTakesOnlyCodesUpTo32)
{
    EXPECT_EQ(ParseVersionText(std::string("\x01\x1f \t\r\n", 6)), 0);
    EXPECT_EQ(ParseVersionText(std::string("\0" "1.0097\0", 8)), 10097);
    EXPECT_EQ(ParseVersionText("x"), 0);
    // A no-break space (160) is not blank: it turns into a second separator.
    EXPECT_EQ(ParseVersionText("\xA0" "1.0097"), 0);
    EXPECT_EQ(ParseVersionText("1\xA0" "0097"), 10097);
    EXPECT_EQ(ParseVersionText("1\xFF" "0097"), 10097);
}

TEST(Version, ComparisonsAreStrict)
{
    EXPECT_FALSE(IsInstalled(10000));
    EXPECT_TRUE(IsInstalled(10001));
    EXPECT_FALSE(IsUpdateDue(10098, 10098));
    EXPECT_TRUE(IsUpdateDue(10098, 10097));
    EXPECT_FALSE(IsUpdateDue(10098, 10099));
    // Values too close for a double to tell apart still compare exactly.
    EXPECT_TRUE(IsUpdateDue(INT64_MAX, INT64_MAX - 1));
}

TEST(Version, ShownWithTheGivenSeparator)
{
    EXPECT_EQ(FormatVersion(10098, ','), "1,0098");
    EXPECT_EQ(FormatVersion(0), "0.0000");
    EXPECT_EQ(FormatVersion(5000), "0.5000");
}

TEST(ReleaseProfile, VersionIsReadAtBuildTime)
{
    static_assert(ParseVersionText("1.0098") == 10098);
    EXPECT_EQ(profile::NewVersion, ParseVersionText(profile::NewVersionText));
    EXPECT_TRUE(IsInstalled(profile::NewVersion));
}

}  // namespace
