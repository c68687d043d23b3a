// Entry of the updater: application title, the status window, the message
// loop. The process always ends with exit code 0.
#include <windows.h>

#include "ui/win32/controls.hpp"
#include "ui/win32/status_window.hpp"
#include "update/release_profile.hpp"

using namespace tervalon;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ui::win32::Guarded([&] {
        ui::win32::Application application(instance, profile::ApplicationTitle);
        ui::win32::StatusWindow form1(application);
        application.Run(form1.form());
    });
    return 0;
}
