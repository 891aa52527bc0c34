#include "editor/panels.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "model/helpers.h"
#include "model/textfile.h"

namespace vanto::editor {

namespace {

std::string trimmed(std::string s) {
    const auto a = s.find_first_not_of(' ');
    if (a == std::string::npos) return {};
    return s.substr(a, s.find_last_not_of(' ') - a + 1);
}

std::string shown(double value, const char* pattern) {
    return trimmed(FormatPaddedLocal(value, pattern));
}

std::string quoted(const std::string& text) {
    return "«" + text + "»";
}

Refusal notANumber(const char* caption, const std::string& text) {
    return "El valor de " + quoted(caption) + " no es un número: " + quoted(text) +
           ".\nEscriba un número, con coma o punto decimal.";
}

const char* const BarPatterns[BarFieldCount + 1] = {
    "",           "#####",      "#####",      "",           "0.000000",  "#####0.000",
    "#####0.000", "#####0.000", "#####0.000", "#####0.000", "#####0.000"};

// A name on one line, as the case files keep it.
std::string singleLine(std::string name) {
    for (char& c : name)
        if (c == '\r' || c == '\n') c = ' ';
    return name;
}

Tab tableOf(NodeGroup group) {
    return group == NodeGroup::Coordinates ? Tab::Coordinates
           : group == NodeGroup::Loads     ? Tab::Loads
                                           : Tab::Restraints;
}

}  // namespace

std::string PanelRules::nodeText(int node, NodeGroup group, int k) const {
    const Structure& s = history_.data();
    if (node < 1 || node > s.nodeCount) return {};
    switch (group) {
        case NodeGroup::Coordinates:
            return shown(s.coordinates(node, k), "####0.000");
        case NodeGroup::Loads:
            return shown(history_.value(Tab::Loads, node, k, loadCase_), "####0.000");
        case NodeGroup::Restraints: {
            const float r = s.restraints(node, k);
            return isFree(r) ? "Libre" : shown(r, "###0.000");
        }
    }
    return {};
}

std::string PanelRules::barText(int bar, int field) const {
    const Structure& s = history_.data();
    if (bar < 1 || bar > s.barCount || field < 1 || field > BarFieldCount) return {};
    if (field == Type) return std::to_string(itemNumber(s.bars(bar, Type)));
    return shown(history_.value(Tab::Bars, bar, field, loadCase_), BarPatterns[field]);
}

std::string PanelRules::typeText(int type, int field) const {
    const Structure& s = history_.data();
    if (type < 1 || type > s.types.count) return {};
    return trimmed(writtenValue(s.types.values(type, field)));
}

void PanelRules::commitValues(Mode m, Tab table, int k, float value) {
    const Structure& s = history_.data();
    Transaction t(history_);
    for (int item : selection_.targets(m, m == Mode::Nodes ? s.nodeCount : s.barCount))
        t.set(table, item, k, value, loadCase_);
}

void PanelRules::setLoadCase(int k) {
    loadCase_ = std::clamp(k, 1, history_.data().cases.count());
}

int PanelRules::addCase(const std::string& name) {
    const Structure& s = history_.data();
    LoadCases<float> cases = s.cases;
    const int k = cases.addCase(singleLine(name), s.nodeCount, s.barCount);
    Transaction(history_).setCases(std::move(cases));
    return k;
}

void PanelRules::renameCase(int k, const std::string& name) {
    LoadCases<float> cases = history_.data().cases;
    if (k < 1 || k > cases.count()) return;
    (k == 1 ? cases.firstName : cases.loadCase(k).name) = singleLine(name);
    if (cases.name(k) != history_.data().cases.name(k))
        Transaction(history_).setCases(std::move(cases));
}

void PanelRules::removeCase(int k) {
    LoadCases<float> cases = history_.data().cases;
    if (k < 2 || k > cases.count()) return;
    cases.removeCase(k);
    Transaction(history_).setCases(std::move(cases));
    setLoadCase(loadCase_ > k ? loadCase_ - 1 : loadCase_);
}

void PanelRules::setCombinations(std::vector<Combination> combinations) {
    LoadCases<float> cases = history_.data().cases;
    cases.combinations = std::move(combinations);
    for (Combination& c : cases.combinations)
        c.name = singleLine(c.name);
    Transaction(history_).setCases(std::move(cases));
}

Refusal PanelRules::commitNode(NodeGroup group, int k, const std::string& text) {
    if (text.empty() || k < 1 || k > (group == NodeGroup::Coordinates ? 3 : 6)) return {};
    float value = FreeMarker;
    if (group != NodeGroup::Restraints || !isLibre(text)) {
        const auto v = typedNumber(text);
        if (!v) return notANumber(nodeCaption(group, k), text);
        value = float(*v);
    }
    commitValues(Mode::Nodes, tableOf(group), k, value);
    return {};
}

Refusal PanelRules::commitBar(int field, const std::string& text) {
    if (text.empty() || field < 1 || field > BarFieldCount) return {};
    const auto v = typedNumber(text);
    if (!v) return notANumber(BarCaptions[field], text);
    if ((field == Origin || field == End) && (*v < 1 || *v != std::floor(*v)))
        return "El valor de " + quoted(BarCaptions[field]) +
               " debe ser un número de nudo: " + quoted(text) + " no lo es.";
    if ((field == EmpOR || field == EmpEX) && !(*v >= 0 && *v <= 1))
        return "El valor de " + quoted(BarCaptions[field]) +
               " debe estar entre 0 (articulado) y 1 (empotrado): " + quoted(text) + " no lo está.";
    commitValues(Mode::Bars, Tab::Bars, field, float(*v));
    return {};
}

std::string PanelRules::missingNode(int bar, int field) const {
    const Structure& s = history_.data();
    if (bar < 1 || bar > s.barCount || (field != Origin && field != End)) return {};
    const int n = itemNumber(s.bars(bar, field));
    if (n >= 1 && n <= s.nodeCount) return {};
    return "No existe el nudo " + std::to_string(n);
}

void PanelRules::chooseType(int index) {
    commitValues(Mode::Bars, Tab::Bars, Type, float(index + 1));
}

Refusal PanelRules::commitType(int type, int field, const std::string& text) {
    if (type < 1 || type > history_.data().types.count || field < 1 || field > TypeFieldCount)
        return {};
    const auto v = text.empty() ? std::optional<double>(0) : typedNumber(text);
    if (!v) return notANumber(TypeCaptions[field], text);
    Transaction(history_).set(Tab::Types, type, field, float(*v));
    return {};
}

void PanelRules::commitTypeName(int type, const std::string& text) {
    if (type < 1 || type > history_.data().types.count) return;
    Transaction(history_).setTypeName(type, text);
}

void PanelRules::setMaterial(int type, bool steel) {
    static const float Steel[5] = {2100000, 0.25f, 2363, 7850, 0.012f};
    static const float Concrete[5] = {292402, 0.2f, 250, 2500, 0.011f};
    if (type < 1 || type > history_.data().types.count) return;
    Transaction t(history_);
    for (int i = 0; i < 5; ++i)
        t.set(Tab::Types, type, 5 + i, (steel ? Steel : Concrete)[i]);
}

std::string typeNameAsTyped(const std::string& text, int& cursor) {
    std::string cut = firstCharacters(text, TypeNameLength);
    std::string out;
    for (char c : cut) {
        if (c == ' ')
            out += "\xC2\xB7";  // ·
        else
            out += c;
    }
    cursor = std::min(cursor, int(characterCount(out)));
    return out;
}

std::optional<double> typedNumber(const std::string& text) {
    std::string t = trimmed(text);
    std::size_t i = 0;
    const auto digits = [&] {
        const std::size_t from = i;
        while (i < t.size() && std::isdigit(static_cast<unsigned char>(t[i])))
            ++i;
        return i - from;
    };
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
    std::size_t mantissa = digits();
    if (i < t.size() && (t[i] == '.' || t[i] == ',')) ++i, mantissa += digits();
    if (mantissa == 0) return std::nullopt;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digits() == 0) return std::nullopt;
    }
    if (i != t.size()) return std::nullopt;
    const double v = ParseNumber(t);
    if (!std::isfinite(v)) return std::nullopt;
    return v;
}

const char* nodeCaption(NodeGroup group, int k) {
    if (k < 1 || k > 6) return "";
    switch (group) {
        case NodeGroup::Coordinates:
            return k <= 3 ? CoordinateCaptions[k] : "";
        case NodeGroup::Loads:
            return LoadCaptions[k];
        case NodeGroup::Restraints:
            return RestraintCaptions[k];
    }
    return "";
}

std::string toggledRestraint(const std::string& text) {
    return isLibre(text) ? "0" : "Libre";
}

bool isLibre(const std::string& text) {
    std::string t = text;
    while (!t.empty() && t.back() == ' ')
        t.pop_back();
    if (t.size() != 5) return false;
    for (char& c : t)
        c = char(std::toupper(static_cast<unsigned char>(c)));
    return t == "LIBRE";
}

}  // namespace vanto::editor
