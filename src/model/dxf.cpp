#include "model/dxf.h"

namespace vanto::dxf {

using namespace std::string_view_literals;

void LineWriter::coordinate(std::string& out, double value) const {
    if (pattern_)
        pattern_->appendPoint(out, float(value));
    else
        out += writtenValue(float(value));
    out += "\r\n"sv;
}

void LineWriter::append(std::string& out, std::string_view layer, const Point& a, const Point& b,
                        std::optional<int> colour) const {
    out += "  0\r\nLINE\r\n  8\r\n"sv;
    out += layer;
    out += "\r\n"sv;
    if (colour) {
        out += " 62\r\n"sv;
        out += std::to_string(*colour);
        out += "\r\n"sv;
    }
    static constexpr std::string_view codes[2][3] = {{" 10\r\n", " 20\r\n", " 30\r\n"},
                                                     {" 11\r\n", " 21\r\n", " 31\r\n"}};
    for (int axis = 0; axis < 3; ++axis) {
        out += codes[0][axis];
        coordinate(out, a[std::size_t(axis)]);
    }
    for (int axis = 0; axis < 3; ++axis) {
        out += codes[1][axis];
        coordinate(out, b[std::size_t(axis)]);
    }
}

}  // namespace vanto::dxf
