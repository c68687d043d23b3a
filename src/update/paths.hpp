// Path and text helpers shared by the locator, the update run and the hand-back.
// Paths are Windows paths in the ANSI code page, built by plain concatenation.
#pragma once

#include <string>
#include <string_view>

#include "update/version.hpp"

namespace tervalon {

// The folder part of a path: up to and including its last "\" or ":",
// empty when it has neither.
constexpr std::string_view FolderPart(std::string_view path)
{
    const auto last = path.find_last_of("\\:");
    return last == std::string_view::npos ? std::string_view{} : path.substr(0, last + 1);
}

// Removes exactly one trailing "\" (a second one stays).
constexpr std::string_view WithoutTrailingBackslash(std::string_view path)
{
    if (!path.empty() && path.back() == '\\') path.remove_suffix(1);
    return path;
}

// The installation folder as the run uses it: trimmed of codes 0 to 32, then
// without one trailing "\".
inline std::string NormaliseInstallDir(std::string_view folder)
{
    return std::string(WithoutTrailingBackslash(TrimBlanks(folder)));
}

inline std::string JoinPath(std::string_view folder, std::string_view name)
{
    std::string path;
    path.reserve(folder.size() + 1 + name.size());
    path.append(folder).append("\\").append(name);
    return path;
}

}  // namespace tervalon
