#include "dataexport/fhirjson.h"

#include "analysis/analysisjson.h"

#include <QDateTime>
#include <QTimeZone>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orlu::fhir {

using exporttext::appendUtf8;
using exporttext::Line;

void appendText(Line &out, const std::string &text) {
    out.append(text.data(), text.size());
}

void appendJsonText(Line &out, const QString &text) {
    appendUtf8(out, jsonString(text));
}

namespace {

// A CodeableConcept up to its closing brace.
void openCoding(Line &out, const char *system, const Concept &c) {
    out += "{\"coding\":[{\"system\":\"";
    out += system;
    out += "\",\"code\":\"";
    appendText(out, c.code);
    out += "\",\"display\":\"";
    appendText(out, c.display);
    out += "\"}]";
}

} // namespace

void appendCoding(Line &out, const char *system, const Concept &c) {
    openCoding(out, system, c);
    out += '}';
}

void appendConcept(Line &out, const char *system, const Concept &c, const std::string &text) {
    openCoding(out, system, c);
    out += ",\"text\":\"";
    appendText(out, text.empty() ? c.display : text);
    out += "\"}";
}

void appendUrn(Line &out, const QUuid &id) {
    char text[48] = "urn:uuid:";
    const QByteArray uuid = id.toByteArray(QUuid::WithoutBraces);
    std::memcpy(text + 9, uuid.constData(), 36);
    out.append(text, 45);
}

// Looked up once an hour of measuring time and zone: the zone rules change at most on the hour.
void appendOffset(Line &out, const QString &zone, const QDate &date, const QTime &time) {
    thread_local qint64 hourKey = std::numeric_limits<qint64>::min();
    thread_local QString hourZone;
    thread_local char text[16];
    const qint64 key = date.toJulianDay() * 24 + time.hour();
    if (key != hourKey || zone != hourZone) {
        const int offset =
            QDateTime(date, QTime(time.hour(), 0), QTimeZone(zone.toLatin1())).offsetFromUtc() / 60;
        std::snprintf(text, sizeof text, "%c%02d:%02d", offset < 0 ? '-' : '+', std::abs(offset) / 60,
                      std::abs(offset) % 60);
        hourKey = key;
        hourZone = zone;
    }
    out.append(text, 6);
}

} // namespace orlu::fhir
