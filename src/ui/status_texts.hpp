// Texts of the status window that follow from the release alone.
#pragma once

#include <string>
#include <string_view>

#include "update/version.hpp"

namespace tervalon::ui {

// "Actualizare Tervalon la ver.1.0098": no blank between "ver." and the number.
inline std::string TitleLine(std::string_view programTitle, VersionValue newVersion, char decimalSeparator)
{
    std::string text = "Actualizare ";
    text.append(programTitle).append(" la ver.").append(FormatVersion(newVersion, decimalSeparator));
    return text;
}

}  // namespace tervalon::ui
