#include "editor/history.h"

#include <algorithm>

namespace vanto::editor {

namespace {

// The column of a case's bar-load table holding bar field `field`; 0 for the
// fields a case does not have.
int caseBarColumn(int field) {
    for (int i = 0; i < CaseBarFieldCount; ++i)
        if (CaseBarFields[i] == field) return i + 1;
    return 0;
}

}  // namespace

EditHistory::EditHistory(Structure data) : data_(std::move(data)) {}

Table<float>& EditHistory::table(Tab t, int loadCase, int& col) {
    if (loadCase >= 2 && t == Tab::Loads) return data_.cases.loadCase(loadCase).nodeLoads;
    if (loadCase >= 2 && t == Tab::Bars) {
        const int at = caseBarColumn(col);
        if (at > 0) {
            col = at;
            return data_.cases.loadCase(loadCase).barLoads;
        }
    }
    switch (t) {
        case Tab::Coordinates:
            return data_.coordinates;
        case Tab::Loads:
            return data_.loads;
        case Tab::Restraints:
            return data_.restraints;
        case Tab::Types:
            return data_.types.values;
        case Tab::Bars:
            break;
    }
    return data_.bars;
}

float EditHistory::value(Tab t, int row, int col, int loadCase) const {
    if (loadCase < 1 || loadCase > data_.cases.count()) return 0;
    return const_cast<EditHistory*>(this)->table(t, loadCase, col)(row, col);
}

void EditHistory::insertBar(int k, const std::vector<float>& record,
                            const std::vector<float>& caseRows) {
    const int last = data_.addBar(0, 0);  // grows the tables when full
    const int width = data_.bars.maxCol() + 1;
    float* rows = data_.bars.row(0);
    std::copy_backward(rows + k * width, rows + last * width, rows + (last + 1) * width);
    std::copy(record.begin(), record.end(), rows + k * width);
    auto saved = caseRows.begin();
    for (auto& c : data_.cases.more) {
        const int w = c.barLoads.maxCol() + 1;
        float* r = c.barLoads.row(0);
        std::copy_backward(r + k * w, r + last * w, r + (last + 1) * w);
        std::copy(saved, saved + CaseBarFieldCount, r + k * w + 1);
        saved += CaseBarFieldCount;
    }
}

void EditHistory::eraseBar(int k) {
    data_.cases.removeBar(k, data_.barCount);
    const int width = data_.bars.maxCol() + 1;
    float* rows = data_.bars.row(0);
    std::copy(rows + (k + 1) * width, rows + (data_.barCount + 1) * width, rows + k * width);
    std::fill(rows + data_.barCount * width, rows + (data_.barCount + 1) * width, 0.0f);
    --data_.barCount;
}

void EditHistory::apply(const Change& c, bool forward) {
    switch (c.kind) {
        case Change::Kind::Value: {
            int col = c.col;
            table(c.table, c.loadCase, col)(c.row, col) = forward ? c.after : c.before;
            return;
        }
        case Change::Kind::Cases:
            data_.cases = forward ? *c.casesAfter : *c.casesBefore;
            return;
        case Change::Kind::TypeName:
            data_.types.names[std::size_t(c.row)] = forward ? c.nameAfter : c.nameBefore;
            return;
        case Change::Kind::AddNode:
            if (forward)
                data_.addNode(c.record[0], c.record[1], c.record[2]);
            else
                --data_.nodeCount;
            return;
        case Change::Kind::AddBar:
            if (forward)
                data_.addBar(c.record[0], c.record[1]);
            else
                eraseBar(data_.barCount);
            return;
        case Change::Kind::RemoveBar:
            if (forward)
                eraseBar(c.row);
            else
                insertBar(c.row, c.record, c.caseRows);
            return;
    }
}

void EditHistory::push(Step step) {
    steps_.resize(position_);
    steps_.push_back(std::move(step));
    ++position_;
}

bool EditHistory::undo() {
    if (!canUndo()) return false;
    const Step& s = steps_[--position_];
    for (auto it = s.rbegin(); it != s.rend(); ++it)
        apply(*it, false);
    return true;
}

bool EditHistory::redo() {
    if (!canRedo()) return false;
    for (const Change& c : steps_[position_++])
        apply(c, true);
    return true;
}

Transaction::~Transaction() {
    if (!step_.empty()) history_.push(std::move(step_));
}

void Transaction::record(EditHistory::Change c) {
    history_.apply(c, true);
    step_.push_back(std::move(c));
}

void Transaction::set(Tab t, int row, int col, float value, int loadCase) {
    if (loadCase < 1 || loadCase > data().cases.count()) return;
    int at = col;
    const float before = history_.table(t, loadCase, at)(row, at);
    if (before == value) return;
    EditHistory::Change c{EditHistory::Change::Kind::Value, t, row, col, loadCase};
    c.before = before;
    c.after = value;
    record(std::move(c));
}

void Transaction::setCases(LoadCases<float> cases) {
    EditHistory::Change c{EditHistory::Change::Kind::Cases};
    c.casesBefore = std::make_shared<const LoadCases<float>>(data().cases);
    c.casesAfter = std::make_shared<const LoadCases<float>>(std::move(cases));
    record(std::move(c));
}

void Transaction::setTypeName(int type, const std::string& name) {
    const std::string& before = data().types.names[std::size_t(type)];
    if (before == name) return;
    EditHistory::Change c{EditHistory::Change::Kind::TypeName};
    c.row = type;
    c.nameBefore = before;
    c.nameAfter = name;
    record(std::move(c));
}

int Transaction::addNode(float x, float y, float z) {
    EditHistory::Change c{EditHistory::Change::Kind::AddNode};
    c.record = {x, y, z};
    record(std::move(c));
    return data().nodeCount;
}

int Transaction::addBar(int a, int b) {
    EditHistory::Change c{EditHistory::Change::Kind::AddBar};
    c.record = {float(a), float(b)};
    record(std::move(c));
    return data().barCount;
}

void Transaction::removeBar(int k) {
    EditHistory::Change c{EditHistory::Change::Kind::RemoveBar};
    c.row = k;
    const float* row = data().bars.row(k);
    c.record.assign(row, row + data().bars.maxCol() + 1);
    for (const auto& lc : data().cases.more)
        c.caseRows.insert(c.caseRows.end(), lc.barLoads.row(k) + 1,
                          lc.barLoads.row(k) + 1 + CaseBarFieldCount);
    record(std::move(c));
}

}  // namespace vanto::editor
