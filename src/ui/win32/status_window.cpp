#include "ui/win32/status_window.hpp"

#include "ui/format_settings.hpp"
#include "ui/status_texts.hpp"
#include "ui/status_window_design.hpp"
#include "update/release_profile.hpp"

namespace tervalon::ui::win32 {

namespace {
int RowOf(update::Line line) { return status::Linia1 + static_cast<int>(line) - 1; }
}  // namespace

StatusWindow::StatusWindow(Application& application)
    : application_(application), form_(status::Form, status::Controls, application.handle())
{
    form_.onShow = [this] { FormShow(); };
    form_.onClick = [this](int row) {
        if (row == status::Button1) Button1Click();
    };
    // Any other close request ends the program like the standalone OK.
    form_.onCloseRequest = [this] { application_.Terminate(); };
    FormCreate();
}

void StatusWindow::FormCreate() { FixFormatSettings(ProcessFormatSettings()); }

void StatusWindow::FormShow()
{
    if (loadInstallInfo) loadInstallInfo(install);
    form_.SetText(status::Label1, TitleLine(profile::ProgramTitle, profile::NewVersion,
                                            ProcessFormatSettings().decimalSeparator));
    if (updateRun) updateRun(*this);
}

void StatusWindow::Button1Click()
{
    if (okPressed) {
        okPressed(*this);
    } else {
        application_.Terminate();
    }
}

void StatusWindow::Write(update::Line line, std::string_view text) { form_.SetText(RowOf(line), text); }

void StatusWindow::MarkRed(update::Line line) { form_.SetTextColor(RowOf(line), PureRed); }

void StatusWindow::Hide(update::Line line) { form_.SetVisible(RowOf(line), false); }

}  // namespace tervalon::ui::win32
