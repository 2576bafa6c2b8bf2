#pragma once

#include "records/recordtypes.h"
#include "storage/rawstatement.h"

#include <QDate>
#include <QSqlDatabase>
#include <QString>

#include <memory>
#include <optional>

namespace orlu {

// Which stored measurements to read: one subject (number compared without regard to
// letter case) or all, and a range of measuring days, both ends included.
struct MeasurementFilter {
    std::optional<QString> subjectNumber;
    std::optional<QDate> from;
    std::optional<QDate> to;
};

// A measurement with the subject it belongs to.
struct SubjectMeasurement {
    Subject subject;
    MeasurementRecord measurement;
};

// Reads the measurements of the register one at a time, forward only, so a register
// of any size is read without holding it in memory. Only measurements whose subject is
// in the register are read (as in the record windows), in the order of the measurement
// lists: subject number, then date and time. A subject number held by several subject
// rows takes the subject of its first row.
//
// Of the readings' quality it reads the verdicts only.
//
// It reads through the engine's own statements: a million rows of 29 columns through Qt's
// per-value variants cost more than everything else of an export together.
class MeasurementCursor {
public:
    MeasurementCursor(QSqlDatabase db, const MeasurementFilter &filter);
    ~MeasurementCursor();
    MeasurementCursor(const MeasurementCursor &) = delete;
    MeasurementCursor &operator=(const MeasurementCursor &) = delete;

    // Runs the query; false with the reason when the database refuses it.
    bool start(QString *error = nullptr);
    // The next measurement, or false at the end (or on a read error: see error()).
    bool next(SubjectMeasurement &row);
    QString error() const { return m_error; }

    // The number of measurements the filter selects.
    static std::optional<qint64> count(QSqlDatabase db, const MeasurementFilter &filter,
                                       QString *error = nullptr);

private:
    static constexpr qint64 MappedBytes = qint64(1) << 30;
    bool findSubject(QByteArrayView number);
    bool fail();

    QSqlDatabase m_db;
    MeasurementFilter m_filter;
    // The mapping ends after the statements that read through it.
    std::optional<MappedReading> m_mapping;
    RawStatement m_query;
    RawStatement m_subjectQuery;
    QByteArray m_lastNumber;
    bool m_started = false;
    Subject m_subject;
    bool m_haveSubject = false;
    QString m_error;
};

} // namespace orlu
