#pragma once
// Three load cases and two combinations for any structure on disk: case 2 a
// horizontal load on node 2 and a load across every bar, case 3 every bar
// heated; combinations 1.35·H01 + 1.5·H02 and H01 + 0.6·H02 + H03.

#include <filesystem>
#include <fstream>
#include <string>

namespace vanto::test {

inline void writeThreeCases(const std::filesystem::path& dir, int nodeCount, int barCount) {
    auto write = [&](const char* name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    };
    write("HIPOTESI.DAT", "3\r\n\"Permanente\"\r\n\"Viento X\"\r\n\"Temperatura\"\r\n");
    std::string wind, none, across, heat;
    for (int n = 1; n <= nodeCount; ++n)
        for (int k = 1; k <= 6; ++k) {
            wind += n == 2 && k == 1 ? "1.25\r\n" : "0\r\n";
            none += "0\r\n";
        }
    for (int b = 1; b <= barCount; ++b) {
        across += "0,0,-0.5,0\r\n";
        heat += "0,0,0,20\r\n";
    }
    write("CARGAS.H02", wind);
    write("CARGABAR.H02", across);
    write("CARGAS.H03", none);
    write("CARGABAR.H03", heat);
    write("COMBINA.DAT", "2\r\n\"ELU\"\r\n1.35,1.5,0\r\n\"Servicio\"\r\n1,0.6,1\r\n");
}

}  // namespace vanto::test
