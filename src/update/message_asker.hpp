// Asking the user something through the typed message dialog.
#pragma once

#include <cstdint>
#include <string_view>

namespace tervalon::update {

class MessageAsker {
public:
    virtual ~MessageAsker() = default;
    // Shows the message modally; returns the pressed button's result (1 OK,
    // 2 Cancel, 6 Yes, 7 No), or 2 when it was closed otherwise or not shown.
    virtual std::uint16_t Mesaj(std::string_view title, std::string_view text, std::uint8_t kind,
                                std::uint16_t buttons) = 0;
};

}  // namespace tervalon::update
