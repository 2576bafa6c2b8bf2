#include "dataexport/exporttext.h"

#include <QByteArray>

#include <cstdio>

namespace orlu::exporttext {

namespace {

void appendDigits(Line &out, int value, int width) {
    char text[8];
    for (int i = width - 1; i >= 0; --i) {
        text[i] = static_cast<char>('0' + value % 10);
        value /= 10;
    }
    out.append(text, static_cast<std::size_t>(width));
}

} // namespace

void appendUtf8(Line &out, const QString &text) {
    const QByteArray utf8 = text.toUtf8();
    out.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
}

void appendIsoDateTime(Line &out, const QDate &d, const QTime &t) {
    if (d.year() < 0 || d.year() > 9999) { // not from any clock; written as it is
        char text[48];
        const int n = std::snprintf(text, sizeof text, "%d-%02d-%02dT%02d:%02d:%02d", d.year(), d.month(),
                                    d.day(), t.hour(), t.minute(), t.second());
        if (n > 0)
            out.append(text, static_cast<std::size_t>(n));
        return;
    }
    appendDigits(out, d.year(), 4);
    out += '-';
    appendDigits(out, d.month(), 2);
    out += '-';
    appendDigits(out, d.day(), 2);
    out += 'T';
    appendDigits(out, t.hour(), 2);
    out += ':';
    appendDigits(out, t.minute(), 2);
    out += ':';
    appendDigits(out, t.second(), 2);
}

} // namespace orlu::exporttext
