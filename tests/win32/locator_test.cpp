// The installation locator on a real system: records in the Windows directory,
// a real "DATA" folder beside a real copy of a program that runs the locator,
// real argument files and folders, and command lines as the system passes them.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "update/locator.hpp"
#include "update/paths.hpp"
#include "update/win32/install_probe.hpp"

using namespace tervalon;
using update::win32::SystemInstallProbe;

namespace {

namespace fs = std::filesystem;

std::string CurrentTestName()
{
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "-" + info->name();
    for (char& c : name)
        if (c == '/') c = '-';
    return name;
}

std::string SystemWindowsDirectory()
{
    char buffer[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(buffer, MAX_PATH);
    return std::string(buffer, length < MAX_PATH ? length : 0);
}

void WriteBytes(const std::string& path, std::string_view content)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr) << path;
    EXPECT_EQ(std::fwrite(content.data(), 1, content.size(), file), content.size());
    EXPECT_EQ(std::fclose(file), 0);
}

std::string ReadBytes(const std::string& path)
{
    std::string content;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        char chunk[4096];
        for (std::size_t got; (got = std::fread(chunk, 1, sizeof chunk, file)) > 0;) content.append(chunk, got);
        std::fclose(file);
    }
    return content;
}

// A record file of a name of its own in the Windows directory, removed again.
class ScopedRecord {
public:
    ScopedRecord(std::string folder, std::string name, std::optional<std::string_view> content)
        : name_(std::move(name)), path_(folder + "\\" + name_)
    {
        if (content) WriteBytes(path_, *content);
    }
    explicit ScopedRecord(std::optional<std::string_view> content)
        : ScopedRecord(SystemWindowsDirectory(), "LocatorTest-" + CurrentTestName() + ".dII", content)
    {
    }
    ~ScopedRecord() { DeleteFileA(path_.c_str()); }
    ScopedRecord(const ScopedRecord&) = delete;
    ScopedRecord& operator=(const ScopedRecord&) = delete;

    const std::string& name() const { return name_; }
    update::RecordName record() const { return {name_, "92"}; }

private:
    std::string name_;
    std::string path_;
};

// A fresh folder under the temporary folder (on drive C: in the test prefix),
// removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        char base[MAX_PATH];
        const DWORD length = GetTempPathA(MAX_PATH, base);
        path_ = std::string(base, length) + "tervalon-locator-" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(++count_);
        std::error_code ignored;
        fs::remove_all(path_, ignored);  // a leftover of an earlier run
        fs::create_directories(path_);
    }
    ~TempFolder()
    {
        std::error_code ignored;
        fs::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& path() const { return path_; }

private:
    static inline int count_ = 0;
    std::string path_;
};

// Sets the current folder for as long as it lives.
class ScopedCurrentFolder {
public:
    explicit ScopedCurrentFolder(const std::string& folder)
    {
        char buffer[MAX_PATH];
        previous_.assign(buffer, GetCurrentDirectoryA(MAX_PATH, buffer));
        EXPECT_TRUE(SetCurrentDirectoryA(folder.c_str())) << folder;
    }
    ~ScopedCurrentFolder() { SetCurrentDirectoryA(previous_.c_str()); }
    ScopedCurrentFolder(const ScopedCurrentFolder&) = delete;
    ScopedCurrentFolder& operator=(const ScopedCurrentFolder&) = delete;

private:
    std::string previous_;
};

std::string Replace(std::string text, std::string_view placeholder, std::string_view value)
{
    for (auto at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + value.size()))
        text.replace(at, placeholder.size(), value);
    return text;
}

std::string OwnFolder()
{
    char buffer[MAX_PATH];
    const DWORD length = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    return std::string(FolderPart(std::string_view(buffer, length)));
}

// ---- The record through the real profile reader ------------------------------------

struct ReaderCase {
    const char* name;
    std::optional<std::string> content;  // nothing: no record file
    const char* key;
    std::string expected;
};

void PrintTo(const ReaderCase& c, std::ostream* os) { *os << c.name; }

const std::string TypicalRecord = "[91]\r\nVER=0.5\r\n[92]\r\nCALE=C:\\Tervalon\r\nVER=1.0097\r\n[93]\r\nCALE=x\r\n";

const ReaderCase ReaderCases[] = {
    {"Present", TypicalRecord, "CALE", "C:\\Tervalon"},
    {"PresentVersion", TypicalRecord, "VER", "1.0097"},
    {"NoRecord", std::nullopt, "VER", ""},
    {"EmptyRecord", "", "VER", ""},
    {"MissingSection", "[91]\r\nCALE=C:\\Tervalon\r\nVER=1.0097\r\n", "VER", ""},
    {"MissingKey", "[92]\r\nCALE=C:\\Tervalon\r\n", "VER", ""},
    {"KeyInOtherLetterCase", "[92]\r\nver=1.0097\r\n", "VER", "1.0097"},
    {"EmptyValue", "[92]\r\nVER=\r\nCALE=C:\\Tervalon\r\n", "VER", ""},
    {"LastLineWithoutLineEnd", "[92]\r\nVER=1.0097", "VER", "1.0097"},
    {"ValueOf2047Characters", "[92]\r\nCALE=" + std::string(2047, 'a') + "\r\n", "CALE", std::string(2047, 'a')},
    {"ValueOf2048CharactersIsCut", "[92]\r\nCALE=" + std::string(2047, 'a') + "b\r\n", "CALE",
     std::string(2047, 'a')},
    {"LongValueIsCutTo2047", "[92]\r\nCALE=" + std::string(2000, 'a') + std::string(1000, 'b') + "\r\n", "CALE",
     std::string(2000, 'a') + std::string(47, 'b')},
    // The reader drops blanks and tabs around the value itself.
    {"TrailingTab", "[92]\r\nCALE=C:\\Tervalon\\\t\r\n", "CALE", "C:\\Tervalon\\"},
    {"ByteAbove127Kept", "[92]\r\nCALE=C:\\Tervalon\\\xA0\r\n", "CALE", "C:\\Tervalon\\\xA0"},
};

class ProfileReader : public testing::TestWithParam<ReaderCase> {};

TEST_P(ProfileReader, ReadsTheRecordOfTheWindowsDirectory)
{
    const ReaderCase& c = GetParam();
    const ScopedRecord record(c.content ? std::optional<std::string_view>(*c.content) : std::nullopt);
    SystemInstallProbe probe;
    EXPECT_EQ(update::ReadInstallValue(probe, probe.WindowsDirectory(), c.key, record.record()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Table, ProfileReader, testing::ValuesIn(ReaderCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ProfileReaderOnWine, EveryReadSeesTheFileAsItIsNow)
{
    const ScopedRecord record("[92]\r\nVER=1.0097\r\n");
    SystemInstallProbe probe;
    const std::string winDir = probe.WindowsDirectory();
    EXPECT_EQ(update::ReadInstallValue(probe, winDir, "VER", record.record()), "1.0097");
    WriteBytes(winDir + "\\" + record.name(), "[92]\r\nVER=1.0098\r\n");
    EXPECT_EQ(update::ReadInstallValue(probe, winDir, "VER", record.record()), "1.0098");
    DeleteFileA((winDir + "\\" + record.name()).c_str());
    EXPECT_EQ(update::ReadInstallValue(probe, winDir, "VER", record.record()), "");
}

TEST(ProfileReaderOnWine, WithoutAWindowsDirectoryTheRecordIsAtTheRootOfTheCurrentDrive)
{
    const TempFolder folder;  // on C:, so "\" means C:\.
    const ScopedCurrentFolder current(folder.path());
    ASSERT_EQ(folder.path().substr(0, 3), "C:\\");
    const ScopedRecord record("C:", "LocatorTest-" + CurrentTestName() + ".dII", "[92]\r\nVER=1.0097\r\n");
    SystemInstallProbe probe;
    EXPECT_EQ(update::ReadInstallValue(probe, "", "VER", record.record()), "1.0097");
}

// ---- The other answers of the system ------------------------------------------------

TEST(SystemProbe, WindowsDirectoryIsTheWholePath)
{
    SystemInstallProbe probe;
    const std::string winDir = probe.WindowsDirectory();
    EXPECT_TRUE(_stricmp(winDir.c_str(), "C:\\windows") == 0) << winDir;  // the test prefix's
    EXPECT_EQ(winDir.find('\0'), std::string::npos);
    EXPECT_TRUE(probe.FolderExists(winDir));
}

TEST(SystemProbe, FilesAndFolders)
{
    const TempFolder folder;
    const std::string file = folder.path() + "\\Tervalon.exe";
    const std::string subfolder = folder.path() + "\\DATA";
    WriteBytes(file, "MZ");
    fs::create_directory(subfolder);
    SystemInstallProbe probe;

    EXPECT_TRUE(probe.FileExists(file));
    EXPECT_FALSE(probe.FolderExists(file));
    EXPECT_TRUE(probe.FolderExists(subfolder));
    EXPECT_FALSE(probe.FileExists(subfolder));
    EXPECT_FALSE(probe.FileExists(folder.path() + "\\Missing.exe"));
    EXPECT_FALSE(probe.FolderExists(folder.path() + "\\Missing"));
    EXPECT_FALSE(probe.FileExists(""));
    EXPECT_FALSE(probe.FolderExists(""));
    // Names match whatever their letter case, as on Windows.
    EXPECT_TRUE(probe.FileExists(folder.path() + "\\TERVALON.EXE"));
    EXPECT_TRUE(probe.FolderExists(folder.path() + "\\data"));
    // A path is never a pattern.
    EXPECT_FALSE(probe.FileExists(folder.path() + "\\*.exe"));
    EXPECT_FALSE(probe.FileExists(folder.path() + "\\Terval?n.exe"));
    // A file named with a trailing "\" is not found.
    EXPECT_FALSE(probe.FileExists(file + "\\"));
}

TEST(SystemProbe, UpdaterExeIsTheOwnExecutable)
{
    SystemInstallProbe probe;
    const std::string exe = probe.UpdaterExe();
    EXPECT_TRUE(probe.FileExists(exe)) << exe;
    EXPECT_TRUE(exe.ends_with("\\locator_test.exe")) << exe;
}

// Paths longer than the first buffer come out whole, whatever the buffer's size
// next to the path's length (the calls report a buffer that is too small
// differently, and right at the path's length is where that shows).
TEST(SystemProbe, PathsGrowPastASmallFirstBuffer)
{
    const std::string exe = update::win32::OwnExecutablePath();
    const std::string winDir = update::win32::WindowsDirectoryPath();
    ASSERT_FALSE(exe.empty());
    ASSERT_FALSE(winDir.empty());
    for (const std::size_t length : {exe.size(), winDir.size()}) {
        for (const std::size_t size : {std::size_t{0}, std::size_t{1}, length / 2, length - 1, length, length + 1}) {
            const auto first = static_cast<std::uint32_t>(size);
            EXPECT_EQ(update::win32::OwnExecutablePath(first), exe) << "first buffer " << size;
            EXPECT_EQ(update::win32::WindowsDirectoryPath(first), winDir) << "first buffer " << size;
        }
    }
}

// ---- The locator in a program of its own, started the way Tervalon starts it ------

using Report = std::multimap<std::string, std::string>;

std::string Value(const Report& report, const std::string& name)
{
    const auto found = report.find(name);
    return found == report.end() ? "<none>" : found->second;
}

std::vector<std::string> Values(const Report& report, const std::string& name)
{
    std::vector<std::string> values;
    for (auto [at, end] = report.equal_range(name); at != end; ++at) values.push_back(at->second);
    return values;
}

struct ProcessHandles {
    PROCESS_INFORMATION info{};
    ~ProcessHandles()
    {
        if (info.hThread) CloseHandle(info.hThread);
        if (info.hProcess) CloseHandle(info.hProcess);
    }
};

// Runs `commandLine` (program name first, as it is to be passed) with `program`
// as the executable, in `currentFolder`, and reads back what its locator found.
Report RunLocator(const std::string& program, const std::string& commandLine, const std::string& currentFolder,
                  const std::string& recordName, const std::string& reportPath)
{
    DeleteFileA(reportPath.c_str());
    SetEnvironmentVariableA("TERVALON_LOCATOR_REPORT", reportPath.c_str());
    SetEnvironmentVariableA("TERVALON_LOCATOR_RECORD", recordName.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    std::string line = commandLine;  // CreateProcessA may write into it
    ProcessHandles process;
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                        currentFolder.empty() ? nullptr : currentFolder.c_str(), &startup,
                                        &process.info);
    SetEnvironmentVariableA("TERVALON_LOCATOR_REPORT", nullptr);
    SetEnvironmentVariableA("TERVALON_LOCATOR_RECORD", nullptr);
    if (!started) {
        ADD_FAILURE() << "cannot start " << program << ": error " << GetLastError();
        return {};
    }
    if (WaitForSingleObject(process.info.hProcess, 30000) != WAIT_OBJECT_0) {
        TerminateProcess(process.info.hProcess, 1);
        ADD_FAILURE() << program << " did not end";
        return {};
    }
    DWORD exitCode = 1;
    GetExitCodeProcess(process.info.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u) << program;

    Report report;
    const std::string text = ReadBytes(reportPath);
    std::size_t start = 0;
    for (std::size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        const std::string entry = text.substr(start, end - start);
        const auto equals = entry.find('=');
        if (equals != std::string::npos) report.emplace(entry.substr(0, equals), entry.substr(equals + 1));
    }
    return report;
}

// A small installation on disk:
//   <T>\Tervalon Folder\ with Tervalon.exe, Alt.dat and the folder Sub
//   <T>\kit\      the locator program beside a DATA folder
//   <T>\bare\     the locator program alone
//   <T>\datafile\ the locator program beside a file named DATA
//   <T>\case\     the locator program beside a folder named "Data"
class LocatorProgram : public testing::Test {
protected:
    void SetUp() override
    {
        const std::string root = folder.path();
        fs::create_directories(root + "\\Tervalon Folder\\Sub");
        WriteBytes(root + "\\Tervalon Folder\\Tervalon.exe", "MZ");
        WriteBytes(root + "\\Tervalon Folder\\Alt.dat", "x");
        for (const char* kit : {"kit", "bare", "datafile", "case"}) {
            fs::create_directory(root + "\\" + kit);
            fs::copy_file(OwnFolder() + "locator_report.exe", root + "\\" + kit + "\\update.exe");
        }
        fs::create_directory(root + "\\kit\\DATA");
        WriteBytes(root + "\\datafile\\DATA", "not a folder");
        fs::create_directory(root + "\\case\\Data");
    }

    Report Run(const std::string& kit, const std::string& arguments, const std::string& currentFolder,
               const std::string& recordName)
    {
        const std::string program = folder.path() + "\\" + kit + "\\update.exe";
        const std::string commandLine = "\"" + program + "\"" + (arguments.empty() ? "" : " " + arguments);
        return RunLocator(program, commandLine, currentFolder, recordName, folder.path() + "\\report.txt");
    }

    TempFolder folder;
};

struct ProgramCase {
    const char* name;
    const char* kit;
    const char* arguments;      // <T> stands for the test folder
    const char* currentFolder;  // relative to <T>; empty: the test's own
    std::optional<std::string> record;
    bool startedWithParam;
    const char* installDir;
    VersionValue version;
};

void PrintTo(const ProgramCase& c, std::ostream* os) { *os << c.name; }

const std::string Record = "[92]\r\nCALE=<T>\\From Record\\\t\r\nVER=1.0097\r\n";
constexpr const char* TervalonExe = "\"<T>\\Tervalon Folder\\Tervalon.exe\"";

const ProgramCase ProgramCases[] = {
    {"NoArgument", "kit", "", "", Record, false, "<T>\\From Record", 10097},
    {"NoArgumentNoRecord", "kit", "", "", std::nullopt, false, "", 0},
    {"NoArgumentVerWithoutCale", "kit", "", "", "[92]\r\nVER=1.0097\r\n", false, "", 10097},
    {"NoArgumentCaleIsADriveRoot", "kit", "", "", "[92]\r\nCALE=C:\\\r\nVER=1.0097\r\n", false, "C:", 10097},
    {"EmptyQuotesOnly", "kit", "\"\"", "", Record, false, "<T>\\From Record", 10097},
    {"ExeWithData", "kit", TervalonExe, "", Record, true, "<T>\\Tervalon Folder", 10097},
    {"ExeWithDataNoRecord", "kit", TervalonExe, "", std::nullopt, true, "<T>\\Tervalon Folder", 0},
    {"ExeWithoutData", "bare", TervalonExe, "", Record, true, "<T>\\bare", 10097},
    {"DataIsAFile", "datafile", TervalonExe, "", Record, true, "<T>\\datafile", 10097},
    {"DataInOtherLetterCase", "case", TervalonExe, "", Record, true, "<T>\\Tervalon Folder", 10097},
    {"FileOfAnotherName", "kit", "\"<T>\\Tervalon Folder\\Alt.dat\"", "", Record, true, "<T>\\Tervalon Folder",
     10097},
    {"ArgumentIsAFolder", "kit", "\"<T>\\Tervalon Folder\\Sub\"", "", Record, true, "<T>\\kit", 10097},
    {"MissingPath", "kit", "\"<T>\\Tervalon Folder\\Missing.exe\"", "", Record, true, "<T>\\kit", 10097},
    {"UnquotedPathWithBlank", "kit", "<T>\\Tervalon Folder\\Tervalon.exe", "", Record, true, "<T>\\kit", 10097},
    {"BareFileName", "kit", "Tervalon.exe", "Tervalon Folder", Record, true, "", 10097},
    {"RelativeWithFolderPart", "kit", "\"Tervalon Folder\\Tervalon.exe\"", ".", Record, true, "Tervalon Folder",
     10097},
    {"SeveralArguments", "kit", "\t\"<T>\\Tervalon Folder\\Tervalon.exe\"  second\tthird", "", Record, true,
     "<T>\\Tervalon Folder", 10097},
    {"EmptyQuotesBeforeThePath", "kit", "\"\" \"<T>\\Tervalon Folder\\Tervalon.exe\"", "", Record, true,
     "<T>\\Tervalon Folder", 10097},
};

class LocatorProgramCase : public LocatorProgram, public testing::WithParamInterface<ProgramCase> {};

TEST_P(LocatorProgramCase, FindsTheInstallation)
{
    const ProgramCase& c = GetParam();
    const std::string root = folder.path();
    const std::optional<std::string> content =
        c.record ? std::optional<std::string>(Replace(*c.record, "<T>", root)) : std::nullopt;
    const ScopedRecord record(content ? std::optional<std::string_view>(*content) : std::nullopt);
    const std::string currentFolder = *c.currentFolder ? root + "\\" + c.currentFolder : "";

    const Report report = Run(c.kit, Replace(c.arguments, "<T>", root), currentFolder, record.name());

    EXPECT_EQ(Value(report, "WinDir"), SystemWindowsDirectory());
    EXPECT_EQ(Value(report, "StartedWithParam"), c.startedWithParam ? "1" : "0");
    EXPECT_EQ(Value(report, "InstallDir"), Replace(c.installDir, "<T>", root));
    EXPECT_EQ(Value(report, "InstalledVersion"), std::to_string(c.version));
    EXPECT_EQ(Value(report, "UpdaterExe"), root + "\\" + c.kit + "\\update.exe");
}

INSTANTIATE_TEST_SUITE_P(Table, LocatorProgramCase, testing::ValuesIn(ProgramCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LocatorProgram, CommandLineArrivesAsPassed)
{
    const ScopedRecord record(Record);
    const std::string arguments = "\"C:\\Program Files\\Tervalon\\Tervalon.exe\" \"a\tb\" plain \"\" x\"y z\"";
    const Report report = Run("kit", arguments, "", record.name());
    EXPECT_EQ(Value(report, "CommandLine"), "\"" + folder.path() + "\\kit\\update.exe\" " + arguments);
    EXPECT_EQ(Values(report, "Argument"),
              (std::vector<std::string>{"C:\\Program Files\\Tervalon\\Tervalon.exe", "a\tb", "plain", "xy z"}));
}

TEST_F(LocatorProgram, ProgramNameWithBlanksInQuotesIsSkipped)
{
    const std::string program = folder.path() + "\\Tervalon Folder\\Sub\\update with blanks.exe";
    fs::copy_file(OwnFolder() + "locator_report.exe", program);
    const ScopedRecord record(Record);
    const Report report = RunLocator(program, "\"" + program + "\"", "", record.name(), folder.path() + "\\r.txt");
    EXPECT_EQ(Value(report, "StartedWithParam"), "0");
    EXPECT_EQ(Values(report, "Argument"), std::vector<std::string>{});
}

}  // namespace
