#include "analysis/calculation.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "analysis/engine.h"
#include "model/files.h"
#include "model/textfile.h"
#include "reports/listing.h"

namespace vanto::analysis {

namespace fs = std::filesystem;

StructureData loadStructure(const fs::path& dir) {
    StructureCounts counts;
    switch (DiscoX::readDatos(dir, counts)) {
        case DiscoX::Status::Missing:
            throw CalculationError(CalculationError::Kind::NoData,
                                   " Debe generar la estructura antes de intentar calcularla ");
        case DiscoX::Status::OtherVersion:
            throw CalculationError(CalculationError::Kind::OtherVersion,
                                   "Estructura no compatible con la versión actual del programa");
        case DiscoX::Status::Read:
            break;
    }
    StructureData s(counts);
    s.read(dir, part::All);
    return s;
}

std::vector<double> byDof(const Table<double>& values, int nodeCount) {
    std::vector<double> flat(6 * std::size_t(nodeCount) + 1, 0.0);
    for (int node = 1; node <= nodeCount; ++node)
        for (int k = 1; k <= 6; ++k)
            flat[6 * std::size_t(node - 1) + k] = values(node, k);
    return flat;
}

void validate(const StructureData& d) {
    using Kind = CalculationError::Kind;
    for (int bar = 1; bar <= d.barCount; ++bar) {
        const int o = itemNumber(d.bars(bar, Origin)), e = itemNumber(d.bars(bar, End));
        if (o < 1 || o > d.nodeCount || e < 1 || e > d.nodeCount)
            throw CalculationError(Kind::BadNode, "La barra nº " + std::to_string(bar) +
                                                      " une los nudos " + std::to_string(o) +
                                                      " y " + std::to_string(e) +
                                                      ", pero la estructura tiene " +
                                                      std::to_string(d.nodeCount) + " nudos.");
        const int t = itemNumber(d.bars(bar, Type));
        if (t < 1 || t > d.types.count)
            throw CalculationError(Kind::UndefinedType,
                                   " Está usando un tipo de barra que no está definido       ");
        if (barFrame(d.bars, bar, d.coordinates).L == 0)
            throw CalculationError(Kind::ZeroLength, "La barra nº " + std::to_string(bar) +
                                                         " tiene longitud nula: sus nudos " +
                                                         std::to_string(o) + " y " +
                                                         std::to_string(e) + " coinciden.");
        if (!(d.types.values(t, A) > 0))
            throw CalculationError(Kind::ZeroArea,
                                   "Ojo: area nula en la barra " + std::to_string(bar));
        if (!(d.types.values(t, MY) > 0))
            throw CalculationError(Kind::ZeroModulus,
                                   "Ojo: mod. Young nulo en barra " + std::to_string(bar));
        for (const auto& [field, end] : {std::pair{EmpOR, "origen"}, {EmpEX, "extremo"}}) {
            const float v = d.bars(bar, field);
            if (v >= 0 && v <= 1) continue;
            std::ostringstream text;
            text << "La barra nº " << bar << " tiene un coeficiente de empotramiento " << v
                 << " en el " << end << ": debe estar entre 0 y 1.";
            throw CalculationError(Kind::BadFixity, text.str());
        }
    }
}

double bandBytes(int dofCount, int halfBandwidth) {
    // Rows padded to whole cache lines, as the band matrix stores them.
    return double(dofCount) * double((halfBandwidth + 7) / 8 * 8) * sizeof(double);
}

BandVerdict judgeBand(double bytes, double available) {
    if (bytes > available) return BandVerdict::Refuse;
    return bytes > BandWarningBytes ? BandVerdict::Warn : BandVerdict::Fine;
}

double availableMemory() {
    std::ifstream in("/proc/meminfo");
    std::string name, unit;
    double value = 0, total = 0;
    while (in >> name >> value) {
        std::getline(in, unit);
        if (name == "MemAvailable:" || name == "SwapFree:") total += value * 1024;
    }
    return total;
}

namespace {

bool allFinite(const std::vector<double>& v) {
    for (std::size_t k = 1; k < v.size(); ++k)
        if (!std::isfinite(v[k])) return false;
    return true;
}

[[noreturn]] void notFinite() {
    throw CalculationError(CalculationError::Kind::NotFinite,
                           "El cálculo no da resultados finitos: revise los datos de la "
                           "estructura (secciones, coordenadas y cargas).");
}

std::string megabytes(double bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.0f MB", std::ceil(bytes / 1e6));
    return text;
}

// The band path refuses a band the machine cannot hold and warns of a large
// one before it starts.
void checkBand(int dofCount, int halfBandwidth, CalcObserver& observer) {
    const double bytes = bandBytes(dofCount, halfBandwidth);
    const double available = availableMemory();
    const std::string size = "La matriz en banda (semiancho " + std::to_string(halfBandwidth) +
                             ") ocupa " + megabytes(bytes);
    switch (judgeBand(bytes, available)) {
        case BandVerdict::Fine:
            return;
        case BandVerdict::Warn:
            observer.warning(size +
                             " de memoria: el cálculo tardará. \"Renumerar\" los nudos "
                             "reduce la banda.");
            return;
        case BandVerdict::Refuse:
            throw CalculationError(CalculationError::Kind::BandTooLarge,
                                   size + " y la máquina solo dispone de " + megabytes(available) +
                                       ". Use \"Renumerar\" para reducir la banda, o calcule sin "
                                       "grabar MATRIZ.LSC ni MATRIZ.TRI.");
    }
}

}  // namespace

CalcOutcome runCalculation(const fs::path& dir, const CalcOptions& options, CalcObserver& observer,
                           const Clock& clock) {
    const StructureData data = loadStructure(dir);
    validate(data);

    std::vector<double> F = byDof(data.loads, data.nodeCount);
    std::vector<double> D = byDof(data.restraints, data.nodeCount);
    if (options.writeMatrix || options.writeTriangulated) {
        const int dofCount = 6 * data.nodeCount;
        const int hb = ComputeHalfBandwidth(data.bars, data.barCount);
        checkBand(dofCount, hb, observer);
        BandMatrix K(dofCount, hb);
        if (!Ensambla(data, K, F, D, observer)) return CalcOutcome::Stopped;
        if (options.writeMatrix) replaceFile(dir, "matriz.lsc", matrixDump(K, F, D));
        if (!Gauss(K, F, D, observer, clock)) return CalcOutcome::Stopped;
        if (options.writeTriangulated) replaceFile(dir, "matriz.tri", matrixDump(K, F, D));
    } else {
        SparseSystem K;
        if (!assembleSparse(data, F, D, K, observer)) return CalcOutcome::Stopped;
        if (!solveSparse(std::move(K), D, observer, clock)) return CalcOutcome::Stopped;
    }
    if (!allFinite(D)) notFinite();
    DiscoX::writeNodeResults(dir, DiscoX::NodeResult::Displacements, D, data.nodeCount);

    Table<double> endForces;
    std::vector<double> unbalanced;
    if (!Esfuerzos(data, D, endForces, unbalanced, observer)) return CalcOutcome::Stopped;
    DiscoX::writeEndForces(dir, endForces, data.barCount);
    DiscoX::writeNodeResults(dir, DiscoX::NodeResult::Unbalanced, unbalanced, data.nodeCount);

    std::string diagrams;
    if (!Diagramas(data, D, endForces, diagrams, observer)) return CalcOutcome::Stopped;
    replaceFile(dir, "DIAGRAMA.RES", diagrams);

    observer.report(StageListing, 0, 1);
    reports::writeDataListing(dir, clock);
    reports::writeResultsListing(dir, clock);
    observer.report(StageListing, 1, 1);
    return CalcOutcome::Completed;
}

}  // namespace vanto::analysis
