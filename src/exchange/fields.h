#pragma once
// Sequential reading of the foreign data files, value by value and line by line.
//
// Values are separated by blanks, tabs, one comma or line ends, so a record may
// span lines or share one. After a value, the blanks and the one comma or line
// end that close it are consumed; reading a whole line therefore takes the line
// after a record that ended its own line. Every failure is an ExchangeError
// naming the file, the line and the value that was expected.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace vanto::exchange {

// The number a whole token spells: optional sign, digits, point, fraction and
// exponent (E or D); a missing digit before the point is accepted (.5, -.25).
// nullopt for anything else, for infinities and NaN.
std::optional<double> parseNumber(std::string_view token);

class FieldReader {
  public:
    // `label` names the file in messages (usually its file name).
    FieldReader(std::string text, std::string label);

    // The rest of the current line without its end, which is consumed.
    std::string line(std::string_view what);
    // One value as a 32-bit number.
    float number(std::string_view what);
    // A whole number in lo..hi.
    int whole(std::string_view what, int lo, int hi);

    int lineNumber() const { return line_; }
    const std::string& label() const { return label_; }

    // "label, línea N: text", N the current line.
    [[noreturn]] void fail(const std::string& text) const;
    // The same about the line of the last value read.
    [[noreturn]] void failAtValue(const std::string& text);

  private:
    std::string_view token(std::string_view what);
    void finishValue();
    void consumeLineEnd();

    std::string text_;
    std::string label_;
    std::size_t pos_ = 0;
    int line_ = 1;
    int tokenLine_ = 1;  // line of the last value read
};

}  // namespace vanto::exchange
