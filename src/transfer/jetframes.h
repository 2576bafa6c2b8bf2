#pragma once

#include "jetwire/jetwire.h"

#include <QByteArrayView>
#include <QVariantList>

namespace orlu {

// A frame of orlu-jet-reader's answer with its values: null, qint64 (an integer), double
// (a real), QString (a text), QByteArray (bytes) or bool (a flag).
struct JetFrame {
    jetwire::Frame kind = jetwire::Frame::End;
    QVariantList values;
};

// Whether `byte` opens a frame of a known kind.
bool isFrameKind(quint8 byte);

// The values of a frame's body. False, with the fault, when the body is not a sequence of
// whole values of known tags.
bool parseFrameBody(QByteArrayView body, QVariantList *values, QString *fault);

// Whether a value of a Row frame fits its column's kind: its tag is the kind's, and a
// flag is never null.
bool fitsWireKind(const QVariant &value, jetwire::ColumnKind kind);

// The length a frame header gives its body, not yet checked against jetwire::MaxBody.
quint32 bodyLength(const char (&header)[jetwire::HeaderSize]);

} // namespace orlu
