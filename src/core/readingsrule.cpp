#include "core/readingsrule.h"

#include <QLocale>
#include <QRegularExpression>

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
constexpr qsizetype QuotedLength = 40;
} // namespace

bool isValidReading(double value) {
    return std::isfinite(value) && value >= 0 && value < ReadingLimit;
}

std::optional<double> readingFromText(const QString &text) {
    static const QRegularExpression plain(u"^([0-9]+(\\.[0-9]*)?|\\.[0-9]+)$"_s);
    if (!plain.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok || !isValidReading(value))
        return std::nullopt;
    return value;
}

QString quotedArgument(const QString &text) {
    if (text.size() <= QuotedLength)
        return u'"' + text + u'"';
    return u'"' + text.left(QuotedLength) + u"\"..."_s;
}

} // namespace orlu
