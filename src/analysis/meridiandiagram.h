#pragma once

#include <QByteArray>
#include <QImage>

// The diagram of a meridian's course stored with its reference record: a front
// and a back view of a body outline with the course drawn on both sides and
// the measuring point marked. Drawn with shapes only (no text), so it renders
// without a font or a display.
namespace orlu {

inline constexpr int DiagramWidth = 400;
inline constexpr int DiagramHeight = 500;

// Meridian m = 1..12; a null image for any other m.
QImage meridianDiagram(int m);
// The diagram as PNG bytes, the form kept in column DtGpM.
QByteArray meridianDiagramPng(int m);

} // namespace orlu
