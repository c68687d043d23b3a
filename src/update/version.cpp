#include "update/version.hpp"

namespace tervalon {

std::string FormatVersion(VersionValue value, char decimalSeparator)
{
    std::string text;
    // Magnitude as unsigned, so that even the most negative value formats exactly.
    std::uint64_t magnitude = static_cast<std::uint64_t>(value);
    if (value < 0) {
        text += '-';
        magnitude = ~magnitude + 1;
    }
    std::uint64_t whole = magnitude / VersionScale;
    auto fraction = static_cast<unsigned>(magnitude % VersionScale);

    char digits[24];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + whole % 10);
        whole /= 10;
    } while (whole != 0);
    while (count > 0) text += digits[--count];

    text += decimalSeparator;
    for (unsigned divisor = VersionScale / 10; divisor != 0; divisor /= 10) {
        text += static_cast<char>('0' + fraction / divisor);
        fraction %= divisor;
    }
    return text;
}

}  // namespace tervalon
