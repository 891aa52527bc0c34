#include <sys/mman.h>

#include <algorithm>
#include <new>

#include "analysis/engine.h"

namespace vanto::analysis {

namespace {
constexpr std::size_t HugePage = 2u << 20;
std::size_t mappedBytes(std::size_t bytes) {
    return (bytes + HugePage - 1) / HugePage * HugePage;
}
}  // namespace

void MappedDeleter::operator()(double* p) const {
    ::munmap(p, bytes);
}

BandMatrix::BandMatrix(int n, int hb) : n_(n), hb_(hb) {
    // Rows padded to whole cache lines so every row starts aligned.
    stride_ = (std::size_t(hb) + 7) / 8 * 8;
    const std::size_t bytes =
        mappedBytes(std::max<std::size_t>(64, std::size_t(n) * stride_ * sizeof(double)));
    // Fresh anonymous pages read as zero; large pages make touching the band
    // for the first time far cheaper than small ones.
    void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) throw std::bad_alloc();
    ::madvise(p, bytes, MADV_HUGEPAGE);
    data_ = std::unique_ptr<double[], MappedDeleter>(static_cast<double*>(p), MappedDeleter{bytes});
}

double BandMatrix::at(int r, int c) const {
    if (c < r) std::swap(r, c);
    if (c - r >= hb_) return 0.0;
    return row(r)[c - r];
}

bool Ensambla(const StructureData& data, BandMatrix& K, std::vector<double>& F,
              const std::vector<double>& D, CalcObserver& observer) {
    const int n = K.size(), hb = K.halfBandwidth();
    const CaseLoads loads(data, ResultSet{});
    for (int bar = 1; bar <= data.barCount; ++bar) {
        observer.report(StageAssembly, bar, data.barCount);
        const BarFrame f = barFrame(data.bars, bar, data.coordinates);
        const float* b = data.bars.row(bar);
        const double* type = data.types.values.row(itemNumber(b[Type]));
        const LocalBlocks g = toGlobal(localStiffness(type, f.L, b[EmpOR], b[EmpEX]), f.axes);
        const BarLoadTerms terms = barLoadTerms(data, bar, f, loads.bar(bar));

        const int oi = 6 * (f.i - 1), oj = 6 * (f.j - 1);
        for (int a = 0; a < 6; ++a) {
            double* rowI = K.row(oi + a + 1);
            double* rowJ = K.row(oj + a + 1);
            for (int c = a; c < 6; ++c) {
                rowI[c - a] += g.ii[a][c];
                rowJ[c - a] += g.jj[a][c];
            }
            for (int c = 0; c < 6; ++c)
                rowI[oj - oi + c - a] += g.ij[a][c];
        }
        addBarLoads(terms, f, F);
        if (observer.stopRequested()) return false;
    }

    // Prescribed displacements move to the right-hand side; their coupling
    // terms are cleared so the solver sees them as known values.
    for (int k = 1; k <= n; ++k) {
        const double d = D[k];
        if (isFree(d) || d == 0) continue;
        for (int r = k - 1; r >= std::max(1, k - hb + 1); --r) {
            double& kr = K.row(r)[k - r];
            F[r] -= kr * d;
            kr = 0;
        }
        double* rk = K.row(k);
        for (int c = k + 1; c <= std::min(n, k + hb - 1); ++c) {
            F[c] -= rk[c - k] * d;
            rk[c - k] = 0;
        }
    }
    return true;
}

}  // namespace vanto::analysis
