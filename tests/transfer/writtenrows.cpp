#include "writtenrows.h"

#include <QCryptographicHash>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

namespace orlu::test {

using namespace Qt::StringLiterals;

namespace {

QString dataFile(const QString &name) {
    return qEnvironmentVariable("ORLU_TEST_DATA") + u"/data/"_s + name;
}

} // namespace

QString writtenAccessFile() {
    return dataFile(u"normal-v2000.mdb"_s);
}

QList<QJsonObject> writtenRows(const QString &table) {
    QFile file(dataFile(u"normal-v2000."_s + table + u".jsonl"_s));
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing rows of %s", qPrintable(table));
    QList<QJsonObject> rows;
    for (const QByteArray &line : file.readAll().split('\n')) {
        if (!line.isEmpty())
            rows << QJsonDocument::fromJson(line).object();
    }
    return rows;
}

QString mismatch(const QVariant &read, const QJsonValue &written) {
    const auto differs = [&] {
        return u"read %1 \"%2\", written %3"_s.arg(
            QString::fromLatin1(read.typeName()), read.toString(),
            QString::fromUtf8(QJsonDocument(QJsonArray{written}).toJson(QJsonDocument::Compact)));
    };
    switch (written.type()) {
    case QJsonValue::Null:
        return read.isNull() ? QString() : differs();
    case QJsonValue::Bool:
        return read.toBool() == written.toBool() ? QString() : differs();
    case QJsonValue::Double:
        return !read.isNull() && read.toDouble() == written.toDouble() ? QString() : differs();
    case QJsonValue::String:
        return !read.isNull() && read.toString() == written.toString() ? QString() : differs();
    case QJsonValue::Object: {
        const QByteArray bytes = read.toByteArray();
        const QByteArray sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        return !read.isNull() && bytes.size() == written[u"len"_s].toInteger() &&
                       sha == written[u"sha256"_s].toString().toLatin1()
                   ? QString()
                   : u"picture of %1 bytes"_s.arg(bytes.size());
    }
    default:
        return differs();
    }
}

} // namespace orlu::test
