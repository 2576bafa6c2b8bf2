#include "charts/calibrationchart.h"

#include <algorithm>
#include <cmath>

namespace orlu {

namespace {

constexpr int ScaleMargin = 100;
const QColor StandardColour(0, 128, 0);
const QColor HighColour(255, 0, 0);
const QColor FrameColour(192, 192, 192);
const QColor FailureColour(160, 160, 164);

} // namespace

void drawCalibrationChart(DrawingSurface &surface, const QRect &bounds,
                          const QList<CalibrationEntry> &entries) {
    surface.setPen(Qt::white, PenStyle::None, 1);
    surface.setBrush(Qt::white, BrushStyle::Solid);
    surface.rectangle(bounds.left(), bounds.top(), bounds.right() + 1, bounds.bottom() + 1);
    const QRect area = bounds.adjusted(34, 8, -8, -14);
    surface.setPen(FrameColour, PenStyle::Solid, 1);
    surface.setBrush(Qt::white, BrushStyle::None);
    surface.rectangle(area.left(), area.top(), area.right(), area.bottom());
    if (entries.isEmpty())
        return;
    const double first = entries.first().at;
    const double span = std::max(1.0, entries.last().at - first);
    const auto x = [&](double at) {
        return area.left() + int(std::lround((at - first) / span * area.width()));
    };
    surface.setPen(FailureColour, PenStyle::Solid, 1);
    for (const CalibrationEntry &e : entries) {
        if (!e.succeeded)
            surface.line(x(e.at), area.bottom(), x(e.at), area.bottom() + 6);
    }
    // The scale follows the successful values; a failure is only marked.
    int low = 5000;
    int high = 0;
    for (const CalibrationEntry &e : entries) {
        if (e.succeeded) {
            low = std::min({low, e.standardValue, e.highValue});
            high = std::max({high, e.standardValue, e.highValue});
        }
    }
    if (high == 0)
        return;
    low = std::max(0, low - ScaleMargin);
    high += ScaleMargin;
    const auto y = [&](int v) {
        return area.bottom() - int(std::lround(double(v - low) / (high - low) * area.height()));
    };
    for (const auto &[value, at] : {std::pair{high, area.top()}, std::pair{low, area.bottom()}}) {
        const QString label = QString::number(value);
        surface.text(area.left() - 2 - surface.textWidth(label), at - surface.textHeight(label) / 2,
                     Qt::black, label);
    }
    for (const auto &[colour, valueOf] : {std::pair{StandardColour, &CalibrationEntry::standardValue},
                                          std::pair{HighColour, &CalibrationEntry::highValue}}) {
        surface.setPen(colour, PenStyle::Solid, 2);
        surface.setBrush(colour, BrushStyle::Solid);
        bool started = false;
        for (const CalibrationEntry &e : entries) {
            if (!e.succeeded)
                continue;
            if (started)
                surface.lineTo(x(e.at), y(e.*valueOf));
            else
                surface.moveTo(x(e.at), y(e.*valueOf));
            started = true;
        }
        surface.setPenWidth(1);
        for (const CalibrationEntry &e : entries) {
            if (e.succeeded)
                surface.ellipse(x(e.at) - 2, y(e.*valueOf) - 2, x(e.at) + 3, y(e.*valueOf) + 3);
        }
    }
}

} // namespace orlu
