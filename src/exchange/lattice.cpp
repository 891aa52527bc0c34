#include "exchange/lattice.h"

#include <algorithm>
#include <cmath>

#include "exchange/replacement.h"
#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "model/structure_data.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

namespace {

// Node and bar numbers are held in 32-bit fields: beyond 2^24 they lose units.
constexpr long long MaxItems = 16777216;

// The files the generator writes; the types are left to the completion. The
// load cases of a structure it adds to grow with it; a new one has none.
constexpr Parts Written = part::Geometry | part::Loads | part::Restraints | part::Cases;

Structure newStructure() {
    Structure s;
    s.reset(Written);
    return s;
}

Structure readCurrent(const fs::path& dir) {
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            return newStructure();  // nothing to keep
        case DiscoX::Status::OtherVersion:
            throw ExchangeError(OtherVersionText);
        case DiscoX::Status::Read:
            break;
    }
    Structure s(counts);
    s.read(dir, part::Coordinates);
    s.read(dir, part::Bars);
    // Loads and restraints that were never written are zero and free.
    for (const auto& [file, p] :
         {std::pair{"CARGAS.DAT", part::Loads}, {"COACCION.DAT", part::Restraints}}) {
        if (fileExists(dir, file))
            s.read(dir, p);
        else
            s.reset(p);
    }
    s.read(dir, part::Cases);
    return s;
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
bool appendLattice(Structure& data, const LatticeOptions& o, const Counts& c, Progress* progress) {
    const int nx = int(c.nx), ny = int(c.ny), nz = int(c.nz);
    const long long total = c.nx * c.ny * c.nz;
    const long long bars =
        ((c.nx - 1) * c.ny + (c.ny - 1) * c.nx) * c.nz + c.nx * c.ny * (c.nz - 1);
    data.reserve(int(data.nodeCount + total), int(data.barCount + (o.createBars ? bars : 0)));

    long long done = 0;
    for (int i = 1; i <= nx; ++i) {
        for (int j = 1; j <= ny; ++j) {
            for (int k = 1; k <= nz; ++k) {
                if (progress) {
                    progress->report(1, ++done, total);
                    if (progress->stopRequested()) return false;
                }
                const int n =
                    data.addNode(float(o.ox + o.ex * (i - 1)), float(o.oy + o.ey * (j - 1)),
                                 float(o.oz + o.ez * (k - 1)));
                if (!o.createBars || !(o.foundationBeams || k > 1)) continue;
                if (i > 1) data.addBar(float(n - ny * nz), float(n));
                if (j > 1) data.addBar(float(n - nz), float(n));
                if (k > 1) data.addBar(float(n - 1), float(n));
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

    Structure data = o.keepCurrent ? readCurrent(dir) : newStructure();
    const long long nodes = data.nodeCount + c.nx * c.ny * c.nz;
    const long long bars = data.barCount + 3 * c.nx * c.ny * c.nz;
    if (nodes > MaxItems || bars > MaxItems)
        throw ExchangeError("La estructura resultante tendría demasiados nudos o barras.");

    if (!appendLattice(data, o, c, progress)) {
        summary.outcome = Outcome::Stopped;
        return summary;
    }

    StructureReplacement replacement(dir, StructureReplacement::Cleanup::ResultsAndLoadCases);
    data.save(replacement.stage(), Written);
    replacement.complete();
    replacement.commit();

    summary.outcome = Outcome::Written;
    summary.nodeCount = data.nodeCount;
    summary.barCount = data.barCount;
    return summary;
}

}  // namespace vanto::exchange
