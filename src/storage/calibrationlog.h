#pragma once

#include <QList>
#include <QString>

#include <optional>

// The outcome of every calibration of this seat's probe, kept in the table
// KYCALLOG of a small database file of its own in the program folder: the
// register may be shared by several seats, each with its own probe.
namespace orlu {

inline const QString CalibrationLogFile = QStringLiteral("KyCalLog.mdb");

struct CalibrationEntry {
    double at = 0;          // day count with the time of day
    QString mode;           // the potentials calibrated
    int standardValue = 0;  // V1
    int highValue = 0;      // V2
    double sensitivity = 0; // reading units per uA at Standard potential
    bool succeeded = false;
    QString cause; // why it failed; empty for a success
    bool operator==(const CalibrationEntry &) const = default;
};

// The latest successful calibration of entries listed oldest first.
std::optional<CalibrationEntry> lastSuccessful(const QList<CalibrationEntry> &entries);

class CalibrationLog {
public:
    // Days after the last successful calibration before the operator is reminded, until the
    // seat sets its own period (0: never).
    static constexpr int DefaultReminderDays = 30;
    static constexpr int MaxReminderDays = 365;

    explicit CalibrationLog(QString path);

    // Appends an entry, creating the file on first use; false with the reason.
    bool append(const CalibrationEntry &entry, QString *error = nullptr) const;
    // Oldest first; empty without a file.
    QList<CalibrationEntry> entries(QString *error = nullptr) const;

    // The seat's reminder period; the default without a file or a setting.
    int reminderDays(QString *error = nullptr) const;
    // Refuses a period outside 0..MaxReminderDays; false with the reason.
    bool setReminderDays(int days, QString *error = nullptr) const;

private:
    QString m_path;
};

} // namespace orlu
