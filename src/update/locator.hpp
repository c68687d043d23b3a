// The installation locator: which mode the updater runs in, where Tervalon is
// installed and which version of it is installed. Decided from the command line,
// the updater's own path and the installation record, through a small interface
// to the system so that the decisions run without Windows.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "update/install_info.hpp"
#include "update/release_profile.hpp"

namespace tervalon::update {

// Where the installation record lives: a file in the Windows directory and the
// one section of it that the updater reads.
struct RecordName {
    std::string_view fileName = profile::IniFileName;
    std::string_view section = profile::IniSection;
};

// What the locator asks of the system. Every answer that cannot be had comes
// back empty or false; nothing here fails.
class InstallProbe {
public:
    virtual ~InstallProbe() = default;

    // The Windows directory as the system reports it; empty when it cannot tell.
    virtual std::string WindowsDirectory() = 0;
    // The process's whole command line, program name first.
    virtual std::string CommandLine() = 0;
    // The full path of the updater's own executable file.
    virtual std::string UpdaterExe() = 0;
    // True only for an existing file (false for a folder).
    virtual bool FileExists(const std::string& path) = 0;
    // True only for an existing folder.
    virtual bool FolderExists(const std::string& path) = 0;
    // The value of `key` in `section` of the profile file `filePath`, read
    // afresh; empty when the file, the section or the key is missing.
    virtual std::string ReadProfileString(const std::string& filePath, std::string_view section,
                                          std::string_view key) = 0;
};

// The arguments after the program name. Blanks and control characters (codes
// 1 to 32) separate arguments; double quotes group and are dropped; a pair of
// quotes with nothing in it is no argument. There are no escapes: a "\" before
// a quote is an ordinary character. The program name is skipped by the same rules.
std::vector<std::string> CommandLineArguments(std::string_view commandLine);

// The record's path: `winDir` + "\" + the record's file name.
std::string RecordPath(std::string_view winDir, const RecordName& record = {});

// The value of `key` in the record's section, read anew on every call; not trimmed.
std::string ReadInstallValue(InstallProbe& probe, std::string_view winDir, std::string_view key,
                             const RecordName& record = {});

// Works out WinDir, StartedWithParam, InstallDir and InstalledVersion, in that order.
// Standalone (no argument) the folder is the record's CALE; started with an
// argument it is the folder of argument 1 when that names an existing file and
// a "DATA" folder sits beside the updater, else the updater's own folder.
// VER is read in both modes.
InstallInfo LoadInstallInfo(InstallProbe& probe, const RecordName& record = {});

}  // namespace tervalon::update
