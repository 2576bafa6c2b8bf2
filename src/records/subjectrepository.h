#pragma once

#include "records/recordtypes.h"

#include <QSqlDatabase>

#include <optional>

namespace orlu {

// Reads and writes single subjects (KYCUST rows). Failures return false or 0 with
// the database's reason; a failed change leaves the file as it was.
class SubjectRepository {
public:
    explicit SubjectRepository(QSqlDatabase db);

    std::optional<SubjectRecord> fetch(qint64 key) const;
    // The first subject (lowest MKEY) whose number equals `number`, letter case ignored.
    std::optional<SubjectRecord> findByNumber(const QString &number) const;
    int count() const;

    // Posts a new row; returns its MKEY, 0 on failure.
    qint64 append(const SubjectRecord &record, QString *error = nullptr);
    // Writes every field but the number (CUSTNO never changes) of the row `record.key`.
    bool update(const SubjectRecord &record, QString *error = nullptr);
    // Deletes the subject row and every measurement carrying its number (letter case
    // ignored) in one transaction: either all of them go or none.
    bool removeWithMeasurements(qint64 key, QString *error = nullptr);

private:
    QSqlDatabase m_db;
};

} // namespace orlu
