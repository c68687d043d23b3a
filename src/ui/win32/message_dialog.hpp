// The typed message dialog (`Erori`): one hidden window, dressed anew for every
// message and shown modally.
#pragma once

#include <cstdint>
#include <string_view>

#include "ui/win32/controls.hpp"
#include "update/message_asker.hpp"

namespace tervalon::ui::win32 {

class MessageDialog final : public update::MessageAsker {
public:
    explicit MessageDialog(Application& application);

    Form& form() { return form_; }

    // Dresses the dialog for `kind`, shows only the requested buttons spread
    // across the footer and runs it modally. Returns the pressed button's
    // result (1, 2, 6, 7), or 2 when it was closed otherwise or not shown.
    std::uint16_t Mesaj(std::string_view title, std::string_view text, std::uint8_t kind,
                        std::uint16_t buttons) override;

private:
    bool FormKeyDown(WPARAM key);

    Form form_;
};

}  // namespace tervalon::ui::win32
