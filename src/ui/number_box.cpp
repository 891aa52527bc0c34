#include "ui/number_box.h"

#include <charconv>
#include <cmath>
#include <string>

#include "model/helpers.h"
#include "ui/convert.h"

namespace vanto::ui {

std::optional<double> boxNumber(std::string_view text, char localeSeparator) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    std::string s(text.substr(first, text.find_last_not_of(" \t") - first + 1));
    if (const auto sep = s.find(localeSeparator); sep != std::string::npos) s[sep] = '.';
    // from_chars takes no "+", and ".5" needs its digit.
    const bool plus = s[0] == '+';
    if (plus) s.erase(0, 1);
    if (s.empty() || (plus && s[0] == '-')) return std::nullopt;
    const std::size_t at = s[0] == '-' ? 1 : 0;
    if (at < s.size() && s[at] == '.') s.insert(at, "0");
    double v = 0;
    const auto res = std::from_chars(s.data(), s.data() + s.size(), v);
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(v))
        return std::nullopt;
    return v;
}

std::optional<double> numberInBox(Messages& messages, QLineEdit* box) {
    const std::string typed = utf8(box->text());
    if (const auto v = boxNumber(typed, decimalSeparator())) return v;
    messages.show("¡ Aviso !",
                  "El valor de la casilla «" + utf8(box->accessibleName()) +
                      "» no es un número: «" + typed + "».",
                  MessageIcon::Exclamation);
    box->setFocus();
    box->selectAll();
    return std::nullopt;
}

}  // namespace vanto::ui
