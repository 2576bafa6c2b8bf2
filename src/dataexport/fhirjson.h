#pragma once

#include "dataexport/exporttext.h"
#include "dataexport/fhirconcepts.h"

#include <QDate>
#include <QString>
#include <QTime>
#include <QUuid>

#include <string>

// The pieces of FHIR JSON that the resources of a bundle share.
namespace orlu::fhir {

void appendText(exporttext::Line &out, const std::string &text);
// A text given by the operator, quoted and escaped.
void appendJsonText(exporttext::Line &out, const QString &text);
// A concept a reader understands without looking its code up: the code with its display.
void appendCoding(exporttext::Line &out, const char *system, const Concept &c);
// The same with a text: the display, or one of its own.
void appendConcept(exporttext::Line &out, const char *system, const Concept &c, const std::string &text = {});
// "urn:uuid:…", a resource's fullUrl.
void appendUrn(exporttext::Line &out, const QUuid &id);
// The offset from UTC of a zone (IANA name or "UTC+08:00") at a local moment, as FHIR writes
// it ("+08:00").
void appendOffset(exporttext::Line &out, const QString &zone, const QDate &date, const QTime &time);

} // namespace orlu::fhir
