#include "transfer/jetframes.h"

#include <cstring>

namespace orlu {

using namespace Qt::StringLiterals;
using jetwire::Frame;
using jetwire::Tag;

namespace {

quint64 little(const char *bytes, int size) {
    quint64 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | quint8(bytes[i]);
    return value;
}

} // namespace

bool isFrameKind(quint8 byte) {
    for (Frame kind : {Frame::File, Frame::Table, Frame::Row, Frame::End, Frame::Refusal}) {
        if (byte == quint8(kind))
            return true;
    }
    return false;
}

bool fitsWireKind(const QVariant &value, jetwire::ColumnKind kind) {
    if (value.isNull())
        return kind != jetwire::ColumnKind::Flag;
    switch (jetwire::tagOf(kind)) {
    case Tag::Integer:
        return value.typeId() == QMetaType::LongLong;
    case Tag::Real:
        return value.typeId() == QMetaType::Double;
    case Tag::Text:
        return value.typeId() == QMetaType::QString;
    case Tag::Bytes:
        return value.typeId() == QMetaType::QByteArray;
    case Tag::Flag:
        return value.typeId() == QMetaType::Bool;
    case Tag::Null:
        break;
    }
    return false;
}

quint32 bodyLength(const char (&header)[jetwire::HeaderSize]) {
    return quint32(little(header + 1, 4));
}

bool parseFrameBody(QByteArrayView body, QVariantList *values, QString *fault) {
    values->clear();
    const char *at = body.data();
    qsizetype left = body.size();
    auto take = [&](qsizetype n) {
        const char *was = at;
        at += n;
        left -= n;
        return was;
    };
    auto cutShort = [&] {
        *fault = u"a value cut short"_s;
        return false;
    };
    while (left > 0) {
        const auto tag = Tag(quint8(*take(1)));
        const qsizetype fixed = tag == Tag::Null ? 0 : tag == Tag::Flag ? 1 : 8;
        if (tag == Tag::Text || tag == Tag::Bytes) {
            if (left < 4)
                return cutShort();
            const quint64 length = little(take(4), 4);
            if (length > quint64(left))
                return cutShort();
            const char *data = take(qsizetype(length));
            if (tag == Tag::Text)
                values->append(QString::fromUtf8(data, qsizetype(length)));
            else
                values->append(QByteArray(data, qsizetype(length)));
            continue;
        }
        if (tag != Tag::Null && tag != Tag::Flag && tag != Tag::Integer && tag != Tag::Real) {
            *fault = u"unknown value tag %1"_s.arg(int(tag));
            return false;
        }
        if (left < fixed)
            return cutShort();
        const char *data = take(fixed);
        if (tag == Tag::Null) {
            values->append(QVariant());
        } else if (tag == Tag::Flag) {
            values->append(*data != 0);
        } else if (tag == Tag::Integer) {
            values->append(qint64(little(data, 8)));
        } else {
            const quint64 bits = little(data, 8);
            double real = 0;
            std::memcpy(&real, &bits, sizeof real);
            values->append(real);
        }
    }
    return true;
}

} // namespace orlu
