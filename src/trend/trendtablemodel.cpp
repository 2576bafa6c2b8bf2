#include "trend/trendtablemodel.h"

#include "core/numberformat.h"
#include "core/displaycolumns.h"

#include <QColor>
#include <QFont>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The state item a value or verdict column shows, and whether it is the verdict text.
struct ColumnMeaning {
    StateItem item = StateItem::BodyEnergy;
    std::size_t verdict = 0; // index into TrendVisit::verdicts
    bool isText = false;
};

std::optional<ColumnMeaning> meaningOf(int column) {
    if (column == TrendTableModel::BodyEnergy || column == TrendTableModel::BodyEnergyVerdict)
        return ColumnMeaning{StateItem::BodyEnergy, 0, column == TrendTableModel::BodyEnergyVerdict};
    if (column < TrendTableModel::FirstRatio || column >= TrendTableModel::AbnormalMeridians)
        return std::nullopt;
    const int ratio = (column - TrendTableModel::FirstRatio) / 2;
    return ColumnMeaning{trendRatioItem(ratio), static_cast<std::size_t>(ratio) + 1,
                         (column - TrendTableModel::FirstRatio) % 2 == 1};
}

} // namespace

TrendTableModel::TrendTableModel(QObject *parent)
    : QAbstractTableModel(parent) {}

void TrendTableModel::setSeries(const TrendSeries &series) {
    beginResetModel();
    m_series = series;
    endResetModel();
}

int TrendTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_series.visits.size());
}

int TrendTableModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TrendTableModel::text(const TrendVisit &v, int column) const {
    switch (column) {
    case Date:
        return measurementDateText(v.measuredAt);
    case Time:
        return measurementTimeText(v.measuredAt);
    case Potential:
        return potentialText(v.highPotential);
    case BodyEnergy:
        return trendBodyEnergyText(v);
    case AbnormalMeridians:
        return v.caveats.incomplete() ? QVariant(u"—"_s) : QVariant(v.abnormalMeridians);
    case Readings:
        return v.caveats.text();
    default:
        break;
    }
    const auto meaning = meaningOf(column);
    if (!meaning)
        return {};
    if (meaning->isText)
        return v.verdictTexts[meaning->verdict];
    const auto &value = v.ratios[meaning->verdict - 1];
    return value ? formatFixed(*value, 5, 3).trimmed() : QString();
}

QVariant TrendTableModel::colour(const TrendVisit &v, int column) const {
    if (column == Potential && v.highPotential)
        return QColor(128, 0, 0);
    const auto meaning = meaningOf(column);
    if (!meaning || meaning->isText || !v.verdicts[meaning->verdict])
        return {};
    const Rgb rgb = stateColour(meaning->item, *v.verdicts[meaning->verdict]);
    // Yellow text would not show on a white row; the acceptable verdicts are olive as on paper.
    const QColor c(rgb.red, rgb.green, rgb.blue);
    return c == QColor(255, 255, 0) ? QColor(128, 128, 0) : c;
}

QVariant TrendTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= ColumnCount)
        return {};
    const TrendVisit &v = m_series.visits[index.row()];
    // Each visit's body energy against the visit before it in the same potential mode.
    const auto change =
        index.column() == BodyEnergyChange ? m_series.bodyEnergyChange(index.row()) : std::optional<Change>();
    switch (role) {
    case Qt::DisplayRole:
        if (index.column() == BodyEnergyChange)
            return change ? changeDescription(*change, 2) : QString();
        return index.column() == Index ? QVariant(index.row() + 1) : text(v, index.column());
    case Qt::ForegroundRole:
        if (change && change->beyondScatter())
            return QColor(192, 0, 0);
        return colour(v, index.column());
    case Qt::FontRole:
        if (change && change->beyondScatter()) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::ToolTipRole:
        return index.column() == BodyEnergyChange ? QVariant(m_series.scatter.explanation()) : QVariant();
    case Qt::TextAlignmentRole: {
        const auto meaning = meaningOf(index.column());
        const bool number =
            index.column() == Index || index.column() == AbnormalMeridians || (meaning && !meaning->isText);
        return number ? QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter) : QVariant();
    }
    case Qt::UserRole:
        return v.key;
    default:
        return {};
    }
}

QVariant TrendTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role == Qt::ToolTipRole && orientation == Qt::Horizontal && section == BodyEnergyChange)
        return m_series.scatter.explanation();
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    switch (section) {
    case Index:
        return u"Index"_s;
    case Date:
        return u"测量日期"_s;
    case Time:
        return u"测量时间"_s;
    case Potential:
        return u"测量方式"_s;
    case BodyEnergy:
        return u"身体能量"_s;
    case AbnormalMeridians:
        return u"异常经络数"_s;
    case BodyEnergyChange:
        return QString(u"身体能量变化 ("_s + m_series.scatter.source() + u')');
    case Readings:
        return u"读数说明"_s;
    default:
        break;
    }
    const auto meaning = meaningOf(section);
    if (meaning && meaning->isText)
        return stateCaption(meaning->item).trimmed();
    return ratioTitle(static_cast<int>(meaning ? meaning->verdict : 1) - 1);
}

} // namespace orlu
