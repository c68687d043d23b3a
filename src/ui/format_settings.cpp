#include "ui/format_settings.hpp"

namespace tervalon::ui {

FormatSettings& ProcessFormatSettings()
{
    static FormatSettings settings;
    return settings;
}

}  // namespace tervalon::ui
