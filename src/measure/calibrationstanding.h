#pragma once

#include "storage/calibrationlog.h"

#include <QList>
#include <QString>

#include <optional>

// Which calibration converts the probe's readings, told from the seat's calibration log.
// The settings' calibration values and date hold the last successful calibration; a failed
// one is only logged, with its values and cause, and never converts a reading.
namespace orlu {

struct Settings;

// The log entry of a calibration that ended with values; a failed one carries its cause.
CalibrationEntry calibrationEntry(double at, int standardValue, int highValue, bool succeeded);

// The status-line reminder when the last successful calibration is more than
// `days` days before `today` (a day count); empty otherwise, without any, and
// when `days` is 0.
QString calibrationReminder(const QList<CalibrationEntry> &entries, double today, int days);

class CalibrationStanding {
public:
    CalibrationStanding(const Settings &settings, const QList<CalibrationEntry> &entries);

    // The date of "前次校准资料": the settings' date; none while the log holds no
    // successful calibration.
    QString previousDate() const;
    // The calibration window's line: the values in force, since when, and whether the
    // last attempt failed.
    QString inForceText() const;
    // While the last attempt failed: that it did and which calibration is in force;
    // empty otherwise.
    QString failureNotice() const;

private:
    // Since when the values in force are used; empty when the log does not say.
    QString since() const;
    // The values in force are those of the failed last attempt (written so by an
    // earlier version): every reading since is wrong.
    bool failedValuesInForce() const;

    const Settings &m_settings;
    std::optional<CalibrationEntry> m_lastSuccess;
    std::optional<CalibrationEntry> m_lastFailure; // the newest entry, when it failed
};

// The measurement window's status-line notice from the log at `logPath`: the failure
// notice, and the reminder when it is due; empty without a log.
QString calibrationNotice(const Settings &settings, const QString &logPath, double today);

} // namespace orlu
