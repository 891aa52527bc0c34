#include "exchange/dxf_export.h"

#include <system_error>

#include "model/dxf.h"
#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "model/structure_data.h"
#include "model/textfile.h"

namespace vanto::exchange {

namespace fs = std::filesystem;

std::optional<std::string> structureDxf(const Table<float>& xyz, const Table<float>& bars,
                                        int barCount, bool colourByType, Progress* progress) {
    std::string out;
    out.reserve(std::size_t(barCount) * 120 + 64);
    out += "  0\r\nSECTION\r\n  2\r\nENTITIES\r\n";
    const dxf::LineWriter lines;
    const auto at = [&](float node) {
        const int n = itemNumber(node);
        return dxf::Point{xyz(n, 1), xyz(n, 2), xyz(n, 3)};
    };
    for (int b = 1; b <= barCount; ++b) {
        if (progress) {
            progress->report(1, b, barCount);
            if (progress->stopRequested()) return std::nullopt;
        }
        // Colours 1..14; a damaged negative type must not give 0 (by block)
        // or a negative number (layer off).
        const int t = itemNumber(bars(b, Type));
        const std::optional<int> colour =
            colourByType ? std::optional((t % 14 + 14) % 14 + 1) : std::nullopt;
        lines.append(out, "0", at(bars(b, Origin)), at(bars(b, End)), colour);
    }
    out += "  0\r\nENDSEC\r\n  0\r\nEOF\r\n";
    return out;
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
