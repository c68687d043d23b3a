// The status window's two jobs on the real system: the update run when it is
// about to be shown, and the hand-back when OK is pressed.
#pragma once

#include "ui/win32/controls.hpp"
#include "ui/win32/status_window.hpp"
#include "update/message_asker.hpp"

namespace tervalon::app {

// Runs the update over the real file system and the updater's own payload,
// reporting on the window's status lines and asking through `asker`.
void RunUpdateRun(ui::win32::StatusWindow& window, update::MessageAsker& asker,
                  ui::win32::Application& application);

// Started by a user the program ends; started by Tervalon the self-removal
// script is written and started, Tervalon is started and the process stops.
void HandBackOnOk(ui::win32::StatusWindow& window, ui::win32::Application& application);

}  // namespace tervalon::app
