#include "measure/pointpictures.h"

#include "core/channels.h"
#include "platform/outputfile.h"
#include "measure/limbgeometry.h"

#include <QBuffer>
#include <QDir>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr double Margin = 6.0;

struct PictureSubject {
    int channel;
    int meridian;
    bool right;
    LimbDrawing drawing;
    QPointF point;
    QPainterPath course;
};

PictureSubject subjectOf(int channel) {
    PictureSubject s;
    s.channel = channel;
    s.meridian = meridianOfChannel(channel);
    s.right = sideOfChannel(channel) == Side::Right;
    s.drawing = limbDrawing(viewOfMeridian(s.meridian));
    s.point = sourcePointPosition(s.meridian);
    s.course = meridianCourse(s.meridian);
    if (s.right) {
        s.drawing.outline = mirrored(s.drawing.outline);
        s.drawing.creases = mirrored(s.drawing.creases);
        s.drawing.nails = mirrored(s.drawing.nails);
        s.drawing.bumps = mirrored(s.drawing.bumps);
        s.point = mirrored(s.point);
        s.course = mirrored(s.course);
    }
    return s;
}

QFont labelFont(int pixels, bool bold = false) {
    QFont f(u"Noto Sans CJK SC"_s);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

// Maps the view box onto the picture, leaving `bottom` pixels free below.
QTransform viewTransform(double bottom = 0) {
    const double size = qMin(PointPictureWidth - 2 * Margin, PointPictureHeight - 2 * Margin - bottom);
    QTransform t;
    t.translate((PointPictureWidth - size) / 2.0, Margin);
    t.scale(size / ViewBoxSize, size / ViewBoxSize);
    return t;
}

// The point's name in a small box beside it, on the side with more room.
void drawPointLabel(QPainter &p, QPointF at, const QString &text, const QColor &ink, const QColor &paper,
                    const QColor &edge) {
    const QFont f = labelFont(12, true);
    p.setFont(f);
    const QFontMetricsF fm(f);
    const QSizeF box(fm.horizontalAdvance(text) + 8, fm.height() + 2);
    const bool toLeft = at.x() > PointPictureWidth / 2.0;
    QPointF topLeft(toLeft ? at.x() - 16 - box.width() : at.x() + 16, at.y() - 30 - box.height() / 2.0);
    topLeft.setX(qBound(2.0, topLeft.x(), PointPictureWidth - box.width() - 2));
    topLeft.setY(qBound(2.0, topLeft.y(), PointPictureHeight - box.height() - 2));
    const QRectF r(topLeft, box);
    p.setPen(QPen(edge, 1));
    const QPointF anchor(toLeft ? r.right() : r.left(), r.center().y());
    p.drawLine(anchor, at);
    p.setBrush(paper);
    p.drawRoundedRect(r, 3, 3);
    p.setPen(ink);
    p.drawText(r, Qt::AlignCenter, text);
}

void paintSkin(QPainter &p, const PictureSubject &s, const QTransform &view) {
    const QPainterPath outline = view.map(s.drawing.outline);
    // Soft shadow: the outline offset and spread in a few faint layers.
    p.save();
    p.translate(3, 4);
    p.setPen(Qt::NoPen);
    for (int i = 4; i >= 1; --i) {
        p.setPen(QPen(QColor(40, 30, 20, 14), i * 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(QColor(40, 30, 20, 12));
        p.drawPath(outline);
    }
    p.restore();

    const QRectF box = outline.boundingRect();
    QLinearGradient skin(box.topLeft(), box.bottomRight());
    skin.setColorAt(0.0, QColor(246, 212, 186));
    skin.setColorAt(0.55, QColor(232, 180, 146));
    skin.setColorAt(1.0, QColor(205, 146, 112));
    p.setPen(Qt::NoPen);
    p.setBrush(skin);
    p.drawPath(outline);

    p.save();
    p.setClipPath(outline);
    // Rounded form: darker towards the rim, a highlight on the upper left.
    for (int i = 0; i < 4; ++i) {
        p.setPen(QPen(QColor(150, 90, 60, 26), 14 - i * 3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setBrush(Qt::NoBrush);
        p.drawPath(outline);
    }
    QRadialGradient light(box.left() + box.width() * 0.35, box.top() + box.height() * 0.3, box.width() * 0.6);
    light.setColorAt(0, QColor(255, 246, 236, 110));
    light.setColorAt(1, QColor(255, 246, 236, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(light);
    p.drawRect(box);
    const QPainterPath bumps = view.map(s.drawing.bumps);
    p.setBrush(QColor(255, 240, 225, 60));
    p.drawPath(bumps);
    p.setPen(QPen(QColor(160, 100, 70, 60), 1.2));
    p.setBrush(Qt::NoBrush);
    p.translate(0.6, 0.8);
    p.drawPath(bumps);
    p.restore();
}

void paintDetails(QPainter &p, const PictureSubject &s, const QTransform &view, const QColor &crease,
                  const QColor &nailFill, const QColor &nailEdge, double width) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(crease, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(view.map(s.drawing.creases));
    p.setPen(QPen(nailEdge, width));
    p.setBrush(nailFill);
    p.drawPath(view.map(s.drawing.nails));
}

QString pointName(const PictureSubject &s) {
    return meridian(s.meridian).sourcePoint;
}

// Style 1: a shaded rendering on a studio background.
void paintPhoto(QPainter &p, const PictureSubject &s) {
    QLinearGradient bg(0, 0, 0, PointPictureHeight);
    bg.setColorAt(0, QColor(236, 241, 245));
    bg.setColorAt(1, QColor(196, 207, 216));
    p.fillRect(QRectF(0, 0, PointPictureWidth, PointPictureHeight), bg);
    const QTransform view = viewTransform();
    paintSkin(p, s, view);
    paintDetails(p, s, view, QColor(168, 108, 80, 170), QColor(248, 222, 212), QColor(196, 150, 135), 1.1);

    const QPointF at = view.map(s.point);
    QRadialGradient glow(at, 11);
    glow.setColorAt(0, QColor(255, 40, 30, 200));
    glow.setColorAt(1, QColor(255, 40, 30, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(glow);
    p.drawEllipse(at, 11, 11);
    p.setPen(QPen(Qt::white, 1.5));
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(at, 3.8, 3.8);
    drawPointLabel(p, at, pointName(s), QColor(90, 20, 10), QColor(255, 255, 255, 200), QColor(120, 40, 30));
}

// Style 2: black outlines on white, the point as a target.
void paintLineDrawing(QPainter &p, const PictureSubject &s) {
    p.fillRect(QRectF(0, 0, PointPictureWidth, PointPictureHeight), Qt::white);
    const QTransform view = viewTransform();
    p.setPen(QPen(Qt::black, 1.7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(view.map(s.drawing.outline));
    paintDetails(p, s, view, QColor(70, 70, 70), Qt::white, QColor(40, 40, 40), 0.9);

    const QPointF at = view.map(s.point);
    p.setPen(QPen(QColor(210, 0, 0), 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 6.5, 6.5);
    p.drawLine(at - QPointF(10, 0), at - QPointF(3, 0));
    p.drawLine(at + QPointF(3, 0), at + QPointF(10, 0));
    p.drawLine(at - QPointF(0, 10), at - QPointF(0, 3));
    p.drawLine(at + QPointF(0, 3), at + QPointF(0, 10));
    p.setBrush(QColor(210, 0, 0));
    p.drawEllipse(at, 1.6, 1.6);
    drawPointLabel(p, at, pointName(s), Qt::black, Qt::white, Qt::black);
    p.setPen(QPen(QColor(60, 60, 60), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(0.5, 0.5, PointPictureWidth - 1, PointPictureHeight - 1));
}

// Style 3: shaded limb with outlines, the meridian's course through the point
// and a caption band naming side, limb, view and meridian.
void paintComposite(QPainter &p, const PictureSubject &s) {
    constexpr double Band = 30;
    p.fillRect(QRectF(0, 0, PointPictureWidth, PointPictureHeight), QColor(251, 247, 238));
    p.setPen(QPen(QColor(232, 224, 206), 1));
    for (int x = 10; x < PointPictureWidth; x += 20)
        p.drawLine(QPointF(x, 0), QPointF(x, PointPictureHeight - Band));
    for (int y = 10; y < PointPictureHeight - Band; y += 20)
        p.drawLine(QPointF(0, y), QPointF(PointPictureWidth, y));

    const QTransform view = viewTransform(Band - Margin);
    paintSkin(p, s, view);
    p.setPen(QPen(QColor(122, 74, 50), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(view.map(s.drawing.outline));
    paintDetails(p, s, view, QColor(122, 74, 50, 150), QColor(250, 228, 220), QColor(122, 74, 50), 0.9);

    const bool yin = meridian(s.meridian).organ == OrganType::Yin;
    const QColor courseColour = yin ? QColor(30, 80, 190) : QColor(10, 130, 70);
    p.save();
    p.setClipRect(QRectF(0, 0, PointPictureWidth, PointPictureHeight - Band));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(courseColour, 2.2, Qt::DashLine, Qt::RoundCap));
    p.drawPath(view.map(s.course));
    p.restore();

    const QPointF at = view.map(s.point);
    p.setPen(QPen(QColor(220, 0, 0, 120), 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(at, 9, 9);
    p.setPen(QPen(Qt::white, 1.4));
    p.setBrush(QColor(220, 0, 0));
    p.drawEllipse(at, 4, 4);
    drawPointLabel(p, at, pointName(s), QColor(90, 20, 10), QColor(255, 252, 240, 230), courseColour);

    p.setFont(labelFont(11));
    p.setPen(QColor(110, 100, 80));
    p.drawText(QRectF(6, 3, 60, 16), Qt::AlignLeft | Qt::AlignVCenter,
               viewCaption(viewOfMeridian(s.meridian)));

    const QRectF band(0, PointPictureHeight - Band, PointPictureWidth, Band);
    p.fillRect(band, QColor(30, 70, 80));
    p.setFont(labelFont(13, true));
    p.setPen(Qt::white);
    const QString side = limbSideLabel(s.channel).remove(u' ');
    p.drawText(band.adjusted(8, 0, -8, 0), Qt::AlignLeft | Qt::AlignVCenter, side);
    p.setFont(labelFont(12));
    p.drawText(band.adjusted(8, 0, -8, 0), Qt::AlignRight | Qt::AlignVCenter,
               QString(meridian(s.meridian).fullName).remove(u' '));
}

} // namespace

QImage renderPointPicture(PointPictureStyle style, int channel) {
    QImage image(PointPictureWidth, PointPictureHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const PictureSubject s = subjectOf(channel);
    switch (style) {
    case PointPictureStyle::Drawing:
        paintLineDrawing(p, s);
        break;
    case PointPictureStyle::Composite:
        paintComposite(p, s);
        break;
    case PointPictureStyle::Photo:
        paintPhoto(p, s);
        break;
    }
    return image;
}

bool buildPointPictures(const QString &dataFolder, QString *error) {
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        return fail(u"绘制测定点图示需要图形环境 (QGuiApplication)"_s);
    if (!QDir().mkpath(dataFolder))
        return fail(u"无法建立图示文件夹 "_s + QDir::toNativeSeparators(dataFolder));
    for (PointPictureStyle style : PointPictureStyles) {
        for (int c = 1; c <= ChannelCount; ++c) {
            const QString path = QDir(dataFolder).filePath(pointPictureName(style, c));
            QByteArray bitmap;
            QBuffer buffer(&bitmap);
            QString why;
            if (!buffer.open(QIODevice::WriteOnly) || !renderPointPicture(style, c).save(&buffer, "BMP") ||
                !writeOutputFile(path, bitmap, &why))
                return fail(u"无法写入测定点图示 "_s + QDir::toNativeSeparators(path) + u": "_s + why);
        }
    }
    return true;
}

} // namespace orlu
