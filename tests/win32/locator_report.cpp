// A GUI program that runs the installation locator on the real system, as the
// updater does, and writes what it found to the file named by
// TERVALON_LOCATOR_REPORT, one "name=value" line each. The record's file name
// comes from TERVALON_LOCATOR_RECORD, so that each test reads a record of its own.
#include <windows.h>

#include <cstdio>
#include <string>

#include "update/locator.hpp"
#include "update/win32/install_probe.hpp"

using namespace tervalon;

namespace {

std::string Environment(const char* name)
{
    const DWORD size = GetEnvironmentVariableA(name, nullptr, 0);
    if (size == 0) return {};
    std::string value(size, '\0');
    value.resize(GetEnvironmentVariableA(name, value.data(), size));
    return value;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    const std::string reportPath = Environment("TERVALON_LOCATOR_REPORT");
    const std::string recordName = Environment("TERVALON_LOCATOR_RECORD");
    if (reportPath.empty() || recordName.empty()) return 2;

    update::win32::SystemInstallProbe probe;
    const update::InstallInfo info = update::LoadInstallInfo(probe, update::RecordName{recordName});

    std::FILE* report = std::fopen(reportPath.c_str(), "wb");
    if (!report) return 3;
    std::fprintf(report, "WinDir=%s\n", info.WinDir.c_str());
    std::fprintf(report, "StartedWithParam=%d\n", info.StartedWithParam ? 1 : 0);
    std::fprintf(report, "InstallDir=%s\n", info.InstallDir.c_str());
    std::fprintf(report, "InstalledVersion=%lld\n", static_cast<long long>(info.InstalledVersion));
    std::fprintf(report, "UpdaterExe=%s\n", probe.UpdaterExe().c_str());
    std::fprintf(report, "CommandLine=%s\n", probe.CommandLine().c_str());
    for (const std::string& argument : update::CommandLineArguments(probe.CommandLine()))
        std::fprintf(report, "Argument=%s\n", argument.c_str());
    return std::fclose(report) == 0 ? 0 : 3;
}
