#include "editor/panels.h"

#include <algorithm>
#include <cctype>

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

float parsed(std::string text) {
    return float(ParseNumber(text));
}

const char* const BarPatterns[BarFieldCount + 1] = {
    "",           "#####",      "#####",      "",           "0.000000",  "#####0.000",
    "#####0.000", "#####0.000", "#####0.000", "#####0.000", "#####0.000"};

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
            return shown(s.loads(node, k), "####0.000");
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
    return shown(s.bars(bar, field), BarPatterns[field]);
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
        t.set(table, item, k, value);
}

void PanelRules::commitNode(NodeGroup group, int k, const std::string& text) {
    if (text.empty() || k < 1 || k > (group == NodeGroup::Coordinates ? 3 : 6)) return;
    const float value = group == NodeGroup::Restraints && isLibre(text) ? FreeMarker : parsed(text);
    commitValues(Mode::Nodes, tableOf(group), k, value);
}

void PanelRules::commitBar(int field, const std::string& text) {
    if (text.empty() || field < 1 || field > BarFieldCount) return;
    commitValues(Mode::Bars, Tab::Bars, field, parsed(text));
}

void PanelRules::chooseType(int index) {
    commitValues(Mode::Bars, Tab::Bars, Type, float(index + 1));
}

void PanelRules::commitType(int type, int field, const std::string& text) {
    if (type < 1 || type > history_.data().types.count || field < 1 || field > TypeFieldCount)
        return;
    Transaction(history_).set(Tab::Types, type, field, text.empty() ? 0.0f : parsed(text));
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

std::optional<std::string> clampedFixity(const std::string& text) {
    std::string t = text;
    if (t.find_first_of("0123456789") == std::string::npos) return std::nullopt;
    const double v = ParseNumber(t);
    if (v < 0) return std::string("0");
    if (v > 1) return std::string("1");
    return std::nullopt;
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
