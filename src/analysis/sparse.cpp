// The free equations in compressed sparse columns, solved by CHOLMOD's
// supernodal Cholesky factorization with a fill-reducing ordering of its own,
// so that neither time nor memory depends on how the user numbered the nodes.
//
// CHOLMOD offers no progress report and no way to interrupt a factorization:
// it runs on a worker thread while this one reports an estimate of its progress
// and reads the stop flag. A stopped calculation leaves the worker to finish on
// its own; it frees its memory when it ends, and the program waits for it only
// when it exits.

#include <cholmod.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <limits>
#include <memory>
#include <mutex>
#include <new>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "analysis/engine.h"

namespace vanto::analysis {

namespace {

// Equation of every degree of freedom (−1 when restrained), in the user's order.
std::vector<int> equationsOf(const std::vector<double>& D, int dofCount) {
    std::vector<int> eq(std::size_t(dofCount) + 1, -1);
    int n = 0;
    for (int k = 1; k <= dofCount; ++k)
        if (isFree(D[k])) eq[k] = n++;
    return eq;
}

// For every node b, the nodes a < b that a bar joins to it, sorted.
struct Neighbours {
    std::vector<int> start;  // node b's list is list[start[b] .. start[b + 1])
    std::vector<int> list;
};

Neighbours lowerNeighbours(const StructureData& data) {
    Neighbours g;
    const int nodes = data.nodeCount;
    g.start.assign(std::size_t(nodes) + 2, 0);
    auto pair = [&](int bar) {
        const int o = itemNumber(data.bars(bar, Origin)), e = itemNumber(data.bars(bar, End));
        return std::pair{std::min(o, e), std::max(o, e)};
    };
    for (int bar = 1; bar <= data.barCount; ++bar)
        ++g.start[pair(bar).second + 1];
    for (int b = 1; b <= nodes; ++b)
        g.start[b + 1] += g.start[b];
    g.list.resize(std::size_t(g.start[nodes + 1]));
    std::vector<int> fill(g.start.begin(), g.start.end() - 1);
    for (int bar = 1; bar <= data.barCount; ++bar) {
        const auto [a, b] = pair(bar);
        g.list[std::size_t(fill[b]++)] = a;
    }
    // Sorted and without repeats (two bars may join the same nodes).
    int out = 0;
    for (int b = 1; b <= nodes; ++b) {
        const auto first = g.list.begin() + g.start[b], last = g.list.begin() + g.start[b + 1];
        std::sort(first, last);
        const int count = int(std::unique(first, last) - first);
        std::copy(first, first + count, g.list.begin() + out);
        g.start[b] = out;
        out += count;
    }
    g.start[nodes + 1] = out;
    g.list.resize(std::size_t(out));
    return g;
}

}  // namespace

bool assembleSparse(const StructureData& data, std::vector<double>& F, const std::vector<double>& D,
                    SparseSystem& K, CalcObserver& observer) {
    const int nodes = data.nodeCount;
    const std::vector<int> eq = equationsOf(D, 6 * data.nodeCount);
    // firstEq[b]: node b's first equation; its free degrees of freedom have
    // consecutive equations up to firstEq[b + 1].
    std::vector<int> firstEq(std::size_t(nodes) + 2, 0);
    int count = 0;
    for (int b = 1; b <= nodes; ++b) {
        firstEq[b] = count;
        for (int k = 1; k <= 6; ++k)
            count += eq[6 * (b - 1) + k] >= 0;
    }
    firstEq[nodes + 1] = count;
    auto freeOf = [&](int b) { return firstEq[b + 1] - firstEq[b]; };

    // Column c of node b holds the free rows of its lower neighbours, then the
    // rows of node b up to its own, the diagonal last. offset[t] is where the
    // rows of neighbour list[t] start within each column of its node b.
    const Neighbours g = lowerNeighbours(data);
    std::vector<int> offset(g.list.size());
    std::vector<int> below(std::size_t(nodes) + 1, 0);  // rows of all lower neighbours
    for (int b = 1; b <= nodes; ++b) {
        int o = 0;
        for (int t = g.start[b]; t < g.start[b + 1]; ++t) {
            offset[std::size_t(t)] = o;
            o += freeOf(g.list[std::size_t(t)]);
        }
        below[b] = o;
    }
    K = {};
    K.n = count;
    K.dof.resize(std::size_t(count));
    for (int k = 1; k <= 6 * data.nodeCount; ++k)
        if (eq[k] >= 0) K.dof[std::size_t(eq[k])] = k;
    K.colStart.assign(std::size_t(count) + 1, 0);
    std::size_t entries = 0;
    for (int b = 1; b <= nodes; ++b)
        for (int r = 0; r < freeOf(b); ++r) {
            K.colStart[std::size_t(firstEq[b] + r)] = int(entries);
            entries += std::size_t(below[b] + r + 1);
        }
    if (entries > std::size_t(std::numeric_limits<int>::max())) throw std::bad_alloc();
    K.colStart[std::size_t(count)] = int(entries);
    K.rowIndex.resize(entries);
    K.values.assign(entries, 0.0);
    for (int b = 1; b <= nodes; ++b)
        for (int r = 0; r < freeOf(b); ++r) {
            int* rows = &K.rowIndex[std::size_t(K.colStart[std::size_t(firstEq[b] + r)])];
            for (int t = g.start[b]; t < g.start[b + 1]; ++t) {
                const int a = g.list[std::size_t(t)];
                for (int e = firstEq[a]; e < firstEq[a + 1]; ++e)
                    *rows++ = e;
            }
            for (int e = firstEq[b]; e <= firstEq[b] + r; ++e)
                *rows++ = e;
        }

    // Where the rows of node a start within each column of node b, a ≤ b.
    auto neighbourSlot = [&](int a, int b) {
        if (a == b) return below[b];
        const auto first = g.list.begin() + g.start[b], last = g.list.begin() + g.start[b + 1];
        return offset[std::size_t(std::lower_bound(first, last, a) - g.list.begin())];
    };
    // K(r, c) += v for r ≤ c; a coupling with a prescribed displacement goes to
    // the right-hand side instead.
    auto add = [&](int r, int c, int slot, double v) {
        const int er = eq[r], ec = eq[c];
        if (er >= 0 && ec >= 0) {
            const int a = (r - 1) / 6 + 1;
            K.values[std::size_t(K.colStart[std::size_t(ec)] + slot + er - firstEq[a])] += v;
        } else if (er >= 0) {
            F[r] -= v * D[c];
        } else if (ec >= 0) {
            F[c] -= v * D[r];
        }
    };

    const CaseLoads loads(data, ResultSet{});
    for (int bar = 1; bar <= data.barCount; ++bar) {
        observer.report(StageAssembly, bar, data.barCount);
        const BarFrame f = barFrame(data.bars, bar, data.coordinates);
        const float* b = data.bars.row(bar);
        const double* type = data.types.values.row(itemNumber(b[Type]));
        const LocalBlocks l = toGlobal(localStiffness(type, f.L, b[EmpOR], b[EmpEX]), f.axes);
        const int oi = 6 * (f.i - 1), oj = 6 * (f.j - 1);
        const int sii = neighbourSlot(f.i, f.i), sij = neighbourSlot(f.i, f.j);
        const int sjj = neighbourSlot(f.j, f.j);
        for (int a = 0; a < 6; ++a) {
            for (int c = a; c < 6; ++c) {
                add(oi + a + 1, oi + c + 1, sii, l.ii[a][c]);
                add(oj + a + 1, oj + c + 1, sjj, l.jj[a][c]);
            }
            for (int c = 0; c < 6; ++c)
                add(oi + a + 1, oj + c + 1, sij, l.ij[a][c]);
        }
        addBarLoads(barLoadTerms(data, bar, f, loads.bar(bar)), f, F);
        if (observer.stopRequested()) return false;
    }
    K.rhs.clear();
    K.rhsCount = 0;
    addRightHandSide(K, F);
    return true;
}

void addRightHandSide(SparseSystem& K, const std::vector<double>& F) {
    K.rhs.reserve(K.rhs.size() + std::size_t(K.n));
    for (int e = 0; e < K.n; ++e)
        K.rhs.push_back(F[K.dof[std::size_t(e)]]);
    ++K.rhsCount;
}

namespace {

// One CHOLMOD workspace, started and finished with its owner.
struct Cholmod {
    cholmod_common c;
    Cholmod() {
        cholmod_start(&c);
        c.print = 0;
        c.error_handler = nullptr;
    }
    ~Cholmod() { cholmod_finish(&c); }
    Cholmod(const Cholmod&) = delete;
    Cholmod& operator=(const Cholmod&) = delete;
};

struct FactorDeleter {
    cholmod_common* c;
    void operator()(cholmod_factor* L) const { cholmod_free_factor(&L, c); }
};
using Factor = std::unique_ptr<cholmod_factor, FactorDeleter>;

struct DenseDeleter {
    cholmod_common* c;
    void operator()(cholmod_dense* X) const { cholmod_free_dense(&X, c); }
};

// A view of the system as CHOLMOD's symmetric matrix, upper triangle stored.
cholmod_sparse view(SparseSystem& K) {
    cholmod_sparse A{};
    A.nrow = A.ncol = std::size_t(K.n);
    A.nzmax = K.values.size();
    A.p = K.colStart.data();
    A.i = K.rowIndex.data();
    A.x = K.values.data();
    A.stype = 1;
    A.itype = CHOLMOD_INT;
    A.xtype = CHOLMOD_REAL;
    A.dtype = CHOLMOD_DOUBLE;
    A.sorted = 1;
    A.packed = 1;
    return A;
}

[[noreturn]] void failed(const cholmod_common& c) {
    if (c.status == CHOLMOD_OUT_OF_MEMORY || c.status == CHOLMOD_TOO_LARGE) throw std::bad_alloc();
    throw std::runtime_error("CHOLMOD: error " + std::to_string(c.status));
}

// Analyses and factorizes A in the given ordering. A factorization that met a
// non-positive pivot comes back with L->minor naming its column.
Factor factorize(cholmod_sparse& A, Cholmod& w, int ordering, std::atomic<double>* flops) {
    w.c.supernodal = CHOLMOD_SUPERNODAL;
    w.c.nmethods = 1;
    w.c.method[0].ordering = ordering;
    w.c.postorder = ordering != CHOLMOD_NATURAL;
    Factor L(cholmod_analyze(&A, &w.c), FactorDeleter{&w.c});
    if (!L) failed(w.c);
    if (flops) flops->store(w.c.fl);
    cholmod_factorize(&A, L.get(), &w.c);
    if (w.c.status < CHOLMOD_OK) failed(w.c);  // not positive definite is a warning
    return L;
}

// The first column (in the factor's order) whose pivot, L(j,j)², is not above
// `PivotRatio` times the diagonal of A it started from; L->minor when the
// factorization stopped at a non-positive pivot before any such column; −1
// when every pivot passes.
long firstLostPivot(const cholmod_factor& L, const SparseSystem& K) {
    const int* perm = static_cast<const int*>(L.Perm);
    const int* super = static_cast<const int*>(L.super);
    const int* pi = static_cast<const int*>(L.pi);
    const int* px = static_cast<const int*>(L.px);
    const double* x = static_cast<const double*>(L.x);
    const long minor = long(L.minor);
    if (!L.is_super) return minor < long(L.n) ? minor : -1;
    for (std::size_t s = 0; s < L.nsuper; ++s) {
        const int k0 = super[s], k1 = super[s + 1];
        const int rows = pi[s + 1] - pi[s];
        for (int j = k0; j < k1 && j < minor; ++j) {
            const double l = x[px[s] + (j - k0) * (rows + 1)];
            const int e = perm ? perm[j] : j;
            const double d0 = K.values[std::size_t(K.colStart[std::size_t(e) + 1] - 1)];
            if (!(l * l > PivotRatio * d0)) return j;
        }
    }
    return minor < long(L.n) ? minor : -1;
}

// The state a worker shares with the thread that waits for it.
struct Job {
    SparseSystem K;
    std::vector<double> x;
    int lostEquation = -1;  // the mechanism's equation in the user's order
    std::exception_ptr error;
    std::atomic<double> flops{0};
    std::atomic<bool> factorized{false};
    std::mutex mutex;
    std::condition_variable finished;
    bool done = false;
};

// Solves right-hand sides first..last − 1 and appends them to job.x.
void solveColumns(Job& job, cholmod_factor& L, Cholmod& w, int first, int last) {
    cholmod_dense b{};
    b.nrow = b.d = std::size_t(job.K.n);
    b.ncol = std::size_t(last - first);
    b.nzmax = b.nrow * b.ncol;
    b.x = job.K.rhs.data() + std::size_t(first) * b.nrow;
    b.xtype = CHOLMOD_REAL;
    b.dtype = CHOLMOD_DOUBLE;
    std::unique_ptr<cholmod_dense, DenseDeleter> X(cholmod_solve(CHOLMOD_A, &L, &b, &w.c),
                                                   DenseDeleter{&w.c});
    if (!X) failed(w.c);
    const double* v = static_cast<const double*>(X->x);
    for (std::size_t c = 0; c < b.ncol; ++c)
        job.x.insert(job.x.end(), v + c * X->d, v + c * X->d + b.nrow);
}

void work(Job& job) {
    try {
        cholmod_sparse A = view(job.K);
        {
            Cholmod w;
            Factor L = factorize(A, w, CHOLMOD_METIS, &job.flops);
            const long lost = firstLostPivot(*L, job.K);
            if (lost < 0) {
                job.factorized = true;
                // Case 1 alone, so that its results do not depend on the other
                // cases (a solve of several columns rounds differently), then
                // every other case's right-hand side in one solve.
                job.x.clear();
                solveColumns(job, *L, w, 0, 1);
                if (job.K.rhsCount > 1) solveColumns(job, *L, w, 1, job.K.rhsCount);
            } else {
                // The elimination in the user's order names the same degree of
                // freedom as the band elimination does.
                // Should rounding hide it there, the first lost pivot found
                // stands.
                job.lostEquation = static_cast<const int*>(L->Perm)[lost];
                L.reset();
                Factor N = factorize(A, w, CHOLMOD_NATURAL, nullptr);
                const long first = firstLostPivot(*N, job.K);
                if (first >= 0) job.lostEquation = int(first);
            }
        }
    } catch (...) {
        job.error = std::current_exception();
    }
    job.K = {};
    std::lock_guard lock(job.mutex);
    job.done = true;
    job.finished.notify_all();
}

// Workers whose calculation was stopped: they end on their own, and the
// program waits for them only when it exits.
class Abandoned {
  public:
    ~Abandoned() {
        for (auto& t : threads_)
            t.first.join();
    }
    void add(std::thread t, std::shared_ptr<Job> job) {
        std::lock_guard lock(mutex_);
        std::erase_if(threads_, [](auto& w) {
            std::lock_guard done(w.second->mutex);
            if (!w.second->done) return false;
            w.first.join();
            return true;
        });
        threads_.emplace_back(std::move(t), std::move(job));
    }

  private:
    std::mutex mutex_;
    std::vector<std::pair<std::thread, std::shared_ptr<Job>>> threads_;
};

Abandoned abandoned;

// The rate assumed for the progress estimate while CHOLMOD works, in
// floating-point operations per second.
constexpr double AssumedRate = 1e10;

}  // namespace

bool solveSparse(SparseSystem&& K, std::vector<std::vector<double>>& D, CalcObserver& observer,
                 const Clock& clock) {
    const int dofCount = int(D[0].size()) - 1;
    if (K.n == 0) {  // every degree of freedom restrained
        observer.report(StageReduction, dofCount, dofCount);
        observer.report(StageBackSubstitution, dofCount, dofCount);
        return !observer.stopRequested();
    }
    auto job = std::make_shared<Job>();
    const std::vector<int> dofs = K.dof;
    job->K = std::move(K);
    FinishEstimate estimate(clock, dofCount);
    estimate.start();
    observer.report(StageReduction, 0, dofCount);
    const auto start = std::chrono::steady_clock::now();
    std::thread worker([job] { work(*job); });

    // The reduction row moves by the time CHOLMOD's operation count calls for,
    // short of its end until the factor is there. Reporting on every wait lets
    // a window repaint and take the user's stop.
    for (int last = 0;;) {
        {
            std::unique_lock lock(job->mutex);
            if (job->finished.wait_for(lock, std::chrono::milliseconds(25),
                                       [&] { return job->done; }))
                break;
        }
        const double elapsed =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const double fl = job->flops.load();
        const double share = job->factorized ? 1.0 : fl > 0 ? elapsed * AssumedRate / fl : 0.0;
        const int rows = int(std::min(0.99, share) * dofCount);
        observer.report(StageReduction, rows, dofCount);
        if (rows > last) {
            last = rows;
            observer.finishTime(estimate.at(rows));
        }
        if (observer.stopRequested()) {
            abandoned.add(std::move(worker), job);
            return false;
        }
    }
    worker.join();
    if (job->error) std::rethrow_exception(job->error);
    if (job->lostEquation >= 0) throwMechanism(dofs[std::size_t(job->lostEquation)]);
    observer.report(StageReduction, dofCount, dofCount);
    observer.finishTime(estimate.at(dofCount));
    for (std::size_t c = 0; c < D.size(); ++c)
        for (std::size_t e = 0; e < dofs.size(); ++e)
            D[c][dofs[e]] = job->x[c * dofs.size() + e];
    observer.report(StageBackSubstitution, dofCount, dofCount);
    return !observer.stopRequested();
}

}  // namespace vanto::analysis
