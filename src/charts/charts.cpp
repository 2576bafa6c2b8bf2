#include "charts/charts.h"

#include "charts/chartframe.h"
#include "charts/paintersurface.h"

#include <QPainter>

namespace orlu {

bool drawChart(int selection, DrawingSurface &surface, const AnalysisResult &result, QSize area) {
    switch (selection) {
    case 1:
        drawBarChart(surface, result, area);
        return true;
    case 2:
        drawCurveChart(surface, result, area);
        return true;
    case 3:
        drawYinYangChart(surface, result, area);
        return true;
    case 4:
        drawQiBloodChart(surface, result, area);
        return true;
    case 5:
        drawGeneratingChart(surface, result, area);
        return true;
    case 6:
        drawControllingChart(surface, result, area);
        return true;
    case 8:
        drawRyodorakuChart(surface, result, area);
        return true;
    case 9:
        drawAutonomicChart(surface, result, area);
        return true;
    default:
        return false;
    }
}

bool drawChart(int selection, DrawingSurface &surface, const AnalysisResult &result,
               const ChartFrame &frame) {
    using Draw = void (*)(DrawingSurface &, const AnalysisResult &, const ChartFrame &);
    static const std::array<Draw, ChartSelectionCount> draws{
        drawBarChart,         drawCurveChart, drawYinYangChart,   drawQiBloodChart,  drawGeneratingChart,
        drawControllingChart, nullptr,        drawRyodorakuChart, drawAutonomicChart};
    if (selection < 1 || selection > ChartSelectionCount || !draws[static_cast<std::size_t>(selection - 1)])
        return false;
    draws[static_cast<std::size_t>(selection - 1)](surface, result, frame);
    return true;
}

QImage renderChartImage(int selection, const AnalysisResult &result, const QColor &background, QSize area) {
    QImage image(area, QImage::Format_RGB32);
    image.fill(background);
    QPainter painter(&image);
    PainterSurface surface(painter, PainterSurface::screenFont());
    drawChart(selection, surface, result, area);
    painter.end();
    return image;
}

} // namespace orlu
