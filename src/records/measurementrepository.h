#pragma once

#include "records/recordtypes.h"

#include <QSqlDatabase>

#include <optional>

namespace orlu {

// Reads and writes single measurements (KYDATA rows). The carried columns are
// never touched: new rows leave them empty.
class MeasurementRepository {
public:
    explicit MeasurementRepository(QSqlDatabase db);

    std::optional<MeasurementRecord> fetch(qint64 key) const;
    int countAll() const;
    int countOf(const QString &subjectNumber) const;

    // Posts a new row; returns its MKEY, 0 on failure.
    qint64 append(const MeasurementRecord &record, QString *error = nullptr);
    // Writes date, potential, values and memo of the row `record.key` (manual entry's modify mode).
    bool update(const MeasurementRecord &record, QString *error = nullptr);
    bool remove(qint64 key, QString *error = nullptr);
    // Writes the treatment record into MEMO1 of the row `key`, its lines joined by CR LF.
    enum class MemoWrite { Written, NoRecord, Failed };
    MemoWrite writeMemo(qint64 key, const QStringList &lines, QString *error = nullptr);

private:
    QSqlDatabase m_db;
};

} // namespace orlu
