#pragma once

#include <QString>

#include <optional>

// What a reading in uA may be, wherever one comes from: a command's argument, a
// cell typed by hand, a row taken in from a transfer file or an older database.
// A reading is a finite number of 0 or more and below a bound no probe reaches.
namespace orlu {

constexpr double ReadingLimit = 100000.0; // uA, never reached

bool isValidReading(double value);

// A reading written as text on a command line: a plain decimal number in the C
// locale ("12", "12.5", ".5"), no sign, exponent, group separator or blank;
// empty when the text is not one or the number breaks the rule.
std::optional<double> readingFromText(const QString &text);

// `text` as a message quotes it: at most its first 40 characters, "..." after a cut.
QString quotedArgument(const QString &text);

} // namespace orlu
