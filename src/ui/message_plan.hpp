// What the message dialog does for one call, decided from the call's arguments
// alone: the kind's row, which buttons show and where, and whether the dialog
// is shown at all. The window layer only applies the plan.
#pragma once

#include <array>
#include <cstdint>

#include "ui/message_dialog_design.hpp"

namespace tervalon::ui::message {

// The result of a dialog closed other than by a button, or not shown at all.
inline constexpr std::uint16_t CancelResult = 2;

struct ButtonPlan {
    int row = 0;
    bool visible = false;
    int left = 0;  // only for a visible button; hidden ones are not moved
};

struct MessagePlan {
    KindRow kind;
    std::array<ButtonPlan, 4> buttons;  // BE1, BE2, BE3, BE4
    int visibleCount = 0;
    bool shown = false;
};

// The row for a kind value; every value other than 0, 2 and 3 is an error.
const KindRow& KindRowOf(std::uint8_t kind);

// Space before each of n visible buttons: (342 - 73n) / (n + 1) truncated
// toward zero (not rounded: three buttons get 30, not 31).
int ButtonGap(int visibleCount);

MessagePlan PlanMessage(std::uint8_t kind, std::uint16_t buttons);

}  // namespace tervalon::ui::message
