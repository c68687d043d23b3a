// The installation locator's view of the running system: Windows directory,
// command line, own executable, file and folder tests, the profile reader.
#pragma once

#include <cstdint>

#include "update/install_info.hpp"
#include "update/locator.hpp"

namespace tervalon::update::win32 {

// The buffer size that nearly every path fits (MAX_PATH).
inline constexpr std::uint32_t UsualPathBufferSize = 260;

// Both fetch through a buffer that starts at `firstBufferSize` characters and
// grows until the whole path fits, so no fixed limit cuts a long path.
// The Windows directory; empty when the system cannot tell.
std::string WindowsDirectoryPath(std::uint32_t firstBufferSize = UsualPathBufferSize);
// The full path of the running executable; empty when the system cannot tell.
std::string OwnExecutablePath(std::uint32_t firstBufferSize = UsualPathBufferSize);

class SystemInstallProbe final : public InstallProbe {
public:
    std::string WindowsDirectory() override;
    std::string CommandLine() override;
    std::string UpdaterExe() override;
    bool FileExists(const std::string& path) override;
    bool FolderExists(const std::string& path) override;
    std::string ReadProfileString(const std::string& filePath, std::string_view section,
                                  std::string_view key) override;
};

// The status window's locator step on the real system.
void LoadInstallInfo(InstallInfo& info, const RecordName& record = {});

}  // namespace tervalon::update::win32
