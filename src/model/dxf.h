#pragma once
// DXF LINE entities as text, for the drawings the program writes: one group
// code (right-aligned in three characters) or value a line, lines ending in
// CR LF. Coordinates are 32-bit values, in m.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "model/helpers.h"

namespace vanto::dxf {

using Point = std::array<double, 3>;

class LineWriter {
  public:
    // Coordinates as written values: the shortest text that reads back the same.
    LineWriter() = default;
    // Coordinates shaped by a number pattern, as FormatPoint does.
    explicit LineWriter(std::string_view pattern) : pattern_(std::in_place, pattern) {}

    // Appends a LINE from a to b on `layer`, with the colour number (group 62)
    // when one is given.
    void append(std::string& out, std::string_view layer, const Point& a, const Point& b,
                std::optional<int> colour = std::nullopt) const;

  private:
    void coordinate(std::string& out, double value) const;
    std::optional<NumberPattern> pattern_;
};

}  // namespace vanto::dxf
