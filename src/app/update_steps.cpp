#include "app/update_steps.hpp"

#include "ui/format_settings.hpp"
#include "update/hand_back.hpp"
#include "update/release_profile.hpp"
#include "update/update_run.hpp"
#include "update/win32/file_system.hpp"
#include "update/win32/hand_back_runner.hpp"
#include "update/win32/install_probe.hpp"

namespace tervalon::app {

void RunUpdateRun(ui::win32::StatusWindow& window, update::MessageAsker& asker,
                  ui::win32::Application& application)
{
    update::win32::Win32FileSystem files;
    update::win32::OwnResources resources;
    update::win32::SystemClock clock;
    update::UpdateEnvironment environment{files,
                                          resources,
                                          window,
                                          asker,
                                          [&application] { application.ProcessMessages(); },
                                          clock,
                                          ui::ProcessFormatSettings().decimalSeparator};
    const update::Release release{profile::NewVersion, profile::ProgramTitle, profile::ProgramExe,
                                  profile::PayloadResourceType, profile::PayloadResourceName};
    window.TargetExe = update::RunUpdate(window.install, release, environment).targetExe;
}

void HandBackOnOk(ui::win32::StatusWindow& window, ui::win32::Application& application)
{
    const update::HandBackPlan plan =
        update::HandBack(window.install.StartedWithParam, update::win32::OwnExecutablePath(), window.TargetExe,
                         update::win32::AnsiToOemExactly);
    if (plan.standalone) {
        application.Terminate();
        return;
    }
    update::win32::RunHandBack(plan);
}

}  // namespace tervalon::app
