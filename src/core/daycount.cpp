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

CalendarTime calendarTimeOfDayCount(double days) {
    const double whole = std::floor(days);
    const double ms = std::round((days - whole) * MsPerDay);
    // A fraction that rounds up to a whole day is midnight of the next one.
    const qint64 dayCarry = ms >= MsPerDay ? 1 : 0;
    return {Epoch.addDays(static_cast<qint64>(whole) + dayCarry),
            QTime::fromMSecsSinceStartOfDay(dayCarry ? 0 : static_cast<int>(ms))};
}

// The stored fraction is the time on the wall clock, so the time is set, not added: on a
// day when the clocks change, adding the milliseconds since midnight would be an hour off.
QDateTime fromDayCount(double days) {
    const CalendarTime t = calendarTimeOfDayCount(days);
    return QDateTime(t.date, t.time);
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

QLocale dateTimeLocaleFor(const QLocale &system) {
    if (system.language() == QLocale::C || system.dateFormat(QLocale::ShortFormat).isEmpty())
        return QLocale(QLocale::Chinese, QLocale::China);
    return system;
}

const QLocale &dateTimeLocale() {
    static const QLocale locale = dateTimeLocaleFor(QLocale::system());
    return locale;
}

QString shortDate(const QDate &d) {
    return dateTimeLocale().toString(d, QLocale::ShortFormat);
}

QString shortTime(const QTime &t) {
    return dateTimeLocale().toString(t, QLocale::ShortFormat);
}

} // namespace orlu
