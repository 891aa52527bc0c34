#include "bartypes/catalogue.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <stdexcept>

#include "model/textfile.h"

namespace vanto::bartypes {

namespace {

// Rolled profiles, cm² and cm⁴, digit for digit as the catalogue gives them.
constexpr ProfileRow IPE[] = {
    {"-IPE------80", 80, "7.64", "80.1", "8.49", "0.721"},
    {"-IPE-----100", 100, "10.3", "171.0", "15.9", "1.14"},
    {"-IPE-----120", 120, "13.2", "318.0", "27.7", "1.77"},
    {"-IPE-----140", 140, "16.4", "541.0", "44.9", "2.63"},
    {"-IPE-----160", 160, "20.1", "869.0", "68.3", "3.63"},
    {"-IPE-----180", 180, "23.9", "1320.0", "101.0", "1.14"},
    {"-IPE-----200", 200, "28.5", "1940.0", "142.0", "6.67"},
    {"-IPE-----220", 220, "33.4", "2770.0", "205.0", "9.15"},
    {"-IPE-----240", 240, "39.1", "3890.0", "284.0", "12.0"},
    {"-IPE-----270", 270, "45.9", "5790.0", "420.0", "15.4"},
    {"-IPE-----300", 300, "53.8", "8360.0", "604.0", "20.1"},
    {"-IPE-----330", 330, "62.6", "11770.0", "788.0", "26.5"},
    {"-IPE-----360", 360, "72.7", "16270.0", "1040.0", "37.3"},
    {"-IPE-----400", 400, "84.5", "23130.0", "1320.0", "48.3"},
    {"-IPE-----450", 450, "98.8", "33740.0", "1680.0", "65.9"},
    {"-IPE-----500", 500, "116", "48200.0", "2140.0", "91.8"},
    {"-IPE-----550", 550, "134", "67120.0", "2670.0", "122"},
    {"-IPE-----600", 600, "155", "92080.0", "3390.0", "172"},
};
constexpr ProfileRow HEB[] = {
    {"-HEB-----100", 100, "26.0", "450", "167.0", "9.34"},
    {"-HEB-----120", 120, "34.0", "864", "318.0", "14.9"},
    {"-HEB-----140", 140, "43.0", "1509", "550.0", "22.5"},
    {"-HEB-----160", 160, "54.3", "2492", "889.0", "33.2"},
    {"-HEB-----180", 180, "65.3", "3831", "1363.0", "46.5"},
    {"-HEB-----200", 200, "78.1", "5696", "2003.0", "63.4"},
    {"-HEB-----220", 220, "91.0", "8091", "2843.0", "84.4"},
    {"-HEB-----240", 240, "106.0", "11259", "3923.0", "110.0"},
    {"-HEB-----260", 260, "118.4", "14919", "5135.0", "130.0"},
    {"-HEB-----280", 280, "134.4", "19270", "6595.0", "153.0"},
    {"-HEB-----300", 300, "149.1", "25166", "8563.0", "192.0"},
    {"-HEB-----320", 320, "161.3", "30823", "9239.0", "241.0"},
    {"-HEB-----340", 340, "170.9", "36656", "9690.0", "278.0"},
    {"-HEB-----360", 360, "180.6", "43193", "10140.0", "320.0"},
    {"-HEB-----400", 400, "197.8", "57680", "10819.0", "394.0"},
    {"-HEB-----450", 450, "218.0", "79877", "11721.0", "500.0"},
    {"-HEB-----500", 500, "238.6", "107176", "12624.0", "625.0"},
    {"-HEB-----550", 550, "254.1", "136691", "13077.0", "701.0"},
    {"-HEB-----600", 600, "270.0", "171041", "13530.0", "783.0"},
};
constexpr ProfileRow UPN[] = {
    {"-UPN------80", 80, "11.0", "106.0", "19.4", "2.24"},
    {"-UPN-----100", 100, "13.5", "206.0", "29.3", "2.96"},
    {"-UPN-----120", 120, "17.0", "364.0", "43.2", "4.30"},
    {"-UPN-----140", 140, "20.4", "605.0", "62.7", "6.02"},
    {"-UPN-----160", 160, "24.0", "925.0", "85.3", "7.81"},
    {"-UPN-----180", 180, "28.0", "1350.0", "114.0", "9.98"},
    {"-UPN-----200", 200, "32.2", "1910.0", "148.0", "12.60"},
    {"-UPN-----220", 220, "37.4", "2690.0", "197.0", "17.00"},
    {"-UPN-----240", 240, "42.3", "3600.0", "248.0", "20.80"},
    {"-UPN-----260", 260, "48.3", "4820.0", "317.0", "23.70"},
    {"-UPN-----280", 280, "53.3", "6280.0", "399.0", "33.20"},
    {"-UPN-----300", 300, "58.8", "8030.0", "495.0", "40.60"},
};

// A soil of K = 75 kg/cm³ as an equivalent Young's modulus, for pieces 1 m long.
constexpr SoilSpringRow Springs[] = {
    {"T-K75=5---IL125",
     {"15625", "20345052", "20345052", "10", "500", "0.05", "2", "1800", "0.010"}},
    {"T-K75=5---IL100", {"10000", "8333333", "8333333", "10", "500", "0.05", "2", "1800", "0.010"}},
    {"T-K75=5-----L50", {"2500", "5", "5", "5", "500", "0.05", "2", "1800", "0.010"}},
    {"T-K75=5-----L20", {"400", "5", "5", "5", "500", "0.05", "2", "1800", "0.010"}},
};

// Torsion coefficient β of a solid rectangle against the ratio of its sides.
struct BetaTable {
    const double* ratio;
    const double* beta;
    int size;
};
constexpr double SteelRatio[] = {1, 1.5, 2, 2.5, 3, 4, 5, 6, 7, 8, 9, 10, 100000};
constexpr double SteelBeta[] = {0.141, 0.196, 0.229, 0.229, 0.263, 0.281, 0.281,
                                0.299, 0.299, 0.299, 0.299, 0.313, 0.333};
constexpr double ConcreteRatio[] = {1, 1.25, 1.5, 2, 3, 4, 6, 10, 100000};
constexpr double ConcreteBeta[] = {0.14, 0.171, 0.196, 0.229, 0.263, 0.281, 0.299, 0.313, 0.333};

constexpr double Pi = 3.14159265358979;

std::string padded(std::string_view text, int width) {
    std::string out(text);
    if (int(out.size()) < width) out.insert(0, std::size_t(width) - out.size(), ' ');
    return out;
}

}  // namespace

std::span<const ProfileRow> catalogue(Series series) {
    switch (series) {
        case Series::IPE:
            return IPE;
        case Series::HEB:
            return HEB;
        case Series::UPN:
            return UPN;
    }
    return {};
}

std::span<const SoilSpringRow> soilSprings() {
    return Springs;
}

SteelGrade steelGrade(int index) {
    switch (index) {
        case 0:
            return {"A42", 2600};
        case 1:
            return {"A52", 3600};
    }
    throw std::invalid_argument("steel grade index");
}

ConcreteGrade concreteGrade(int index) {
    if (index < 0 || index > 5) throw std::invalid_argument("concrete grade index");
    const int nn = 25 + 5 * index;
    const double fc = 10.0 * nn;
    return {"HA-" + std::to_string(nn), fc, 100000 * std::cbrt(fc / 10)};
}

double TorsionConstant(double side1, double side2, Material material) {
    if (side2 == 0) return Pi * std::pow(side1, 4) / 32;
    const double a = std::min(side1, side2);
    const double c = std::max(side1, side2);
    const BetaTable t = material == Material::Steel
                            ? BetaTable{SteelRatio, SteelBeta, int(std::size(SteelRatio))}
                            : BetaTable{ConcreteRatio, ConcreteBeta, int(std::size(ConcreteRatio))};
    const double r = c / a;
    double beta;
    if (!(r > t.ratio[0])) {
        beta = t.beta[0];
    } else if (r >= t.ratio[t.size - 1]) {
        beta = t.beta[t.size - 1];
    } else {
        int k = 0;
        while (t.ratio[k + 1] <= r)
            ++k;
        beta = t.beta[k] +
               (t.beta[k + 1] - t.beta[k]) * (r - t.ratio[k]) / (t.ratio[k + 1] - t.ratio[k]);
    }
    return beta * a * a * a * c;
}

std::string typeRow(const std::array<std::string, 9>& fields, std::string_view name) {
    std::string line;
    for (std::size_t f = 0; f < fields.size(); ++f) {
        line += padded(fields[f], FieldWidths[f]);
        line += ' ';
    }
    line += '"';
    line += firstCharacters(std::string(name) + "---------------", 15);
    line += '"';
    return line;
}

std::string profileRow(const ProfileRow& row, const SteelGrade& grade) {
    return typeRow({row.A, row.InerZ, row.InerY, row.MTors, "2100000", "0.30",
                    std::to_string(int(grade.TL)), "7850", "0.012"},
                   std::string(grade.prefix) + row.suffix);
}

std::string soilSpringRow(const SoilSpringRow& row) {
    std::array<std::string, 9> fields;
    for (std::size_t f = 0; f < fields.size(); ++f)
        fields[f] = row.values[f];
    return typeRow(fields, row.name);
}

}  // namespace vanto::bartypes
