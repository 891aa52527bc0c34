#include "exchange/dxf_export.h"

#include <system_error>

#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

std::optional<std::string> structureDxf(const Table<float>& xyz, const Table<float>& bars,
                                        int barCount, bool colourByType, Progress* progress) {
    TextWriter w;
    w.reserve(std::size_t(barCount) * 120 + 64);
    w.line("  0").line("SECTION").line("  2").line("ENTITIES");
    static constexpr const char* codes[2][3] = {{" 10", " 20", " 30"}, {" 11", " 21", " 31"}};
    for (int b = 1; b <= barCount; ++b) {
        if (progress) {
            progress->report(1, b, barCount);
            if (progress->stopRequested()) return std::nullopt;
        }
        w.line("  0").line("LINE").line("  8").line("0");
        if (colourByType) {
            // Colours 1..14; a damaged negative type must not give 0 (by block)
            // or a negative number (layer off).
            const int t = itemNumber(bars(b, Type));
            w.line(" 62").line(std::to_string((t % 14 + 14) % 14 + 1));
        }
        const int ends[2] = {itemNumber(bars(b, Origin)), itemNumber(bars(b, End))};
        for (int e = 0; e < 2; ++e)
            for (int axis = 1; axis <= 3; ++axis)
                w.line(codes[e][axis - 1]).line(writtenValue(xyz(ends[e], axis)));
    }
    w.line("  0").line("ENDSEC").line("  0").line("EOF");
    return w.content();
}

fs::path dxfFileName(const fs::path& baseName) {
    fs::path p = baseName;
    p += ".DXF";
    return p;
}

bool exportAvailable(const fs::path& dir) {
    return fileExists(dir, "DATOS.DAT") && fileExists(dir, "BARRAS.DAT") &&
           fileExists(dir, "COORDENA.DAT");
}

Outcome dxfout(const fs::path& dir, const fs::path& baseName, bool colourByType,
               Progress* progress) {
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            throw FileError(FileError::Kind::Missing, findFile(dir, "DATOS.DAT"));
        case DiscoX::Status::OtherVersion:
            throw ExchangeError(OtherVersionText);
        case DiscoX::Status::Read:
            break;
    }
    Structure s(counts);
    s.read(dir, part::Geometry);
    const Table<float>& bars = s.bars;
    for (int b = 1; b <= counts.BarCount; ++b) {
        const int o = itemNumber(bars(b, Origin)), e = itemNumber(bars(b, End));
        if (o < 1 || o > counts.NodeCount || e < 1 || e > counts.NodeCount)
            throw ExchangeError("La barra " + std::to_string(b) + " une nudos que no existen (" +
                                writtenValue(bars(b, Origin)) + " y " + writtenValue(bars(b, End)) +
                                "); la estructura tiene " + std::to_string(counts.NodeCount) +
                                " nudos.");
    }
    const auto text = structureDxf(s.coordinates, bars, s.barCount, colourByType, progress);
    if (!text) return Outcome::Stopped;
    const fs::path path = dxfFileName(baseName);
    try {
        writeFileAtomically(path, *text);
    } catch (const std::system_error& e) {
        throw FileError(FileError::Kind::WriteFailed, path, e.code().message());
    }
    return Outcome::Written;
}

}  // namespace vanto::exchange
