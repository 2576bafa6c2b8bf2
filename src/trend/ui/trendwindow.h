#pragma once

#include "trend/trendseries.h"
#include "trend/trendtablemodel.h"

#include <QDialog>

#include <functional>

class QLabel;
class QTableView;
class QToolButton;

namespace orlu {

class TrendChartView;

// "能量趋势": one subject's measurements over time, the chart above and the table below.
// Choosing a visit in either selects it in the other and tells the caller which
// measurement it is, so the reading window's list follows.
class TrendWindow : public QDialog {
    Q_OBJECT
public:
    // Prints the series over `parent` (the printed trend page and its progress window);
    // returns what to show of the job beside the buttons (empty: nothing).
    using Printer = std::function<QString(const TrendSeries &series, QWidget *parent)>;

    // Opens on the measurement `selectedKey` when it is in the series.
    TrendWindow(const TrendSeries &series, qint64 selectedKey, Printer print = {}, QWidget *parent = nullptr);

    int selectedVisit() const { return m_selected; }
    void selectVisit(int index);

signals:
    void measurementChosen(qint64 key);

private:
    void visitChosen(int index);
    void printClicked();

    TrendTableModel m_model;
    Printer m_print;
    int m_selected = -1;
    TrendChartView *m_chart = nullptr;
    QTableView *m_table = nullptr;
    QToolButton *m_printButton = nullptr;
    QLabel *m_printStatus = nullptr;
};

} // namespace orlu
