#pragma once

#include <QList>
#include <QPointF>
#include <QWidget>

namespace orlu {

// The live trace of a measuring point: a scope-like grid and a red dotted line
// in logical coordinates 2500 (ms) x 600, the baseline at two thirds of the
// height. The trace is kept, so a repaint shows it whole.
class TraceArea : public QWidget {
    Q_OBJECT
public:
    explicit TraceArea(QWidget *parent = nullptr);

    static constexpr double LogicalWidth = 2500.0;
    static constexpr double LogicalHeight = 600.0;

    // Grid only.
    void clearTrace();
    // During the first 200 ms after contact: one line from the lower left
    // corner (3 pixels in) to logical (e, 600 - e).
    void setBaselinePoint(double elapsedMs);
    // A line from the previous point to logical (x, y).
    void addPoint(double x, double y);

    bool hasTrace() const { return m_hasStart; }
    qsizetype pointCount() const { return m_points.size(); }
    // Pixel position of a logical point, y clamped to the area.
    QPointF toPixels(QPointF logical) const;

    QSize sizeHint() const override { return {600, 160}; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void paintGrid(class QPainter &p) const;

    bool m_hasStart = false;
    QList<QPointF> m_points; // logical; the first is the end of the baseline line
};

} // namespace orlu
