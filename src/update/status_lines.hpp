// The four status lines on which the update run leaves its verdict.
#pragma once

#include <string_view>

namespace tervalon::update {

enum class Line : int { One = 1, Two = 2, Three = 3, Four = 4 };

class StatusLines {
public:
    virtual ~StatusLines() = default;
    // The line shows `text`; its colour and visibility stay as they are.
    virtual void Write(Line line, std::string_view text) = 0;
    // The line's text turns pure red (colour value 255) for good.
    virtual void MarkRed(Line line) = 0;
    // The line disappears; its row stays empty and nothing moves up.
    virtual void Hide(Line line) = 0;
};

}  // namespace tervalon::update
