#include "calcreport/tables.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <set>

#include "model/textfile.h"

namespace vanto::calcreport {

namespace {

// Listing titles, as far as they identify their section.
constexpr std::string_view GeneralTitle = "DATOS";
constexpr std::string_view BarsTitle = "CARACTERISTICAS DE LAS BARRAS";
constexpr std::string_view NodesTitle = "COORDENADAS DE LOS NODOS";
constexpr std::string_view TypesTitle = "TIPOS DE BARRAS";
constexpr std::string_view RestraintsTitle = "COACCIONES EN LOS NUDOS";
constexpr std::string_view LoadsTitle = "CARGAS EN LOS NUDOS";
constexpr std::string_view DisplacementsTitle = "DESPLAZAMIENTOS DE LOS NUDOS";
constexpr std::string_view EndForcesTitle = "FUERZAS EN EXTREMOS DE LAS BARRAS";
constexpr std::string_view UnbalancedTitle = "FUERZAS DESEQUILIBRADAS";

struct Word {
    std::size_t at;
    std::string text;
};

std::vector<Word> wordsOf(std::string_view row) {
    std::vector<Word> words;
    std::size_t i = 0;
    while (i < row.size()) {
        while (i < row.size() && row[i] == ' ')
            ++i;
        const std::size_t start = i;
        while (i < row.size() && row[i] != ' ')
            ++i;
        if (i > start) words.push_back({start, std::string(row.substr(start, i - start))});
    }
    return words;
}

std::vector<std::string> texts(const std::vector<Word>& words) {
    std::vector<std::string> t;
    for (const Word& w : words)
        t.push_back(w.text);
    return t;
}

const ListingSection* find(const std::vector<ListingSection>& sections, std::string_view title) {
    for (const ListingSection& s : sections)
        if (s.title.starts_with(title)) return &s;
    return nullptr;
}

const std::vector<std::string>& rowsOf(const std::vector<ListingSection>& sections,
                                       std::string_view title) {
    static const std::vector<std::string> none;
    const ListingSection* s = find(sections, title);
    return s ? s->rows : none;
}

// A listing number as a value, whatever the locale's separator.
std::optional<double> numberOf(std::string text) {
    std::replace(text.begin(), text.end(), ',', '.');
    if (!text.empty() && text.back() == '*') text.pop_back();
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end != text.c_str() + text.size()) return std::nullopt;
    return v;
}

// The listing's number with its sign reversed, in the listing's own form.
std::string negated(const std::string& text) {
    const bool zero = text.find_first_of("123456789") == std::string::npos;
    if (text.starts_with('-')) return text.substr(1);
    return zero ? text : "-" + text;
}

Table table(std::string title, std::vector<std::string> captions) {
    Table t;
    t.title = std::move(title);
    t.captions = std::move(captions);
    return t;
}

// Rows of `width` words each; longer rows hold several items (the
// coordinates list two nodes a row).
void addRows(Table& t, const std::vector<std::string>& rows, std::size_t width) {
    for (const std::string& row : rows) {
        const std::vector<std::string> w = texts(wordsOf(row));
        for (std::size_t at = 0; at + width <= w.size(); at += width)
            t.rows.emplace_back(w.begin() + long(at), w.begin() + long(at + width));
    }
}

// A type row: number, a name of fixed width that may hold blanks, nine numbers.
std::vector<std::string> typeRow(const std::string& row) {
    const std::vector<Word> w = wordsOf(row);
    if (w.size() < 10) return texts(w);
    const std::size_t firstNumber = w.size() - 9;
    std::string name;
    if (firstNumber > 1) {
        const std::size_t from = w[0].at + w[0].text.size();
        name = row.substr(from, w[firstNumber].at - from);
        name.erase(0, name.find_first_not_of(' '));
        name.erase(name.find_last_not_of(' ') + 1);
    }
    std::vector<std::string> cells{w[0].text, name};
    for (std::size_t k = firstNumber; k < w.size(); ++k)
        cells.push_back(w[k].text);
    return cells;
}

}  // namespace

std::vector<ListingSection> listingSections(std::string_view listing) {
    const std::vector<std::string> lines = splitLines(listing);
    std::vector<std::size_t> titles;
    for (std::size_t i = 2; i < lines.size(); ++i)
        if (!lines[i].empty() && lines[i - 1].empty() && lines[i - 2].empty()) titles.push_back(i);
    std::vector<ListingSection> sections;
    for (std::size_t k = 0; k < titles.size(); ++k) {
        const std::size_t from = titles[k] + 1;
        const std::size_t to = k + 1 < titles.size() ? titles[k + 1] : lines.size();
        std::vector<std::string> body;
        bool blankAfterFirst = false;
        for (std::size_t i = from; i < to; ++i) {
            if (!lines[i].empty())
                body.push_back(lines[i]);
            else if (body.size() == 1)
                blankAfterFirst = true;
        }
        // A column heading is the one line before an empty one; "DATOS" has
        // its rows straight after the title.
        if (blankAfterFirst && !body.empty()) body.erase(body.begin());
        sections.push_back({lines[titles[k]], std::move(body)});
    }
    return sections;
}

DataTables dataTables(std::string_view dataListing) {
    const std::vector<ListingSection> s = listingSections(dataListing);
    DataTables d;
    for (const std::string& row : rowsOf(s, GeneralTitle)) {
        const std::size_t eq = row.find('=');
        if (eq == std::string::npos) continue;
        const std::vector<std::string> value = texts(wordsOf(row.substr(eq + 1)));
        if (!value.empty()) d.general.push_back({row.substr(0, eq), value.front()});
    }
    d.nodes = table("Coordenadas de los nudos", {"Nudo", "X\nm", "Y\nm", "Z\nm"});
    addRows(d.nodes, rowsOf(s, NodesTitle), 4);
    d.restraints = table("Coacciones de los nudos",
                         {"Nudo", "dX\nm", "dY\nm", "dZ\nm", "gX\nrad", "gY\nrad", "gZ\nrad"});
    addRows(d.restraints, rowsOf(s, RestraintsTitle), 7);
    d.restraints.notes = {
        "LIBRE: grado de libertad libre. Un número es el desplazamiento (m) o "
        "el giro (rad) impuesto; 0 es un apoyo fijo."};
    d.loads = table("Cargas en los nudos (ejes globales)",
                    {"Nudo", "Fuerza X\nt", "Fuerza Y\nt", "Fuerza Z\nt", "Momento X\nm·t",
                     "Momento Y\nm·t", "Momento Z\nm·t"});
    addRows(d.loads, rowsOf(s, LoadsTitle), 7);
    d.bars = table("Barras", {"Barra", "Nudo\norigen", "Nudo\nextremo", "Tipo", "Ángulo\nº",
                              "Carga vert.\nt/m", "Carga y\nt/m", "Carga z\nt/m", "Incr. temp.\nºC",
                              "Empotr.\norigen", "Empotr.\nextremo"});
    addRows(d.bars, rowsOf(s, BarsTitle), 11);
    d.bars.notes = {
        "Carga vertical según Z global; cargas y, z según los ejes locales de la "
        "barra. Empotramiento: 1 empotrado, 0 articulado."};
    d.types =
        table("Tipos de barras", {"Nº", "Nombre", "Área\ncm²", "Inercia z\ncm4", "Inercia y\ncm4",
                                  "Torsión\ncm4", "E\nt/cm²", "Poisson", "Tensión lím.\nkg/cm²",
                                  "Peso esp.\nkg/m³", "Dilatación\nmm/(km·ºC)"});
    for (const std::string& row : rowsOf(s, TypesTitle))
        d.types.rows.push_back(typeRow(row));
    d.types.leftAligned = {false, true};
    return d;
}

ResultTables resultTables(std::string_view resultsListing) {
    const std::vector<ListingSection> s = listingSections(resultsListing);
    ResultTables r;
    r.displacements = table("Desplazamientos de los nudos (ejes globales)",
                            {"Nudo", "Despl. X\nm", "Despl. Y\nm", "Despl. Z\nm", "Giro X\nrad",
                             "Giro Y\nrad", "Giro Z\nrad"});
    addRows(r.displacements, rowsOf(s, DisplacementsTitle), 7);

    r.endForces = table("Fuerzas en los extremos de las barras (ejes locales)",
                        {"Barra", "Extremo", "Fuerza x\nt", "Fuerza y\nt", "Fuerza z\nt",
                         "Momento x\nm·t", "Momento y\nm·t", "Momento z\nm·t"});
    r.endForces.rowsPerGroup = 2;
    r.endForces.leftAligned = {false, true};
    for (const std::string& row : rowsOf(s, EndForcesTitle)) {
        std::vector<std::string> w = texts(wordsOf(row));
        // "3(or)": the node and the end it is; the second row has no bar.
        if (w.size() == 7) w.insert(w.begin(), "");
        if (w.size() != 8) continue;
        const std::size_t mark = w[1].find('(');
        if (mark != std::string::npos) w[1].insert(mark, " ");
        r.endForces.rows.push_back(std::move(w));
    }
    r.endForces.notes = {
        "Fuerzas que los nudos ejercen sobre la barra, en sus ejes locales; "
        "(or) el nudo origen de la barra, (ex) el extremo."};

    r.reactions = table("Reacciones en los apoyos (ejes globales)",
                        {"Nudo", "Fuerza X\nt", "Fuerza Y\nt", "Fuerza Z\nt", "Momento X\nm·t",
                         "Momento Y\nm·t", "Momento Z\nm·t"});
    for (const std::string& row : rowsOf(s, UnbalancedTitle)) {
        const std::vector<std::string> w = texts(wordsOf(row));
        if (w.size() != 7) continue;
        std::vector<std::string> cells{w[0]};
        bool restrained = false;
        for (std::size_t k = 1; k < 7; ++k) {
            if (w[k].ends_with('*')) {
                cells.push_back(negated(w[k].substr(0, w[k].size() - 1)));
                restrained = true;
            } else {
                cells.emplace_back();
                const auto v = numberOf(w[k]);
                r.freeResiduals += v && std::abs(*v) > 0.001;
            }
        }
        if (restrained) r.reactions.rows.push_back(std::move(cells));
    }
    r.reactions.notes = {
        "Fuerza que el apoyo ejerce sobre la estructura en cada grado de "
        "libertad coaccionado; se omiten los nudos cuyas reacciones no pasan "
        "de 0,001."};
    return r;
}

void abridge(Table& t, std::size_t limit, std::size_t firstValueColumn, const std::string& items,
             const std::string& listingName) {
    const std::size_t per = std::size_t(std::max(1, t.rowsPerGroup));
    const std::size_t groups = (t.rows.size() + per - 1) / per;
    if (limit == 0 || groups <= limit) return;
    std::set<std::size_t> kept;
    for (std::size_t c = firstValueColumn; c < t.captions.size(); ++c) {
        std::optional<std::pair<double, std::size_t>> lo, hi;
        for (std::size_t r = 0; r < t.rows.size(); ++r) {
            if (c >= t.rows[r].size()) continue;
            const auto v = numberOf(t.rows[r][c]);
            if (!v) continue;
            if (!lo || *v < lo->first) lo = {{*v, r / per}};
            if (!hi || *v > hi->first) hi = {{*v, r / per}};
        }
        if (lo) kept.insert(lo->second);
        if (hi) kept.insert(hi->second);
    }
    std::vector<std::vector<std::string>> rows;
    for (std::size_t g : kept)
        for (std::size_t r = g * per; r < std::min(t.rows.size(), (g + 1) * per); ++r)
            rows.push_back(std::move(t.rows[r]));
    t.rows = std::move(rows);
    t.title += " (abreviada)";
    t.notes.insert(t.notes.begin(),
                   "Tabla abreviada: de sus " + std::to_string(groups) + " " + items +
                       " se muestran " + std::to_string(kept.size()) +
                       ", con el valor mayor o el menor de alguna columna. La tabla completa "
                       "está en " +
                       listingName + ".");
}

}  // namespace vanto::calcreport
