#include "core/daycount.h"

#include <QLocale>

#include <cmath>

namespace orlu {

namespace {
const QDate Epoch(1899, 12, 30);
constexpr double MsPerDay = 86400000.0;
} // namespace

double toDayCount(const QDate &d) {
    return static_cast<double>(Epoch.daysTo(d));
}

double toDayCount(const QDateTime &dt) {
    return toDayCount(dt.date()) + dt.time().msecsSinceStartOfDay() / MsPerDay;
}

QDateTime fromDayCount(double days) {
    const double whole = std::floor(days);
    const double ms = std::round((days - whole) * MsPerDay);
    return QDateTime(Epoch.addDays(static_cast<qint64>(whole)), QTime(0, 0))
        .addMSecs(static_cast<qint64>(ms));
}

QDate dateOfDayCount(double days) {
    return Epoch.addDays(static_cast<qint64>(std::floor(days)));
}

bool birthDateGiven(double dbirth) {
    return dbirth > BirthDateUnknownLimit;
}

int ageInYears(double dbirth, const QDate &today) {
    return today.year() - dateOfDayCount(dbirth).year();
}

QString shortDate(const QDate &d) {
    return QLocale::system().toString(d, QLocale::ShortFormat);
}

QString shortTime(const QTime &t) {
    return QLocale::system().toString(t, QLocale::ShortFormat);
}

} // namespace orlu
