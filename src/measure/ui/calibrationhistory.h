#pragma once

#include "storage/calibrationlog.h"

#include <QGroupBox>

class QSpinBox;
class QTreeWidget;

namespace orlu {

class CalibrationHistoryChart;

// "校准记录": the calibration values over time in a small chart, the list of
// every calibration with its outcome, and after how many days without a
// successful calibration the measurement window reminds the operator.
class CalibrationHistory final : public QGroupBox {
    Q_OBJECT
public:
    explicit CalibrationHistory(QWidget *parent = nullptr);
    void setEntries(const QList<CalibrationEntry> &entries);
    void setReminderDays(int days);

signals:
    // The operator chose another period.
    void reminderDaysChosen(int days);

private:
    CalibrationHistoryChart *m_chart = nullptr;
    QTreeWidget *m_list = nullptr;
    QSpinBox *m_reminderDays = nullptr;
};

} // namespace orlu
