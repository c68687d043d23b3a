#include "update/locator.hpp"

#include "update/paths.hpp"
#include "update/version.hpp"

namespace tervalon::update {

namespace {

constexpr std::string_view InstallDirKey = "CALE";
constexpr std::string_view VersionKey = "VER";
// A folder of this name beside the updater marks a complete installation, in
// which argument 1 can be trusted to point at Tervalon's folder.
constexpr std::string_view DataFolderName = "DATA";

constexpr bool IsArgumentSeparator(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return code >= 1 && code <= 32;
}

// The executable path that parameter mode takes its folder from.
std::string ExecutablePath(InstallProbe& probe, const std::string& argument1, std::string_view updaterDir)
{
    // The "DATA" test is made only for an existing file.
    if (probe.FileExists(argument1) && probe.FolderExists(std::string(updaterDir).append(DataFolderName)))
        return argument1;
    return std::string(updaterDir).append(profile::ProgramExe);
}

}  // namespace

std::vector<std::string> CommandLineArguments(std::string_view commandLine)
{
    commandLine = commandLine.substr(0, commandLine.find('\0'));  // a C string ends there
    std::vector<std::string> arguments;
    bool programName = true;
    std::size_t at = 0;
    for (;;) {
        while (at < commandLine.size() && IsArgumentSeparator(commandLine[at])) ++at;
        if (at == commandLine.size()) break;
        std::string word;
        bool quoted = false;
        for (; at < commandLine.size() && (quoted || !IsArgumentSeparator(commandLine[at])); ++at) {
            if (commandLine[at] == '"') {
                quoted = !quoted;
            } else {
                word += commandLine[at];
            }
        }
        if (programName) {
            programName = false;
        } else if (!word.empty()) {
            arguments.push_back(std::move(word));
        }
    }
    return arguments;
}

std::string RecordPath(std::string_view winDir, const RecordName& record)
{
    return JoinPath(winDir, record.fileName);
}

std::string ReadInstallValue(InstallProbe& probe, std::string_view winDir, std::string_view key,
                             const RecordName& record)
{
    return probe.ReadProfileString(RecordPath(winDir, record), record.section, key);
}

InstallInfo LoadInstallInfo(InstallProbe& probe, const RecordName& record)
{
    InstallInfo info;
    info.WinDir = probe.WindowsDirectory();

    const std::vector<std::string> arguments = CommandLineArguments(probe.CommandLine());
    info.StartedWithParam = !arguments.empty();

    if (info.StartedWithParam) {
        const std::string updaterExe = probe.UpdaterExe();
        const std::string executable = ExecutablePath(probe, arguments.front(), FolderPart(updaterExe));
        info.InstallDir = NormaliseInstallDir(FolderPart(executable));
    } else {
        info.InstallDir = NormaliseInstallDir(ReadInstallValue(probe, info.WinDir, InstallDirKey, record));
    }

    info.InstalledVersion = ParseVersionText(ReadInstallValue(probe, info.WinDir, VersionKey, record));
    return info;
}

}  // namespace tervalon::update
