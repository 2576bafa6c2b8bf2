#pragma once

#include "analysis/analysis.h"

#include <QWidget>

#include <optional>

class QLabel;

namespace orlu {

// The chart area: 757 x 393 pixels, filled with the button face and the chosen
// chart drawn over it, completely, on every repaint.
class ChartArea : public QWidget {
    Q_OBJECT

public:
    explicit ChartArea(QWidget *parent = nullptr);

    void setResult(const AnalysisResult &result);
    void clearResult();
    void setSelection(int selection);
    int selection() const { return m_selection; }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<AnalysisResult> m_result;
    int m_selection = 1;
};

// The chart page's title label above the chart area. The host shows
// explanation() in its status bar while the chart is shown.
class ChartWidget : public QWidget {
    Q_OBJECT

public:
    explicit ChartWidget(QWidget *parent = nullptr);

    // The widget keeps its own copy; it draws nothing but the background without one.
    void setResult(const AnalysisResult &result);
    void clearResult();
    // Selection 1..9; 7 and numbers outside the catalogue show an empty area and no title.
    void setSelection(int selection);
    int selection() const;
    QString title() const;
    QString explanation() const;

signals:
    void selectionChanged(int selection);

private:
    QLabel *m_titleLabel = nullptr;
    ChartArea *m_area = nullptr;
};

} // namespace orlu
