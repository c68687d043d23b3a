// Colour bands of a gradient panel.
#pragma once

#include <vector>

#include "ui/control_table.hpp"

namespace tervalon::ui {

struct Band {
    Rect area;
    Color color;
};

// Splits a width x height area into spec.count bands that blend step by step
// from spec.from at the direction's start edge to spec.to at its end edge.
std::vector<Band> GradientBands(const GradientSpec& spec, int width, int height);

}  // namespace tervalon::ui
