#pragma once
// Internal forces and deflections at any point of one calculated bar.
//
// Along a bar, s runs from the lower-numbered node i (s = 0) to j (s = L).
// The forces and moments at s are those the part of the bar beyond s exerts on
// the part before it, so a tension is positive.
// Deflections are in the bar's local y and z, relative to the chord joining
// the displaced ends and absolute; slopes are relative to the chord.

#include <array>
#include <vector>

#include "analysis/loads.h"
#include "model/arrays.h"

namespace vanto::analysis {

// What the values along one bar depend on; everything in local axes, t and m.
struct BarDiagramInput {
    double L = 0;
    double alpha = 0, beta = 0;     // fixities at i and j
    double qa = 0, qy = 0, qz = 0;  // loads along x, y, z per metre, vertical load included
    double EIz = 0, EIy = 0;        // bending stiffness about z and y, t·m²
    // End forces at i (N, Vy, Vz, T, My, Mz): those node i exerts on the bar.
    std::array<double, 6> Si{};
    // Translation of i, translation of j minus that of i, rotations of i and j.
    std::array<double, 3> ti{}, dt{}, ri{}, rj{};
};

// The input for bar `bar` of a calculated structure under `loads`: D the
// displacements (1..DofCount), endForces the table of end forces (bar, 1..12).
BarDiagramInput barDiagramInput(const StructureData& s, const CaseLoads& loads, int bar,
                                const std::vector<double>& D, const Table<double>& endForces);
// The same from the bar's frame, its load terms and its six end forces at i.
BarDiagramInput barDiagramInput(const StructureData& s, int bar, const BarFrame& frame,
                                const BarLoadTerms& terms, const std::vector<double>& D,
                                const double* Si);

struct DiagramValues {
    double N = 0, Vy = 0, Vz = 0, T = 0, My = 0, Mz = 0;  // t, m·t
    double yRel = 0, yAbs = 0, zRel = 0, zAbs = 0;        // deflections, m
    // d(zRel)/ds and d(yRel)/ds, rad. The results list slopes at the ends
    // only, as endSlopes gives them.
    double slopeY = 0, slopeZ = 0;
};

// The values at s metres from node i.
DiagramValues diagramValues(const BarDiagramInput& bar, double s);

// The relative end slopes the results list at each end. A fixed end (fixity 1)
// has the slope of its node's rotation; a pinned one (fixity 0) the slope of a
// uniformly loaded beam, simply supported or propped by the other end, taken
// at both ends with the sign of the load; fixities between interpolate
// linearly.
struct EndSlopes {
    double yI = 0, zI = 0, yJ = 0, zJ = 0;
};
EndSlopes endSlopes(const BarDiagramInput& bar);

}  // namespace vanto::analysis
