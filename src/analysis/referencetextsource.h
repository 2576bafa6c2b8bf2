#pragma once

#include "analysis/textcolumns.h"

#include <QList>
#include <QMap>
#include <QString>

// The readable source of the reference texts, a UTF-8 file:
//
//   # a comment (only at the start of a line)
//   @record 1 肺经            one record per key 1..17; text after the key is a note
//   @DtEA1 阴经，属里          a one-line text on the column's own line
//   @DtMA1                    or the lines that follow, up to the next '@' line
//   第一行
//   第二行
//
// Blank lines at the start and end of a text are dropped; a line that must
// begin with '@', '#' or '\' is written with a leading '\'.
namespace orlu {

struct ReferenceRecord {
    int key = 0;
    QString note;
    QMap<TextColumn, QString> texts;
};

// Parses and checks the source: every key 1..17 once, each record with all the
// columns its kind uses and no others. Returns false with a message naming the
// line on any fault.
bool parseReferenceTextSource(const QString &source, QList<ReferenceRecord> *records, QString *error);

} // namespace orlu
