#pragma once
// Small structures written by hand through DiscoX for the listing tests.

#include <filesystem>
#include <string>
#include <vector>

#include "model/files.h"
#include "model/helpers.h"
#include "model/structure.h"
#include "support/fakes.h"

namespace vanto::test {

// Sets the decimal separator for one test and restores the previous one.
class SeparatorGuard {
  public:
    explicit SeparatorGuard(char separator) : previous_(decimalSeparator()) {
        setDecimalSeparator(separator);
    }
    ~SeparatorGuard() { setDecimalSeparator(previous_); }

  private:
    char previous_;
};

struct TypeRow {
    float values[10];  // [1..9]
    std::string name;
};

inline void writeTypeRows(const std::filesystem::path& dir, const std::vector<TypeRow>& rows) {
    BarTypes<float> types;
    types.count = int(rows.size());
    types.values = Table<float>(types.count, TypeFieldCount);
    types.names.assign(rows.size() + 1, "");
    for (int t = 1; t <= types.count; ++t) {
        for (int f = 1; f <= TypeFieldCount; ++f)
            types.values(t, f) = rows[t - 1].values[f];
        types.names[t] = rows[t - 1].name;
    }
    DiscoX::writeTypes(dir, types);
}

inline Table<float> tableOf(int columns, const std::vector<std::vector<float>>& rows) {
    Table<float> t(int(rows.size()), columns);
    for (int r = 1; r <= int(rows.size()); ++r)
        for (int c = 1; c <= columns; ++c)
            t(r, c) = rows[r - 1][c - 1];
    return t;
}

inline constexpr float L = FreeMarker;

// Three nodes, two bars (the second from node 3 to node 2), three types of
// which type 1 is unused, type 2 has A = 1000 and type 3 A = 1000.5.
// Node 2 is free and loaded; nodes 1 and 3 are restrained and unloaded.
inline void writeSample(const std::filesystem::path& dir) {
    DiscoX::writeDatos(dir, 3, 2);
    DiscoX::writeCoordinates(dir, tableOf(3, {{0, 0, 0}, {0, 0, 3}, {4, 0, 3}}), 3);
    DiscoX::writeBars(
        dir,
        tableOf(10, {{1, 2, 2, 0, 0, 0, 0, 0, 1, 1}, {3, 2, 3, 90, -1.5f, 0.25f, 0, 20, 0.5f, 0}}),
        2);
    writeTypeRows(
        dir,
        {{{0, 28.5f, 1940, 142, 6.98f, 2100000, 0.3f, 2600, 7850, 0.012f}, "IPE-200"},
         {{0, 1000, 83333.3f, 20833.3f, 50000, 300000, 0.2f, 175, 2500, 0.01f}, "HA-25x40"},
         {{0, 1000.5f, 123456.7f, 65432.1f, 2345.6f, 2100000, 0.3f, 3600, 7850, 0.012f}, "Chapa"}});
    DiscoX::writeNodeValues(
        dir, DiscoX::NodeFile::Restraints,
        tableOf(6, {{0, 0, 0, 0, 0, 0}, {L, L, L, L, L, L}, {L, 0, -0.01f, L, 0, L}}), 3);
    DiscoX::writeNodeValues(
        dir, DiscoX::NodeFile::Loads,
        tableOf(6, {{0, 0, 0, 0, 0, 0}, {2, 0, -5, 0, 0.75f, 0}, {0, 0, 0, 0, 0, 0}}), 3);
}

// Results of the sample, written as the calculation writes them.
inline void writeSampleResults(const std::filesystem::path& dir) {
    DiscoX::writeNodeResults(dir, DiscoX::NodeResult::Displacements,
                             {0, 0, 0, 0, 0, 0, 0,                               //
                              0.0012346, -2.5e-5, 0, 0.00015, -0.0031, 7.26e-6,  //
                              0.0021, 0, -0.01, 0, 0, 1.1e-3},
                             3);
    Table<double> forces(2, 12);
    const double bar1[] = {5, -0.25, 0, 0, 0.5, -1.125, -5, 0.25, 0, 0, 0.1, 0.375};
    const double bar2[] = {1, 2, 3, 4, 5, 6, -1, -2, -3, -4, -5, -6};
    for (int k = 1; k <= 12; ++k) {
        forces(1, k) = bar1[k - 1];
        forces(2, k) = bar2[k - 1];
    }
    DiscoX::writeEndForces(dir, forces, 2);
    DiscoX::writeNodeResults(dir, DiscoX::NodeResult::Unbalanced,
                             {0, 0.002, 0, 0, 0, 0, 0.0004,  //
                              0, 0, 0, 0, 0, 0.0005,         //
                              0.0008, 0.003, -1.25, 0, 0, 0},
                             3);
}

// Four nodes, three bars, two types, all used; every value within the
// precision the listing shows, so that the listing reads back exactly.
inline void writePortico(const std::filesystem::path& dir) {
    DiscoX::writeDatos(dir, 4, 3);
    DiscoX::writeCoordinates(dir, tableOf(3, {{0, 0, 0}, {0, 0, 4.25f}, {6, 0, 4.25f}, {6, 0, 0}}),
                             4);
    DiscoX::writeBars(dir,
                      tableOf(10, {{1, 2, 1, 0, 0, 0, 0, 0, 1, 1},
                                   {2, 3, 2, 45, -2.5f, 0.125f, -0.75f, 15.5f, 1, 0.25f},
                                   {4, 3, 1, -30, 0, 0, 0, -10, 0, 1}}),
                      3);
    writeTypeRows(
        dir,
        {{{0, 28.5f, 1943.2f, 142.4f, 7, 2100000, 0.3f, 2600, 7850, 0.012f}, "A42.IPE-200"},
         {{0, 800, 106666.7f, 26666.7f, 73000, 285000, 0.2f, 175, 2500, 0.01f}, "H25----20x40"}});
    DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Restraints,
                            tableOf(6, {{0, 0, 0, 0, 0, 0},
                                        {L, L, L, L, L, L},
                                        {L, L, L, L, L, L},
                                        {0, 0.0125f, -0.002f, L, 0, L}}),
                            4);
    DiscoX::writeNodeValues(dir, DiscoX::NodeFile::Loads,
                            tableOf(6, {{0, 0, 0, 0, 0, 0},
                                        {1.5f, 0, -10, 0, 0, 0},
                                        {0, -0.25f, 0, 0.125f, 0, -3.375f},
                                        {0, 0, 0, 0, 0, 0}}),
                            4);
}

}  // namespace vanto::test
