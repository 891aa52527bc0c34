#pragma once
// Number boxes: every window reads what the user typed in a number box here,
// so that all of them take the same texts.

#include <QLineEdit>
#include <optional>
#include <string_view>

#include "model/platform.h"

namespace vanto::ui {

// The number in a box's text: blanks around it, an optional sign, digits with
// one decimal separator (the locale's or ".") and an optional exponent.
// nullopt for anything else, an empty text included: "3,5" in a locale that
// writes 3.5 is refused rather than read as 3.
std::optional<double> boxNumber(std::string_view text, char localeSeparator);

// The number in `box`, with the locale's separator. When the box holds none,
// shows a warning naming the box (its accessible name), puts the focus on it
// and returns nullopt.
std::optional<double> numberInBox(Messages& messages, QLineEdit* box);

}  // namespace vanto::ui
