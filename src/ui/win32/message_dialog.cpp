#include "ui/win32/message_dialog.hpp"

#include "ui/message_dialog_design.hpp"
#include "ui/message_plan.hpp"

namespace tervalon::ui::win32 {

MessageDialog::MessageDialog(Application& application)
    : form_(message::Form, message::Controls, application.handle())
{
    form_.onKeyDown = [this](WPARAM key) { return FormKeyDown(key); };
}

std::uint16_t MessageDialog::Mesaj(std::string_view title, std::string_view text, std::uint8_t kind,
                                   std::uint16_t buttons)
{
    const message::MessagePlan plan = message::PlanMessage(kind, buttons);

    // Everything the user can see is set anew, so nothing of an earlier
    // message shows through.
    form_.SetText(message::Label1, title);
    form_.SetText(message::EroText, text);
    form_.CopyPicture(message::Image1, plan.kind.pictureRow);
    form_.SetCaption(plan.kind.caption);
    form_.SetGradient(message::GradientPanel1, plan.kind.colorFrom, plan.kind.colorTo);
    if (plan.kind.beep) MessageBeep(0);  // before anything is shown, also when nothing will be
    form_.SetGradient(message::GradientPanel2, plan.kind.colorFrom, plan.kind.colorTo);
    for (const message::ButtonPlan& button : plan.buttons) {
        form_.SetVisible(button.row, button.visible);
        if (button.visible) form_.SetLeft(button.row, button.left);
    }
    if (!plan.shown) return message::CancelResult;
    return static_cast<std::uint16_t>(form_.ShowModal());
}

// Sees every key before the focused button does: Esc closes the dialog as a
// cancel whichever buttons are shown.
bool MessageDialog::FormKeyDown(WPARAM key)
{
    if (key != VK_ESCAPE) return false;
    form_.SetModalResult(message::CancelResult);
    return true;
}

}  // namespace tervalon::ui::win32
