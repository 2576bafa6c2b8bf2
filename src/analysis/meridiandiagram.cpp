#include "analysis/meridiandiagram.h"

#include "core/channels.h"

#include <QBuffer>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <vector>

namespace orlu {

namespace {

// Coordinates are those of one figure 200 wide; a figure's left half is
// described and mirrored at x = 100. The front view sits at x 0..200, the back
// view at x 200..400, both in anatomical position (palms forward).
constexpr double FigureWidth = 200.0;

enum class View { Front, Back };

struct Course {
    View view;
    std::vector<std::vector<QPointF>> lines; // left half; mirrored for the right side
    QPointF measuringPoint;
};

const std::vector<QPointF> &halfOutline() {
    static const std::vector<QPointF> points{
        {90, 70},  {88, 88},  {62, 96},  {46, 104}, {38, 130}, {32, 192}, {22, 262},  {18, 285},
        {24, 312}, {36, 292}, {36, 264}, {46, 192}, {62, 140}, {70, 225}, {60, 272},  {66, 372},
        {74, 452}, {66, 474}, {78, 482}, {94, 480}, {92, 456}, {92, 372}, {100, 306},
    };
    return points;
}

QPolygonF bodyOutline(double offset) {
    QPolygonF poly;
    const auto &half = halfOutline();
    for (const QPointF &p : half)
        poly << QPointF(offset + p.x(), p.y());
    for (auto it = half.rbegin() + 1; it != half.rend(); ++it)
        poly << QPointF(offset + FigureWidth - it->x(), it->y());
    return poly;
}

Course courseOf(int m) {
    switch (m) {
    case 1: // LU: chest below the clavicle, radial edge of the arm, thumb
        return {View::Front,
                {{{74, 110},
                  {56, 108},
                  {44, 128},
                  {40, 160},
                  {36, 192},
                  {30, 230},
                  {26, 262},
                  {20, 280},
                  {19, 292}}},
                {26, 262}};
    case 2: // PC: beside the nipple, middle of the inner arm, middle finger
        return {View::Front,
                {{{80, 128}, {64, 136}, {52, 160}, {40, 192}, {33, 230}, {30, 263}, {28, 290}, {26, 306}}},
                {30, 263}};
    case 3: // HT: armpit, ulnar edge of the inner arm, little finger
        return {View::Front,
                {{{62, 142}, {56, 165}, {46, 192}, {40, 230}, {35, 262}, {34, 280}, {34, 294}}},
                {35, 262}};
    case 4: // SI: little finger, back of the arm, around the shoulder blade, neck, ear
        return {View::Back,
                {{{34, 298},
                  {35, 272},
                  {38, 262},
                  {44, 230},
                  {46, 192},
                  {50, 150},
                  {54, 116},
                  {68, 122},
                  {62, 106},
                  {76, 100},
                  {88, 82},
                  {78, 48}}},
                {35, 272}};
    case 5: // SJ: ring finger, middle of the back of the arm, shoulder, behind the ear
        return {View::Back,
                {{{28, 306},
                  {29, 264},
                  {32, 230},
                  {39, 192},
                  {42, 150},
                  {48, 106},
                  {66, 96},
                  {82, 76},
                  {78, 52},
                  {80, 32}}},
                {29, 264}};
    case 6: // LI: index finger, radial edge of the arm, shoulder, neck, beside the nose
        return {View::Front,
                {{{20, 302},
                  {22, 262},
                  {26, 230},
                  {32, 192},
                  {38, 150},
                  {46, 106},
                  {70, 92},
                  {88, 80},
                  {94, 60},
                  {98, 54}}},
                {22, 262}};
    case 7: // SP: big toe, inner ankle, inner leg, abdomen, side of the chest
        return {View::Front,
                {{{92, 481},
                  {93, 470},
                  {91, 452},
                  {93, 410},
                  {92, 372},
                  {86, 320},
                  {80, 285},
                  {72, 250},
                  {70, 200},
                  {68, 150},
                  {66, 125}}},
                {93, 470}};
    case 8: // LR: big toe, top of the foot, inner leg, groin, ribs
        return {View::Front,
                {{{88, 482},
                  {86, 470},
                  {88, 452},
                  {90, 410},
                  {91, 380},
                  {90, 330},
                  {94, 300},
                  {84, 260},
                  {72, 225},
                  {78, 160}}},
                {86, 470}};
    case 9: // KI: sole, inner heel, back of the inner leg, beside the midline up to the clavicle
        return {View::Front,
                {{{90, 484},
                  {93, 462},
                  {95, 420},
                  {95, 375},
                  {96, 330},
                  {97, 300},
                  {95, 260},
                  {95, 200},
                  {92, 150},
                  {90, 98}}},
                {93, 462}};
    case 10: // BL: crown, two lines down the back, back of the leg, outer foot, little toe
        return {View::Back,
                {{{96, 14},
                  {96, 40},
                  {94, 72},
                  {92, 100},
                  {92, 260},
                  {94, 285},
                  {84, 300},
                  {82, 340},
                  {80, 372},
                  {78, 410},
                  {76, 430},
                  {74, 452},
                  {70, 470},
                  {66, 478}},
                 {{84, 100}, {84, 280}, {82, 320}, {80, 372}}},
                {70, 470}};
    case 11: // GB: outer eye corner, side of the head, shoulder, flank, outer leg, fourth toe
        return {View::Front,
                {{{80, 38},
                  {77, 28},
                  {76, 50},
                  {78, 62},
                  {86, 84},
                  {64, 97},
                  {62, 150},
                  {64, 200},
                  {66, 235},
                  {60, 272},
                  {61, 320},
                  {66, 372},
                  {70, 420},
                  {73, 455},
                  {70, 478}}},
                {73, 455}};
    case 12: // ST: below the eye, jaw, chest, abdomen, front of the thigh and shin, second toe
        return {View::Front,
                {{{90, 42},
                  {88, 56},
                  {82, 64},
                  {86, 84},
                  {80, 96},
                  {78, 130},
                  {82, 175},
                  {88, 200},
                  {88, 260},
                  {86, 290},
                  {78, 320},
                  {76, 372},
                  {74, 390},
                  {76, 430},
                  {82, 466},
                  {82, 480}}},
                {82, 466}};
    default:
        return {View::Front, {}, {}};
    }
}

void drawFigure(QPainter &p, double offset, View view) {
    p.setPen(QPen(QColor(120, 96, 72), 1.5));
    p.setBrush(QColor(250, 236, 216));
    p.drawPolygon(bodyOutline(offset));
    p.drawEllipse(QPointF(offset + 100, 42), 24, 30);
    p.setPen(QPen(QColor(170, 140, 110), 1.0, Qt::DotLine));
    p.setBrush(Qt::NoBrush);
    if (view == View::Front) {
        // A face tells the front view from the back view.
        p.drawEllipse(QPointF(offset + 91, 38), 2.5, 1.5);
        p.drawEllipse(QPointF(offset + 109, 38), 2.5, 1.5);
        p.drawLine(QPointF(offset + 100, 42), QPointF(offset + 100, 50));
        p.drawLine(QPointF(offset + 94, 58), QPointF(offset + 106, 58));
        p.drawEllipse(QPointF(offset + 78, 130), 2, 2);
        p.drawEllipse(QPointF(offset + 122, 130), 2, 2);
        p.drawEllipse(QPointF(offset + 100, 215), 2.5, 2.5);
        p.drawLine(QPointF(offset + 100, 92), QPointF(offset + 100, 200));
    } else {
        // Hair line, spine and shoulder blades.
        p.drawArc(QRectF(offset + 78, 16, 44, 40), 200 * 16, 140 * 16);
        p.drawLine(QPointF(offset + 100, 74), QPointF(offset + 100, 290));
        p.drawLine(QPointF(offset + 68, 112), QPointF(offset + 82, 150));
        p.drawLine(QPointF(offset + 132, 112), QPointF(offset + 118, 150));
    }
}

QPointF placed(const QPointF &p, double offset, bool mirrored) {
    return QPointF(offset + (mirrored ? FigureWidth - p.x() : p.x()), p.y());
}

} // namespace

QImage meridianDiagram(int m) {
    if (m < 1 || m > MeridianCount)
        return {};
    QImage image(DiagramWidth, DiagramHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    drawFigure(p, 0.0, View::Front);
    drawFigure(p, FigureWidth, View::Back);
    // A thin rule between the two views.
    p.setPen(QPen(QColor(210, 210, 210), 1.0));
    p.drawLine(QPointF(FigureWidth, 8), QPointF(FigureWidth, DiagramHeight - 8));

    const Course course = courseOf(m);
    const double offset = course.view == View::Front ? 0.0 : FigureWidth;
    const bool yin = meridian(m).organ == OrganType::Yin;
    const QColor lineColour = yin ? QColor(30, 80, 200) : QColor(200, 60, 30);
    for (bool mirrored : {false, true}) {
        for (const auto &line : course.lines) {
            QPainterPath path;
            path.moveTo(placed(line.front(), offset, mirrored));
            for (std::size_t i = 1; i < line.size(); ++i)
                path.lineTo(placed(line[i], offset, mirrored));
            p.setPen(QPen(lineColour, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(Qt::NoBrush);
            p.drawPath(path);
            // The ends of the course as small dots.
            p.setPen(Qt::NoPen);
            p.setBrush(lineColour);
            p.drawEllipse(placed(line.front(), offset, mirrored), 2.5, 2.5);
            p.drawEllipse(placed(line.back(), offset, mirrored), 2.5, 2.5);
        }
        // The measuring point, where the probe is placed.
        p.setPen(QPen(Qt::white, 1.5));
        p.setBrush(QColor(230, 0, 0));
        p.drawEllipse(placed(course.measuringPoint, offset, mirrored), 5, 5);
    }
    p.end();
    return image;
}

QByteArray meridianDiagramPng(int m) {
    const QImage image = meridianDiagram(m);
    if (image.isNull())
        return {};
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

} // namespace orlu
