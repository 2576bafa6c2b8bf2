#pragma once

#include <QDate>
#include <QDateTime>
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

// The system's short date and time forms.
QString shortDate(const QDate &d);
QString shortTime(const QTime &t);

} // namespace orlu
