#pragma once

#include <QWidget>

#include <array>

class QToolButton;

namespace orlu {

struct AnalysisResult;
class ChartWidget;

// Page "分析图表": the chart area and the tool bar of chart buttons. Exactly
// one button shows pressed, the current chart's.
class AnalysisChartPage : public QWidget {
    Q_OBJECT
public:
    explicit AnalysisChartPage(QWidget *parent = nullptr);

    void setResult(const AnalysisResult &result);
    // Draws chart 1..9 without announcing it (the window's opening).
    void showChart(int chart);
    int currentChart() const { return m_current; }
    // The status line of the current chart.
    QString chartStatusText() const;
    // Button of chart 1..9.
    QToolButton *button(int chart) const { return m_buttons[static_cast<std::size_t>(chart - 1)]; }

    // Tool-bar order of the chart numbers; the radar chart (7) is last and hidden.
    static const std::array<int, 9> &buttonOrder();

signals:
    // A chart button was clicked and its chart is now shown.
    void chartChosen(int chart);
    // The chart area was drawn again.
    void chartRepainted();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void chartButtonClick(int chart);
    void pressButton(int chart);

    ChartWidget *m_chart = nullptr;
    std::array<QToolButton *, 9> m_buttons{};
    int m_current = 1;
};

} // namespace orlu
