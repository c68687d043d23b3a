// Resources of the running executable itself, read in place from the loaded image.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>

namespace tervalon::update::win32 {

// The bytes of the resource of that type and name (names match whatever their
// letter case), straight from the loaded executable; nothing when there is none.
std::optional<std::span<const std::byte>> FindOwnResource(const std::string& type, const std::string& name);

}  // namespace tervalon::update::win32
