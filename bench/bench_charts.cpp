// Drawing time of each analysis chart into a 757 x 393 image, background fill
// included, for a strongly unbalanced measurement. Prints the slowest chart as
// chart_draw_ms_max and one figure per chart; then the same for the two comparison
// charts, the multi-record one with six records, as compare_chart_draw_ms_max.
#include "analysis/analysis.h"
#include "charts/chartcolours.h"
#include "charts/charts.h"
#include "charts/paintersurface.h"
#include "compare/comparisoncurves.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cstdio>

using namespace orlu;

namespace {

constexpr int Rounds = 200;

// Milliseconds per drawing of `draw` onto `image`, background fill included.
template <typename Draw> double drawingMs(QImage &image, Draw draw) {
    auto once = [&] {
        image.fill(ChartColour::ButtonFace);
        QPainter painter(&image);
        PainterSurface surface(painter, PainterSurface::screenFont());
        draw(surface);
    };
    // Warm up the font and glyph caches, as a window does on its first paint.
    once();
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < Rounds; ++i)
        once();
    return static_cast<double>(timer.nsecsElapsed()) / 1.0e6 / Rounds;
}

double comparisonChartsMs(const std::array<double, 24> &readings) {
    QList<ComparisonEntry> entries;
    for (int k = 1; k <= ComparisonSet::Capacity; ++k) {
        std::array<double, 24> scaled = readings;
        for (double &v : scaled)
            v *= 0.5 + 0.2 * k;
        entries.append(
            ComparisonEntry::fromReadings(k, QString::number(k), {}, 46000 + k, k % 2 == 0, scaled));
    }
    QImage multiImage(MultiRecordChartWidth, ComparisonChartHeight, QImage::Format_RGB32);
    const ComparisonFrame multiFrame = ComparisonFrame::screen(MultiRecordChartWidth, ComparisonChartHeight);
    const ComparisonChart multi = multiRecordChart(entries, 5);
    const double multiMs =
        drawingMs(multiImage, [&](DrawingSurface &s) { drawComparisonChart(s, multiFrame, multi); });
    std::printf("multi_compare_chart_draw_ms: %.3f ms\n", multiMs);

    ComparisonRecord first;
    first.corrected = entries[0].corrected;
    first.average = 50;
    ComparisonRecord second = first;
    second.corrected = entries[5].corrected;
    QImage twoImage(TwoRecordChartWidth, ComparisonChartHeight, QImage::Format_RGB32);
    const ComparisonFrame twoFrame = ComparisonFrame::screen(TwoRecordChartWidth, ComparisonChartHeight);
    const ComparisonChart two = twoRecordChart(first, second, BandChoice::Comparison, ChartMedium::Screen);
    const double twoMs =
        drawingMs(twoImage, [&](DrawingSurface &s) { drawComparisonChart(s, twoFrame, two); });
    std::printf("two_record_compare_chart_draw_ms: %.3f ms\n", twoMs);
    return std::max(multiMs, twoMs);
}

} // namespace

int main(int argc, char *argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);

    const std::array<double, 24> readings{95, 30, 20, 88, 15,  70, 40, 35, 110, 25, 60, 12,
                                          75, 10, 65, 30, 100, 18, 22, 90, 14,  55, 80, 33};
    const AnalysisResult result = analyse(correctedValues(readings), true);
    QImage image(ChartAreaSize, QImage::Format_RGB32);

    double slowest = 0;
    for (int selection : offeredCharts()) {
        const double ms =
            drawingMs(image, [&](DrawingSurface &surface) { drawChart(selection, surface, result); });
        slowest = std::max(slowest, ms);
        std::printf("chart_%d_draw_ms: %.3f ms\n", selection, ms);
    }
    std::printf("chart_draw_ms_max: %.3f ms\n", slowest);
    std::printf("compare_chart_draw_ms_max: %.3f ms\n", comparisonChartsMs(readings));
    return 0;
}
