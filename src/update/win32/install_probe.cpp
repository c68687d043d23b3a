#include "update/win32/install_probe.hpp"

#include <windows.h>

#include "update/win32/file_system.hpp"

namespace tervalon::update::win32 {

namespace {

static_assert(UsualPathBufferSize == MAX_PATH);

// The installation record's values are read through a buffer of this size:
// longer values come back cut to 2047 characters.
constexpr DWORD ProfileBufferSize = 2048;

// No Windows path is longer than this; it bounds the growing buffers.
constexpr DWORD LongestPath = 32768;

}  // namespace

std::string WindowsDirectoryPath(std::uint32_t firstBufferSize)
{
    // A buffer that is too small gets the size it needs, terminator included;
    // a failed call gives 0.
    std::string directory(firstBufferSize, '\0');
    for (;;) {
        const UINT length = GetWindowsDirectoryA(directory.data(), static_cast<UINT>(directory.size()));
        if (length < directory.size()) {
            directory.resize(length);
            return directory;
        }
        if (length > LongestPath) return {};
        directory.assign(length, '\0');
    }
}

std::string OwnExecutablePath(std::uint32_t firstBufferSize)
{
    // A buffer that is too small gets a cut path (not always terminated) and
    // its own size back: grow until the path and its terminator fit.
    std::string path(firstBufferSize > 0 ? firstBufferSize : 1, '\0');
    for (;;) {
        const DWORD length = GetModuleFileNameA(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        if (path.size() >= LongestPath) return {};
        path.assign(path.size() * 2, '\0');
    }
}

std::string SystemInstallProbe::WindowsDirectory() { return WindowsDirectoryPath(); }

std::string SystemInstallProbe::CommandLine() { return GetCommandLineA(); }

std::string SystemInstallProbe::UpdaterExe() { return OwnExecutablePath(); }

bool SystemInstallProbe::FileExists(const std::string& path) { return IsExistingFile(path); }

bool SystemInstallProbe::FolderExists(const std::string& path) { return IsExistingFolder(path); }

std::string SystemInstallProbe::ReadProfileString(const std::string& filePath, std::string_view section,
                                                  std::string_view key)
{
    const std::string sectionName(section);
    const std::string keyName(key);
    std::string value(ProfileBufferSize, '\0');
    const DWORD length = GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), "", value.data(),
                                                  ProfileBufferSize, filePath.c_str());
    value.resize(length < ProfileBufferSize ? length : ProfileBufferSize - 1);
    return value;
}

void LoadInstallInfo(InstallInfo& info, const RecordName& record)
{
    SystemInstallProbe probe;
    info = update::LoadInstallInfo(probe, record);
}

}  // namespace tervalon::update::win32
