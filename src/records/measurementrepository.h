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
    // Every two successive measurements of a subject in one potential mode at most
    // `windowMinutes` apart (records/repeatpairs.h).
    QList<std::array<std::array<double, 24>, 2>> repeatPairs(double windowMinutes,
                                                             QString *error = nullptr) const;

    // Posts a new row; returns its MKEY, 0 on failure.
    qint64 append(const MeasurementRecord &record, QString *error = nullptr);
    // With `shown` (the row as it was read) the edits below go ahead only while the row still
    // holds exactly that: a row another seat changed or deleted since is not overwritten
    // (false, with the reason).

    // Writes date, potential, values and memo of the row `record.key` (manual entry's modify mode).
    bool update(const MeasurementRecord &record, QString *error = nullptr,
                const MeasurementRecord *shown = nullptr);
    bool remove(qint64 key, QString *error = nullptr, const MeasurementRecord *shown = nullptr);
    // Writes the treatment record into MEMO1 of the row `key`, its lines joined by CR LF;
    // with `shownMemo`, only while MEMO1 still holds those lines.
    enum class MemoWrite { Written, NoRecord, Changed, Failed };
    MemoWrite writeMemo(qint64 key, const QStringList &lines, QString *error = nullptr,
                        const QStringList *shownMemo = nullptr);

    // The reason given when another seat changed a measurement since it was shown.
    static QString changedElsewhereText();

private:
    std::optional<MeasurementRecord> fetchRow(qint64 key, bool forUpdate, QString *error) const;
    // Inside a writer transaction: false with the reason unless the row is as shown.
    bool stillAsShown(const MeasurementRecord &shown, QString *error) const;

    QSqlDatabase m_db;
};

} // namespace orlu
