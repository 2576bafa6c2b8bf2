#pragma once

#include "storage/keyedlistmodel.h"
#include "records/recordtypes.h"

#include <optional>

namespace orlu {

// The measurements (KYDATA) of one subject, in the order of index KYDT1:
// subject number, then date and time of measurement.
class MeasurementListModel : public KeyedListModel {
    Q_OBJECT
public:
    enum Column { Stno, Date, Time, Potential, FirstValue, ColumnCount = FirstValue + 24 };

    explicit MeasurementListModel(QSqlDatabase db, QObject *parent = nullptr);

    // Shows the rows whose CUSTNO equals `number`, letter case ignored.
    bool setSubjectNumber(const QString &number);
    const QString &subjectNumber() const { return m_number; }
    bool refresh() { return setSubjectNumber(m_number); }

    // The row without its memo (read that through the repository when it is needed).
    std::optional<MeasurementRecord> recordAt(int row) const;

    int columnCount(const QModelIndex &parent = {}) const override;

protected:
    QVariant cellValue(int column, const QVariantList &values) const override;
    bool isNumberColumn(int column) const override;
    QStringList columnTitles() const override;

public:
    // "左-肺经", "心包经", ... for KY1..KY24.
    static QStringList channelTitles();

private:
    QString m_number;
};

} // namespace orlu
