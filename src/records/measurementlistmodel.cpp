#include "records/measurementlistmodel.h"

#include "records/displaycolumns.h"
#include "records/sqldialect.h"

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
    const SqlDialect dialect = SqlDialect::of(database());
    return loadKeys(u"SELECT MKEY FROM KYDATA WHERE "_s + dialect.equalsIgnoringCase(u"CUSTNO"_s) +
                        u" ORDER BY "_s + dialect.folded(u"CUSTNO"_s) + u", KYDATE, MKEY"_s,
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

QVariant MeasurementListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::TextAlignmentRole && (index.column() == Stno || index.column() >= FirstValue))
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    if (index.column() == Stno)
        return index.row() + 1;
    const QVariantList *v = rowValues(index.row());
    if (!v)
        return {};
    switch (index.column()) {
    case Date:
        return measurementDateText(v->at(FDate).toDouble());
    case Time:
        return measurementTimeText(v->at(FDate).toDouble());
    case Potential:
        return potentialText(v->at(FVota).toBool());
    default:
        return channelValueText(v->at(FFirstValue + index.column() - FirstValue).toDouble());
    }
}

QVariant MeasurementListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section + 1;
    static const QStringList titles =
        QStringList{u"Index"_s, u"测量日期"_s, u"测量时间"_s, u"测量方式"_s} + channelTitles();
    return section >= 0 && section < titles.size() ? titles.at(section) : QVariant();
}

} // namespace orlu
