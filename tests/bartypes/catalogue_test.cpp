#include "bartypes/catalogue.h"

#include <gtest/gtest.h>

namespace vanto::bartypes {
namespace {

TEST(TorsionConstant, ByHand) {
    constexpr auto S = Material::Steel, C = Material::Concrete;
    constexpr double Pi = 3.14159265358979;
    const struct {
        double a, b;
        Material m;
        double J;
    } cases[] = {
        {10, 20, S, 0.229 * 1000 * 20},  // r = 2: β = 0.229, a³·c
        {20, 10, S, 0.229 * 1000 * 20},
        {3, 3, S, 0.141 * 81},                          // square
        {2.5, 4, S, 0.2026 * 62.5},                     // r = 1.6: β = 0.196 + 0.033 · 0.1 / 0.5
        {1, 55, S, (0.313 + 0.020 * 45 / 99990) * 55},  // between the ratios 10 and 100000
        {1, 200000, S, 0.333 * 200000},                 // beyond the last ratio the last β holds
        {4, 5, C, 0.171 * 64 * 5},                      // r = 1.25 is listed only for concrete
        {2, 10, S, 0.281 * 80},   // r = 5: steel lists 0.281, concrete interpolates
        {2, 10, C, 0.290 * 80},   // between 4 (0.281) and 6 (0.299)
        {25, 25, C, 54687.5},     // β = 0.14
        {2, 0, S, Pi * 16 / 32},  // a circle when the second side is zero
        {30, 0, C, Pi * 810000 / 32},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(TorsionConstant(c.a, c.b, c.m), c.J, 1e-10 * c.J) << c.a << " x " << c.b;
}

TEST(Materials, ConcreteModulusFromTheCubeRoot) {
    // HA-25: 100000 · ∛25 ≈ 292402; HA-30: 100000 · ∛30 ≈ 310723.
    EXPECT_NEAR(concreteGrade(0).MY, 292401.77, 0.01);
    EXPECT_NEAR(concreteGrade(1).MY, 310723.25, 0.01);
    EXPECT_EQ(concreteGrade(5).prefix, "HA-50");
    EXPECT_EQ(concreteGrade(5).fc, 500);
}

TEST(Catalogue, SeriesAndSizes) {
    for (auto [s, size] : {std::pair{Series::IPE, 18u}, {Series::HEB, 19u}, {Series::UPN, 12u}}) {
        EXPECT_EQ(catalogue(s).size(), size);
        int last = 0;
        for (const ProfileRow& row : catalogue(s)) {
            // The size is the number that ends the name; sizes grow.
            const std::string suffix = row.suffix;
            EXPECT_EQ(std::stoi(suffix.substr(suffix.find_last_of('-') + 1)), row.size) << suffix;
            EXPECT_GT(row.size, last);
            last = row.size;
            EXPECT_EQ(std::string(row.suffix).size(), 12u) << row.suffix;
        }
    }
    EXPECT_STREQ(catalogue(Series::HEB)[0].InerZ, "450");
    EXPECT_STREQ(catalogue(Series::UPN)[11].MTors, "40.60");
}

TEST(Rows, ExactBytes) {
    EXPECT_EQ(profileRow(catalogue(Series::IPE)[0], steelGrade(0)),
              "  7.64      80.1      8.49     0.721 2100000 0.30  2600  7850 0.012 "
              "\"A42-IPE------80\"");
    EXPECT_EQ(profileRow(catalogue(Series::HEB)[0], steelGrade(1)),
              "  26.0       450     167.0      9.34 2100000 0.30  3600  7850 0.012 "
              "\"A52-HEB-----100\"");
    EXPECT_EQ(soilSpringRow(soilSprings()[0]),
              " 15625  20345052  20345052        10     500 0.05     2  1800 0.010 "
              "\"T-K75=5---IL125\"");
    EXPECT_EQ(soilSpringRow(soilSprings()[3]),
              "   400         5         5         5     500 0.05     2  1800 0.010 "
              "\"T-K75=5-----L20\"");
    // Names are cut or padded with "-" to 15 characters, counted as characters.
    for (auto [name, written] :
         {std::pair{"ñame", "ñame-----------"}, {"ABCDEFGHIJKLMNOPQ", "ABCDEFGHIJKLMNO"}})
        EXPECT_EQ(typeRow({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, name),
                  "     1         2         3         4       5    6     7     8     9 \"" +
                      std::string(written) + "\"");
}

}  // namespace
}  // namespace vanto::bartypes
