#include "measure/limbgeometry.h"

#include <QTransform>

#include <cmath>
#include <initializer_list>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// A finger or toe: a rounded bar from base a to tip b.
QPainterPath capsule(QPointF a, QPointF b, double width) {
    const QPointF d = b - a;
    const double length = std::hypot(d.x(), d.y());
    const double r = width / 2.0;
    QPainterPath p;
    p.addRoundedRect(QRectF(-r, -r, length + width, width), r, r);
    QTransform t;
    t.translate(a.x(), a.y());
    t.rotateRadians(std::atan2(d.y(), d.x()));
    return t.map(p);
}

// A closed smooth curve through the points (Catmull-Rom as cubic Béziers).
QPainterPath smoothClosed(std::initializer_list<QPointF> list) {
    const QList<QPointF> pts(list);
    const qsizetype n = pts.size();
    QPainterPath p(pts[0]);
    for (qsizetype i = 0; i < n; ++i) {
        const QPointF p0 = pts[(i + n - 1) % n];
        const QPointF p1 = pts[i];
        const QPointF p2 = pts[(i + 1) % n];
        const QPointF p3 = pts[(i + 2) % n];
        p.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    p.closeSubpath();
    return p;
}

// An open smooth curve through the points.
QPainterPath smoothOpen(std::initializer_list<QPointF> list) {
    const QList<QPointF> pts(list);
    const qsizetype n = pts.size();
    QPainterPath p(pts[0]);
    for (qsizetype i = 0; i + 1 < n; ++i) {
        const QPointF p0 = pts[qMax<qsizetype>(i - 1, 0)];
        const QPointF p1 = pts[i];
        const QPointF p2 = pts[i + 1];
        const QPointF p3 = pts[qMin(i + 2, n - 1)];
        p.cubicTo(p1 + (p2 - p0) / 6.0, p2 - (p3 - p1) / 6.0, p2);
    }
    return p;
}

QPainterPath ellipse(QPointF c, double rx, double ry) {
    QPainterPath p;
    p.addEllipse(c, rx, ry);
    return p;
}

QPainterPath unite(std::initializer_list<QPainterPath> parts) {
    QPainterPath out;
    for (const QPainterPath &p : parts)
        out = out.united(p);
    return out.simplified();
}

struct Digit {
    QPointF base;
    QPointF tip;
    double width;
};

QPointF along(const Digit &d, double f) {
    return d.base + (d.tip - d.base) * f;
}

// A short fold across a digit at fraction f of its length.
void addFold(QPainterPath &path, const Digit &d, double f, double widthShare = 0.7) {
    const QPointF c = along(d, f);
    const QPointF dir = d.tip - d.base;
    const double len = std::hypot(dir.x(), dir.y());
    const QPointF n(-dir.y() / len, dir.x() / len);
    const double half = d.width * widthShare / 2.0;
    path.moveTo(c - n * half);
    path.quadTo(c + (dir / len) * 0.8, c + n * half);
}

// A nail near the tip of a digit, on its axis.
void addNail(QPainterPath &path, const Digit &d, double lengthShare = 0.22) {
    const QPointF dir = d.tip - d.base;
    const double len = std::hypot(dir.x(), dir.y());
    const double nailLen = len * lengthShare;
    const QPointF centre = d.tip - dir / len * (nailLen / 2.0 + d.width * 0.12);
    QPainterPath nail;
    nail.addRoundedRect(QRectF(-nailLen / 2.0, -d.width * 0.3, nailLen, d.width * 0.6), d.width * 0.25,
                        d.width * 0.25);
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.rotateRadians(std::atan2(dir.y(), dir.x()));
    path.addPath(t.map(nail));
}

// Left hand, palm side, thumb on the left.
const Digit HandFingers[4] = {
    {{34, 50}, {32, 17}, 10},   // index
    {{45, 48}, {45, 11}, 10.5}, // middle
    {{56, 49}, {57.5, 15}, 10}, // ring
    {{66.5, 54}, {69, 27}, 8.5} // little
};
const Digit HandThumb{{36, 74}, {15, 50}, 13};

QPainterPath handOutlinePalmar() {
    QPainterPath palm;
    palm.addRoundedRect(QRectF(27, 42, 46, 44), 12, 12);
    QPainterPath forearm;
    forearm.addRoundedRect(QRectF(34, 78, 32, 40), 6, 6);
    return unite({palm, forearm, ellipse({36, 70}, 11, 14), ellipse({66, 70}, 8, 13),
                  capsule(HandThumb.base, HandThumb.tip, HandThumb.width),
                  capsule(HandFingers[0].base, HandFingers[0].tip, HandFingers[0].width),
                  capsule(HandFingers[1].base, HandFingers[1].tip, HandFingers[1].width),
                  capsule(HandFingers[2].base, HandFingers[2].tip, HandFingers[2].width),
                  capsule(HandFingers[3].base, HandFingers[3].tip, HandFingers[3].width)});
}

LimbDrawing handPalmar() {
    LimbDrawing d;
    d.outline = handOutlinePalmar();
    QPainterPath &c = d.creases;
    // Wrist creases, where the three palm-side source points lie.
    c.addPath(smoothOpen({{35, 86}, {50, 87.5}, {65, 86}}));
    c.addPath(smoothOpen({{36, 90}, {50, 91.2}, {64, 90}}));
    // Heart, head and life lines.
    c.addPath(smoothOpen({{72, 57}, {60, 58}, {50, 55}, {42, 50}}));
    c.addPath(smoothOpen({{30, 59}, {45, 60}, {58, 63}, {67, 66}}));
    c.addPath(smoothOpen({{31, 58}, {40, 64}, {44, 74}, {45, 84}}));
    for (const Digit &f : HandFingers) {
        addFold(c, f, 0.12);
        addFold(c, f, 0.5);
        addFold(c, f, 0.75);
    }
    addFold(c, HandThumb, 0.45);
    addFold(c, HandThumb, 0.7);
    d.bumps.addPath(ellipse({37, 72}, 8, 10)); // thenar
    d.bumps.addPath(ellipse({65, 71}, 6, 10)); // hypothenar
    return d;
}

LimbDrawing handDorsal() {
    LimbDrawing d;
    d.outline = mirrored(handOutlinePalmar());
    QPainterPath c;
    // Back of the wrist and the tendons running to the knuckles.
    c.addPath(smoothOpen({{35, 86}, {50, 85}, {65, 86}}));
    for (const Digit &f : HandFingers) {
        addFold(c, f, 0.48, 0.55);
        addFold(c, f, 0.73, 0.5);
        c.moveTo(QPointF(50 + (f.base.x() - 50) * 0.4, 82));
        c.lineTo(f.base);
    }
    addFold(c, HandThumb, 0.55, 0.5);
    d.creases = mirrored(c);
    QPainterPath nails;
    for (const Digit &f : HandFingers)
        addNail(nails, f);
    addNail(nails, HandThumb, 0.2);
    d.nails = mirrored(nails);
    QPainterPath bumps;
    for (const Digit &f : HandFingers)
        bumps.addPath(ellipse(f.base, f.width * 0.38, f.width * 0.3)); // knuckles
    bumps.addPath(ellipse({35, 87}, 3, 2.5));                          // end of the ulna
    d.bumps = mirrored(bumps);
    return d;
}

// Left foot from above, toes up, big toe on the right.
const Digit FootToes[5] = {
    {{70, 36}, {71, 14}, 15},   // big toe
    {{57, 34}, {56, 16}, 9.5},  // second
    {{47.5, 36}, {46, 19}, 9},  // third
    {{39, 39}, {37, 23}, 8.5},  // fourth
    {{31.5, 43}, {28.5, 29}, 8} // little
};

LimbDrawing footDorsal() {
    LimbDrawing d;
    QPainterPath body = smoothClosed({{50, 97},
                                      {39, 93},
                                      {34, 78},
                                      {30, 60},
                                      {28, 46},
                                      {32, 38},
                                      {50, 33},
                                      {70, 31},
                                      {79, 38},
                                      {77, 55},
                                      {68, 72},
                                      {62, 88},
                                      {58, 95}});
    QPainterPath leg;
    leg.addRoundedRect(QRectF(38, 86, 24, 30), 5, 5);
    d.outline = unite({body, leg, ellipse({37.5, 89}, 4, 4.5), ellipse({62.5, 87}, 4, 4.5),
                       capsule(FootToes[0].base, FootToes[0].tip, FootToes[0].width),
                       capsule(FootToes[1].base, FootToes[1].tip, FootToes[1].width),
                       capsule(FootToes[2].base, FootToes[2].tip, FootToes[2].width),
                       capsule(FootToes[3].base, FootToes[3].tip, FootToes[3].width),
                       capsule(FootToes[4].base, FootToes[4].tip, FootToes[4].width)});
    QPainterPath &c = d.creases;
    c.addPath(smoothOpen({{40, 84}, {50, 82}, {60, 83}})); // front of the ankle
    for (const Digit &t : FootToes) {
        addFold(c, t, 0.2, 0.6);
        c.moveTo(QPointF(50 + (t.base.x() - 50) * 0.35, 80));
        c.lineTo(along(t, 0.05));
    }
    for (const Digit &t : FootToes)
        addNail(d.nails, t, 0.28);
    d.bumps.addPath(ellipse({37.5, 89}, 3, 3.5));
    d.bumps.addPath(ellipse({62.5, 87}, 3, 3.5));
    d.bumps.addPath(ellipse({70, 38}, 6, 4)); // head of the first metatarsal
    return d;
}

// Left foot from the inner side, toes to the right.
LimbDrawing footMedial() {
    LimbDrawing d;
    d.outline = smoothClosed({{18, -4}, {19, 30}, {16, 48}, {9, 62},  {8, 72},  {14, 81}, {30, 82},
                              {45, 77}, {60, 78}, {75, 82}, {88, 82}, {96, 78}, {97, 73}, {90, 68},
                              {75, 64}, {58, 56}, {44, 48}, {38, 40}, {37, 20}, {38, -4}});
    QPainterPath &c = d.creases;
    c.addPath(smoothOpen({{21.5, 28}, {20.5, 45}, {16.5, 60}}));                         // Achilles tendon
    c.addPath(smoothOpen({{13, 76}, {30, 77}, {45, 73}, {62, 74}, {80, 77}, {93, 76}})); // sole edge
    c.addPath(smoothOpen({{86, 67}, {85, 72}, {86, 78}}));                               // big toe joint
    c.addPath(smoothOpen({{42, 50}, {56, 57}, {72, 63}})); // tendon to the big toe
    d.nails.addPath(smoothClosed({{90.5, 68.5}, {95, 70}, {96.5, 73}, {93, 72.5}}));
    d.bumps.addPath(ellipse({29, 50}, 5, 4.2)); // medial malleolus
    d.bumps.addPath(ellipse({80, 76}, 5, 4));   // ball of the big toe
    d.bumps.addPath(ellipse({13, 72}, 5, 7));   // heel
    return d;
}

// Left foot from the outer side, toes to the left.
LimbDrawing footLateral() {
    LimbDrawing d;
    d.outline = smoothClosed({{82, -4},   {81, 30},   {84, 48}, {91, 62}, {92, 72}, {86, 81}, {70, 82},
                              {55, 81.5}, {40, 81.5}, {25, 82}, {12, 82}, {5, 79},  {4, 75},  {9, 71},
                              {24, 67},   {42, 57},   {56, 48}, {62, 40}, {63, 20}, {62, -4}});
    QPainterPath &c = d.creases;
    c.addPath(smoothOpen({{78.5, 28}, {79.5, 45}, {83.5, 60}}));                          // Achilles tendon
    c.addPath(smoothOpen({{87, 76}, {70, 77.5}, {50, 77}, {30, 77}, {15, 77}, {7, 76}})); // sole edge
    c.addPath(smoothOpen({{12, 71}, {13, 75}, {12, 80}}));                                // little toe joint
    c.addPath(smoothOpen({{14, 70}, {20, 71}, {27, 72}}));                                // toes beside it
    c.addPath(smoothOpen({{58, 50}, {45, 58}, {30, 66}})); // toe extensor tendons
    d.nails.addPath(smoothClosed({{5.5, 74}, {8, 72}, {10, 73}, {8, 75.5}}));
    d.bumps.addPath(ellipse({71, 51}, 5.5, 4.5)); // lateral malleolus
    d.bumps.addPath(ellipse({25, 76}, 4, 3));     // head of the fifth metatarsal
    d.bumps.addPath(ellipse({87, 72}, 5, 7));     // heel
    return d;
}

} // namespace

QPointF mirrored(QPointF p) {
    return {ViewBoxSize - p.x(), p.y()};
}

QPainterPath mirrored(const QPainterPath &path) {
    QTransform t;
    t.translate(ViewBoxSize, 0);
    t.scale(-1, 1);
    return t.map(path);
}

LimbView viewOfMeridian(int m) {
    switch (m) {
    case 1: // LU
    case 2: // PC
    case 3: // HT
        return LimbView::HandPalmar;
    case 4: // SI
    case 5: // SJ
    case 6: // LI
        return LimbView::HandDorsal;
    case 7: // SP
    case 9: // KI
        return LimbView::FootMedial;
    case 8:  // LR
    case 12: // ST
        return LimbView::FootDorsal;
    default: // BL, GB
        return LimbView::FootLateral;
    }
}

QString viewCaption(LimbView view) {
    switch (view) {
    case LimbView::HandPalmar:
        return u"掌侧"_s;
    case LimbView::HandDorsal:
        return u"手背"_s;
    case LimbView::FootDorsal:
        return u"足背"_s;
    case LimbView::FootMedial:
        return u"内侧"_s;
    case LimbView::FootLateral:
        return u"外侧"_s;
    }
    return {};
}

namespace {
LimbDrawing buildDrawing(LimbView view) {
    switch (view) {
    case LimbView::HandPalmar:
        return handPalmar();
    case LimbView::HandDorsal:
        return handDorsal();
    case LimbView::FootDorsal:
        return footDorsal();
    case LimbView::FootMedial:
        return footMedial();
    case LimbView::FootLateral:
        return footLateral();
    }
    return {};
}
} // namespace

const LimbDrawing &limbDrawing(LimbView view) {
    // Uniting the outlines is the costly part; the drawings never change.
    static const LimbDrawing drawings[] = {
        buildDrawing(LimbView::HandPalmar), buildDrawing(LimbView::HandDorsal),
        buildDrawing(LimbView::FootDorsal), buildDrawing(LimbView::FootMedial),
        buildDrawing(LimbView::FootLateral)};
    return drawings[static_cast<int>(view)];
}

QPointF sourcePointPosition(int m) {
    static const QPointF points[12] = {
        {38.5, 86.5}, // LU9 太渊: radial end of the wrist crease
        {50, 87.3},   // PC7 大陵: middle of the wrist crease
        {61.5, 86.5}, // HT7 神门: ulnar end of the wrist crease
        {27.5, 77},   // SI4 腕骨: ulnar edge, base of the fifth metacarpal
        {46.5, 85.5}, // SJ4 阳池: back of the wrist, beside its middle
        {65, 83},     // LI5 阳溪: radial side of the wrist below the thumb
        {74, 75},     // SP3 太白: behind the big toe joint, at the sole edge
        {63, 47},     // LR3 太冲: between the first and second metatarsals
        {21, 59},     // KI4 大钟: behind and below the medial malleolus
        {27, 75.5},   // BL65 束骨: behind the little toe joint, at the sole edge
        {62.5, 57},   // GB40 丘墟: in front of and below the lateral malleolus
        {54, 66},     // ST42 冲阳: highest point of the instep
    };
    return points[qBound(1, m, 12) - 1];
}

QPainterPath meridianCourse(int m) {
    switch (m) {
    case 1:
        return smoothOpen({{38, 104}, {38.5, 86.5}, {26, 66}, {14, 49}});
    case 2:
        return smoothOpen({{50, 104}, {50, 87.3}, {50, 62}, {45, 10}});
    case 3:
        return smoothOpen({{62, 104}, {61.5, 86.5}, {66, 60}, {69, 26}});
    case 4:
        return smoothOpen({{31, 27}, {28, 58}, {27.5, 77}, {31, 104}});
    case 5:
        return smoothOpen({{42.5, 15}, {45, 60}, {46.5, 85.5}, {47, 104}});
    case 6:
        return smoothOpen({{68, 17}, {66, 50}, {65, 83}, {63, 104}});
    case 7:
        return smoothOpen({{95, 74}, {74, 75}, {50, 70}, {33, 52}, {30, 20}, {30, -4}});
    case 8:
        return smoothOpen({{71, 8}, {63, 47}, {57, 78}, {52, 104}});
    case 9:
        return smoothOpen({{50, 80}, {30, 68}, {21, 59}, {24, 40}, {24, -4}});
    case 10:
        return smoothOpen({{3, 74}, {27, 75.5}, {60, 77}, {88, 70}, {84, 30}, {82, -4}});
    case 11:
        return smoothOpen({{14, 68}, {36, 62}, {62.5, 57}, {65, 30}, {65, -4}});
    case 12:
        return smoothOpen({{56, 10}, {55, 40}, {54, 66}, {50, 90}, {50, 104}});
    default:
        return {};
    }
}

} // namespace orlu
