#pragma once

#include "charts/chartcatalogue.h"

#include <QColor>
#include <QImage>
#include <QSize>

#include <array>

// The analysis charts, each drawn completely from the analysis result onto an
// area the caller has already filled with the background. The same functions
// serve the screen, images and the tests; none changes the result.
namespace orlu {

struct AnalysisResult;
struct ChartFrame;
class DrawingSurface;

inline constexpr QSize ChartAreaSize{ChartAreaWidth, ChartAreaHeight};

// Draws chart `selection` (1..6, 8, 9). Returns false, drawing nothing, for a
// selection without a drawing (7 or out of range). The title label text and the
// explanation line come from chartEntry(selection).
bool drawChart(int selection, DrawingSurface &surface, const AnalysisResult &result,
               QSize area = ChartAreaSize);

// Bar and curve charts need a body energy above 0 for their scale; without one
// they draw only the frame, captions and legend.
void drawBarChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
void drawCurveChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
void drawYinYangChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
void drawQiBloodChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
void drawGeneratingChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
void drawControllingChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
// Reads the corrected values held in the result.
void drawRyodorakuChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);
void drawAutonomicChart(DrawingSurface &surface, const AnalysisResult &result, QSize area = ChartAreaSize);

// The same charts in a frame of their own, the printed report's chart block
// (ChartFrame::paper) or a screen frame. The Ryodoraku chart's captions go below
// its frame's plot.
bool drawChart(int selection, DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawBarChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawCurveChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawYinYangChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawQiBloodChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawGeneratingChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawControllingChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawRyodorakuChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);
void drawAutonomicChart(DrawingSurface &surface, const AnalysisResult &result, const ChartFrame &frame);

// Chart `selection` on an image of the chart area's size, filled with `background` first.
QImage renderChartImage(int selection, const AnalysisResult &result, const QColor &background,
                        QSize area = ChartAreaSize);

// The series of the six-column charts, built from the deviations.
struct PairSeries {
    std::array<double, 6> first{};  // yin meridians, or the left side
    std::array<double, 6> second{}; // yang partners, or the right side
};
// Per interior-exterior pair in generating order: yin meridian against its yang
// partner, both sides added.
PairSeries yinYangSeries(const AnalysisResult &result);
// The same pairs: left side (yin + yang) against the right side.
PairSeries qiBloodSeries(const AnalysisResult &result);

enum class ElementChartOrder { Generating, Controlling };
// The four deviations of an element's two meridians added and divided by 1.8,
// one per column in the chart's order.
std::array<double, 6> elementValues(const AnalysisResult &result, ElementChartOrder order);

} // namespace orlu
