#pragma once
// The renumbering rule read word for word: at every position every bar is
// scanned in bar order, visited bars are marked, and the numbered list is
// searched from its start. Slow (nodes² · bars per study): the benchmark's
// measure of what the fast numbering saves, and the reference the known
// answers of the renumbering tests were checked against.

#include <cstdlib>
#include <optional>
#include <vector>

#include "model/arrays.h"
#include "model/structure.h"

namespace vanto::test {

struct LiteralTrial {
    bool connected = false;  // false: "Esta estructura no se puede renumerar"
    std::vector<int> order;  // 1-based, 0 = no node at that position
    std::vector<int> newNumber;
    int width = 0;
};

inline LiteralTrial literalRenumeracion(const Table<float>& bars, int barCount, int nodeCount,
                                        int start) {
    LiteralTrial t;
    t.order.assign(std::size_t(nodeCount) + 1, 0);
    t.newNumber.assign(std::size_t(nodeCount) + 1, 0);
    std::vector<char> mark(std::size_t(barCount) + 1, 0);
    t.order[1] = start;
    t.newNumber[start] = 1;
    int count = 1;
    auto visit = [&](int b, int m) {
        mark[b] = 1;
        for (int q = 1; q <= count; ++q)
            if (t.order[q] == m) return;
        ++count;
        t.order[count] = m;
        t.newNumber[m] = count;
    };
    for (int p = 1;; ++p) {
        if (p > nodeCount) return t;  // not connected
        bool allVisited = true;
        for (int b = 1; b <= barCount; ++b) {
            if (mark[b]) continue;
            allVisited = false;
            const int o = itemNumber(bars(b, Origin));
            const int e = itemNumber(bars(b, End));
            if (o == t.order[p]) visit(b, e);
            if (e == t.order[p]) visit(b, o);
        }
        if (allVisited) break;
    }
    int m = 0;
    for (int b = 1; b <= barCount; ++b) {
        const int d = std::abs(t.newNumber[itemNumber(bars(b, Origin))] -
                               t.newNumber[itemNumber(bars(b, End))]);
        if (d > m) m = d;
    }
    t.connected = true;
    t.width = 6 * (m + 1);
    return t;
}

struct LiteralStudy {
    bool connected = true;
    int bestWidth = 0;
    int bestStart = 0;
};

// A study from first..last with the bests carried in from earlier studies.
inline LiteralStudy literalStudy(const Table<float>& bars, int barCount, int nodeCount, int first,
                                 int last, int bestWidth, int bestStart) {
    LiteralStudy s{true, bestWidth, bestStart};
    for (int start = first; start <= last; ++start) {
        const LiteralTrial t = literalRenumeracion(bars, barCount, nodeCount, start);
        if (!t.connected) return {false, s.bestWidth, s.bestStart};
        if (t.width < s.bestWidth) {
            s.bestWidth = t.width;
            s.bestStart = start;
        }
    }
    return s;
}

}  // namespace vanto::test
