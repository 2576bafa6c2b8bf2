#pragma once

#include "storage/keyedlistmodel.h"

namespace orlu {

// What an export would take along, as the import/export window previews it: the
// courses by "ProNo ASC" ("编号", "疗程名称") or the subjects by "CustNo ASC"
// ("编号", "姓名", "地址").
class TransferPreviewModel final : public KeyedListModel {
    Q_OBJECT
public:
    enum class Kind { Courses, Subjects };

    TransferPreviewModel(QSqlDatabase db, Kind kind, QObject *parent = nullptr);

    // Reads the list (again, after an import).
    bool refresh();

    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

protected:
    // The preview has no running number: column 0 is the first table column.
    QVariant cellValue(int column, const QVariantList &values) const override;
    bool isNumberColumn(int) const override { return false; }
    QStringList columnTitles() const override;

private:
    Kind m_kind;
};

// "[" + the count formatted "%6.0d" + "]".
QString transferCountText(int count);

} // namespace orlu
