#include "ui/message_plan.hpp"

namespace tervalon::ui::message {

namespace {
// The layout's own constants, a little wider than the client area (339) and
// the buttons (72).
constexpr double LayoutWidth = 342.0;
constexpr double LayoutStep = 73.0;
}  // namespace

const KindRow& KindRowOf(std::uint8_t kind)
{
    switch (static_cast<MessageKind>(kind)) {
    case MessageKind::Warning:
    case MessageKind::Information:
    case MessageKind::Confirmation:
        return Kinds[kind];
    default:
        return Kinds[static_cast<std::size_t>(MessageKind::Error)];
    }
}

int ButtonGap(int visibleCount)
{
    return static_cast<int>((LayoutWidth - LayoutStep * visibleCount) / (visibleCount + 1));
}

MessagePlan PlanMessage(std::uint8_t kind, std::uint16_t buttons)
{
    MessagePlan plan{};
    plan.kind = KindRowOf(kind);
    for (std::size_t i = 0; i < Buttons.size(); ++i) {
        plan.buttons[i].row = Buttons[i].row;
        plan.buttons[i].visible = (buttons & Buttons[i].bit) != 0;
        if (plan.buttons[i].visible) ++plan.visibleCount;
    }
    plan.shown = plan.visibleCount > 0;
    if (!plan.shown) return plan;
    const int gap = ButtonGap(plan.visibleCount);
    int k = 0;
    for (ButtonPlan& button : plan.buttons) {
        if (!button.visible) continue;
        ++k;
        button.left = gap * k + static_cast<int>(LayoutStep) * (k - 1);
    }
    return plan;
}

}  // namespace tervalon::ui::message
