#include "model/names.h"

#include <system_error>
#include <vector>

#include "model/helpers.h"

namespace vanto {

namespace fs = std::filesystem;

namespace {

bool isBlank(char32_t c) {
    return c == U' ' || (c >= U'\t' && c <= U'\r') || c == 0x85 || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000;
}

// The code point that starts at `at` and its length in bytes; a stray byte
// stands for itself.
std::pair<char32_t, std::size_t> decode(std::string_view s, std::size_t at) {
    const auto b = static_cast<unsigned char>(s[at]);
    const std::size_t n = b < 0x80         ? 1
                          : (b >> 5) == 6  ? 2
                          : (b >> 4) == 14 ? 3
                          : (b >> 3) == 30 ? 4
                                           : 1;
    if (n == 1 || at + n > s.size()) return {b, 1};
    char32_t c = b & (0x7F >> n);
    for (std::size_t i = 1; i < n; ++i)
        c = (c << 6) | (static_cast<unsigned char>(s[at + i]) & 0x3F);
    return {c, n};
}

StructureChange refused(std::string message) {
    return {std::move(message), false, {}};
}

}  // namespace

std::string trimmedName(std::string_view typed) {
    std::size_t begin = 0;
    while (begin < typed.size()) {
        const auto [c, n] = decode(typed, begin);
        if (!isBlank(c)) break;
        begin += n;
    }
    // The end of the last non-blank code point.
    std::size_t end = begin;
    for (std::size_t at = begin; at < typed.size();) {
        const auto [c, n] = decode(typed, at);
        at += n;
        if (!isBlank(c)) end = at;
    }
    return std::string(typed.substr(begin, end - begin));
}

std::string nameRefusal(const std::string& name) {
    // A quote would end the name in NOMBRE.DAT for any older reader.
    if (name.find('"') != std::string::npos)
        return "El nombre de una estructura no puede contener comillas (\").";
    if (name.find('/') == std::string::npos && name.find('\0') == std::string::npos) return {};
    return "El nombre de una estructura no puede contener el carácter \"/\".";
}

fs::path structureTarget(const fs::path& work, const std::string& name) {
    return fs::path(WithBackslash(work.string()) + "-" + name);
}

StructureChange createStructure(const fs::path& work, std::string_view typed) {
    const std::string name = trimmedName(typed);
    if (name.empty()) return refused("Escriba el nombre de la nueva estructura.");
    if (std::string why = nameRefusal(name); !why.empty()) return refused(why);
    const fs::path dir = structureTarget(work, name);
    std::error_code ec;
    if (fs::exists(dir, ec)) return refused("Ese trabajo ya existe en el directorio actual");
    if (!fs::create_directory(dir, ec) || ec)
        return refused("No se pudo crear el directorio: " + dir.string());
    return {{}, true, name};
}

StructureChange copyStructure(const fs::path& work, std::string_view sourceTyped,
                              std::string_view copyTyped) {
    const std::string source = trimmedName(sourceTyped);
    const std::string copy = trimmedName(copyTyped);
    if (source.empty())
        return refused("Seleccione en la lista, o escriba, la estructura que desea copiar.");
    if (copy.empty()) return refused("Escriba el nombre de la copia.");
    for (const std::string* name : {&source, &copy})
        if (std::string why = nameRefusal(*name); !why.empty()) return refused(why);
    const fs::path from = structureTarget(work, source);
    const fs::path to = structureTarget(work, copy);
    std::error_code ec;
    if (!fs::is_directory(from, ec))
        return refused("No encuentro la estructura a copiar en el directorio actual");
    if (fs::exists(to, ec))
        return refused(
            "El nombre de la copia ya existe en el directorio actual, debe borrarla primero.");
    if (!fs::create_directory(to, ec) || ec)
        return refused("No se pudo crear el directorio: " + to.string());
    for (fs::directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code fileEc;
        if (!it->is_regular_file(fileEc)) continue;
        fs::copy_file(it->path(), to / it->path().filename(), fileEc);
        if (fileEc) {
            ec = fileEc;
            break;
        }
    }
    if (ec) {
        // Half a copy is worse than none.
        std::error_code ignored;
        fs::remove_all(to, ignored);
        return refused("No se pudo copiar la estructura en: " + to.string());
    }
    return {{}, true, copy};
}

StructureChange deleteStructure(const fs::path& work, std::string_view typed) {
    const std::string name = trimmedName(typed);
    if (std::string why = nameRefusal(name); !why.empty()) return refused(why);
    const fs::path dir = structureTarget(work, name);
    std::error_code ec;
    if (name.empty() || !fs::is_directory(dir, ec))
        return refused("Este trabajo no existe: " + dir.string());
    // Look before deleting anything: a structure holding other directories is
    // not the program's to remove.
    std::vector<fs::path> files;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_directory(typeEc) && !it->is_symlink(typeEc))
            return refused("No se puede borrar la estructura: contiene otros directorios.\n" +
                           dir.string());
        files.push_back(it->path());
    }
    if (!ec)
        for (const fs::path& f : files) {
            fs::remove(f, ec);
            if (ec) break;
        }
    if (!ec) fs::remove(dir, ec);
    if (ec)  // some files may be gone: list it again
        return {"No se pudo borrar la estructura: " + dir.string(), true, {}};
    return {{}, true, {}};
}

}  // namespace vanto
