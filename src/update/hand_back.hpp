// What the OK button does: started by a user the program simply ends; started
// by Tervalon it writes a self-removal script beside itself, starts it hidden,
// starts the new Tervalon and stops at once. Worked out without side effects.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tervalon::update {

inline constexpr std::string_view ScriptFileName = "suicide.bat";

struct HandBackAction {
    enum class Kind {
        WriteScript,     // write `text` to `path`, replacing any file there; a failure is an error
        ClearReadOnly,   // so that the script's delete loop can end
        StartHidden,     // run `path` (the script) without a window
        StartNormal,     // run `path` (Tervalon) in a normal window
        ExitProcess,     // end at once with exit code 0
    };
    Kind kind;
    std::string path;
    std::string text;
    friend bool operator==(const HandBackAction&, const HandBackAction&) = default;
};

struct HandBackPlan {
    bool standalone = true;               // then: just end the message loop
    std::vector<HandBackAction> actions;  // parameter mode, in this order
};

// Converts a path from the ANSI code page to the OEM one in which the command
// interpreter reads a batch file; nothing when a character has no exact match.
using OemConverter = std::function<std::optional<std::string>(std::string_view)>;

// "C:\Temp\update.exe" gives "C:\Temp\suicide.bat".
std::string ScriptPathFor(std::string_view updaterExe);

// The four lines of the self-removal script, each ended by CR LF. Paths are
// converted to the OEM code page when that is exact, and every "%" is doubled
// so that the interpreter cannot expand part of a path.
std::string SelfRemovalScript(std::string_view updaterExe, std::string_view scriptPath,
                              const OemConverter& toOem = {});

HandBackPlan HandBack(bool startedWithParam, std::string_view updaterExe, std::string_view targetExe,
                      const OemConverter& toOem = {});

}  // namespace tervalon::update
