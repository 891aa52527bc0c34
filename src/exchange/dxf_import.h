#pragma once
// DXF import: the straight lines (LINE and 3DLINE entities) of a drawing become
// the bars of the structure, and line ends that coincide within 0.02 drawing
// units (which become metres) become shared nodes.
//
// Nodes are numbered in order of first appearance, the start point of a line
// before its end point; a point takes the lowest-numbered existing node within
// the tolerance, exactly as a search of the nodes in order would. A line whose
// ends fall on the same node makes no bar.

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "exchange/exchange.h"
#include "model/platform.h"

namespace vanto::exchange {

struct Point {
    float x = 0, y = 0, z = 0;
};

// Coincidence tolerance, drawing units (distance in 3D).
inline constexpr double DxfTolerance = 0.02;

// Whether two points are one node: their distance is at most the tolerance.
inline bool coincident(const Point& a, const Point& b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y, dz = double(a.z) - b.z;
    return dx * dx + dy * dy + dz * dz <= DxfTolerance * DxfTolerance;
}

// The nodes found so far, with a hash of cells one tolerance wide so that a
// point is compared only with the nodes of its own and the neighbouring cells.
class NodeIndex {
  public:
    // The number (from 1) of the lowest-numbered node coincident with p; a new
    // node at p when there is none.
    int findOrAdd(const Point& p);
    const std::vector<Point>& nodes() const { return nodes_; }

  private:
    struct Cell {
        std::int64_t x, y, z;
        bool operator==(const Cell&) const = default;
    };
    struct Slot {
        Cell cell;
        int head = -1;  // last node added to the cell; -1 marks an empty slot
    };
    Cell cellOf(const Point& p) const;
    std::size_t slotOf(const Cell& c) const;
    void grow();

    std::vector<Point> nodes_;
    std::vector<int> next_;  // next (older) node of the same cell, or -1
    std::vector<Slot> slots_;
    std::size_t used_ = 0;
};

// A LINE or 3DLINE entity: start and end point.
struct DxfLine {
    Point start, end;
};

// The lines of a DXF drawing, read as pairs of lines (group code, value) up to
// the pair 0 / EOF. Entity names are compared in upper case. Coordinates an
// entity does not give keep the values of the previous line (0 at first).
// Throws ExchangeError for a file that is not a text DXF, a coordinate that is
// not a number, a file cut short. `label` names the file in messages.
std::vector<DxfLine> readDxfLines(std::string_view text, const std::string& label);

struct DxfGeometry {
    std::vector<Point> nodes;               // node n at nodes[n − 1]
    std::vector<std::pair<int, int>> bars;  // smaller node number first
};

// Nodes and bars of the lines. Progress stage 1 counts the lines; nullopt when
// stopped.
std::optional<DxfGeometry> buildDxfGeometry(const std::vector<DxfLine>& lines, Progress* progress);

// Whether a structure looks like a drawing of loose lines: more nodes than
// 1.1 × bars + 5.
bool manyLooseBars(std::size_t nodeCount, std::size_t barCount);

inline constexpr const char* NoLinesText = "El fichero no contiene ninguna LINEA o 3DLINEA.";
inline constexpr const char* LooseBarsText =
    "Esta estructura tiene gran número de barras\nsin conectar entre sí, eso podría ser \nun "
    "error, "
    "por lo que debería revisarla.";

// dxfin: replaces the structure in `dir` by the lines of the DXF file `file`:
// old *.DAT and *.RES files go (NOTAS.DAT stays), bars get type 1, no loads,
// both ends fixed, free nodes, the default bar types. A drawing without lines
// changes nothing and tells so; a drawing of loose lines is warned about and
// imported. Both through `messages`, titled "¡ Aviso !".
Summary dxfin(const std::filesystem::path& dir, const std::filesystem::path& file,
              Messages& messages, Progress* progress = nullptr);

}  // namespace vanto::exchange
