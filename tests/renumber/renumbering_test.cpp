#include "renumber/renumbering.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "renumber/lattice.h"
#include "renumber/literal_rule.h"

namespace vanto::renumber {
namespace {

using test::lattice;
using test::literalRenumeracion;
using test::LiteralStudy;
using test::literalStudy;
using test::structureWith;

// --- The cases worked by hand ------------------------------------------------

TEST(Renumeracion, NumberingsWorkedByHand) {
    const std::vector<std::pair<int, int>> scrambled{{1, 4}, {4, 2}, {2, 3}};
    const struct {
        int nodes;
        std::vector<std::pair<int, int>> bars;
        int start;
        std::vector<int> order;
        int width;
    } cases[] = {
        {4, scrambled, 1, {0, 1, 4, 2, 3}, 12},
        {4, scrambled, 4, {0, 4, 1, 2, 3}, 18},  // bar 4–2 spans 2
        {4, scrambled, 2, {0, 2, 4, 3, 1}, 18},  // bar 1–4 spans 2
        {4, scrambled, 3, {0, 3, 2, 4, 1}, 12},
        // The zero-length bar 3–3 never splits the structure.
        {3, {{1, 3}, {3, 3}, {3, 2}}, 1, {0, 1, 3, 2}, 12},
        // Nodes 3, 4 and 6 touch no bar: they follow in their old order.
        {6, {{1, 5}, {5, 2}}, 1, {0, 1, 5, 2, 3, 4, 6}, 12},
    };
    for (const auto& c : cases) {
        const auto n = Renumbering(structureWith(c.nodes, c.bars)).renumeracion(c.start);
        ASSERT_TRUE(n);
        EXPECT_EQ(n->order, c.order);
        EXPECT_EQ(n->width, c.width);
    }
    const auto n = Renumbering(structureWith(4, scrambled)).renumeracion(1);
    ASSERT_TRUE(n);
    EXPECT_EQ(n->newNumber, (std::vector<int>{0, 1, 3, 4, 2}));
}

TEST(Study, BestsAreKeptOverRepeatedStudies) {
    // Starts 1 and 3 both give 12; a tie keeps the earlier study's start.
    Renumbering q(structureWith(4, {{1, 4}, {4, 2}, {2, 3}}));
    q.studyFrom(3);
    q.studyFrom(1);                        // equal width: no change
    const StudyResult s = q.studyFrom(4);  // worse: no change, the comment still reports 3
    EXPECT_EQ(q.BestStart(), 3);
    EXPECT_EQ(q.BestWidth(), 12);
    EXPECT_EQ(s.comment,
              " Se encontró una mejoría del ancho de banda en el nudo 3"
              "  El nuevo ancho de banda sería 12");
    q.studyAll();
    EXPECT_EQ(q.BestStart(), 3);
}

TEST(Study, NoBarsGivesSixAndNothingToSave) {
    Renumbering r(structureWith(3, {}));
    EXPECT_EQ(r.InitialWidth(), 6);
    EXPECT_EQ(r.studyAll().comment, " No mejoró el ancho de banda y resulta imposible que mejore");
    EXPECT_EQ(r.studyFrom(2).outcome, StudyOutcome::Finished);
    EXPECT_FALSE(r.canSave());
}

TEST(Study, StartNodeWithoutBarsIsRefusedButSkippedInACompleteStudy) {
    // Node 3 touches no bar.
    Renumbering r(structureWith(4, {{1, 4}, {4, 2}}));
    EXPECT_EQ(r.untouchedNodes(), 1);
    EXPECT_EQ(r.studyFrom(3).outcome, StudyOutcome::NotConnected);
    EXPECT_EQ(r.studyAll().outcome, StudyOutcome::Finished);
    EXPECT_EQ(r.BestStart(), 1);
    EXPECT_EQ(r.BestWidth(), 12);
}

// --- Progress and stop ------------------------------------------------------

class RecordingProgress : public Progress {
  public:
    explicit RecordingProgress(int stopAfter = -1) : stopAfter_(stopAfter) {}
    void report(int stage, long long current, long long total) override {
        EXPECT_EQ(stage, StageTrials);
        reports.emplace_back(current, total);
    }
    bool stopRequested() override {
        ++asked;
        return stopAfter_ >= 0 && asked >= stopAfter_;
    }
    std::vector<std::pair<long long, long long>> reports;
    int asked = 0;

  private:
    int stopAfter_;
};

TEST(Progress, OneReportAndOneStopQuestionPerTrial) {
    Renumbering r(lattice(3, 3, 2));
    RecordingProgress p;
    r.studyAll(&p);
    ASSERT_EQ(p.reports.size(), 19u);
    EXPECT_EQ(p.reports.front(), std::make_pair(0LL, 18LL));
    EXPECT_EQ(p.reports.back(), std::make_pair(18LL, 18LL));
    EXPECT_EQ(p.asked, 17);  // not after the last trial
}

TEST(Progress, StopEndsTheStudyKeepingItsBests) {
    // Chain given as 1–4, 4–2, 2–3: the first trial already improves.
    Renumbering r(structureWith(4, {{1, 4}, {4, 2}, {2, 3}}));
    RecordingProgress p(1);
    const StudyResult s = r.studyAll(&p);
    EXPECT_EQ(s.outcome, StudyOutcome::Stopped);
    EXPECT_EQ(p.reports.back().first, 1);
    EXPECT_EQ(r.BestStart(), 1);

    Renumbering still(structureWith(4, {{1, 2}, {2, 3}, {3, 4}}));
    RecordingProgress q(2);
    // Not every start was tried, so it cannot say improvement is impossible.
    EXPECT_EQ(still.studyAll(&q).comment, " No mejoró el ancho de banda");
}

// --- The start node typed by the user ---------------------------------------

TEST(StartNode, RoundsClampsAndRefuses) {
    const struct {
        const char* text;
        int node;  // 0: refused
        bool clamped;
    } accepted[] = {{"3", 3, false},  {" 2,6 ", 3, false}, {"2.4", 2, false}, {"1.5", 2, false},
                    {"+4", 4, false}, {"99", 10, true},    {"1e9", 10, true}};
    for (const auto& c : accepted) {
        const auto n = std::get<StartNode>(parseStartNode(c.text, 10));
        EXPECT_EQ(n.node, c.node) << c.text;
        EXPECT_EQ(n.clamped, c.clamped) << c.text;
    }
    auto refusal = [](const std::string& text, int count = 10) {
        return std::get<std::string>(parseStartNode(text, count));
    };
    EXPECT_EQ(refusal("0,4"), "El nudo de partida debe ser 1 o mayor.");
    EXPECT_EQ(refusal("-3"), "El nudo de partida debe ser 1 o mayor.");
    EXPECT_EQ(refusal("12abc"), "El nudo de partida «12abc» no es un número.");
    EXPECT_EQ(refusal(""), "El nudo de partida «» no es un número.");
    EXPECT_EQ(refusal("nan"), "El nudo de partida «nan» no es un número.");
    EXPECT_EQ(refusal("3", 0), "La estructura no tiene nudos.");
}

// --- The fast numbering against the literal rule -----------------------------

// Every start's numbering, and complete and single studies, as the literal rule.
void expectSameAsLiteral(const StructureData& d, const std::string& what) {
    SCOPED_TRACE(what);
    Renumbering r(d);
    std::vector<bool> touched(std::size_t(d.nodeCount) + 1, false);
    for (int b = 1; b <= d.barCount; ++b) {
        touched[itemNumber(d.bars(b, Origin))] = true;
        touched[itemNumber(d.bars(b, End))] = true;
    }
    bool anyTouchedConnected = false;
    for (int start = 1; start <= d.nodeCount; ++start) {
        SCOPED_TRACE("start " + std::to_string(start));
        const auto lit = literalRenumeracion(d.bars, d.barCount, d.nodeCount, start);
        const auto mine = r.renumeracion(start);
        ASSERT_EQ(bool(mine), lit.connected);
        if (!mine) continue;
        anyTouchedConnected = true;
        // The literal rule numbers the reached nodes; the others follow in old order.
        for (int p = 1; p <= mine->reached; ++p)
            ASSERT_EQ(mine->order[p], lit.order[p]);
        for (int p = mine->reached + 1; p <= d.nodeCount; ++p) {
            ASSERT_EQ(lit.order[p], 0);
            ASSERT_FALSE(touched[mine->order[p]] && d.barCount > 0);
            if (p > mine->reached + 1) {
                ASSERT_LT(mine->order[p - 1], mine->order[p]);
            }
        }
        ASSERT_EQ(mine->width, lit.width);
    }
    EXPECT_EQ(r.connected(), anyTouchedConnected || d.barCount == 0);

    // A complete study: the literal rule stops on a start that no bar touches,
    // so it is compared over the starts that some bar touches.
    const StudyResult all = r.studyAll();
    if (!r.connected()) {
        EXPECT_EQ(all.outcome, StudyOutcome::NotConnected);
        EXPECT_EQ(r.studyFrom(1).comment, "");
        EXPECT_FALSE(r.canSave());
        return;
    }
    LiteralStudy lit{true, r.InitialWidth(), 0};
    for (int start = 1; start <= d.nodeCount; ++start) {
        if (touched[start] || d.barCount == 0)
            lit = literalStudy(d.bars, d.barCount, d.nodeCount, start, start, lit.bestWidth,
                               lit.bestStart);
    }
    EXPECT_EQ(all.outcome, StudyOutcome::Finished);
    EXPECT_EQ(r.BestWidth(), lit.bestWidth);
    EXPECT_EQ(r.BestStart(), lit.bestStart);
}

TEST(LiteralRule, ChainsGridsAndDisconnectedStructures) {
    const std::pair<const char*, StructureData> cases[] = {
        {"in order", structureWith(6, {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}})},
        {"reversed", structureWith(6, {{6, 5}, {5, 4}, {4, 3}, {3, 2}, {2, 1}})},
        {"scrambled", structureWith(5, {{1, 4}, {4, 2}, {2, 5}, {5, 3}})},
        {"one bar", structureWith(2, {{1, 2}})},
        {"one node", structureWith(1, {})},
        {"plane grid", lattice(4, 5, 1)},
        {"cube", lattice(3, 3, 3)},
        {"tower", lattice(2, 4, 5)},
        // Large enough that the pruned complete study meets real competition.
        {"medium grid", lattice(6, 5, 4)},
        {"two bars apart", structureWith(4, {{1, 2}, {3, 4}})},
        {"chain and triangle", structureWith(6, {{1, 2}, {2, 3}, {4, 5}, {5, 6}, {6, 4}})},
        // Every bar twice, the copies flipped and mixed in.
        {"repeated",
         structureWith(5, {{1, 4}, {4, 2}, {2, 4}, {2, 5}, {4, 1}, {5, 3}, {5, 2}, {3, 5}})},
    };
    for (const auto& [what, d] : cases)
        expectSameAsLiteral(d, what);
}

TEST(LiteralRule, RandomStructures) {
    std::mt19937 rng(2024);
    for (int trial = 0; trial < 60; ++trial) {
        const int n = 2 + int(rng() % 30);
        const int isolated = trial % 3 == 0 ? int(rng() % 4) : 0;
        const int linked = std::max(2, n - isolated);
        // The linked nodes get random labels among 1..n; the rest stay untouched.
        std::vector<int> label(n);
        for (int i = 0; i < n; ++i)
            label[i] = i + 1;
        std::shuffle(label.begin(), label.end(), rng);
        std::vector<std::pair<int, int>> bars;
        for (int i = 1; i < linked; ++i)
            bars.emplace_back(label[rng() % i], label[i]);
        const int extra = int(rng() % (2 * linked));
        for (int e = 0; e < extra; ++e)
            bars.emplace_back(label[rng() % linked], label[rng() % linked]);
        // Drop self-loops: a bar needs two nodes.
        std::erase_if(bars, [](const auto& b) { return b.first == b.second; });
        if (trial % 7 == 3 && bars.size() > 2) bars.erase(bars.begin() + 1);  // may split it
        // Bars in any order, either way round.
        std::shuffle(bars.begin(), bars.end(), rng);
        for (auto& [o, e] : bars)
            if (rng() % 2) std::swap(o, e);
        expectSameAsLiteral(structureWith(n, bars), "random " + std::to_string(trial));
    }
}

}  // namespace
}  // namespace vanto::renumber
