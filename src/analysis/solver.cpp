// Band Gauss elimination.
//
// The elimination works on panels of consecutive pivot rows: each panel is
// first reduced within itself, then applied to the rows below it that its band
// reaches, several pivot rows at a time. Every entry receives the same updates,
// pivot by pivot in increasing order, as row-by-row elimination gives it; the
// panels only keep the rows being updated in cache. Restrained rows are never
// pivots and never updated, and coupling terms of magnitude ≤ 1e-9 are taken
// as zero. A pivot is lost when rounding is all that is left of it: the test
// is relative to the row's own stiffness, so it holds at every size. A second
// thread shares the rows below each panel; every row is still updated by one
// thread, so the results do not depend on the threads.

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

#include "analysis/engine.h"

namespace vanto::analysis {

namespace {

constexpr double NegligibleCoupling = 1e-9;
constexpr int PanelRows = 48;

// row[q] += f · src[q] for q < len.
inline void axpy(double* __restrict row, const double* __restrict src, double f, int len) {
    for (int q = 0; q < len; ++q)
        row[q] += f * src[q];
}

// The pivot rows k0..k1 of a panel, reduced, and their factors for the rows
// below the panel.
struct Panel {
    BandMatrix& K;
    std::vector<double>& F;
    const std::vector<char>& free;
    const std::vector<double>& mult;
    int k0, k1, hb;

    // Applies the panel to rows first, first + step, ... up to last.
    void apply(int first, int last, int step) const {
        for (int i = first; i <= last; i += step) {
            if (!free[i]) continue;
            double* ri = K.row(i);
            const std::size_t col = std::size_t(i - k1 - 1);
            double fi = 0;
            int k = std::max(k0, i - hb + 1);
            // Four pivot rows at a time: row k reaches fewest columns of row i,
            // rows k+1..k+3 one more each.
            for (; k + 3 <= k1; k += 4) {
                const double f0 = mult[std::size_t(k - k0) * hb + col];
                const double f1 = mult[std::size_t(k + 1 - k0) * hb + col];
                const double f2 = mult[std::size_t(k + 2 - k0) * hb + col];
                const double f3 = mult[std::size_t(k + 3 - k0) * hb + col];
                if (f0 == 0 && f1 == 0 && f2 == 0 && f3 == 0) continue;
                const int len = hb - (i - k);
                const double* __restrict r0 = K.row(k) + (i - k);
                const double* __restrict r1 = K.row(k + 1) + (i - k - 1);
                const double* __restrict r2 = K.row(k + 2) + (i - k - 2);
                const double* __restrict r3 = K.row(k + 3) + (i - k - 3);
                double* __restrict out = ri;
                for (int q = 0; q < len; ++q)
                    out[q] += f0 * r0[q] + f1 * r1[q] + f2 * r2[q] + f3 * r3[q];
                out[len] += f1 * r1[len] + f2 * r2[len] + f3 * r3[len];
                out[len + 1] += f2 * r2[len + 1] + f3 * r3[len + 1];
                out[len + 2] += f3 * r3[len + 2];
                fi += f0 * F[k] + f1 * F[k + 1] + f2 * F[k + 2] + f3 * F[k + 3];
            }
            for (; k <= k1; ++k) {
                const double f = mult[std::size_t(k - k0) * hb + col];
                if (f == 0) continue;
                axpy(ri, K.row(k) + (i - k), f, hb - (i - k));
                fi += f * F[k];
            }
            F[i] += fi;
        }
    }
};

// A second thread that takes one half of each panel's work. Without a second
// processor, or for small bands, both halves run here in turn.
class Helper {
  public:
    explicit Helper(bool wanted) {
        if (wanted && std::thread::hardware_concurrency() > 1)
            thread_ = std::thread([this] { loop(); });
    }
    ~Helper() {
        if (!thread_.joinable()) return;
        {
            std::lock_guard lock(mutex_);
            quit_ = true;
        }
        wake_.notify_one();
        thread_.join();
    }
    // Runs `theirs` on the helper thread and `mine` here, and waits for both.
    template <class A, class B>
    void run(A&& theirs, B&& mine) {
        if (!thread_.joinable()) {
            mine();
            theirs();
            return;
        }
        {
            std::lock_guard lock(mutex_);
            job_ = theirs;
            pending_ = true;
        }
        wake_.notify_one();
        mine();
        std::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !pending_; });
    }

  private:
    void loop() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return pending_ || quit_; });
            if (quit_) return;
            lock.unlock();
            job_();
            lock.lock();
            pending_ = false;
            done_.notify_one();
        }
    }

    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable wake_, done_;
    std::function<void()> job_;
    bool pending_ = false;
    bool quit_ = false;
};

}  // namespace

void throwMechanism(int dof) {
    const int node = (dof + 5) / 6;
    throw CalculationError(
        CalculationError::Kind::Mechanism,
        "Detección de mecanismo en el nudo nº: " + std::to_string(node) + ", en el " + dofName(dof),
        node, dof);
}

std::string dofName(int dof) {
    static const char* const names[6] = {"Giro Z.",           "Desplazamiento X.",
                                         "Desplazamiento Y.", "Desplazamiento Z.",
                                         "Giro X.",           "Giro Y."};
    return names[dof % 6];
}

std::string FinishEstimate::at(int rowsDone) const {
    double elapsed = clock_.secondsSinceMidnight() - start_;
    // The clock starts again at midnight.
    if (elapsed < 0) elapsed += 86400.0;
    const double predicted = 1.1 * dofCount_ * elapsed / std::max(1, rowsDone);
    const double finish = std::round(start_ + predicted);
    const long long seconds = (long long)finish;
    const long long hours = seconds / 3600;
    const long long minutes = (seconds - 3600 * hours) / 60;
    // A time of day: an estimate past midnight shows the next day's hour.
    const std::string mm = "00" + std::to_string(minutes);
    return std::to_string(hours % 24) + ":" + mm.substr(mm.size() - 2);
}

bool Gauss(BandMatrix& K, std::vector<double>& F, std::vector<double>& D, CalcObserver& observer,
           const Clock& clock) {
    const int n = K.size(), hb = K.halfBandwidth();
    FinishEstimate estimate(clock, n);
    estimate.start();
    std::vector<char> free(std::size_t(n) + 1, 0);
    // Each pivot is judged against its row's diagonal before the elimination.
    std::vector<double> diagonal(std::size_t(n) + 1, 0.0);
    for (int k = 1; k <= n; ++k) {
        free[k] = isFree(D[k]);
        diagonal[k] = K.row(k)[0];
    }

    // mult[(k − k0)·hb + (i − k1 − 1)]: the factor pivot row k applies to row i
    // below the panel k0..k1 (0 where it applies none).
    std::vector<double> mult(std::size_t(PanelRows) * hb);
    // Small bands are not worth a second thread.
    Helper helper(hb >= 120 && n >= 4 * PanelRows);

    for (int k0 = 1; k0 <= n; k0 += PanelRows) {
        const int k1 = std::min(n, k0 + PanelRows - 1);
        const int below = std::min(n, k1 + hb - 1);
        for (int k = k0; k <= k1; ++k) {
            observer.report(StageReduction, k, n);
            double* m = &mult[std::size_t(k - k0) * hb];
            std::fill(m, m + (below - k1), 0.0);
            if (free[k]) {
                const double* rk = K.row(k);
                const double p = rk[0];
                if (!(p > PivotRatio * diagonal[k])) throwMechanism(k);
                const int last = std::min(n, k + hb - 1);
                for (int i = k + 1; i <= std::min(k1, last); ++i) {
                    if (!free[i]) continue;
                    const double a = rk[i - k];
                    if (std::abs(a) <= NegligibleCoupling) continue;
                    const double f = -a / p;
                    axpy(K.row(i), rk + (i - k), f, hb - (i - k));
                    F[i] += f * F[k];
                }
                for (int i = k1 + 1; i <= last; ++i) {
                    const double a = rk[i - k];
                    if (free[i] && std::abs(a) > NegligibleCoupling) m[i - k1 - 1] = -a / p;
                }
            }
            if (k % 10 == 0) observer.finishTime(estimate.at(k));
            if (observer.stopRequested()) return false;
        }

        // The panel's pivots applied to the rows below it: one thread takes the
        // odd rows, this one the even rows and the user's stop request.
        const Panel panel{K, F, free, mult, k0, k1, hb};
        bool stopped = false;
        helper.run([&] { panel.apply(k1 + 2, below, 2); },
                   [&] {
                       for (int i = k1 + 1; i <= below && !stopped; i += 2) {
                           panel.apply(i, i, 1);
                           stopped = observer.stopRequested();
                       }
                   });
        if (stopped) return false;
    }

    for (int k = n; k >= 1; --k) {
        observer.report(StageBackSubstitution, n - k + 1, n);
        if (free[k]) {
            const double* rk = K.row(k);
            const int len = std::min(hb, n - k + 1);
            double s = F[k];
            for (int q = 1; q < len; ++q)
                s -= rk[q] * D[k + q];
            F[k] = s;
            D[k] = s / rk[0];
        }
        if (observer.stopRequested()) return false;
    }
    return true;
}

void solveReduced(const BandMatrix& K, std::vector<double>& F, std::vector<double>& D) {
    const int n = K.size(), hb = K.halfBandwidth();
    // Each pivot row keeps, after the elimination, the entries that gave its
    // factors: −K(k, i) / K(k, k) for every free row i it reached.
    for (int k = 1; k <= n; ++k) {
        if (!isFree(D[k]) || F[k] == 0) continue;
        const double* rk = K.row(k);
        const double fk = F[k], p = rk[0];
        const int last = std::min(n, k + hb - 1);
        for (int i = k + 1; i <= last; ++i) {
            const double a = rk[i - k];
            if (isFree(D[i]) && std::abs(a) > NegligibleCoupling) F[i] += -a / p * fk;
        }
    }
    for (int k = n; k >= 1; --k) {
        if (!isFree(D[k])) continue;
        const double* rk = K.row(k);
        const int len = std::min(hb, n - k + 1);
        double s = F[k];
        for (int q = 1; q < len; ++q)
            s -= rk[q] * D[k + q];
        D[k] = s / rk[0];
    }
}

}  // namespace vanto::analysis
