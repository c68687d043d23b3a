// Entry of the updater: application title, the status window, the message
// loop. The process always ends with exit code 0.
#include <windows.h>

#include "app/update_steps.hpp"
#include "ui/win32/controls.hpp"
#include "ui/win32/message_dialog.hpp"
#include "ui/win32/status_window.hpp"
#include "update/release_profile.hpp"
#include "update/win32/install_probe.hpp"

using namespace tervalon;

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    ui::win32::Guarded([&] {
        ui::win32::Application application(instance, profile::ApplicationTitle);
        ui::win32::StatusWindow form1(application);
        form1.loadInstallInfo = [](update::InstallInfo& install) { update::win32::LoadInstallInfo(install); };
        ui::win32::MessageDialog erori(application);  // hidden until a message is shown
        form1.updateRun = [&](ui::win32::StatusWindow& window) { app::RunUpdateRun(window, erori, application); };
        form1.okPressed = [&](ui::win32::StatusWindow& window) { app::HandBackOnOk(window, application); };
        application.Run(form1.form());
    });
    return 0;
}
