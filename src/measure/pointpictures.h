#pragma once

#include "core/channels.h"

#include <QImage>
#include <QString>

// The 72 point pictures: for each channel and each of the three picture styles
// a drawing of the hand or foot with the source point marked and named. The
// set-up step writes them into the picture folder; the measurement window loads
// them from there.
namespace orlu {

constexpr int PointPictureWidth = 200;
constexpr int PointPictureHeight = 200;

// A photo is shaded, a drawing has lines only, a composite is shaded with
// outlines, the meridian's course and a caption band.
QImage renderPointPicture(PointPictureStyle style, int channel);

// Writes "PLh1.bmp" … "CRf6.bmp" into dataFolder (created when missing), each
// file replaced whole. Needs a QGuiApplication (the offscreen platform will do).
// False with a message in `error` when a file cannot be written.
bool buildPointPictures(const QString &dataFolder, QString *error);

} // namespace orlu
