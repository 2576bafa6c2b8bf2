#include "records/measurementlistmodel.h"

#include "records/displaycolumns.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QStringList fetchedColumns() {
    QStringList cols{u"CUSTNO"_s, u"KYDATE"_s, u"KYVOTA"_s};
    for (int c = 1; c <= 24; ++c)
        cols << u"KY%1"_s.arg(c);
    return cols;
}

enum Field { FNumber, FDate, FVota, FFirstValue };

} // namespace

MeasurementListModel::MeasurementListModel(QSqlDatabase db, QObject *parent)
    : KeyedListModel(std::move(db), u"KYDATA"_s, fetchedColumns(), parent) {}

QStringList MeasurementListModel::channelTitles() {
    const QStringList hand{u"肺经"_s, u"心包经"_s, u"心  经"_s, u"小肠经"_s, u"三焦经"_s, u"大肠经"_s};
    const QStringList foot{u"脾经"_s, u"肝  经"_s, u"肾  经"_s, u"膀胱经"_s, u"胆  经"_s, u"胃  经"_s};
    QStringList titles;
    for (const auto &[block, side] : {std::pair{&hand, u"左-"_s}, std::pair{&hand, u"右-"_s},
                                      std::pair{&foot, u"左-"_s}, std::pair{&foot, u"右-"_s}}) {
        for (int i = 0; i < 6; ++i)
            titles << (i == 0 ? side + block->at(i) : block->at(i));
    }
    return titles;
}

bool MeasurementListModel::setSubjectNumber(const QString &number) {
    m_number = number;
    return loadKeys(u"SELECT MKEY FROM KYDATA WHERE CUSTNO COLLATE NOCASE = ? "
                    "ORDER BY CUSTNO COLLATE NOCASE, KYDATE, MKEY"_s,
                    {number});
}

std::optional<MeasurementRecord> MeasurementListModel::recordAt(int row) const {
    const QVariantList *v = rowValues(row);
    if (!v)
        return std::nullopt;
    MeasurementRecord m;
    m.key = keyAt(row);
    m.subjectNumber = v->at(FNumber).toString();
    m.measuredAt = v->at(FDate).toDouble();
    m.highPotential = v->at(FVota).toBool();
    for (int c = 0; c < 24; ++c)
        m.values[size_t(c)] = v->at(FFirstValue + c).toDouble();
    return m;
}

int MeasurementListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool MeasurementListModel::isNumberColumn(int column) const {
    return column >= FirstValue;
}

QVariant MeasurementListModel::cellValue(int column, const QVariantList &values) const {
    switch (column) {
    case Date:
        return measurementDateText(values.at(FDate).toDouble());
    case Time:
        return measurementTimeText(values.at(FDate).toDouble());
    case Potential:
        return potentialText(values.at(FVota).toBool());
    default:
        return channelValueText(values.at(FFirstValue + column - FirstValue).toDouble());
    }
}

QStringList MeasurementListModel::columnTitles() const {
    static const QStringList titles =
        QStringList{u"Index"_s, u"测量日期"_s, u"测量时间"_s, u"测量方式"_s} + channelTitles();
    return titles;
}

} // namespace orlu
