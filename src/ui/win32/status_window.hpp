// The status window: the program's main window, with the title line, the four
// status lines and the OK button.
#pragma once

#include <functional>
#include <string>

#include "ui/win32/controls.hpp"
#include "update/install_info.hpp"
#include "update/status_lines.hpp"

namespace tervalon::ui::win32 {

class StatusWindow final : public update::StatusLines {
public:
    explicit StatusWindow(Application& application);

    Form& form() { return form_; }

    // The show handler's steps around the title line: first the installation
    // is located (filling `install`), then the update run reports on the lines.
    std::function<void(update::InstallInfo&)> loadInstallInfo;
    std::function<void(StatusWindow&)> updateRun;
    // What the OK button does; by default it ends the program.
    std::function<void(StatusWindow&)> okPressed;

    update::InstallInfo install;  // WinDir, StartedWithParam, InstallDir, InstalledVersion
    std::string TargetExe;

    void Write(update::Line line, std::string_view text) override;
    void MarkRed(update::Line line) override;
    void Hide(update::Line line) override;

private:
    void FormCreate();
    void FormShow();
    void Button1Click();

    Application& application_;
    Form form_;
};

}  // namespace tervalon::ui::win32
