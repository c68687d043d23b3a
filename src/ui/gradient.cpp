#include "ui/gradient.hpp"

namespace tervalon::ui {

namespace {
unsigned Blend(unsigned from, unsigned to, int step, int steps)
{
    if (steps <= 1) return from;
    const int delta = static_cast<int>(to) - static_cast<int>(from);
    return static_cast<unsigned>(static_cast<int>(from) + delta * step / (steps - 1));
}
}  // namespace

std::vector<Band> GradientBands(const GradientSpec& spec, int width, int height)
{
    std::vector<Band> bands;
    if (spec.count <= 0 || width <= 0 || height <= 0) return bands;
    const bool vertical = spec.direction == GradientDirection::TopToBottom ||
                          spec.direction == GradientDirection::BottomToTop;
    const bool reversed = spec.direction == GradientDirection::BottomToTop ||
                          spec.direction == GradientDirection::RightToLeft;
    const int extent = vertical ? height : width;
    bands.reserve(static_cast<std::size_t>(spec.count));
    for (int i = 0; i < spec.count; ++i) {
        // Band i counts from the start edge; its edges are spread evenly.
        int start = extent * i / spec.count;
        int end = extent * (i + 1) / spec.count;
        if (end <= start) continue;  // more bands than pixels
        if (reversed) {
            const int s = extent - end;
            end = extent - start;
            start = s;
        }
        const Color color = Rgb(Blend(RedOf(spec.from), RedOf(spec.to), i, spec.count),
                                Blend(GreenOf(spec.from), GreenOf(spec.to), i, spec.count),
                                Blend(BlueOf(spec.from), BlueOf(spec.to), i, spec.count));
        const Rect area = vertical ? Rect{0, start, width, end - start} : Rect{start, 0, end - start, height};
        bands.push_back({area, color});
    }
    return bands;
}

}  // namespace tervalon::ui
