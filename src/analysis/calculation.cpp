#include "analysis/calculation.h"

#include <atomic>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <set>
#include <sstream>

#include "analysis/engine.h"
#include "model/files.h"
#include "model/parallel.h"
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

// Solves every case: D[k − 1] receives the displacements of case k. The
// stiffness is assembled and factorized once; each case is one right-hand side.
bool solveCases(const fs::path& dir, const StructureData& data, const CalcOptions& options,
                CalcObserver& observer, const Clock& clock, std::vector<std::vector<double>>& D) {
    std::vector<double> F = byDof(data.loads, data.nodeCount);
    D.assign(std::size_t(data.cases.count()), byDof(data.restraints, data.nodeCount));
    // Prescribed displacements belong to case 1: in the others those degrees
    // of freedom stay still.
    for (std::size_t k = 1; k < D.size(); ++k)
        for (double& d : D[k])
            if (!isFree(d)) d = 0;
    std::vector<std::vector<double>> more;  // right-hand sides of cases 2..N
    for (int k = 2; k <= data.cases.count(); ++k)
        more.push_back(loadVector(data, CaseLoads(data, {ResultSet::Kind::Case, k})));

    if (options.writeMatrix || options.writeTriangulated) {
        const int dofCount = 6 * data.nodeCount;
        const int hb = ComputeHalfBandwidth(data.bars, data.barCount);
        checkBand(dofCount, hb, observer);
        BandMatrix K(dofCount, hb);
        if (!Ensambla(data, K, F, D[0], observer)) return false;
        if (options.writeMatrix) replaceFile(dir, "matriz.lsc", matrixDump(K, F, D[0]));
        if (!Gauss(K, F, D[0], observer, clock)) return false;
        if (options.writeTriangulated) replaceFile(dir, "matriz.tri", matrixDump(K, F, D[0]));
        for (std::size_t k = 1; k < D.size(); ++k)
            solveReduced(K, more[k - 1], D[k]);
        return !observer.stopRequested();
    }
    SparseSystem K;
    if (!assembleSparse(data, F, D[0], K, observer)) return false;
    for (const std::vector<double>& Fk : more)
        addRightHandSide(K, Fk);
    more.clear();
    return solveSparse(std::move(K), D, observer, clock);
}

// The displacements of a combination: its factors times those of the cases.
std::vector<double> combined(const std::vector<std::vector<double>>& D,
                             const std::vector<double>& factors) {
    std::vector<double> out(D[0].size(), 0.0);
    for (std::size_t k = 0; k < factors.size(); ++k) {
        if (factors[k] == 0) continue;
        for (std::size_t i = 1; i < out.size(); ++i)
            out[i] += factors[k] * D[k][i];
    }
    return out;
}

const char* const ResultStems[] = {"INCOG", "ESFUERZO", "DESEQUIL", "DIAGRAMA"};

std::string upper(std::string s) {
    for (char& c : s)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

// Result files of cases and combinations the structure no longer has would
// pass for results of this calculation: they go.
void removeStaleResults(const fs::path& dir, const std::vector<ResultSet>& sets, bool envelope) {
    std::set<std::string> current;
    for (const ResultSet& set : sets)
        for (const char* stem : ResultStems)
            current.insert(upper(DiscoX::resultFileName(stem, set)));
    if (envelope) current.insert(EnvelopeFileName);
    std::error_code ec;
    std::vector<fs::path> stale;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (isResultFile(name) && !current.count(upper(name))) stale.push_back(it->path());
    }
    for (const fs::path& p : stale)
        if (!fs::remove(p, ec) && ec)
            throw FileError(FileError::Kind::WriteFailed, p, ec.message());
}

// INCOG, ESFUERZO, DESEQUIL and DIAGRAMA of one case or combination, and its
// sections of the results listing.
// `diagrams` is the room for DIAGRAMA's text, kept from one set to the next.
bool writeResults(const fs::path& dir, const StructureData& data, const ResultSet& set,
                  const std::vector<double>& D, std::string& listed, std::string& diagrams,
                  CalcObserver& observer) {
    const CaseLoads loads(data, set);
    DiscoX::writeNodeResults(dir, DiscoX::NodeResult::Displacements, D, data.nodeCount, set);
    Table<double> endForces;
    std::vector<double> unbalanced;
    if (!Esfuerzos(data, loads, D, endForces, unbalanced, observer)) return false;
    DiscoX::writeEndForces(dir, endForces, data.barCount, set);
    DiscoX::writeNodeResults(dir, DiscoX::NodeResult::Unbalanced, unbalanced, data.nodeCount, set);
    listed = reports::resultsSections(data, set, D, endForces, unbalanced);
    if (!Diagramas(data, loads, D, endForces, diagrams, observer)) return false;
    replaceFile(dir, DiscoX::resultFileName("DIAGRAMA", set), diagrams);
    return true;
}

// What the helper thread reports: nothing, and the caller's stop.
class HelperObserver : public CalcObserver {
  public:
    explicit HelperObserver(const std::atomic<bool>& stop) : stop_(stop) {}
    void report(int, long long, long long) override {}
    bool stopRequested() override { return stop_; }

  private:
    const std::atomic<bool>& stop_;
};

// The result files of every case and combination, two sets at a time: this
// thread reports its sets' progress and takes the user's stop.
bool writeAllResults(const fs::path& dir, const StructureData& data,
                     const std::vector<ResultSet>& sets, const std::vector<std::vector<double>>& D,
                     int total, std::vector<std::string>& listed, CalcObserver& observer) {
    listed.assign(sets.size(), {});
    std::string diagrams[2];  // one for each processor
    std::atomic<bool> stop{false};
    HelperObserver helper(stop);
    int shown = 0;
    onTwoProcessors(
        int(sets.size()),
        [&](int i, bool onCaller) {
            if (onCaller) observer.report(StageCases, shown = i + 1, total);
            CalcObserver& watching = onCaller ? observer : helper;
            const std::size_t k = std::size_t(i);
            if (!writeResults(dir, data, sets[k], D[k], listed[k], diagrams[onCaller], watching))
                stop = true;
        },
        stop,
        [&] {
            observer.report(StageCases, shown, total);
            if (observer.stopRequested()) stop = true;
        });
    if (!stop) observer.report(StageCases, total, total);
    return !stop;
}

// ENVOLVEN.RES over the combinations, or over the cases when there is none,
// and each bar's extremes for the results listing.
bool writeEnvelope(const fs::path& dir, const StructureData& data,
                   const std::vector<ResultSet>& sets, const std::vector<std::vector<double>>& D,
                   reports::EnvelopeExtremes& extremes, CalcObserver& observer) {
    const bool overCombinations = !data.cases.combinations.empty();
    std::vector<EnvelopeSource> sources;
    extremes.overCombinations = overCombinations;
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if ((sets[i].kind == ResultSet::Kind::Combination) != overCombinations) continue;
        sources.push_back({CaseLoads(data, sets[i]), &D[i]});
        extremes.codes.push_back(sets[i].code());
    }
    // Two halves of the bars, one on each processor.
    std::vector<std::array<Extreme, 6>> bars(std::size_t(data.barCount) + 1);
    std::string halves[2];
    const int middle = data.barCount / 2;
    std::atomic<bool> stop{false};
    HelperObserver helper(stop);
    onTwoProcessors(
        2,
        [&](int half, bool onCaller) {
            if (!Envolvente(data, sources, extremes.codes, half ? middle + 1 : 1,
                            half ? data.barCount : middle, halves[half], bars,
                            onCaller ? observer : helper))
                stop = true;
        },
        stop,
        [&] {
            observer.report(StageEnvelope, middle, data.barCount);
            if (observer.stopRequested()) stop = true;
        });
    if (stop) return false;
    // The helper's half reported nothing the window saw: show it done.
    observer.report(StageEnvelope, data.barCount, data.barCount);
    replaceFile(dir, EnvelopeFileName, {envelopeHeading(overCombinations), halves[0], halves[1]});
    extremes.bars.assign(bars.size(), {});
    for (std::size_t b = 1; b < bars.size(); ++b)
        for (std::size_t q = 0; q < 6; ++q)
            extremes.bars[b][q] = {bars[b][q].max, bars[b][q].min, bars[b][q].maxBy,
                                   bars[b][q].minBy};
    return true;
}

}  // namespace

CalcOutcome runCalculation(const fs::path& dir, const CalcOptions& options, CalcObserver& observer,
                           const Clock& clock) {
    const StructureData data = loadStructure(dir);
    validate(data);

    std::vector<std::vector<double>> D;  // per case, then per combination
    if (!solveCases(dir, data, options, observer, clock, D)) return CalcOutcome::Stopped;
    for (const std::vector<double>& d : D)
        if (!allFinite(d)) notFinite();

    const std::vector<ResultSet> sets = resultSets(data.cases);
    const bool envelope = sets.size() > 1;
    removeStaleResults(dir, sets, envelope);
    for (const Combination& c : data.cases.combinations)
        D.push_back(combined(D, c.factors));
    const int total = int(sets.size()) + envelope;
    std::vector<std::string> listed;  // each set's sections of the results listing
    if (!writeAllResults(dir, data, sets, D, total, listed, observer)) return CalcOutcome::Stopped;
    reports::EnvelopeExtremes extremes;
    if (envelope) {
        observer.report(StageCases, total, total);
        if (!writeEnvelope(dir, data, sets, D, extremes, observer)) return CalcOutcome::Stopped;
    }

    observer.report(StageListing, 0, 1);
    reports::writeDataListing(dir, clock);
    reports::writeResultsListing(dir, clock, envelope ? &extremes : nullptr, &listed);
    observer.report(StageListing, 1, 1);
    return CalcOutcome::Completed;
}

}  // namespace vanto::analysis
