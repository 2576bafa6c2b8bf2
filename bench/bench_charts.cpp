// Drawing time of each analysis chart into a 757 x 393 image, background fill
// included, for a strongly unbalanced measurement. Prints the slowest chart as
// chart_draw_ms_max and one figure per chart.
#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/charts.h"
#include "charts/paintersurface.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>

using namespace orlu;

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const std::array<double, 24> readings{95, 30, 20, 88, 15,  70, 40, 35, 110, 25, 60, 12,
                                          75, 10, 65, 30, 100, 18, 22, 90, 14,  55, 80, 33};
    const AnalysisResult result = analyse(correctedValues(readings), true);
    QImage image(ChartAreaSize, QImage::Format_RGB32);

    constexpr int rounds = 200;
    double slowest = 0;
    for (int selection : offeredCharts()) {
        // Warm up the font and glyph caches, as a window does on its first paint.
        image = renderChartImage(selection, result, ChartColour::ButtonFace);
        QElapsedTimer timer;
        timer.start();
        for (int i = 0; i < rounds; ++i) {
            image.fill(ChartColour::ButtonFace);
            QPainter painter(&image);
            PainterSurface surface(painter, PainterSurface::screenFont());
            drawChart(selection, surface, result);
        }
        const double ms = static_cast<double>(timer.nsecsElapsed()) / 1.0e6 / rounds;
        slowest = std::max(slowest, ms);
        std::printf("chart_%d_draw_ms: %.3f ms\n", selection, ms);
    }
    std::printf("chart_draw_ms_max: %.3f ms\n", slowest);
    return 0;
}
