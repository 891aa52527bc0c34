#pragma once
// What the generators, imports and exports of this directory share: their
// error, the outcome of a run and the texts of their message boxes.

#include <stdexcept>
#include <string>

namespace vanto::exchange {

// A refused operation: input that breaks its format, a request that cannot be
// met. what() is the Spanish message for the user, saying what and where (line
// or record). The structure directory is left exactly as it was.
class ExchangeError : public std::runtime_error {
  public:
    explicit ExchangeError(const std::string& message, int line = 0)
        : std::runtime_error(message), line_(line) {}
    // Line of the input file where the fault was found; 0 when none applies.
    int line() const { return line_; }

  private:
    int line_;
};

enum class Outcome {
    Written,         // the structure files were replaced or the file was written
    NothingWritten,  // nothing to do; the user has been told when it matters
    Stopped,         // the user stopped it; nothing was changed
};

// The result of a generation or import: what the structure holds afterwards.
struct Summary {
    Outcome outcome = Outcome::NothingWritten;
    int nodeCount = 0;
    int barCount = 0;
};

// Title of the warnings.
inline constexpr const char* WarningTitle = "¡ Aviso !";

// A structure whose DATOS.DAT belongs to another version of the program.
inline constexpr const char* OtherVersionText =
    "Los ficheros de datos de esta estructura\nno son compatibles con la versión actual.";

}  // namespace vanto::exchange
