// Text of the error box that shows a failure escaping an event handler.
#pragma once

#include <string>
#include <string_view>

namespace tervalon::ui {

// The failure's message, with a full stop added when its last character comes
// after "." in character-code order (letters and digits do; "." "!" ")" do not).
inline std::string ErrorBoxText(std::string_view message)
{
    std::string text(message);
    if (!text.empty() && static_cast<unsigned char>(text.back()) > static_cast<unsigned char>('.')) text += '.';
    return text;
}

}  // namespace tervalon::ui
