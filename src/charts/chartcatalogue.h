#pragma once

#include <QList>
#include <QString>

// The nine chart selections of the analysis window. Selection 7 (the radar
// chart) has a hidden button and no drawing; the other eight are offered.
namespace orlu {

struct ChartEntry {
    int selection = 0;
    QString hint;        // tool button hint
    QString title;       // chart title label and printed caption
    QString printOption; // print option text, empty when not printable
    QString explanation; // status bar line while the chart is shown
    bool offered = false;
};

constexpr int ChartSelectionCount = 9;
constexpr int ChartAreaWidth = 757;
constexpr int ChartAreaHeight = 393;

// Selection 1..9; nullptr outside that range.
const ChartEntry *chartEntry(int selection);
bool isOfferedChart(int selection);
// The eight offered selections in button order: 1, 2, 3, 4, 5, 6, 8, 9.
QList<int> offeredCharts();

} // namespace orlu
