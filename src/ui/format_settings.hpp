// Process-wide number and date formats. The system's regional settings give the
// starting values; the status window fixes them once, so that nothing the
// updater reads, compares or shows depends on the user's locale.
#pragma once

#include <string>

namespace tervalon::ui {

struct FormatSettings {
    char decimalSeparator = '.';
    char dateSeparator = '/';
    std::string shortDateFormat = "M/d/yyyy";
    bool followRegionalChanges = true;  // re-read when the system announces a change
};

FormatSettings& ProcessFormatSettings();

// What the status window fixes at creation.
inline void FixFormatSettings(FormatSettings& settings)
{
    settings.followRegionalChanges = false;
    settings.decimalSeparator = '.';
    settings.dateSeparator = '.';
    settings.shortDateFormat = "dd.MM.yyyy";
}

}  // namespace tervalon::ui
