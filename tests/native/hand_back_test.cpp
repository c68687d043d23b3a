#include <gtest/gtest.h>

#include "update/hand_back.hpp"

using namespace tervalon::update;
using Kind = HandBackAction::Kind;

namespace {

TEST(HandBack, StartedByAUserTheProgramJustEnds)
{
    const HandBackPlan plan = HandBack(false, "C:\\Temp\\update.exe", "C:\\Tervalon\\Tervalon.exe");
    EXPECT_TRUE(plan.standalone);
    EXPECT_TRUE(plan.actions.empty());
}

TEST(HandBack, StartedByTervalonWritesTheScriptStartsItThenTervalonAndStops)
{
    const HandBackPlan plan = HandBack(true, "C:\\Temp\\update.exe", "C:\\Tervalon\\Tervalon.exe");
    const std::string script =
        ":redo\r\n"
        "@del \"C:\\Temp\\update.exe\"\r\n"
        "if EXIST \"C:\\Temp\\update.exe\" GOTO redo\r\n"
        "@del \"C:\\Temp\\suicide.bat\"\r\n";
    EXPECT_EQ(script.size(), 103u);
    EXPECT_FALSE(plan.standalone);
    const std::vector<HandBackAction> expected{
        {Kind::WriteScript, "C:\\Temp\\suicide.bat", script},
        {Kind::ClearReadOnly, "C:\\Temp\\update.exe", ""},
        {Kind::StartHidden, "C:\\Temp\\suicide.bat", ""},
        {Kind::StartNormal, "C:\\Tervalon\\Tervalon.exe", ""},
        {Kind::ExitProcess, "", ""},
    };
    EXPECT_EQ(plan.actions, expected);
}

TEST(HandBack, ScriptBesideTheUpdater)
{
    struct Case { const char* exe; const char* script; };
    const Case cases[] = {
        {"C:\\Temp\\update.exe", "C:\\Temp\\suicide.bat"},
        {"C:\\update.exe", "C:\\suicide.bat"},  // drive root: one "\" only
        {"D:update.exe", "D:suicide.bat"},
        {"\\\\server\\share\\up\\update.exe", "\\\\server\\share\\up\\suicide.bat"},
    };
    for (const Case& c : cases) EXPECT_EQ(ScriptPathFor(c.exe), c.script) << c.exe;
}

TEST(HandBack, ScriptSizeFollowsThePathLengths)
{
    for (const std::string exe : {"C:\\update.exe", "C:\\Program Files\\Tervalon Update\\update.exe"}) {
        const std::string scriptPath = ScriptPathFor(exe);
        const std::string text = SelfRemovalScript(exe, scriptPath);
        EXPECT_EQ(text.size(), 2 * exe.size() + scriptPath.size() + 48) << exe;
        // Paths with blanks are quoted inside the script...
        EXPECT_NE(text.find("\"" + exe + "\""), std::string::npos);
    }
    // ...and stand bare in the start actions.
    const HandBackPlan plan = HandBack(true, "C:\\My Files\\update.exe", "C:\\Program Files\\T\\Tervalon.exe");
    EXPECT_EQ(plan.actions[2].path, "C:\\My Files\\suicide.bat");
    EXPECT_EQ(plan.actions[3].path, "C:\\Program Files\\T\\Tervalon.exe");
}

TEST(HandBack, PercentSignsAreDoubledSoTheInterpreterKeepsThem)
{
    const std::string text = SelfRemovalScript("C:\\100%\\%PATH%\\update.exe", "C:\\100%\\%PATH%\\suicide.bat");
    EXPECT_EQ(text,
              ":redo\r\n"
              "@del \"C:\\100%%\\%%PATH%%\\update.exe\"\r\n"
              "if EXIST \"C:\\100%%\\%%PATH%%\\update.exe\" GOTO redo\r\n"
              "@del \"C:\\100%%\\%%PATH%%\\suicide.bat\"\r\n");
}

TEST(HandBack, PathsAreWrittenInTheOemCodePageOnlyWhenThatIsExact)
{
    // "\xAA" is S-cedilla in the Romanian ANSI code page; the fake converter
    // knows a single letter and gives up on everything else.
    const OemConverter toOem = [](std::string_view ansi) -> std::optional<std::string> {
        std::string oem;
        for (unsigned char c : ansi) {
            if (c < 128) oem += static_cast<char>(c);
            else if (c == 0xAA) oem += '\xB8';
            else return std::nullopt;
        }
        return oem;
    };
    const std::string converted = SelfRemovalScript("C:\\\xAA" "tefan\\update.exe", "C:\\\xAA" "tefan\\suicide.bat", toOem);
    EXPECT_NE(converted.find("@del \"C:\\\xB8" "tefan\\update.exe\""), std::string::npos);
    EXPECT_EQ(converted.find('\xAA'), std::string::npos);

    // A path with a letter that has no exact OEM form keeps its bytes as they are.
    const std::string kept = SelfRemovalScript("C:\\\xFE\\update.exe", "C:\\\xFE\\suicide.bat", toOem);
    EXPECT_NE(kept.find("@del \"C:\\\xFE\\update.exe\""), std::string::npos);
    // Without a converter every byte above 127 is written unchanged.
    EXPECT_NE(SelfRemovalScript("C:\\\xE9\\u.exe", "C:\\\xE9\\suicide.bat").find("C:\\\xE9\\u.exe"), std::string::npos);
}

TEST(HandBack, AnEmptyTargetStartsNothingButTheScript)
{
    const HandBackPlan plan = HandBack(true, "C:\\Temp\\update.exe", "");
    ASSERT_EQ(plan.actions.size(), 4u);
    EXPECT_EQ(plan.actions[2].kind, Kind::StartHidden);
    EXPECT_EQ(plan.actions[3].kind, Kind::ExitProcess);
}

}  // namespace
