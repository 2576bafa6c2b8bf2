#include "core/numberformat.h"

#include <QLocale>

#include <cmath>

namespace orlu {

long long roundHalfEven(double v) {
    // nearbyint follows the current rounding mode, which is round-to-nearest-even.
    return static_cast<long long>(std::nearbyint(v));
}

int roundHalfEvenInt(double v) {
    return static_cast<int>(roundHalfEven(v));
}

QString formatFixed(double v, int width, int decimals) {
    return QString::number(v, 'f', decimals).rightJustified(width, u' ');
}

QString formatInt(long long v, int width) {
    return QString::number(v).rightJustified(width, u' ');
}

QString formatThousands(long long v, int width) {
    QString digits = QString::number(v < 0 ? -v : v);
    for (int i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u',');
    if (v < 0)
        digits.prepend(u'-');
    return digits.rightJustified(width, u' ');
}

QString formatHash(double v) {
    const double r = std::round(v * 10.0) / 10.0;
    if (r == 0.0)
        return {};
    QString s = QString::number(r, 'f', 1);
    if (s.endsWith(u".0"))
        s.chop(2);
    if (s.startsWith(u"0."))
        s.remove(0, 1);
    else if (s.startsWith(u"-0."))
        s.remove(1, 1);
    return s;
}

QString formatGeneral(double v) {
    return QString::number(v, 'g', 15);
}

} // namespace orlu
