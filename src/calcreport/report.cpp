#include "calcreport/report.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "calcreport/document.h"
#include "calcreport/figures.h"
#include "calcreport/pdf_surface.h"
#include "calcreport/tables.h"
#include "diagrams/extremes.h"
#include "model/files.h"
#include "model/structure_data.h"
#include "model/textfile.h"
#include "reports/listing.h"

namespace vanto::calcreport {

namespace fs = std::filesystem;

namespace {

// A diagram kind as the report presents it.
struct KindSummary {
    char code;
    const char* name;
    const char* unit;
    diagrams::KindExtremes extremes;
    // Whether every value prints as zero: such a kind gets no figure.
    bool null;
};

// Reading reports its steps: the results, the data, the extreme values, the
// structure for the figures, the layout.
constexpr long long ReadingSteps = 5;

std::vector<KindSummary> summaries(const diagrams::DiagramData& data) {
    std::vector<KindSummary> kinds;
    for (const diagrams::DiagramKind& k : diagrams::DiagramKinds) {
        const bool force = k.code == 'X' || k.code == 'Y' || k.code == 'Z';
        const char* unit = k.code == 'D' ? "cm" : force ? "t" : "m·t";
        const char* name = k.code == 'D' ? "Deformada" : k.caption;
        const diagrams::KindExtremes e = diagrams::diagramExtremes(data, k.code);
        const double printed = k.code == 'D' ? 100 * e.largest() : e.largest();
        kinds.push_back({k.code, name, unit, e, !(printed >= 0.0005)});
    }
    return kinds;
}

std::string structureName(const fs::path& dir) {
    fs::path p = dir.lexically_normal();
    if (p.filename().empty()) p = p.parent_path();
    std::string name = p.filename().string();
    if (name.starts_with('-')) name.erase(0, 1);
    return name;
}

std::string dateText(const Date& d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%02d-%02d-%04d", d.day, d.month, d.year);
    return buf;
}

// "12 (3-7)": a bar and its nodes, the lower-numbered first.
std::string barText(const diagrams::DiagramData& data, int bar) {
    if (bar < 1 || bar > data.barCount) return "";
    const diagrams::DiagramBar& b = data.bars[std::size_t(bar)];
    return std::to_string(bar) + " (" + std::to_string(b.i) + "-" + std::to_string(b.j) + ")";
}

void addTitlePage(Document& doc, const fs::path& dir, const std::string& name,
                  const std::string& date, const DataTables& d, const std::string& caption) {
    doc.paragraph("\n\n", 12);
    doc.title("MEMORIA DE CÁLCULO", 22);
    doc.title(name, 18);
    if (!caption.empty()) doc.title(caption, 12);
    doc.paragraph("\n", 10);
    const auto notes = DiscoX::readNotes(dir);
    if (notes && *notes != ".") {
        std::string text = *notes;
        for (std::size_t at; (at = text.find('\r')) != std::string::npos;)
            text.erase(at, 1);
        doc.paragraph(text, 10);
    }
    Table general;
    general.title = "Datos generales";
    general.captions = {"", ""};
    general.leftAligned = {true, true};
    general.rows = {{"Estructura", name},
                    {"Directorio", dir.string()},
                    {"Fecha", date},
                    {"Programa", VersionText}};
    static const char* const labels[] = {"Número de nudos", "Número de barras",
                                         "Tipos de barras usados", "Peso de la estructura (kg)"};
    for (std::size_t k = 0; k < d.general.size() && k < std::size(labels); ++k)
        general.rows.push_back({labels[k], d.general[k].second});
    doc.table(std::move(general));
    doc.paragraph(
        "Cálculo estático y lineal de la estructura de barras por el método matricial de la "
        "rigidez; cada extremo de barra tiene un coeficiente de empotramiento entre 0 "
        "(articulado) y 1 (empotrado). Unidades: t, m, m·t y rad; Z global vertical hacia "
        "arriba.",
        9);
    doc.paragraph("\nÍndice", 12, true);
    doc.contents();
}

// A table, or a sentence when it has no rows.
void tableOr(Document& doc, Table t, const std::string& empty) {
    if (t.rows.empty())
        doc.paragraph(t.title + ": " + empty, 9);
    else
        doc.table(std::move(t));
}

void addData(Document& doc, DataTables& d, const ReportOptions& o) {
    doc.section("1. Datos");
    doc.paragraph("Datos de la estructura tal como los presenta el listado de datos listado.txt.");
    abridge(d.nodes, o.tableRowLimit, 1, "nudos", "listado.txt");
    abridge(d.restraints, o.tableRowLimit, 1, "nudos", "listado.txt");
    abridge(d.loads, o.tableRowLimit, 1, "nudos", "listado.txt");
    abridge(d.bars, o.tableRowLimit, 4, "barras", "listado.txt");
    tableOr(doc, std::move(d.nodes), "la estructura no tiene nudos.");
    tableOr(doc, std::move(d.restraints), "ningún nudo tiene coacciones.");
    tableOr(doc, std::move(d.loads), "ningún nudo tiene cargas.");
    tableOr(doc, std::move(d.bars), "la estructura no tiene barras.");
    tableOr(doc, std::move(d.types), "ninguna barra tiene tipo.");
}

void addFigures(Document& doc, ReportFigures& figures, const diagrams::DiagramData& data,
                const std::vector<KindSummary>& kinds) {
    doc.section("2. Figuras");
    int n = 1;
    std::vector<std::string> notes{std::string("Vista: ") + figures.viewCaption() + "."};
    notes.push_back(figures.detailed()
                        ? "Números de nudo en azul, números de barra en recuadro granate."
                        : "Sin numeración ni cargas en las barras: la estructura tiene " +
                              std::to_string(data.barCount) + " barras.");
    notes.push_back(
        "Coacciones de desplazamiento en rojo y de giro en granate; fuerzas en azul, "
        "momentos en azul oscuro, cargas en barras en violeta.");
    doc.figure("Figura 1. Estructura: nudos, barras, coacciones y cargas", notes,
               [&figures](Surface& page, const Box& area) { figures.structure(page, area); });
    for (const KindSummary& k : kinds) {
        if (k.null) continue;
        const double S = diagrams::fittedDiagramScale(
            data.maxBarLength, diagrams::ordinatePerScale(k.code, k.extremes));
        const diagrams::DiagramKind& kind = diagrams::diagramKind(k.code);
        std::string caption = "Figura " + std::to_string(++n) + ". ";
        std::vector<std::string> lines;
        if (k.code == 'D') {
            caption += "Deformada";
            lines.push_back("Desplazamientos dibujados " + fixedText(100 * S, 1) +
                            " veces mayores. Desplazamiento mayor: " +
                            fixedText(100 * k.extremes.max.value, 3) + " cm, barra " +
                            barText(data, k.extremes.max.bar) +
                            ", x = " + fixedText(k.extremes.max.x, 3) + " m.");
        } else {
            caption += std::string("Diagrama de ") + k.name + " (" + k.unit + ")";
            lines.push_back("Escala: 1 " + std::string(k.unit) + " se dibuja como " +
                            fixedText(S, 4) + " m. Valores positivos hacia " +
                            (kind.side < 0 ? "la y local negativa" : "la z local positiva") +
                            " de cada barra.");
            lines.push_back("Máximo " + fixedText(k.extremes.max.value, 3) + " " + k.unit +
                            " en la barra " + barText(data, k.extremes.max.bar) +
                            ", x = " + fixedText(k.extremes.max.x, 3) + " m; mínimo " +
                            fixedText(k.extremes.min.value, 3) + " " + k.unit + " en la barra " +
                            barText(data, k.extremes.min.bar) +
                            ", x = " + fixedText(k.extremes.min.x, 3) + " m.");
        }
        const std::string unit = k.unit;
        const char code = k.code;
        const diagrams::KindExtremes e = k.extremes;
        doc.figure(caption, lines, [&figures, code, S, e, unit](Surface& page, const Box& area) {
            figures.diagram(page, area, code, S, e, unit);
        });
    }
}

void addResults(Document& doc, ResultTables& r, const ReportOptions& o) {
    doc.section("3. Resultados");
    doc.paragraph(
        "Resultados del cálculo tal como los presenta el listado de resultados "
        "Resultad.res.");
    abridge(r.displacements, o.tableRowLimit, 1, "nudos", "Resultad.res");
    abridge(r.endForces, o.tableRowLimit, 2, "barras", "Resultad.res");
    abridge(r.reactions, o.tableRowLimit, 1, "nudos", "Resultad.res");
    tableOr(doc, std::move(r.displacements), "la estructura no tiene nudos.");
    tableOr(doc, std::move(r.endForces), "la estructura no tiene barras.");
    tableOr(doc, std::move(r.reactions), "ninguna reacción pasa de 0,001.");
    doc.paragraph(r.freeResiduals == 0
                      ? "Equilibrio: ninguna fuerza desequilibrada de los nudos libres pasa de "
                        "0,001."
                      : "Equilibrio: " + std::to_string(r.freeResiduals) +
                            " fuerzas desequilibradas de nudos libres pasan de 0,001 (véase "
                            "Resultad.res).",
                  9);
}

void addExtremes(Document& doc, const diagrams::DiagramData& data,
                 const std::vector<KindSummary>& kinds) {
    doc.section("4. Valores extremos de los diagramas");
    Table t;
    t.title = "Valores extremos";
    t.captions = {"Diagrama", "Unidad", "Máximo",         "Barra\n(nudos)",
                  "x\nm",     "Mínimo", "Barra\n(nudos)", "x\nm"};
    t.leftAligned = {true, true};
    for (const KindSummary& k : kinds) {
        const diagrams::KindExtremes& e = k.extremes;
        if (k.code == 'D') {
            t.rows.push_back({"Deformada (desplazamiento)", k.unit, fixedText(100 * e.max.value, 3),
                              barText(data, e.max.bar), fixedText(e.max.x, 3), "", "", ""});
            continue;
        }
        t.rows.push_back({k.name, k.unit, fixedText(e.max.value, 3), barText(data, e.max.bar),
                          fixedText(e.max.x, 3), fixedText(e.min.value, 3),
                          barText(data, e.min.bar), fixedText(e.min.x, 3)});
    }
    t.notes = {
        "x: distancia desde el nudo de menor número de la barra, que es su origen en los "
        "diagramas. Esfuerzos con tracción positiva; extremos exactos a lo largo de cada "
        "barra. Deformada: el mayor desplazamiento de los once puntos de cada barra."};
    doc.table(std::move(t));
}

// The extreme of each force kind over the envelope's sets, and the set that
// gives it.
struct EnvelopeRow {
    diagrams::KindExtremes e;
    std::string maxBy, minBy;
};

std::vector<EnvelopeRow> envelopeRows(const fs::path& dir,
                                      const std::vector<vanto::ResultSet>& sets) {
    std::vector<EnvelopeRow> rows(diagrams::DiagramKinds.size() - 1);
    for (const vanto::ResultSet& set : sets) {
        const diagrams::DiagramData data = diagrams::loadDiagramData(dir, set);
        for (std::size_t k = 0; k < rows.size(); ++k) {
            const diagrams::KindExtremes e =
                diagrams::diagramExtremes(data, diagrams::DiagramKinds[k].code);
            EnvelopeRow& r = rows[k];
            if (r.maxBy.empty() || e.max.value > r.e.max.value)
                r.e.max = e.max, r.maxBy = set.code();
            if (r.minBy.empty() || e.min.value < r.e.min.value)
                r.e.min = e.min, r.minBy = set.code();
        }
    }
    return rows;
}

// With load cases: the cases, the combinations, and the extremes of the
// envelope over the combinations (over the cases when there is none).
void addLoadCases(Document& doc, const fs::path& dir, const diagrams::DiagramData& data) {
    const LoadCases<float> cases = DiscoX::readLoadCases<float>(dir, data.nodeCount, data.barCount);
    if (cases.plain()) return;
    doc.section("5. Hipótesis, combinaciones y envolvente");
    Table h;
    h.title = "Hipótesis de carga";
    h.captions = {"Hipótesis", "Nombre"};
    h.leftAligned = {true, true};
    for (int k = 1; k <= cases.count(); ++k)
        h.rows.push_back({vanto::ResultSet{vanto::ResultSet::Kind::Case, k}.code(), cases.name(k)});
    h.notes = {
        "Las figuras y los resultados de los apartados 2 a 4 son los de la hipótesis H01; "
        "las cargas y los resultados de todas figuran en listado.txt y Resultad.res."};
    doc.table(std::move(h));
    const bool overCombinations = !cases.combinations.empty();
    if (overCombinations) {
        Table c;
        c.title = "Combinaciones";
        c.captions = {"Combinación", "Nombre", "Fórmula"};
        c.leftAligned = {true, true, true};
        for (std::size_t i = 0; i < cases.combinations.size(); ++i)
            c.rows.push_back(
                {vanto::ResultSet{vanto::ResultSet::Kind::Combination, int(i) + 1}.code(),
                 cases.combinations[i].name,
                 combinationFormula(cases.combinations[i], decimalSeparator())});
        doc.table(std::move(c));
    }
    std::vector<vanto::ResultSet> sets;
    for (const vanto::ResultSet& set : resultSets(cases))
        if ((set.kind == vanto::ResultSet::Kind::Combination) == overCombinations)
            sets.push_back(set);
    Table t;
    t.title = overCombinations ? "Envolvente de las combinaciones: valores extremos"
                               : "Envolvente de las hipótesis: valores extremos";
    t.captions = {"Esfuerzo", "Máximo",         "Barra\n(nudos)", "x\nm", "Por",
                  "Mínimo",   "Barra\n(nudos)", "x\nm",           "Por"};
    t.leftAligned = {true};
    const std::vector<EnvelopeRow> rows = envelopeRows(dir, sets);
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const diagrams::DiagramKind& kind = diagrams::DiagramKinds[k];
        const bool force = kind.code == 'X' || kind.code == 'Y' || kind.code == 'Z';
        const diagrams::KindExtremes& e = rows[k].e;
        t.rows.push_back({std::string(kind.caption) + (force ? " (t)" : " (m·t)"),
                          fixedText(e.max.value, 3), barText(data, e.max.bar),
                          fixedText(e.max.x, 3), rows[k].maxBy, fixedText(e.min.value, 3),
                          barText(data, e.min.bar), fixedText(e.min.x, 3), rows[k].minBy});
    }
    t.notes = {
        "Por: la combinación o hipótesis que da el valor. Extremos exactos a lo largo de "
        "cada barra; x desde el nudo de menor número."};
    doc.table(std::move(t));
}

}  // namespace

ResultSet loadResultSet(const fs::path& dir, const Clock& clock) {
    ResultSet r;
    r.diagrams = diagrams::loadDiagramData(dir);
    r.listing = reports::resultsListing(dir, clock);
    // A structure with load cases is reported on case 1: every page says so.
    const LoadCases<float> cases =
        DiscoX::readLoadCases<float>(dir, r.diagrams.nodeCount, r.diagrams.barCount);
    if (!cases.plain()) r.caption = "Hipótesis H01 " + cases.name(1);
    return r;
}

int writeCalculationReport(const fs::path& dir, const ResultSet& results, const fs::path& out,
                           const ReportOptions& options, Progress& progress, const Clock& clock) {
    progress.report(StageReading, 1, ReadingSteps);
    DataTables data = dataTables(reports::dataListing(dir, clock));
    ResultTables res = resultTables(results.listing);
    progress.report(StageReading, 2, ReadingSteps);
    const std::vector<KindSummary> kinds = summaries(results.diagrams);
    progress.report(StageReading, 3, ReadingSteps);
    ReportFigures figures(results.diagrams, loadStructure<float>(dir, part::All));
    progress.report(StageReading, 4, ReadingSteps);
    if (progress.stopRequested()) return 0;

    const std::string name = structureName(dir);
    const Date today = clock.today();
    Document doc(results.caption.empty() ? name : name + " - " + results.caption,
                 std::string(VersionText) + "   " + dateText(today));
    addTitlePage(doc, dir, name, dateText(today), data, results.caption);
    addData(doc, data, options);
    addFigures(doc, figures, results.diagrams, kinds);
    addResults(doc, res, options);
    addExtremes(doc, results.diagrams, kinds);
    addLoadCases(doc, dir, results.diagrams);

    PdfSurface pdf;
    pdf.setTitle("Memoria de cálculo: " + name);
    char date[16];
    std::snprintf(date, sizeof date, "%04d%02d%02d", today.year, today.month, today.day);
    pdf.setDate(date);
    doc.pageCount();
    progress.report(StageReading, ReadingSteps, ReadingSteps);
    if (!doc.render(pdf, progress, StagePages)) return 0;
    writeFileAtomically(out, pdf.bytes());
    return doc.pageCount();
}

int writeCalculationReport(const fs::path& dir, const fs::path& out, const ReportOptions& options,
                           Progress& progress, const Clock& clock) {
    progress.report(StageReading, 0, ReadingSteps);
    return writeCalculationReport(dir, loadResultSet(dir, clock), out, options, progress, clock);
}

}  // namespace vanto::calcreport
