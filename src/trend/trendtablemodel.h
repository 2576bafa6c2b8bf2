#pragma once

#include "trend/trendseries.h"

#include <QAbstractTableModel>

namespace orlu {

// The table under the trend chart: one row per visit in time order with its date, time,
// potential mode, body energy, the four ratios and the verdict text of each.
class TrendTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column {
        Index,
        Date,
        Time,
        Potential,
        BodyEnergy,
        BodyEnergyVerdict,
        FirstRatio, // value and verdict text of each ratio in turn
        AbnormalMeridians = FirstRatio + 2 * TrendRatioCount,
        BodyEnergyChange, // against the visit before in the same potential mode
        Readings,         // unmeasured points and doubtful readings
        ColumnCount
    };

    explicit TrendTableModel(QObject *parent = nullptr);

    void setSeries(const TrendSeries &series);
    const TrendSeries &series() const { return m_series; }

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QVariant text(const TrendVisit &visit, int column) const;
    QVariant colour(const TrendVisit &visit, int column) const;

    TrendSeries m_series;
};

} // namespace orlu
