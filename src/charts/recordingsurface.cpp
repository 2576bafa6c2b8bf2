#include "charts/recordingsurface.h"

#include "charts/paintersurface.h"
#include "charts/reportfont.h"

#include <QFontMetrics>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

RecordingSurface::RecordingSurface(int dpi)
    : m_screenFont(PainterSurface::screenFont())
    , m_metricsFont(m_screenFont)
    , m_metricsDevice(1, 1, QImage::Format_RGB32) {
    const int dotsPerMetre = qRound(dpi / 0.0254);
    m_metricsDevice.setDotsPerMeterX(dotsPerMetre);
    m_metricsDevice.setDotsPerMeterY(dotsPerMetre);
}

void RecordingSurface::setFontSize(double points) {
    m_fontSize = points;
    m_metricsFont = reportFont(points);
}

int RecordingSurface::textWidth(const QString &text) const {
    return QFontMetrics(m_metricsFont, &m_metricsDevice).horizontalAdvance(text);
}

int RecordingSurface::textHeight(const QString &) const {
    return QFontMetrics(m_metricsFont, &m_metricsDevice).height();
}

QRect RecordingSurface::inkBox(const DrawOp &text) const {
    QFont font = m_screenFont;
    if (text.fontSize > 0)
        font = reportFont(text.fontSize);
    const QFontMetrics metrics(font, &m_metricsDevice);
    // A text's position is the top of its line; the baseline lies an ascent below.
    return metrics.tightBoundingRect(text.text).translated(text.points[0] + QPoint(0, metrics.ascent()));
}

void RecordingSurface::newPage(int number) {
    DrawOp op = make(DrawOp::Kind::Page, {});
    op.page = number;
    m_ops.append(op);
}

DrawOp RecordingSurface::make(DrawOp::Kind kind, QList<QPoint> points, QString text) const {
    DrawOp op;
    op.kind = kind;
    op.points = std::move(points);
    op.text = std::move(text);
    op.pen = m_pen;
    op.brush = m_brush;
    op.font = m_font;
    op.fontSize = m_fontSize;
    return op;
}

void RecordingSurface::lineTo(int x, int y) {
    const QPoint to(x, y);
    m_ops.append(make(DrawOp::Kind::Line, {m_current, to}));
    m_current = to;
}

void RecordingSurface::rectangle(int x1, int y1, int x2, int y2) {
    m_ops.append(make(DrawOp::Kind::Rect, {QPoint(x1, y1), QPoint(x2, y2)}));
}

void RecordingSurface::ellipse(int x1, int y1, int x2, int y2) {
    m_ops.append(make(DrawOp::Kind::Ellipse, {QPoint(x1, y1), QPoint(x2, y2)}));
}

void RecordingSurface::polygon(const QList<QPoint> &points) {
    m_ops.append(make(DrawOp::Kind::Polygon, points));
}

void RecordingSurface::textOut(int x, int y, const QString &text) {
    m_ops.append(make(DrawOp::Kind::Text, {QPoint(x, y)}, text));
}

QList<DrawOp> RecordingSurface::ops(DrawOp::Kind kind) const {
    QList<DrawOp> result;
    for (const DrawOp &op : m_ops) {
        if (op.kind == kind)
            result.append(op);
    }
    return result;
}

const DrawOp *RecordingSurface::findText(const QString &text) const {
    for (const DrawOp &op : m_ops) {
        if (op.kind == DrawOp::Kind::Text && op.text == text)
            return &op;
    }
    return nullptr;
}

namespace {

const char *penStyleName(PenStyle style) {
    switch (style) {
    case PenStyle::Solid:
        return "solid";
    case PenStyle::Dotted:
        return "dotted";
    case PenStyle::Dashed:
        return "dashed";
    case PenStyle::DashDotDot:
        return "dashdotdot";
    case PenStyle::None:
        return "none";
    }
    return "solid";
}

const char *brushStyleName(BrushStyle style) {
    switch (style) {
    case BrushStyle::Solid:
        return "solid";
    case BrushStyle::None:
        return "none";
    case BrushStyle::DiagonalCross:
        return "cross";
    case BrushStyle::BackDiagonal:
        return "bdiagonal";
    case BrushStyle::ForwardDiagonal:
        return "fdiagonal";
    }
    return "solid";
}

const char *kindName(DrawOp::Kind kind) {
    switch (kind) {
    case DrawOp::Kind::Line:
        return "line";
    case DrawOp::Kind::Rect:
        return "rect";
    case DrawOp::Kind::Ellipse:
        return "ellipse";
    case DrawOp::Kind::Polygon:
        return "polygon";
    case DrawOp::Kind::Text:
        return "text";
    case DrawOp::Kind::Page:
        return "page";
    }
    return "line";
}

QByteArray colorJson(const QColor &c) {
    return '[' + QByteArray::number(c.red()) + ", " + QByteArray::number(c.green()) + ", " +
           QByteArray::number(c.blue()) + ']';
}

// A JSON string literal with the escaping QJsonDocument applies.
QByteArray stringJson(const QString &text) {
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

QByteArray field(const char *name, int value) {
    return QByteArray(", \"") + name + "\": " + QByteArray::number(value);
}

} // namespace

QByteArray opToJson(const DrawOp &op) {
    QByteArray out = QByteArray("{\"op\": \"") + kindName(op.kind) + '"';
    if (op.kind == DrawOp::Kind::Page)
        return out + field("n", op.page) + '}';
    switch (op.kind) {
    case DrawOp::Kind::Page:
        break;
    case DrawOp::Kind::Line:
    case DrawOp::Kind::Rect:
    case DrawOp::Kind::Ellipse:
        out += field("x1", op.points.value(0).x()) + field("y1", op.points.value(0).y()) +
               field("x2", op.points.value(1).x()) + field("y2", op.points.value(1).y());
        break;
    case DrawOp::Kind::Polygon: {
        out += ", \"points\": [";
        for (qsizetype i = 0; i < op.points.size(); ++i) {
            if (i > 0)
                out += ", ";
            out += '[' + QByteArray::number(op.points[i].x()) + ", " + QByteArray::number(op.points[i].y()) +
                   ']';
        }
        out += ']';
        break;
    }
    case DrawOp::Kind::Text:
        out += field("x", op.points.value(0).x()) + field("y", op.points.value(0).y()) +
               ", \"text\": " + stringJson(op.text);
        break;
    }
    out += ", \"pen\": {\"color\": " + colorJson(op.pen.color) + ", \"style\": \"" +
           penStyleName(op.pen.style) + "\", \"width\": " + QByteArray::number(op.pen.width) + '}';
    out += ", \"brush\": {\"color\": " + colorJson(op.brush.color) + ", \"style\": \"" +
           brushStyleName(op.brush.style) + "\"}";
    out += ", \"font\": " + colorJson(op.font);
    if (op.kind == DrawOp::Kind::Text && op.fontSize > 0)
        out += ", \"size\": " + QByteArray::number(op.fontSize);
    out += '}';
    return out;
}

void replayOps(const QList<DrawOp> &ops, DrawingSurface &target) {
    double fontSize = 0;
    for (const DrawOp &op : ops) {
        if (op.kind == DrawOp::Kind::Page) {
            target.newPage(op.page);
            continue;
        }
        target.setPen(op.pen.color, op.pen.style, op.pen.width);
        target.setBrush(op.brush.color, op.brush.style);
        target.setFontColor(op.font);
        if (op.fontSize > 0 && op.fontSize != fontSize) {
            fontSize = op.fontSize;
            target.setFontSize(fontSize);
        }
        const QList<QPoint> &p = op.points;
        switch (op.kind) {
        case DrawOp::Kind::Line:
            target.line(p[0].x(), p[0].y(), p[1].x(), p[1].y());
            break;
        case DrawOp::Kind::Rect:
            target.rectangle(p[0].x(), p[0].y(), p[1].x(), p[1].y());
            break;
        case DrawOp::Kind::Ellipse:
            target.ellipse(p[0].x(), p[0].y(), p[1].x(), p[1].y());
            break;
        case DrawOp::Kind::Polygon:
            target.polygon(p);
            break;
        case DrawOp::Kind::Text:
            target.textOut(p[0].x(), p[0].y(), op.text);
            break;
        case DrawOp::Kind::Page:
            break;
        }
    }
}

QByteArray opsToJsonLines(const QList<DrawOp> &ops) {
    QByteArray out;
    for (const DrawOp &op : ops)
        out += opToJson(op) + '\n';
    return out;
}

} // namespace orlu
