#pragma once
// DiscoX: the one module that reads and writes the files of a structure
// directory, the result files of the calculation and the settings file.
//
// Text forms (every file): values separated by commas, blanks or line ends on
// reading; one written value per line (or comma-separated values for a record)
// on writing, "." as the decimal separator, lines ending in CR LF.
//
//   DATOS.DAT     "Vanto 2.11", NodeCount, BarCount
//   COORDENA.DAT  X of nodes 1..N, then Y of 1..N, then Z of 1..N
//   BARRAS.DAT    one line of ten fields per bar
//   CARGAS.DAT    six loads per node, node by node
//   COACCION.DAT  six restraints per node (1234 = free), node by node
//   TIPOS.DAT     header line, TypeCount, one padded line per type
//   NOTAS.DAT     the description as typed
//   INCOG.RES     displacements, one per degree of freedom
//   ESFUERZO.RES  twelve end forces per bar
//   DESEQUIL.RES  unbalanced forces, one per degree of freedom
//   NOMBRE.DAT    the session settings, in the settings directory
//   HIPOTESI.DAT, CARGAS.Hkk, CARGABAR.Hkk, COMBINA.DAT: load cases (load_cases.h)
//
// File names are matched without regard to case and created in upper case.
// A missing file that a structure must have, and a file that cannot be read as
// its layout says, raise FileError; quiet files (DATOS.DAT, NOTAS.DAT,
// INCOG.RES, ESFUERZO.RES, NOMBRE.DAT) report their absence instead.

#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "model/arrays.h"
#include "model/load_cases.h"
#include "model/structure.h"

namespace vanto {

class FileError : public std::runtime_error {
  public:
    enum class Kind {
        Missing,      // a file the structure must have does not exist
        Damaged,      // the file's contents do not fit its layout
        WriteFailed,  // the file system refused to write it
    };
    FileError(Kind kind, std::filesystem::path path, std::string detail = {});

    Kind kind() const { return kind_; }
    const std::filesystem::path& path() const { return path_; }
    // What was wrong and where (line), in Spanish; may be empty.
    const std::string& detail() const { return detail_; }
    // The program's message for the case, lines separated by "\n".
    std::string message() const;

  private:
    Kind kind_;
    std::filesystem::path path_;
    std::string detail_;
};

// The file `name` of `dir`: an existing file whose name matches regardless of
// case, otherwise dir/name.
std::filesystem::path findFile(const std::filesystem::path& dir, std::string_view name);
bool fileExists(const std::filesystem::path& dir, std::string_view name);
// Replaces dir/name with `content` (CR LF lines already in it), removing any
// other-case spelling of the same name.
void replaceFile(const std::filesystem::path& dir, std::string_view name, std::string_view content);
// The same with the content in pieces (see writeFileAtomically).
void replaceFile(const std::filesystem::path& dir, std::string_view name,
                 const std::vector<std::string_view>& pieces);

namespace DiscoX {

enum class Status { Read, Missing, OtherVersion };

// DATOS.DAT. Read sets `counts` (NodeCount, BarCount, DofCount, DataVersion);
// another version sets only DataVersion; a missing file leaves them all.
// First completes a replacement of the files cut short (model/file_commit.h).
Status readDatos(const std::filesystem::path& dir, StructureCounts& counts);
void writeDatos(const std::filesystem::path& dir, int nodeCount, int barCount);

// COORDENA.DAT as (node, axis).
template <class T = float>
Table<T> readCoordinates(const std::filesystem::path& dir, int nodeCount);
void writeCoordinates(const std::filesystem::path& dir, const Table<float>& xyz, int nodeCount);

// BARRAS.DAT as (bar, field).
Table<float> readBars(const std::filesystem::path& dir, int barCount);
void writeBars(const std::filesystem::path& dir, const Table<float>& bars, int barCount);

// CARGAS.DAT and COACCION.DAT, as (node, k); or flat, 6·(node−1)+k.
enum class NodeFile { Loads, Restraints };
template <class T = float>
Table<T> readNodeValues(const std::filesystem::path& dir, NodeFile file, int nodeCount);
template <class T>
std::vector<T> readNodeValuesFlat(const std::filesystem::path& dir, NodeFile file, int nodeCount);
void writeNodeValues(const std::filesystem::path& dir, NodeFile file, const Table<float>& values,
                     int nodeCount);

// TIPOS.DAT. The header line is skipped whatever it holds.
template <class T>
BarTypes<T> readTypes(const std::filesystem::path& dir);
void writeTypes(const std::filesystem::path& dir, const BarTypes<float>& types);
// One type line as TIPOS.DAT holds it, without its line end.
std::string typeLine(const float* values /* [1..9] */, std::string_view name);
// The header line of TIPOS.DAT.
inline constexpr const char* TypesHeader =
    "ACm2..InerZcm4.InerYcm4.MTorsCm4.MYKg/cm2..mu.TLKg/cm2.PEKg/m3.CdTerm.Nombre(b·h)...";

// NOTAS.DAT: the text with its own line breaks (CR LF between lines), ending in
// "."; nullopt when there is no file.
std::optional<std::string> readNotes(const std::filesystem::path& dir);
void writeNotes(const std::filesystem::path& dir, std::string_view text);

// HIPOTESI.DAT, CARGAS.Hkk, CARGABAR.Hkk and COMBINA.DAT. Without HIPOTESI.DAT
// there is one case, without COMBINA.DAT no combination; the CARGAS.Hkk and
// CARGABAR.Hkk of every case HIPOTESI.DAT names must exist (Missing), since
// taking a lost file for zero loads would hide it.
template <class T>
LoadCases<T> readLoadCases(const std::filesystem::path& dir, int nodeCount, int barCount);
// Writes the load-case files `cases` needs (none for plain() cases) and
// removes those of `dir` it does not. Line breaks in names become blanks.
void writeLoadCases(const std::filesystem::path& dir, const LoadCases<float>& cases, int nodeCount,
                    int barCount);
// "CARGAS.H02" for ("CARGAS", 2).
std::string caseFileName(std::string_view stem, int k);

// Result files of a case or combination (extension RES, Hkk or Ccc).
// INCOG (quiet when missing) and DESEQUIL, flat 6·(node−1)+k.
enum class NodeResult { Displacements, Unbalanced };
template <class T>
std::optional<std::vector<T>> readNodeResults(const std::filesystem::path& dir, NodeResult file,
                                              int nodeCount, const ResultSet& set = {});
// INCOG as (node, k).
template <class T>
std::optional<Table<T>> readDisplacements(const std::filesystem::path& dir, int nodeCount,
                                          const ResultSet& set = {});
void writeNodeResults(const std::filesystem::path& dir, NodeResult file,
                      const std::vector<double>& values, int nodeCount, const ResultSet& set = {});

// ESFUERZO as (bar, k), k = 1..12; quiet when missing.
std::optional<Table<float>> readEndForces(const std::filesystem::path& dir, int barCount,
                                          const ResultSet& set = {});
void writeEndForces(const std::filesystem::path& dir, const Table<double>& forces, int barCount,
                    const ResultSet& set = {});
// "DIAGRAMA.RES", "INCOG.H02", ... for a stem and a result set.
std::string resultFileName(std::string_view stem, const ResultSet& set);

// NOMBRE.DAT in the session's settings directory. Missing when there is no file
// or its first value is empty; then the settings are left as they were.
Status readSettings(Session& session);
void writeSettings(const Session& session);
void deleteSettings(const Session& session);

}  // namespace DiscoX

}  // namespace vanto
