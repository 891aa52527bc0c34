// Writes a known structure into the directory given as argument and exports it
// twice: sample-mono.DXF (monochrome) and sample-colour.DXF (colour by type).
// The independent DXF reader check (check_dxf_export.py) opens both.

#include <iostream>

#include "exchange/dxf_export.h"
#include "support/structures.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "uso: exchange_dxf_sample DIRECTORIO\n";
        return 1;
    }
    using namespace vanto;
    const std::filesystem::path dir = argv[1];
    // A portal frame: columns 1–2 and 4–3, beam 2–3, and a brace 1–3.
    test::Frame f;
    f.node(0, 0, 0), f.node(0, 0, 3.5f), f.node(6.25f, -1.5f, 3.5f), f.node(6.25f, -1.5f, 0);
    f.bar(1, 2, 1), f.bar(2, 3, 14), f.bar(4, 3, 15), f.bar(1, 3, 27);
    try {
        f.write(dir);
        exchange::dxfout(dir, dir / "sample-mono", false);
        exchange::dxfout(dir, dir / "sample-colour", true);
    } catch (const std::exception& e) {
        std::cerr << e.what() << '\n';
        return 2;
    }
    return 0;
}
