#pragma once

#include "core/channels.h"

#include <QString>

#include <optional>

// The rules of typing a measurement in by hand: which keys a cell takes, what
// a cell becomes when it is left, where Enter moves, what is stored.
namespace orlu {

constexpr double ManualEntryMinimum = 0.1;
constexpr double ManualEntryMaximum = 200.0;

// Digits, the decimal point and the minus sign; everything else typed is dropped.
bool isEntryCharacter(QChar c);

struct NormalisedCell {
    bool valid = false; // false: the text is not a number; the cell stays as it was
    QString text;       // empty, or the value as "%5.1f"
    double value = 0;   // 0 for an empty cell
};

// An empty text counts as 0; 0.09 or less empties the cell; above 200 becomes 200.
NormalisedCell normaliseCell(const QString &text);

// What storing takes from a cell: empty 0, negative 0, above 200 capped;
// nullopt when the text is not a number.
std::optional<double> storedCellValue(const QString &text);

// Where the cursor goes after Enter on a cell that is not empty: along row 1,
// from its column 12 to row 2 column 1, along row 2, stopping at its column 12.
GridCell cellAfterEnter(GridCell cell);

// "%3.1f" for a stored value, empty for 0.
QString initialCellText(double value);

} // namespace orlu
