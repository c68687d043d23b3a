// The installation locator's decisions, over a system that the tests make up.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "update/locator.hpp"

using namespace tervalon;
using update::InstallInfo;
using update::InstallProbe;

namespace {

constexpr const char* RecordFile = "C:\\WINDOWS\\Korvex.dII";

// A made-up system: a Windows directory, a command line, the updater's path,
// some files and folders, and profile files. It notes every profile read.
class FakeSystem final : public InstallProbe {
public:
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string commandLine = "update.exe";
    std::string updaterExe = "D:\\Kit\\update.exe";
    std::set<std::string> files;
    std::set<std::string> folders;

    struct Read {
        std::string filePath, section, key;
        bool operator==(const Read&) const = default;
    };
    std::vector<Read> reads;
    std::vector<std::string> folderTests;

    // A value of the installation record, where the product looks for it.
    void SetRecordValue(const std::string& key, const std::string& value)
    {
        profiles[{RecordFile, "92", key}] = value;
    }
    void SetProfileValue(const std::string& filePath, const std::string& section, const std::string& key,
                         const std::string& value)
    {
        profiles[{filePath, section, key}] = value;
    }
    std::vector<std::string> KeysRead() const
    {
        std::vector<std::string> keys;
        for (const Read& read : reads) keys.push_back(read.key);
        return keys;
    }

    std::string WindowsDirectory() override { return windowsDirectory; }
    std::string CommandLine() override { return commandLine; }
    std::string UpdaterExe() override { return updaterExe; }
    bool FileExists(const std::string& path) override { return files.contains(path); }
    bool FolderExists(const std::string& path) override
    {
        folderTests.push_back(path);
        return folders.contains(path);
    }
    std::string ReadProfileString(const std::string& filePath, std::string_view section,
                                  std::string_view key) override
    {
        reads.push_back({filePath, std::string(section), std::string(key)});
        const auto found = profiles.find({filePath, std::string(section), std::string(key)});
        return found == profiles.end() ? std::string() : found->second;
    }

private:
    std::map<std::tuple<std::string, std::string, std::string>, std::string> profiles;
};

// ---- Which folder becomes InstallDir -------------------------------------------------

struct ModeCase {
    const char* name;
    const char* commandLine;
    std::set<std::string> files;
    std::set<std::string> folders;
    bool startedWithParam;
    const char* installDir;
    bool dataTested;  // whether "DATA" beside the updater was looked for
};

void PrintTo(const ModeCase& c, std::ostream* os) { *os << c.name; }

const ModeCase ModeCases[] = {
    {"NoArgument", "update.exe", {}, {"D:\\Kit\\DATA"}, false, "C:\\FromRecord", false},
    {"ExistingExeWithData", "update.exe C:\\Tervalon\\Tervalon.exe", {"C:\\Tervalon\\Tervalon.exe"},
     {"D:\\Kit\\DATA"}, true, "C:\\Tervalon", true},
    {"ExistingExeWithoutData", "update.exe C:\\Tervalon\\Tervalon.exe", {"C:\\Tervalon\\Tervalon.exe"},
     {"C:\\Tervalon\\DATA"}, true, "D:\\Kit", true},
    {"FileOfAnotherName", "update.exe C:\\Tervalon\\Altceva.txt", {"C:\\Tervalon\\Altceva.txt"},
     {"D:\\Kit\\DATA"}, true, "C:\\Tervalon", true},
    {"ArgumentIsAFolder", "update.exe C:\\Tervalon", {}, {"C:\\Tervalon", "D:\\Kit\\DATA"}, true, "D:\\Kit",
     false},
    {"MissingPath", "update.exe C:\\Tervalon\\Tervalon.exe", {}, {"D:\\Kit\\DATA"}, true, "D:\\Kit", false},
    {"BareFileName", "update.exe Tervalon.exe", {"Tervalon.exe"}, {"D:\\Kit\\DATA"}, true, "", true},
    {"RelativeWithFolderPart", "update.exe Prog\\Tervalon.exe", {"Prog\\Tervalon.exe"}, {"D:\\Kit\\DATA"},
     true, "Prog", true},
    {"DriveRelative", "update.exe C:Tervalon.exe", {"C:Tervalon.exe"}, {"D:\\Kit\\DATA"}, true, "C:", true},
    {"QuotedPathWithBlanks", "update.exe \"C:\\Program Files\\Tervalon\\Tervalon.exe\"",
     {"C:\\Program Files\\Tervalon\\Tervalon.exe"}, {"D:\\Kit\\DATA"}, true, "C:\\Program Files\\Tervalon", true},
    // Without quotes the path is cut at its first blank and names nothing.
    {"UnquotedPathWithBlanks", "update.exe C:\\Program Files\\Tervalon\\Tervalon.exe",
     {"C:\\Program Files\\Tervalon\\Tervalon.exe"}, {"D:\\Kit\\DATA"}, true, "D:\\Kit", false},
    {"EmptyQuotesOnly", "update.exe \"\"", {}, {"D:\\Kit\\DATA"}, false, "C:\\FromRecord", false},
};

class LocatorMode : public testing::TestWithParam<ModeCase> {};

TEST_P(LocatorMode, ChoosesTheFolderAndReadsTheRecord)
{
    const ModeCase& c = GetParam();
    FakeSystem system;
    system.commandLine = c.commandLine;
    system.files = c.files;
    system.folders = c.folders;
    system.SetRecordValue("CALE", "C:\\FromRecord\\");
    system.SetRecordValue("VER", "1.0097");

    const InstallInfo info = update::LoadInstallInfo(system);

    EXPECT_EQ(info.WinDir, "C:\\WINDOWS");
    EXPECT_EQ(info.StartedWithParam, c.startedWithParam);
    EXPECT_EQ(info.InstallDir, c.installDir);
    EXPECT_EQ(info.InstalledVersion, 10097);  // from the record in both modes
    EXPECT_EQ(system.folderTests, c.dataTested ? std::vector<std::string>{"D:\\Kit\\DATA"}
                                               : std::vector<std::string>{});
    // CALE only standalone, then VER; only VER with a parameter. Always the record's own place.
    const std::vector<std::string> expectedKeys =
        c.startedWithParam ? std::vector<std::string>{"VER"} : std::vector<std::string>{"CALE", "VER"};
    EXPECT_EQ(system.KeysRead(), expectedKeys);
    for (const FakeSystem::Read& read : system.reads) {
        EXPECT_EQ(read.filePath, RecordFile);
        EXPECT_EQ(read.section, "92");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, LocatorMode, testing::ValuesIn(ModeCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Locator, UpdaterAtADriveRootGivesTheDriveWithoutBackslash)
{
    FakeSystem system;
    system.updaterExe = "D:\\update.exe";
    system.commandLine = "D:\\update.exe C:\\Tervalon\\Tervalon.exe";
    system.files = {"C:\\Tervalon\\Tervalon.exe"};
    EXPECT_EQ(update::LoadInstallInfo(system).InstallDir, "D:");
    EXPECT_EQ(system.folderTests, std::vector<std::string>{"D:\\DATA"});
}

// ---- What the record's values turn into -------------------------------------------

struct RecordCase {
    const char* name;
    std::map<std::string, std::string> values;  // of the record's section; absent keys are missing
    const char* installDir;
    VersionValue version;
};

void PrintTo(const RecordCase& c, std::ostream* os) { *os << c.name; }

const RecordCase RecordCases[] = {
    {"TrailingTab", {{"CALE", "C:\\Tervalon\\\t"}, {"VER", "1.0097"}}, "C:\\Tervalon", 10097},
    {"DriveRoot", {{"CALE", "C:\\"}, {"VER", "1.0097"}}, "C:", 10097},
    {"TwoTrailingBackslashesKeepOne", {{"CALE", "C:\\Tervalon\\\\"}, {"VER", "1.0097"}}, "C:\\Tervalon\\", 10097},
    {"TrailingSlashStays", {{"CALE", "C:\\Tervalon/"}, {"VER", "1.0097"}}, "C:\\Tervalon/", 10097},
    {"BlanksAndLineEndsBothSides", {{"CALE", " \x01 C:\\Tervalon\\ \r\n"}, {"VER", "1.0097"}}, "C:\\Tervalon",
     10097},
    // Code 160 looks blank but is not trimmed, so the "\" before it stays.
    {"NoBreakSpaceIsNotTrimmed", {{"CALE", "C:\\Tervalon\\\xA0"}, {"VER", "1.0097"}}, "C:\\Tervalon\\\xA0", 10097},
    {"BackslashAlone", {{"CALE", "\\"}, {"VER", "1.0097"}}, "", 10097},
    {"VerWithoutCale", {{"VER", "1.0098"}}, "", 10098},
    {"CaleWithoutVer", {{"CALE", "C:\\Tervalon"}}, "C:\\Tervalon", 0},
    {"UnreadableVer", {{"CALE", "C:\\Tervalon"}, {"VER", "1.0097 beta"}}, "C:\\Tervalon", 0},
    {"RecordMissing", {}, "", 0},
};

class LocatorRecord : public testing::TestWithParam<RecordCase> {};

TEST_P(LocatorRecord, TrimsTheFolderAndReadsTheVersion)
{
    const RecordCase& c = GetParam();
    FakeSystem system;
    for (const auto& [key, value] : c.values) system.SetRecordValue(key, value);

    const InstallInfo info = update::LoadInstallInfo(system);

    EXPECT_FALSE(info.StartedWithParam);
    EXPECT_EQ(info.InstallDir, c.installDir);
    EXPECT_EQ(info.InstalledVersion, c.version);
}

INSTANTIATE_TEST_SUITE_P(Table, LocatorRecord, testing::ValuesIn(RecordCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Locator, MissingRecordGivesVersionZeroWithAParameterToo)
{
    FakeSystem system;
    system.commandLine = "update.exe C:\\Tervalon\\Tervalon.exe";
    system.files = {"C:\\Tervalon\\Tervalon.exe"};
    system.folders = {"D:\\Kit\\DATA"};
    const InstallInfo info = update::LoadInstallInfo(system);
    EXPECT_TRUE(info.StartedWithParam);
    EXPECT_EQ(info.InstallDir, "C:\\Tervalon");
    EXPECT_EQ(info.InstalledVersion, 0);
}

TEST(Locator, WithoutAWindowsDirectoryTheRecordIsLookedForAtTheDriveRoot)
{
    FakeSystem system;
    system.windowsDirectory.clear();
    system.SetProfileValue("\\Korvex.dII", "92", "CALE", "E:\\Tervalon");
    system.SetProfileValue("\\Korvex.dII", "92", "VER", "1.0097");
    const InstallInfo info = update::LoadInstallInfo(system);
    EXPECT_EQ(info.WinDir, "");
    EXPECT_EQ(info.InstallDir, "E:\\Tervalon");
    EXPECT_EQ(info.InstalledVersion, 10097);
}

TEST(Locator, EveryReadGoesToTheRecordAnew)
{
    FakeSystem system;
    system.SetRecordValue("VER", "1.0097");
    EXPECT_EQ(update::ReadInstallValue(system, "C:\\WINDOWS", "VER"), "1.0097");
    system.SetRecordValue("VER", "1.0098");
    EXPECT_EQ(update::ReadInstallValue(system, "C:\\WINDOWS", "VER"), "1.0098");
    EXPECT_EQ(system.reads.size(), 2u);
    // Returned as read: trimming is the caller's business.
    system.SetRecordValue("CALE", " C:\\Tervalon\\\t");
    EXPECT_EQ(update::ReadInstallValue(system, "C:\\WINDOWS", "CALE"), " C:\\Tervalon\\\t");
}

TEST(Locator, RecordOfAnotherNameAndSection)
{
    FakeSystem system;
    system.SetProfileValue("C:\\WINDOWS\\Test.ini", "7", "VER", "2.5");
    const update::RecordName record{"Test.ini", "7"};
    EXPECT_EQ(update::RecordPath("C:\\WINDOWS", record), "C:\\WINDOWS\\Test.ini");
    EXPECT_EQ(update::LoadInstallInfo(system, record).InstalledVersion, 25000);
}

// ---- Splitting the command line ---------------------------------------------------------

struct CommandLineCase {
    const char* name;
    std::string commandLine;
    std::vector<std::string> arguments;
};

void PrintTo(const CommandLineCase& c, std::ostream* os) { *os << c.name; }

const CommandLineCase CommandLineCases[] = {
    {"ProgramNameOnly", "update.exe", {}},
    {"Empty", "", {}},
    {"OnlyBlanks", " \t ", {}},
    {"OneArgument", "update.exe C:\\Tervalon\\Tervalon.exe", {"C:\\Tervalon\\Tervalon.exe"}},
    {"QuotedWithBlanks", "update.exe \"C:\\Program Files\\Tervalon\\Tervalon.exe\"",
     {"C:\\Program Files\\Tervalon\\Tervalon.exe"}},
    {"QuotesInsideAWord", "update.exe C:\\Program\" \"Files\\x.exe", {"C:\\Program Files\\x.exe"}},
    {"EmptyQuotesOnly", "update.exe \"\"", {}},
    {"EmptyQuotesAreSkipped", "update.exe \"\" second", {"second"}},
    {"Tabs", "update.exe\tfirst\t\tsecond\t", {"first", "second"}},
    {"TabInsideQuotes", "update.exe \"a\tb\"", {"a\tb"}},
    {"SeveralArguments", "update.exe  one two   three", {"one", "two", "three"}},
    {"ControlCharactersSeparate", "update.exe\x01one\x1ftwo\x0d\x0athree", {"one", "two", "three"}},
    {"HighBytesDoNotSeparate", "update.exe a\xA0z \x7f", {"a\xA0z", "\x7f"}},
    {"QuotedProgramNameWithBlanks", "\"C:\\Program Files\\Kit\\update.exe\" C:\\Tervalon\\Tervalon.exe",
     {"C:\\Tervalon\\Tervalon.exe"}},
    {"QuotedProgramNameAlone", "\"C:\\Program Files\\Kit\\update.exe\"", {}},
    // Same rules for the program name: unquoted, it ends at its first blank.
    {"UnquotedProgramNameWithBlanks", "C:\\Program Files\\Kit\\update.exe", {"Files\\Kit\\update.exe"}},
    {"LeadingAndTrailingBlanks", "   update.exe   arg   ", {"arg"}},
    // No escapes: a backslash before the closing quote stays and the quote still closes.
    {"BackslashBeforeQuote", "update.exe \"C:\\Tervalon\\\" next", {"C:\\Tervalon\\", "next"}},
    {"UnclosedQuoteRunsToTheEnd", "update.exe \"C:\\My Folder\\x.exe", {"C:\\My Folder\\x.exe"}},
    {"EndsAtANul", std::string("update.exe one\0two", 18), {"one"}},
};

class CommandLineSplit : public testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineSplit, GivesTheArgumentsAfterTheProgramName)
{
    EXPECT_EQ(update::CommandLineArguments(GetParam().commandLine), GetParam().arguments);
}

INSTANTIATE_TEST_SUITE_P(Table, CommandLineSplit, testing::ValuesIn(CommandLineCases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
