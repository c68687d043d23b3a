// The update run's file operations on the real Windows file system.
#pragma once

#include "update/file_system.hpp"
#include "update/update_run.hpp"

namespace tervalon::update::win32 {

// True only for an existing file (a folder of that name does not count), and
// only for an existing folder. Attributes rather than a directory search: a
// path is never a pattern here.
bool IsExistingFile(const std::string& path);
bool IsExistingFolder(const std::string& path);

class Win32FileSystem final : public FileSystem {
public:
    bool FileExists(const std::string& path) override;
    bool RemoveFile(const std::string& path) override;
    std::uint32_t ResetAttributes(const std::string& path) override;
    bool RenameFile(const std::string& from, const std::string& to) override;
    bool WriteNewFile(const std::string& path, std::span<const std::byte> bytes) override;
};

// The updater's own resources, read in place from the loaded image.
class OwnResources final : public ResourceSource {
public:
    std::optional<std::span<const std::byte>> Find(const std::string& type, const std::string& name) override;
};

class SystemClock final : public Clock {
public:
    std::chrono::milliseconds Now() override;
    void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace tervalon::update::win32
