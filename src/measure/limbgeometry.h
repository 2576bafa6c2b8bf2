#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QString>

// The drawings behind the point pictures: outlines and details of a hand or
// foot seen from one side, in a 100 x 100 view box (y downwards), always of
// the left limb; the right limb is its mirror image.
namespace orlu {

enum class LimbView {
    HandPalmar,  // palm towards the viewer, fingers up, thumb on the left
    HandDorsal,  // back of the hand, fingers up, thumb on the right
    FootDorsal,  // top of the foot, toes up, big toe on the right
    FootMedial,  // inner side, toes to the right
    FootLateral, // outer side, toes to the left
};

struct LimbDrawing {
    QPainterPath outline;
    QPainterPath creases; // skin folds, joints, tendons: stroked
    QPainterPath nails;   // filled and stroked
    QPainterPath bumps;   // malleoli, knuckles: shaded, not outlined
};

constexpr double ViewBoxSize = 100.0;

LimbView viewOfMeridian(int m);
// Caption of the view ("掌侧", "手背", "足背", "内侧", "外侧").
QString viewCaption(LimbView view);
const LimbDrawing &limbDrawing(LimbView view);
// Where the source point of meridian m lies in its view, for the left limb.
QPointF sourcePointPosition(int m);
// A stretch of the meridian's course through its source point, in the same view.
QPainterPath meridianCourse(int m);

// The mirror image across the vertical centre line of the view box.
QPainterPath mirrored(const QPainterPath &path);
QPointF mirrored(QPointF p);

} // namespace orlu
