#pragma once

#include "records/recordtypes.h"

#include <QSqlDatabase>

#include <functional>
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

    // Posts a new row unless a subject with the same number (letter case ignored) exists;
    // the check and the insert are one step, so two seats adding one number at the same
    // moment store it once. `existing` is the subject found instead, if any.
    struct AddResult {
        qint64 key = 0; // 0: nothing stored (see existing, or the error)
        std::optional<SubjectRecord> existing;
    };
    AddResult appendNew(const SubjectRecord &record, QString *error = nullptr);

    // Writes every field but the number (CUSTNO never changes) of the row `record.key`.
    // With `shown` (the row as it was read), the row must still hold exactly that: a row
    // another seat changed or deleted since is not overwritten (false, with the reason).
    bool update(const SubjectRecord &record, QString *error = nullptr, const SubjectRecord *shown = nullptr);

    // Called inside appendNew() after the check, before the insert; a test holds a seat there.
    void setBeforeInsertHook(std::function<void()> hook) { m_beforeInsert = std::move(hook); }
    // Deletes the subject row and every measurement carrying its number (letter case
    // ignored) in one transaction: either all of them go or none.
    bool removeWithMeasurements(qint64 key, QString *error = nullptr);

private:
    QSqlDatabase m_db;
    std::function<void()> m_beforeInsert;
};

} // namespace orlu
