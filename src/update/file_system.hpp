// The file operations the update run needs, behind an interface that the Win32
// adapter implements and tests fake.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace tervalon::update {

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // True only for an existing file: a folder of that name does not count.
    virtual bool FileExists(const std::string& path) = 0;
    // Fails for a file held open by a running program, a read-only file, a
    // folder or a missing file; never changes attributes itself.
    virtual bool RemoveFile(const std::string& path) = 0;
    // Sets the attribute word to 0; returns 0 or the system's error code.
    virtual std::uint32_t ResetAttributes(const std::string& path) = 0;
    // Never overwrites: fails when anything named `to` exists.
    virtual bool RenameFile(const std::string& from, const std::string& to) = 0;
    // Creates (or empties) the file, writes all bytes in one write and flushes
    // them to the disk. False when it cannot be created or not fully written
    // (a partly written file then stays).
    virtual bool WriteNewFile(const std::string& path, std::span<const std::byte> bytes) = 0;
};

// The updater's own resources: the payload, read in place.
class ResourceSource {
public:
    virtual ~ResourceSource() = default;
    virtual std::optional<std::span<const std::byte>> Find(const std::string& type, const std::string& name) = 0;
};

}  // namespace tervalon::update
