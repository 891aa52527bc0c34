#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "analysis/engine.h"
#include "builder.h"
#include "support/fakes.h"

namespace vanto::analysis {
namespace {

// Row-by-row elimination exactly as the program has always done it: the
// reference the panel elimination must reproduce.
void literalGauss(BandMatrix& K, std::vector<double>& F, std::vector<double>& D) {
    const int n = K.size(), hb = K.halfBandwidth();
    for (int k = 1; k <= n; ++k) {
        if (!isFree(D[k])) continue;
        const double p = K.row(k)[0];
        if (std::abs(p) <= 1e-9) throw std::runtime_error("mechanism");
        for (int i = k + 1; i <= std::min(n, k + hb - 1); ++i) {
            if (!isFree(D[i])) continue;
            const double a = K.row(k)[i - k];
            if (std::abs(a) <= 1e-9) continue;
            const double f = -a / p;
            for (int q = 1; i + q - k <= hb; ++q)
                K.row(i)[q - 1] += f * K.row(k)[i - k + q - 1];
            F[i] += f * F[k];
        }
    }
    for (int k = n; k >= 1; --k) {
        if (!isFree(D[k])) continue;
        for (int q = 2; q <= hb && k + q - 1 <= n; ++q)
            F[k] -= K.row(k)[q - 1] * D[k + q - 1];
        D[k] = F[k] / K.row(k)[0];
    }
}

struct System {
    BandMatrix K;
    std::vector<double> F, D;
};

// A random symmetric, diagonally dominant band system with some restrained
// rows, some prescribed values and some negligible coupling terms.
System randomSystem(int n, int hb, unsigned seed) {
    std::mt19937 rng(seed);
    std::uniform_real_distribution<double> u(-1, 1);
    System s{BandMatrix(n, hb), std::vector<double>(std::size_t(n) + 1),
             std::vector<double>(std::size_t(n) + 1)};
    for (int r = 1; r <= n; ++r) {
        double* row = s.K.row(r);
        row[0] = 2.0 * hb + 5;
        for (int p = 1; p < hb && r + p <= n; ++p) {
            const double roll = u(rng);
            row[p] = roll > 0.8 ? 5e-10 : roll > 0.3 ? u(rng) : 0.0;
        }
        s.F[r] = u(rng) * 10;
        const double kind = u(rng);
        s.D[r] = kind > 0.85 ? 0.0 : kind > 0.75 ? u(rng) * 0.01 : 1234.0;
    }
    return s;
}

// Moves prescribed values to the right-hand side, as the assembly does.
void movePrescribed(System& s) {
    const int n = s.K.size(), hb = s.K.halfBandwidth();
    for (int k = 1; k <= n; ++k) {
        const double d = s.D[k];
        if (isFree(d) || d == 0) continue;
        for (int r = std::max(1, k - hb + 1); r < k; ++r) {
            s.F[r] -= s.K.row(r)[k - r] * d;
            s.K.row(r)[k - r] = 0;
        }
        for (int c = k + 1; c <= std::min(n, k + hb - 1); ++c) {
            s.F[c] -= s.K.row(k)[c - k] * d;
            s.K.row(k)[c - k] = 0;
        }
    }
}

TEST(Gauss, PanelEliminationSolvesTheEquationsAsRowByRowDoes) {
    const int sizes[][2] = {{1, 6},   {7, 6},    {47, 12},   {48, 30},   {49, 30},
                            {150, 6}, {300, 61}, {257, 200}, {1000, 150}};
    unsigned seed = 1;
    for (const auto& [n, hb] : sizes) {
        const System original = randomSystem(n, hb, seed);
        System a = randomSystem(n, hb, seed), b = randomSystem(n, hb, seed++);
        movePrescribed(a);
        movePrescribed(b);
        literalGauss(a.K, a.F, a.D);
        test::RecordingObserver obs;
        test::FixedClock clock;
        ASSERT_TRUE(Gauss(b.K, b.F, b.D, obs, clock));
        for (int r = 1; r <= n; ++r) {
            EXPECT_NEAR(b.D[r], a.D[r], 1e-12 * std::max(1.0, std::abs(a.D[r])))
                << "n " << n << " hb " << hb << " dof " << r;
            if (!isFree(original.D[r])) {
                EXPECT_EQ(b.D[r], original.D[r]);
                continue;
            }
            // The original equations, prescribed couplings included, hold on
            // every free row; couplings ≤ 1e-9 count as zero.
            double lhs = 0;
            for (int c = std::max(1, r - hb + 1); c <= std::min(n, r + hb - 1); ++c) {
                const double k = original.K.at(r, c);
                if (std::abs(k) > 1e-9 || r == c) lhs += k * b.D[c];
            }
            EXPECT_NEAR(lhs, original.F[r], 1e-9) << "n " << n << " hb " << hb << " row " << r;
        }
    }
}

TEST(Gauss, StopsWhenAsked) {
    // A narrow band, and a wide one whose panels are shared with a second thread.
    for (const auto& [n, hb] : {std::pair{400, 30}, {800, 150}}) {
        System s = randomSystem(n, hb, 5);
        test::RecordingObserver obs;
        obs.stopAtStage = StageReduction;
        obs.stopAtItem = 100;
        test::FixedClock clock;
        EXPECT_FALSE(Gauss(s.K, s.F, s.D, obs, clock));
        EXPECT_EQ(obs.lastCurrent, 100);
    }
}

TEST(FinishEstimate, PredictsATimeOfDayFromTheRowsDone) {
    // The whole elimination takes 1.1·DofCount·elapsed/rows; midnight wraps.
    struct Row {
        double start, now;
        int dofCount, rowsDone;
        const char* expected;
    };
    const Row rows[] = {
        {10 * 3600, 10 * 3600 + 60, 600, 300, "10:02"},    // 132 s after 10:00:00
        {10 * 3600, 10 * 3600 + 3000, 600, 300, "11:50"},  // 6600 s
        {86400 - 30, 30, 1000, 100, "0:10"},               // 660 s after 23:59:30
        {86400 - 20, 86400 - 10, 100, 10, "0:01"},         // 110 s after 23:59:40
    };
    for (const Row& r : rows) {
        test::FixedClock clock;
        clock.now = r.start;
        FinishEstimate e(clock, r.dofCount);
        e.start();
        clock.now = r.now;
        EXPECT_EQ(e.at(r.rowsDone), r.expected) << r.start << " " << r.now;
    }
}

}  // namespace
}  // namespace vanto::analysis
