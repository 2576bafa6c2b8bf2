#include "measure/manualentry.h"

#include "core/numberformat.h"
#include "core/readingsrule.h"

#include <cmath>

namespace orlu {

// What a cell stores lies within the rule every reading keeps.
static_assert(ManualEntryMaximum < ReadingLimit);

namespace {
constexpr double EmptyBelowOrAt = 0.09;

std::optional<double> toNumber(const QString &text) {
    const QString t = text.trimmed();
    if (t.isEmpty())
        return 0.0;
    bool ok = false;
    const double v = t.toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    return v;
}
} // namespace

bool isEntryCharacter(QChar c) {
    return c.isDigit() || c == u'.' || c == u'-';
}

NormalisedCell normaliseCell(const QString &text) {
    const std::optional<double> number = toNumber(text);
    if (!number)
        return {};
    if (*number <= EmptyBelowOrAt)
        return {true, QString(), 0.0};
    const double v = qMin(*number, ManualEntryMaximum);
    return {true, formatFixed(v, 5, 1), v};
}

std::optional<double> storedCellValue(const QString &text) {
    const std::optional<double> number = toNumber(text);
    if (!number)
        return std::nullopt;
    return qBound(0.0, *number, ManualEntryMaximum);
}

GridCell cellAfterEnter(GridCell cell) {
    if (cell.column < MeridianCount)
        return {cell.row, cell.column + 1};
    if (cell.row == 1)
        return {2, 1};
    return cell;
}

QString initialCellText(double value) {
    return value == 0.0 ? QString() : formatFixed(value, 3, 1);
}

} // namespace orlu
