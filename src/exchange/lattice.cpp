#include "exchange/lattice.h"

#include <algorithm>
#include <cmath>

#include "exchange/replacement.h"
#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

namespace {

// Node and bar numbers are held in 32-bit fields: beyond 2^24 they lose units.
constexpr long long MaxItems = 16777216;

// The structure's geometry and node data, in the layouts of the model.
struct LatticeData {
    int nodeCount = 0;
    int barCount = 0;
    Table<float> coordinates;  // (node, axis)
    Table<float> bars;         // (bar, field)
    Table<float> loads;        // (node, k)
    Table<float> restraints;   // (node, k)
};

// Rows 0..n of a table, keeping what it holds.
void growRows(Table<float>& t, int maxRow, int cols) {
    if (t.empty()) t = Table<float>(0, cols);
    t.resizeRows(maxRow);
}

LatticeData readCurrent(const fs::path& dir) {
    LatticeData data;
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            return data;  // a new structure: nothing to keep
        case DiscoX::Status::OtherVersion:
            throw ExchangeError(OtherVersionText);
        case DiscoX::Status::Read:
            break;
    }
    data.nodeCount = counts.NodeCount;
    data.barCount = counts.BarCount;
    data.coordinates = DiscoX::readCoordinates(dir, counts.NodeCount);
    data.bars = DiscoX::readBars(dir, counts.BarCount);
    // Loads and restraints that were never written are zero and free.
    using DiscoX::NodeFile;
    if (fileExists(dir, "CARGAS.DAT")) {
        data.loads = DiscoX::readNodeValues(dir, NodeFile::Loads, counts.NodeCount);
    } else {
        data.loads = Table<float>(counts.NodeCount, 6);
    }
    if (fileExists(dir, "COACCION.DAT")) {
        data.restraints = DiscoX::readNodeValues(dir, NodeFile::Restraints, counts.NodeCount);
    } else {
        data.restraints = Table<float>(counts.NodeCount, 6);
        for (int n = 1; n <= counts.NodeCount; ++n)
            for (int k = 1; k <= 6; ++k)
                data.restraints(n, k) = FreeMarker;
    }
    return data;
}

struct Counts {
    long long nx, ny, nz;
};

Counts roundedCounts(const LatticeOptions& o) {
    const double values[] = {o.nx, o.ny, o.nz, o.ex, o.ey, o.ez, o.ox, o.oy, o.oz};
    for (double v : values)
        if (!std::isfinite(v) || std::fabs(v) > 1e15)
            throw ExchangeError("Los datos de la retícula no son números válidos.");
    // Halves go to the even neighbour, as the platform rounds.
    return {std::llrint(o.nx), std::llrint(o.ny), std::llrint(o.nz)};
}

// Appends the grid (counts already checked) to `data`; false when stopped.
bool appendLattice(LatticeData& data, const LatticeOptions& o, const Counts& c,
                   Progress* progress) {
    const int nx = int(c.nx), ny = int(c.ny), nz = int(c.nz);
    const long long total = c.nx * c.ny * c.nz;
    const long long bars =
        ((c.nx - 1) * c.ny + (c.ny - 1) * c.nx) * c.nz + c.nx * c.ny * (c.nz - 1);
    growRows(data.coordinates, int(data.nodeCount + total), 3);
    growRows(data.loads, int(data.nodeCount + total), 6);
    growRows(data.restraints, int(data.nodeCount + total), 6);
    growRows(data.bars, int(data.barCount + (o.createBars ? bars : 0)), BarFieldCount);

    auto addBar = [&](int from, int to) {
        const int b = ++data.barCount;
        float* row = data.bars.row(b);
        std::fill(row + 1, row + 1 + BarFieldCount, 0.0f);
        row[Origin] = float(from);
        row[End] = float(to);
        row[Type] = 1;
        row[EmpOR] = 1;
        row[EmpEX] = 1;
    };

    long long done = 0;
    for (int i = 1; i <= nx; ++i) {
        for (int j = 1; j <= ny; ++j) {
            for (int k = 1; k <= nz; ++k) {
                if (progress) {
                    progress->report(1, ++done, total);
                    if (progress->stopRequested()) return false;
                }
                const int n = ++data.nodeCount;
                data.coordinates(n, 1) = float(o.ox + o.ex * (i - 1));
                data.coordinates(n, 2) = float(o.oy + o.ey * (j - 1));
                data.coordinates(n, 3) = float(o.oz + o.ez * (k - 1));
                for (int q = 1; q <= 6; ++q) {
                    data.loads(n, q) = 0;
                    data.restraints(n, q) = FreeMarker;
                }
                if (!o.createBars || !(o.foundationBeams || k > 1)) continue;
                if (i > 1) addBar(n - ny * nz, n);
                if (j > 1) addBar(n - nz, n);
                if (k > 1) addBar(n - 1, n);
            }
        }
    }
    return true;
}

}  // namespace

double plainNumber(std::string_view text) {
    // The leading number stops at a comma, which is not a decimal separator here.
    std::string s(text.substr(0, text.find(',')));
    return ParseNumber(s);
}

Summary generateLattice(const fs::path& dir, const LatticeOptions& o, Progress* progress) {
    const Counts c = roundedCounts(o);
    Summary summary;
    if (o.ex * (double(c.nx) * double(c.ny) * double(c.nz)) * o.ey * o.ez == 0) return summary;
    if (c.nx < 0 || c.ny < 0 || c.nz < 0)
        throw ExchangeError("El número de puntos de cada dirección no puede ser negativo.");
    if (c.nx > MaxLatticeNodes || c.ny > MaxLatticeNodes || c.nz > MaxLatticeNodes ||
        c.nx * c.ny * c.nz > MaxLatticeNodes)
        throw ExchangeError("La retícula es demasiado grande: como mucho se generan " +
                            std::to_string(MaxLatticeNodes) + " nudos de una vez.");

    LatticeData data = o.keepCurrent ? readCurrent(dir) : LatticeData{};
    const long long nodes = data.nodeCount + c.nx * c.ny * c.nz;
    const long long bars = data.barCount + 3 * c.nx * c.ny * c.nz;
    if (nodes > MaxItems || bars > MaxItems)
        throw ExchangeError("La estructura resultante tendría demasiados nudos o barras.");

    if (!appendLattice(data, o, c, progress)) {
        summary.outcome = Outcome::Stopped;
        return summary;
    }

    StructureReplacement replacement(dir, StructureReplacement::Cleanup::Results);
    const fs::path& stage = replacement.stage();
    DiscoX::writeDatos(stage, data.nodeCount, data.barCount);
    DiscoX::writeCoordinates(stage, data.coordinates, data.nodeCount);
    DiscoX::writeBars(stage, data.bars, data.barCount);
    DiscoX::writeNodeValues(stage, DiscoX::NodeFile::Loads, data.loads, data.nodeCount);
    DiscoX::writeNodeValues(stage, DiscoX::NodeFile::Restraints, data.restraints, data.nodeCount);
    replacement.complete();
    replacement.commit();

    summary.outcome = Outcome::Written;
    summary.nodeCount = data.nodeCount;
    summary.barCount = data.barCount;
    return summary;
}

}  // namespace vanto::exchange
