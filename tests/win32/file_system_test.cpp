// The update run's file operations and the hand-back's helpers on a real
// (Wine) file system.
#include <gtest/gtest.h>

#include <windows.h>

#include <stdexcept>
#include <string>

#include "update/hand_back.hpp"
#include "update/win32/file_system.hpp"
#include "update/win32/hand_back_runner.hpp"
#include "update/win32/handle.hpp"

using namespace tervalon::update;
using namespace tervalon::update::win32;

namespace {

std::string ReadAll(const std::string& path)
{
    const UniqueHandle file =
        OwnHandle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) return "<missing>";
    std::string bytes(static_cast<std::size_t>(GetFileSize(file.get(), nullptr)), '\0');
    DWORD read = 0;
    ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    bytes.resize(read);
    return bytes;
}

std::span<const std::byte> Bytes(const std::string& text)
{
    return {reinterpret_cast<const std::byte*>(text.data()), text.size()};
}

// A scratch folder of its own under the prefix's temp folder.
class FileSystemTest : public ::testing::Test {
protected:
    std::string dir;
    Win32FileSystem files;

    void SetUp() override
    {
        char temp[MAX_PATH]{};
        GetTempPathA(MAX_PATH, temp);
        dir = std::string(temp) + "tervalon fs " + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    }
    void TearDown() override
    {
        WIN32_FIND_DATAA entry;
        const HANDLE search = FindFirstFileA((dir + "\\*").c_str(), &entry);
        if (search != INVALID_HANDLE_VALUE) {
            do {
                const std::string path = dir + "\\" + entry.cFileName;
                if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    RemoveDirectoryA(path.c_str());
                } else {
                    SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                    DeleteFileA(path.c_str());
                }
            } while (FindNextFileA(search, &entry));
            FindClose(search);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string Path(const char* name) const { return dir + "\\" + name; }
};

TEST_F(FileSystemTest, AFolderIsNoFile)
{
    ASSERT_TRUE(CreateDirectoryA(Path("Tervalon.exe").c_str(), nullptr));
    EXPECT_FALSE(files.FileExists(Path("Tervalon.exe")));
    EXPECT_FALSE(files.RemoveFile(Path("Tervalon.exe")));
    EXPECT_FALSE(files.FileExists(Path("missing")));
    // A folder in the way of the temporary file: it cannot be created.
    EXPECT_FALSE(files.WriteNewFile(Path("Tervalon.exe"), Bytes("x")));
}

TEST_F(FileSystemTest, WritesEveryByteAndReplacesAnOlderFile)
{
    const std::string payload = std::string("MZ\0\r\n\x1a\xff", 7) + std::string(70000, 'p');
    ASSERT_TRUE(files.WriteNewFile(Path("TmpUp"), Bytes("an older, longer file than the new one" + payload)));
    ASSERT_TRUE(files.WriteNewFile(Path("TmpUp"), Bytes(payload)));
    EXPECT_EQ(ReadAll(Path("TmpUp")), payload);
    ASSERT_TRUE(files.WriteNewFile(Path("Empty"), {}));
    EXPECT_TRUE(files.FileExists(Path("Empty")));
    EXPECT_EQ(ReadAll(Path("Empty")), "");
}

TEST_F(FileSystemTest, ReadOnlyFilesNeedTheirAttributesReset)
{
    ASSERT_TRUE(files.WriteNewFile(Path("Tervalon.exe"), Bytes("old")));
    SetFileAttributesA(Path("Tervalon.exe").c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(files.RemoveFile(Path("Tervalon.exe")));
    EXPECT_EQ(files.ResetAttributes(Path("Tervalon.exe")), 0u);
    EXPECT_EQ(GetFileAttributesA(Path("Tervalon.exe").c_str()) & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN), 0u);
    EXPECT_TRUE(files.RemoveFile(Path("Tervalon.exe")));
    EXPECT_NE(files.ResetAttributes(Path("Tervalon.exe")), 0u);  // gone: the system's error code
}

TEST_F(FileSystemTest, AnOpenFileCannotBeDeleted)
{
    ASSERT_TRUE(files.WriteNewFile(Path("Tervalon.exe"), Bytes("running")));
    {
        const UniqueHandle held = OwnHandle(
            CreateFileA(Path("Tervalon.exe").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(held);
        EXPECT_FALSE(files.RemoveFile(Path("Tervalon.exe")));
        EXPECT_TRUE(files.FileExists(Path("Tervalon.exe")));
    }
    EXPECT_TRUE(files.RemoveFile(Path("Tervalon.exe")));
}

TEST_F(FileSystemTest, RenameNeverOverwrites)
{
    ASSERT_TRUE(files.WriteNewFile(Path("TmpUp"), Bytes("new")));
    ASSERT_TRUE(files.WriteNewFile(Path("Tervalon.exe"), Bytes("old")));
    EXPECT_FALSE(files.RenameFile(Path("TmpUp"), Path("Tervalon.exe")));
    EXPECT_EQ(ReadAll(Path("Tervalon.exe")), "old");
    ASSERT_TRUE(files.RemoveFile(Path("Tervalon.exe")));
    EXPECT_TRUE(files.RenameFile(Path("TmpUp"), Path("Tervalon.exe")));
    EXPECT_EQ(ReadAll(Path("Tervalon.exe")), "new");
    EXPECT_FALSE(files.FileExists(Path("TmpUp")));
}

TEST_F(FileSystemTest, AScriptThatCannotBeWrittenIsAnErrorNamingItsPath)
{
    ASSERT_TRUE(CreateDirectoryA(Path("suicide.bat").c_str(), nullptr));
    HandBackPlan plan = HandBack(true, Path("update.exe"), "");
    plan.actions.resize(1);  // only the script: nothing is started, the test goes on
    try {
        RunHandBack(plan);
        FAIL() << "no error";
    } catch (const std::runtime_error& failure) {
        const std::string message = failure.what();
        EXPECT_EQ(message.rfind("Nu pot scrie fisierul " + Path("suicide.bat") + ": ", 0), 0u) << message;
        EXPECT_GT(message.size(), ("Nu pot scrie fisierul " + Path("suicide.bat") + ": ").size()) << "no reason";
    }
}

TEST_F(FileSystemTest, TheScriptIsWrittenByteForByteAndReplacesAnOldOne)
{
    ASSERT_TRUE(files.WriteNewFile(Path("suicide.bat"), Bytes(std::string(500, 'x'))));
    HandBackPlan plan = HandBack(true, Path("update.exe"), "");
    plan.actions.resize(1);
    RunHandBack(plan);
    EXPECT_EQ(ReadAll(Path("suicide.bat")), plan.actions[0].text);
}

TEST(OemConversion, ExactOrNothing)
{
    EXPECT_EQ(AnsiToOemExactly("C:\\Temp\\update.exe"), "C:\\Temp\\update.exe");
    EXPECT_EQ(AnsiToOemExactly(""), "");
    // Convert one letter that the ANSI code page has, and check it comes back.
    const UINT ansi = GetACP(), oem = GetOEMCP();
    wchar_t e_acute = L'\u00e9';
    char ansiE[4]{}, oemE[4]{};
    BOOL lossy = FALSE;
    ASSERT_EQ(WideCharToMultiByte(ansi, WC_NO_BEST_FIT_CHARS, &e_acute, 1, ansiE, 4, nullptr, &lossy), 1);
    ASSERT_FALSE(lossy);
    ASSERT_EQ(WideCharToMultiByte(oem, WC_NO_BEST_FIT_CHARS, &e_acute, 1, oemE, 4, nullptr, &lossy), 1);
    const std::string path = std::string("C:\\Caf") + ansiE[0];
    if (lossy) {
        EXPECT_FALSE(AnsiToOemExactly(path).has_value());
    } else {
        EXPECT_EQ(AnsiToOemExactly(path), std::string("C:\\Caf") + oemE[0]);
    }
}

}  // namespace
