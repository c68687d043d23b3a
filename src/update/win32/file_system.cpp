#include "update/win32/file_system.hpp"

#include <windows.h>

#include "update/win32/handle.hpp"
#include "update/win32/own_resource.hpp"

namespace tervalon::update::win32 {

bool IsExistingFile(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool IsExistingFolder(const std::string& path)
{
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32FileSystem::FileExists(const std::string& path) { return IsExistingFile(path); }

bool Win32FileSystem::RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }

std::uint32_t Win32FileSystem::ResetAttributes(const std::string& path)
{
    return SetFileAttributesA(path.c_str(), 0) ? 0 : GetLastError();
}

bool Win32FileSystem::RenameFile(const std::string& from, const std::string& to)
{
    return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32FileSystem::WriteNewFile(const std::string& path, std::span<const std::byte> bytes)
{
    const UniqueHandle file = OwnHandle(CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    // One write straight from the loaded image: the payload is never copied.
    if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) return false;
    if (written != bytes.size()) return false;
    // On the disk before the old executable goes, so that a power cut after the
    // swap cannot leave a truncated Tervalon.
    return FlushFileBuffers(file.get()) != FALSE;
}

std::optional<std::span<const std::byte>> OwnResources::Find(const std::string& type, const std::string& name)
{
    return FindOwnResource(type, name);
}

std::chrono::milliseconds SystemClock::Now() { return std::chrono::milliseconds(GetTickCount64()); }

void SystemClock::Sleep(std::chrono::milliseconds duration) { ::Sleep(static_cast<DWORD>(duration.count())); }

}  // namespace tervalon::update::win32
