// Writes a known structure into the directory given as argument and exports it
// twice: sample-mono.DXF (monochrome) and sample-colour.DXF (colour by type).
// The independent DXF reader check (check_dxf_export.py) opens both.

#include <iostream>

#include "exchange/dxf_export.h"
#include "model/files.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "uso: exchange_dxf_sample DIRECTORIO\n";
        return 1;
    }
    using namespace vanto;
    const std::filesystem::path dir = argv[1];
    // A portal frame: columns 1–2 and 4–3, beam 2–3, and a brace 1–3.
    Table<float> xyz(4, 3), bars(4, BarFieldCount);
    const float points[5][3] = {
        {}, {0, 0, 0}, {0, 0, 3.5f}, {6.25f, -1.5f, 3.5f}, {6.25f, -1.5f, 0}};
    for (int n = 1; n <= 4; ++n)
        for (int a = 1; a <= 3; ++a)
            xyz(n, a) = points[n][a - 1];
    const int ends[5][3] = {{}, {1, 2, 1}, {2, 3, 14}, {4, 3, 15}, {1, 3, 27}};
    for (int b = 1; b <= 4; ++b) {
        bars(b, Origin) = float(ends[b][0]);
        bars(b, End) = float(ends[b][1]);
        bars(b, Type) = float(ends[b][2]);
        bars(b, EmpOR) = bars(b, EmpEX) = 1;
    }
    try {
        DiscoX::writeDatos(dir, 4, 4);
        DiscoX::writeCoordinates(dir, xyz, 4);
        DiscoX::writeBars(dir, bars, 4);
        exchange::dxfout(dir, dir / "sample-mono", false);
        exchange::dxfout(dir, dir / "sample-colour", true);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 2;
    }
    return 0;
}
