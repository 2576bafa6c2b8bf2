#include "transfer/transferpreviewmodel.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString tableOf(TransferPreviewModel::Kind kind) {
    return kind == TransferPreviewModel::Kind::Courses ? u"KYPRO"_s : u"KYCUST"_s;
}

QStringList columnsOf(TransferPreviewModel::Kind kind) {
    if (kind == TransferPreviewModel::Kind::Courses)
        return {u"ProNo"_s, u"ProName"_s};
    return {u"CUSTNO"_s, u"NAME"_s, u"ADDR"_s};
}

} // namespace

TransferPreviewModel::TransferPreviewModel(QSqlDatabase db, Kind kind, QObject *parent)
    : KeyedListModel(std::move(db), tableOf(kind), columnsOf(kind), parent)
    , m_kind(kind) {}

bool TransferPreviewModel::refresh() {
    const QString order = m_kind == Kind::Courses ? u"ProNo"_s : u"CUSTNO"_s;
    return loadKeys(u"SELECT MKEY FROM %1 ORDER BY %2 ASC, MKEY"_s.arg(tableOf(m_kind), order), {});
}

int TransferPreviewModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(columnsOf(m_kind).size());
}

QVariant TransferPreviewModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid())
        return {};
    const QVariantList *v = rowValues(index.row());
    return v ? cellValue(index.column(), *v) : QVariant();
}

QVariant TransferPreviewModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return {};
    return columnTitles().value(section);
}

QVariant TransferPreviewModel::cellValue(int column, const QVariantList &values) const {
    return values.value(column);
}

QStringList TransferPreviewModel::columnTitles() const {
    return m_kind == Kind::Courses ? QStringList{u"编号"_s, u"疗程名称"_s}
                                   : QStringList{u"编号"_s, u"姓名"_s, u"地址"_s};
}

QString transferCountText(int count) {
    return u"[%1]"_s.arg(count, 6);
}

} // namespace orlu
