#include "editor/selection.h"

namespace vanto::editor {

void Selection::setMultiple(bool on) {
    multiple_ = on;
    if (on) nodeFlags_.clear(), barFlags_.clear();
    forget(mode_);
}

bool Selection::selected(Mode m, int item) const {
    const auto& f = flags(m);
    return item >= 1 && item < int(f.size()) && f[std::size_t(item)];
}

void Selection::toggle(Mode m, int item) {
    if (item < 1) return;
    auto& f = flags(m);
    if (item >= int(f.size())) f.resize(std::size_t(item) + 1, 0);
    f[std::size_t(item)] = !f[std::size_t(item)];
}

std::vector<int> Selection::targets(Mode m, int count) const {
    std::vector<int> out;
    if (!multiple_) {
        const int c = current(m);
        if (c >= 1 && c <= count) out.push_back(c);
        return out;
    }
    for (int i = 1; i <= count; ++i)
        if (selected(m, i)) out.push_back(i);
    return out;
}

void Selection::keepWithin(int nodeCount, int barCount) {
    if (current(Mode::Nodes) > nodeCount) forget(Mode::Nodes);
    if (current(Mode::Bars) > barCount) forget(Mode::Bars);
    // An item added again later starts unselected.
    if (int(nodeFlags_.size()) > nodeCount + 1) nodeFlags_.resize(std::size_t(nodeCount) + 1);
    if (int(barFlags_.size()) > barCount + 1) barFlags_.resize(std::size_t(barCount) + 1);
}

void Selection::barRemoved(int k) {
    if (current(Mode::Bars) >= k) forget(Mode::Bars);
    if (k < int(barFlags_.size())) barFlags_.erase(barFlags_.begin() + k);
}

}  // namespace vanto::editor
