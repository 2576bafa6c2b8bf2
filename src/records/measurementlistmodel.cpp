#include "records/measurementlistmodel.h"

#include "core/channels.h"
#include "core/displaycolumns.h"
#include "storage/sqldialect.h"

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
    // The first meridian of each limb carries the side and stays tight to fit beside it.
    QStringList titles;
    for (int c = 1; c <= ChannelCount; ++c) {
        const int m = meridianOfChannel(c);
        if (positionInBlock(c) == 1)
            titles << (sideOfChannel(c) == Side::Left ? u"左-"_s : u"右-"_s) +
                          meridianCaption(m, NameSpacing::Tight);
        else
            titles << meridianCaption(m, NameSpacing::TwoBlanks);
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
