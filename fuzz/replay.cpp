// Replays every corpus file through its reader, without a fuzzer: a file that
// once made a reader fail keeps being tried. Usage: fuzz_replay CORPUS_DIR.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "readers.h"

int main(int argc, char** argv) {
    namespace fs = std::filesystem;
    if (argc != 2) {
        std::cerr << "uso: fuzz_replay DIRECTORIO_DE_CORPUS\n";
        return 1;
    }
    int status = 0;
    for (const vanto::fuzz::Reader& reader : vanto::fuzz::readers()) {
        const fs::path dir = fs::path(argv[1]) / reader.name;
        int files = 0;
        std::error_code ec;
        for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
            std::ifstream in(it->path(), std::ios::binary);
            const std::string input{std::istreambuf_iterator<char>(in), {}};
            reader.read(input);
            ++files;
        }
        std::cout << reader.name << ": " << files << " ficheros\n";
        // An empty corpus would pass without trying anything.
        if (files == 0) status = 1;
    }
    return status;
}
