#pragma once
// The loads of a load case or a combination, and what a bar's loads give: the
// fixed-end terms, the equivalent nodal loads and the right-hand side.
//
// Case 1 is the structure's own tables (CARGAS.DAT and the load fields of
// BARRAS.DAT); cases 2..N are model/load_cases.h's. A combination sums its
// cases, each times its factor: the loads, and with them every result, are
// the factored sums of the cases'.

#include <utility>
#include <vector>

#include "analysis/element.h"
#include "model/load_cases.h"
#include "model/structure_data.h"

namespace vanto::analysis {

// The structure as the calculation reads it: 64-bit coordinates, types,
// restraints and loads, 32-bit bar records (model/structure_data.h).
using StructureData = BasicStructure<double>;

// A bar's loads in one case: vertical (t/m along global +Z), along local y
// and z (t/m), temperature change of the whole bar (°C).
struct BarLoads {
    double qv = 0, qy = 0, qz = 0, dT = 0;
};

// The loads of a case or combination of a structure, which must outlive it.
class CaseLoads {
  public:
    CaseLoads(const StructureData& s, const ResultSet& set);
    BarLoads bar(int b) const;
    // Node loads by degree of freedom, 1..6·N (element 0 unused).
    std::vector<double> nodeLoads() const;

  private:
    const StructureData* s_;
    std::vector<std::pair<int, double>> terms_;  // (case, factor), factors other than 0
};

// Fixed-end terms of one bar's loads. qy and qz include the share of the
// vertical load across the bar; Pv is its share along the bar at each end; Pt
// is the thermal axial force. The end values depend on the fixities α, β.
struct BarLoadTerms {
    double L = 0, alpha = 0, beta = 0;
    double qv = 0, qy = 0, qz = 0, dT = 0;
    double Pv = 0, Pt = 0;
    double Vi(double q) const { return (alpha / 8 + 0.5 - beta / 8) * L * q; }
    double Vj(double q) const { return (beta / 8 + 0.5 - alpha / 8) * L * q; }
    double Mi(double q) const { return (1.0 / 8 - beta / 24) * q * L * L * alpha; }
    double Mj(double q) const { return (1.0 / 8 - alpha / 24) * q * L * L * beta; }
};
BarLoadTerms barLoadTerms(const StructureData& s, int bar, const BarFrame& frame,
                          const BarLoads& loads);

// Adds the equivalent nodal loads of one bar (distributed loads and
// temperature) to F, in global axes.
void addBarLoads(const BarLoadTerms& t, const BarFrame& frame, std::vector<double>& F);

// The node loads and the equivalent nodal loads of every bar, by degree of
// freedom: the right-hand side of a case without prescribed displacements.
std::vector<double> loadVector(const StructureData& s, const CaseLoads& loads);

}  // namespace vanto::analysis
