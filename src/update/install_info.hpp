// What the installation locator finds out before the update run decides anything.
#pragma once

#include <string>

#include "update/version.hpp"

namespace tervalon::update {

struct InstallInfo {
    std::string WinDir;             // the Windows directory; holds the installation record
    bool StartedWithParam = false;  // started by Tervalon, with its executable as argument 1
    std::string InstallDir;         // trimmed, without one trailing "\"; may be empty
    VersionValue InstalledVersion = 0;  // 0 when the record names no readable version
};

}  // namespace tervalon::update
