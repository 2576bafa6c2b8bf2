#pragma once

#include "storage/calibrationlog.h"

#include <QGroupBox>

class QTreeWidget;

namespace orlu {

class CalibrationHistoryChart;

// "校准记录": the calibration values over time in a small chart, and the list
// of every calibration with its outcome.
class CalibrationHistory final : public QGroupBox {
    Q_OBJECT
public:
    explicit CalibrationHistory(QWidget *parent = nullptr);
    void setEntries(const QList<CalibrationEntry> &entries);

private:
    CalibrationHistoryChart *m_chart = nullptr;
    QTreeWidget *m_list = nullptr;
};

} // namespace orlu
