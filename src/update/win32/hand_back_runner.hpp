// Carries out the OK button's hand-back on Windows.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "update/hand_back.hpp"

namespace tervalon::update::win32 {

// The path in the OEM code page when every character has an exact match there.
std::optional<std::string> AnsiToOemExactly(std::string_view ansi);

// Runs the plan's actions in order. A script that cannot be written throws
// (with the path and the system's reason) before anything is started; the
// process ends inside the last action.
void RunHandBack(const HandBackPlan& plan);

}  // namespace tervalon::update::win32
