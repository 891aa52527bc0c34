#include "renumber/renumbering.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "renumber/lattice.h"
#include "support/fakes.h"

namespace vanto::renumber {
namespace {

using test::lattice;
using test::RecordingProgress;
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

TEST(Progress, OneReportAndOneStopQuestionPerTrial) {
    Renumbering r(lattice(3, 3, 2));
    RecordingProgress p;
    r.studyAll(&p);
    ASSERT_EQ(p.reports.size(), 19u);
    EXPECT_EQ(p.reports.front(), (RecordingProgress::Report{StageTrials, 0, 18}));
    EXPECT_EQ(p.reports.back(), (RecordingProgress::Report{StageTrials, 18, 18}));
    EXPECT_EQ(p.asked, 17);  // not after the last trial
}

TEST(Progress, StopEndsTheStudyKeepingItsBests) {
    // Chain given as 1–4, 4–2, 2–3: the first trial already improves.
    Renumbering r(structureWith(4, {{1, 4}, {4, 2}, {2, 3}}));
    RecordingProgress p(2);  // at the first question, after the first trial
    const StudyResult s = r.studyAll(&p);
    EXPECT_EQ(s.outcome, StudyOutcome::Stopped);
    EXPECT_EQ(p.reports.back().current, 1);
    EXPECT_EQ(r.BestStart(), 1);

    Renumbering still(structureWith(4, {{1, 2}, {2, 3}, {3, 4}}));
    RecordingProgress q(3);
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

// --- Known answers on chains, grids and disconnected structures -------------

// The widths from the first starts ("-": the start reaches not every bar) and
// what a complete study finds, checked once against a literal rendering of
// the breadth-first rule.
TEST(Study, ChainsGridsAndDisconnectedStructures) {
    const struct {
        const char* what;
        StructureData d;
        std::vector<int> widths;  // from starts 1, 2, ...; 0: not connected
        int initial, bestStart, bestWidth;
    } cases[] = {
        // clang-format off
        {"in order", structureWith(6, {{1, 2}, {2, 3}, {3, 4}, {4, 5}, {5, 6}}),
         {12, 18, 18, 18, 18, 12}, 12, 0, 12},
        {"reversed", structureWith(6, {{6, 5}, {5, 4}, {4, 3}, {3, 2}, {2, 1}}),
         {12, 18, 18, 18, 18, 12}, 12, 0, 12},
        {"one node", structureWith(1, {}), {6}, 6, 0, 6},
        {"plane grid", lattice(4, 5, 1), {36, 36, 36, 36, 36, 36}, 36, 16, 30},
        {"cube", lattice(3, 3, 3), {54, 60, 54, 60, 60, 60}, 60, 1, 54},
        {"tower", lattice(2, 4, 5), {66, 72, 72, 72, 66, 72}, 126, 36, 54},
        // Large enough that the pruned complete study meets real competition.
        {"medium grid", lattice(6, 5, 4), {120, 126, 126, 120, 126, 126}, 126, 1, 120},
        {"nodes no bar touches", structureWith(7, {{6, 2}, {2, 4}, {4, 6}}),
         {0, 18, 0, 18, 0, 18}, 30, 2, 18},
        // Every bar twice, the copies flipped and mixed in.
        {"repeated",
         structureWith(5, {{1, 4}, {4, 2}, {2, 4}, {2, 5}, {4, 1}, {5, 3}, {5, 2}, {3, 5}}),
         {12, 18, 12, 18, 18}, 24, 1, 12},
        {"chain and triangle", structureWith(6, {{1, 2}, {2, 3}, {4, 5}, {5, 6}, {6, 4}}),
         {0, 0, 0, 0, 0, 0}, 18, 0, 18},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Renumbering r(c.d);
        for (std::size_t s = 0; s < c.widths.size(); ++s) {
            const auto n = r.renumeracion(int(s) + 1);
            EXPECT_EQ(n ? n->width : 0, c.widths[s]) << "start " << s + 1;
        }
        EXPECT_EQ(r.InitialWidth(), c.initial);
        const bool connected = std::ranges::any_of(c.widths, [](int w) { return w > 0; });
        EXPECT_EQ(r.studyAll().outcome,
                  connected ? StudyOutcome::Finished : StudyOutcome::NotConnected);
        EXPECT_EQ(r.BestStart(), c.bestStart);
        EXPECT_EQ(r.BestWidth(), c.bestWidth);
    }
}

}  // namespace
}  // namespace vanto::renumber
