// Tervalon version numbers: fixed point with four decimals, held as a signed
// 64-bit count of 1/10000 (1.0098 is 10098). 0 means "no version could be read".
#pragma once

#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

namespace tervalon {

using VersionValue = std::int64_t;

inline constexpr VersionValue VersionScale = 10000;
inline constexpr int VersionDecimals = 4;

// Codes 0 to 32 (blank and control characters) count as blank when trimming.
constexpr bool IsBlankCode(char c) { return static_cast<unsigned char>(c) <= 32; }

constexpr std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlankCode(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlankCode(text.back())) text.remove_suffix(1);
    return text;
}

// Reads a version text: trims it, reads every byte that is not a digit as the
// decimal separator (so the separator's own value never matters), and accepts
// the result only when it has at most one separator, needs no rounding to four
// decimals and fits 64 bits.
// Anything unreadable gives 0; the function never fails.
constexpr VersionValue ParseVersionText(std::string_view text)
{
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    text = TrimBlanks(text);
    if (text.empty()) return 0;

    constexpr auto maxValue = static_cast<std::uint64_t>(std::numeric_limits<VersionValue>::max());
    std::uint64_t whole = 0;     // digits before the separator, value so far
    std::uint64_t fraction = 0;  // first four decimals
    int decimals = 0;            // decimals seen so far
    bool separatorSeen = false;
    for (char c : text) {
        if (!isDigit(c)) {  // the separator itself, or any byte normalised to it
            if (separatorSeen) return 0;
            separatorSeen = true;
            continue;
        }
        const auto digit = static_cast<std::uint64_t>(c - '0');
        if (!separatorSeen) {
            if (whole > (maxValue / VersionScale - digit) / 10) return 0;
            whole = whole * 10 + digit;
        } else if (decimals < VersionDecimals) {
            fraction = fraction * 10 + digit;
            ++decimals;
        } else if (digit != 0) {
            return 0;  // would need rounding
        }
    }
    for (; decimals < VersionDecimals; ++decimals) fraction *= 10;
    const std::uint64_t scaledWhole = whole * VersionScale;
    if (scaledWhole > maxValue - fraction) return 0;
    return static_cast<VersionValue>(scaledWhole + fraction);
}

// Display text with exactly four decimals: 10098 gives "1.0098", 0 gives "0.0000".
std::string FormatVersion(VersionValue value, char decimalSeparator = '.');

// A version counts as installed only strictly above 1.0000.
constexpr bool IsInstalled(VersionValue installed) { return installed > VersionScale; }

// An update is due only when the offered version is strictly above the installed one.
constexpr bool IsUpdateDue(VersionValue offered, VersionValue installed) { return offered > installed; }

}  // namespace tervalon
