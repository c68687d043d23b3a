#include "update/win32/own_resource.hpp"

#include <windows.h>

namespace tervalon::update::win32 {

std::optional<std::span<const std::byte>> FindOwnResource(const std::string& type, const std::string& name)
{
    const HMODULE self = GetModuleHandleA(nullptr);
    const HRSRC found = FindResourceA(self, name.c_str(), type.c_str());
    if (!found) return std::nullopt;
    const HGLOBAL loaded = LoadResource(self, found);
    if (!loaded) return std::nullopt;
    const void* bytes = LockResource(loaded);
    const DWORD size = SizeofResource(self, found);
    if (!bytes && size != 0) return std::nullopt;
    // Resources of the own image live as long as the process: no release needed.
    return std::span<const std::byte>(static_cast<const std::byte*>(bytes), size);
}

}  // namespace tervalon::update::win32
