#pragma once

#include <QJsonObject>
#include <QList>
#include <QString>
#include <QVariant>

// The Access file written by another Access library, "normal-v2000.mdb" in the test
// data, and the rows that library wrote into it.
namespace orlu::test {

QString writtenAccessFile();

// The rows of `table` as written: one JSON object a line in "normal-v2000.TABLE.jsonl"
// (dates as day counts, pictures as their length and SHA-256, flags as booleans).
QList<QJsonObject> writtenRows(const QString &table);

// Empty when a cell read back is the value written: text exactly (an empty text is
// not a null), numbers to the bit, a picture by its length and SHA-256.
QString mismatch(const QVariant &read, const QJsonValue &written);

} // namespace orlu::test
