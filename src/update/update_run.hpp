// The update run: decides whether Tervalon is installed and out of date, puts
// the payload in place of its executable and leaves the verdict on the four
// status lines. Pure C++ over small interfaces; the window layer supplies them.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "update/file_system.hpp"
#include "update/install_info.hpp"
#include "update/status_lines.hpp"
#include "update/version.hpp"

namespace tervalon::update {

class MessageAsker;

// Waiting for the exiting Tervalon to let go of its executable (started by it).
class Clock {
public:
    virtual ~Clock() = default;
    virtual std::chrono::milliseconds Now() = 0;
    virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

inline constexpr std::chrono::milliseconds DeleteRetryPause{100};
inline constexpr std::chrono::milliseconds DeleteWaitLimit{60'000};

// What one build installs: its version, the program's name and executable.
struct Release {
    VersionValue newVersion = 0;
    std::string_view programTitle;
    std::string_view programExe;
    std::string_view payloadType;
    std::string_view payloadName;
};

struct UpdateEnvironment {
    FileSystem& files;
    ResourceSource& resources;
    StatusLines& lines;
    MessageAsker& asker;                          // used only when started by a user
    std::function<void()> processPendingMessages;  // once, before the rename, standalone
    Clock& clock;                                  // the bounded wait, started by Tervalon
    char decimalSeparator = '.';
};

enum class Outcome : std::uint8_t {
    NotInstalled,
    AlreadyCurrent,
    TemporaryNameBusy,
    ExtractionFailed,
    Replaced,
    Cancelled,     // the user gave up, or the old executable never went away
    RenameFailed,  // the new release stays in the temporary file
};

struct RunResult {
    Outcome outcome = Outcome::NotInstalled;
    std::string targetExe;  // empty until the payload has been written
};

// The user-visible texts of the run.
namespace texts {
std::string NotInstalled(std::string_view programTitle);
std::string InstalledVersion(VersionValue installed, char decimalSeparator);
inline constexpr std::string_view AlreadyCurrent = "Aveti deja ultima versiune!";
std::string Updating(VersionValue newVersion, char decimalSeparator);
std::string CannotWrite(std::string_view installDir);
inline constexpr std::string_view ExtractionFailed = "Eroare la extragere fisiere!";
inline constexpr std::string_view CannotReplace = "Nu pot modifica vechiul executabil!";
inline constexpr std::string_view RenameFailed = "Eroare la inlocuirea executabilului!";
inline constexpr std::string_view Success = "Actualizare incheiata cu succes!";
std::string CloseProgramTitle(std::string_view programTitle);
std::string CloseProgramText(std::string_view programTitle);
}  // namespace texts

inline constexpr std::uint8_t CloseProgramKind = 0;         // warning
inline constexpr std::uint16_t CloseProgramButtons = 0x000C;  // OK and Cancel
inline constexpr std::uint16_t CancelResult = 2;

std::string TemporaryPath(std::string_view installDir);
std::string TargetPath(std::string_view installDir, std::string_view programExe);

// Writes the resource `type`/`name` of the updater to `path`, byte for byte,
// in one write straight from the loaded image.
bool ExtractPayload(ResourceSource& resources, FileSystem& files, const std::string& type,
                    const std::string& name, const std::string& path);

RunResult RunUpdate(const InstallInfo& install, const Release& release, UpdateEnvironment& environment);

}  // namespace tervalon::update
