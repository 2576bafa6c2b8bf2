#pragma once

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates and times are stored as a day count since 30 December 1899 whose
// fraction is the time of day.
namespace orlu {

double toDayCount(const QDateTime &dt);
double toDayCount(const QDate &d);
QDateTime fromDayCount(double days);
// The calendar date and the wall-clock time of a day count, to the millisecond.
struct CalendarTime {
    QDate date;
    QTime time;
};
CalendarTime calendarTimeOfDayCount(double days);
QDate dateOfDayCount(double days);

// A birth date of day 4000 or less (on or before 13 December 1910) is not given.
constexpr double BirthDateUnknownLimit = 4000.0;
bool birthDateGiven(double dbirth);

// Current year minus birth year, calendar years only.
int ageInYears(double dbirth, const QDate &today);

// The locale dates and times are shown and read in: the system's, unless it is C
// or POSIX (servers, fresh installations) or knows no date form; then Chinese
// (China), the language of the program's own texts.
QLocale dateTimeLocaleFor(const QLocale &system);
// dateTimeLocaleFor(QLocale::system()), decided once per run.
const QLocale &dateTimeLocale();

// The short date and time forms of dateTimeLocale().
QString shortDate(const QDate &d);
QString shortTime(const QTime &t);

} // namespace orlu
