#pragma once

#include "analysis/analysis.h"
#include "charts/charts.h"
#include "charts/recordingsurface.h"

#include <QList>

#include <array>
#include <functional>

// Analysis results for chart tests, and questions to ask of a recording.
namespace orlu::testing {

// The analysis of 24 plain readings for a male subject.
inline AnalysisResult analysedReadings(const std::array<double, 24> &readings, bool male = true) {
    return analyse(correctedValues(readings), male);
}

// A result with body energy `energy` and the given deviations; the grades follow
// from the band limits of that energy, the corrected values from energy + deviation.
inline AnalysisResult resultWithDeviations(double energy, const std::array<double, 24> &deviations) {
    AnalysisResult r;
    r.bodyEnergy = energy;
    r.bands = bandLimits(energy);
    r.deviations = deviations;
    for (int c = 1; c <= 24; ++c) {
        r.channelGrades[c - 1] = gradeOf(deviations[c - 1], r.bands);
        r.corrected[c - 1] = energy + deviations[c - 1];
    }
    return r;
}

inline AnalysisResult uniformResult(double value) {
    std::array<double, 24> w;
    w.fill(value);
    return analyse(w, true);
}

inline RecordingSurface recordChart(int selection, const AnalysisResult &r) {
    RecordingSurface rec;
    drawChart(selection, rec, r);
    return rec;
}

inline QList<DrawOp> opsWhere(const RecordingSurface &rec, const std::function<bool(const DrawOp &)> &pred) {
    QList<DrawOp> result;
    for (const DrawOp &op : rec.ops()) {
        if (pred(op))
            result.append(op);
    }
    return result;
}

// Horizontal lines spanning x1..x2.
inline QList<DrawOp> horizontalLines(const RecordingSurface &rec, int x1, int x2) {
    return opsWhere(rec, [&](const DrawOp &op) {
        return op.kind == DrawOp::Kind::Line && op.points[0].y() == op.points[1].y() &&
               op.points[0].x() == x1 && op.points[1].x() == x2;
    });
}

// The y of the band lines (dotted, spanning the plot) in drawing order.
inline QList<int> bandLineYs(const RecordingSurface &rec, int x1, int x2) {
    QList<int> ys;
    for (const DrawOp &op : horizontalLines(rec, x1, x2)) {
        if (op.pen.style == PenStyle::Dotted)
            ys.append(op.points[0].y());
    }
    return ys;
}

inline QList<DrawOp> filledOps(const RecordingSurface &rec, DrawOp::Kind kind, const QColor &colour) {
    return opsWhere(rec, [&](const DrawOp &op) {
        return op.kind == kind && op.brush.style != BrushStyle::None && op.brush.color == colour;
    });
}

} // namespace orlu::testing
