#include "bartypes/catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace vanto::bartypes {
namespace {

TEST(TorsionConstant, SteelRectanglesByHand) {
    // r = 2, β = 0.229: 0.229 · 10³ · 20.
    EXPECT_NEAR(TorsionConstant(10, 20, Material::Steel), 4580, 1e-9);
    EXPECT_NEAR(TorsionConstant(20, 10, Material::Steel), 4580, 1e-9);
    // Square: β = 0.141.
    EXPECT_NEAR(TorsionConstant(3, 3, Material::Steel), 0.141 * 81, 1e-12);
    // r = 1.6: β = 0.196 + 0.033 · 0.1 / 0.5 = 0.2026; a³c = 2.5³ · 4.
    EXPECT_NEAR(TorsionConstant(2.5, 4, Material::Steel), 0.2026 * 62.5, 1e-9);
    // r = 55 lies between the ratios 10 and 100000.
    EXPECT_NEAR(TorsionConstant(1, 55, Material::Steel), (0.313 + 0.020 * 45 / 99990) * 55, 1e-12);
    // Beyond the last ratio the last β holds.
    EXPECT_NEAR(TorsionConstant(1, 200000, Material::Steel), 0.333 * 200000, 1e-6);
}

TEST(TorsionConstant, ConcreteTableDiffersFromSteel) {
    // r = 1.25 is listed only for concrete.
    EXPECT_NEAR(TorsionConstant(4, 5, Material::Concrete), 0.171 * 64 * 5, 1e-9);
    // r = 5: steel lists 0.281; concrete interpolates between 4 (0.281) and 6 (0.299).
    EXPECT_NEAR(TorsionConstant(2, 10, Material::Steel), 0.281 * 80, 1e-9);
    EXPECT_NEAR(TorsionConstant(2, 10, Material::Concrete), 0.290 * 80, 1e-9);
    // A square concrete section 25 × 25: β = 0.14.
    EXPECT_NEAR(TorsionConstant(25, 25, Material::Concrete), 54687.5, 1e-6);
}

TEST(TorsionConstant, CircleWhenTheSecondSideIsZero) {
    EXPECT_NEAR(TorsionConstant(2, 0, Material::Steel), 3.14159265358979 * 16 / 32, 1e-12);
    EXPECT_NEAR(TorsionConstant(30, 0, Material::Concrete), 3.14159265358979 * 810000 / 32, 1e-6);
}

TEST(Materials, ConcreteModulusFromTheCubeRoot) {
    // HA-25: 100000 · ∛25 ≈ 292402; HA-30: 100000 · ∛30 ≈ 310723.
    EXPECT_NEAR(concreteGrade(0).MY, 292401.77, 0.01);
    EXPECT_NEAR(concreteGrade(1).MY, 310723.25, 0.01);
    EXPECT_EQ(concreteGrade(5).prefix, "HA-50");
    EXPECT_EQ(concreteGrade(5).fc, 500);
}

TEST(Catalogue, SeriesAndSizes) {
    EXPECT_EQ(catalogue(Series::IPE).size(), 18u);
    EXPECT_EQ(catalogue(Series::HEB).size(), 19u);
    EXPECT_EQ(catalogue(Series::UPN).size(), 12u);
    for (Series s : {Series::IPE, Series::HEB, Series::UPN}) {
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
    EXPECT_EQ(typeRow({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "ñame"),
              "     1         2         3         4       5    6     7     8     9 "
              "\"ñame-----------\"");
    EXPECT_EQ(typeRow({"1", "2", "3", "4", "5", "6", "7", "8", "9"}, "ABCDEFGHIJKLMNOPQ"),
              "     1         2         3         4       5    6     7     8     9 "
              "\"ABCDEFGHIJKLMNO\"");
}

}  // namespace
}  // namespace vanto::bartypes
