#pragma once

#include "charts/recordingsurface.h"

#include <QLineF>
#include <QRect>
#include <QStringList>

// What covers a text in a recorded drawing: another text, a filled shape or a slanted
// line (a curve). Lines along an axis are frames, grids and ticks, which a text may
// stand against.
namespace orlu::test {

inline bool crosses(const QLineF &line, const QRect &box) {
    const QRectF r(box);
    if (r.contains(line.p1()) || r.contains(line.p2()))
        return true;
    const QLineF edges[] = {{r.topLeft(), r.topRight()},
                            {r.topRight(), r.bottomRight()},
                            {r.bottomRight(), r.bottomLeft()},
                            {r.bottomLeft(), r.topLeft()}};
    for (const QLineF &edge : edges) {
        if (line.intersects(edge, nullptr) == QLineF::BoundedIntersection)
            return true;
    }
    return false;
}

inline QString coverName(DrawOp::Kind kind) {
    switch (kind) {
    case DrawOp::Kind::Text:
        return QStringLiteral("text");
    case DrawOp::Kind::Line:
        return QStringLiteral("line");
    default:
        return QStringLiteral("shape");
    }
}

// Each text whose ink something covers, with what covers it: "肺  经 < line".
inline QStringList coveredTexts(const RecordingSurface &rec) {
    QStringList found;
    const QList<DrawOp> &ops = rec.ops();
    QList<QRect> ink;
    for (const DrawOp &op : ops)
        ink << (op.kind == DrawOp::Kind::Text ? rec.inkBox(op) : QRect());
    for (qsizetype t = 0; t < ops.size(); ++t) {
        const DrawOp &text = ops[t];
        if (text.kind != DrawOp::Kind::Text || text.text.trimmed().isEmpty())
            continue;
        const QRect box = ink[t];
        for (qsizetype o = 0; o < ops.size(); ++o) {
            const DrawOp &op = ops[o];
            bool covers = false;
            switch (op.kind) {
            case DrawOp::Kind::Text:
                covers = o != t && ink[o].intersects(box);
                break;
            case DrawOp::Kind::Line:
                covers = op.pen.style != PenStyle::None && op.points[0].x() != op.points[1].x() &&
                         op.points[0].y() != op.points[1].y() &&
                         crosses(QLineF(op.points[0], op.points[1]), box);
                break;
            case DrawOp::Kind::Rect:
            case DrawOp::Kind::Ellipse:
            case DrawOp::Kind::Polygon:
                covers = op.brush.style != BrushStyle::None &&
                         QPolygon(op.points).boundingRect().adjusted(0, 0, -1, -1).intersects(box);
                break;
            case DrawOp::Kind::Page:
                break;
            }
            if (covers)
                found << text.text + QStringLiteral(" < ") + coverName(op.kind);
        }
    }
    found.removeDuplicates();
    return found;
}

} // namespace orlu::test
