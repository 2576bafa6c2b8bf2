#include "analysis/referencetextbuilder.h"

#include "analysis/descramble.h"
#include "analysis/meridiandiagram.h"
#include "analysis/referencetextsource.h"
#include "storage/database.h"
#include "storage/schema.h"

#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringDecoder>
#include <QStringList>
#include <QVariant>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

bool fail(QString *error, const QString &message) {
    if (error)
        *error = message;
    return false;
}

bool readSource(const QString &sourceFile, QString *text, QString *error) {
    QFile f(sourceFile);
    if (!f.open(QIODevice::ReadOnly))
        return fail(error, u"无法读取参考文字来源: "_s + sourceFile);
    QStringDecoder decoder(QStringDecoder::Utf8);
    *text = decoder.decode(f.readAll());
    if (decoder.hasError())
        return fail(error, u"参考文字来源不是 UTF-8 文字: "_s + sourceFile);
    return true;
}

bool insertRecords(QSqlDatabase db, const QList<ReferenceRecord> &records, QString *error) {
    QStringList names{u"MKEY"_s};
    for (TextColumn c : textColumns())
        names << columnName(c);
    names << u"DtGpM"_s;

    Transaction transaction(db);
    if (!transaction.isActive())
        return fail(error, db.lastError().text());
    QSqlQuery q(db);
    if (!q.prepare(insertSql(u"KYMTDB"_s, names)))
        return fail(error, q.lastError().text());
    for (const ReferenceRecord &r : records) {
        q.addBindValue(r.key);
        for (TextColumn c : textColumns()) {
            if (!r.texts.contains(c)) {
                q.addBindValue(QVariant(QMetaType::fromType<QString>()));
                continue;
            }
            // Stored memos keep their lines joined by CR LF.
            QString text = r.texts.value(c);
            text.replace(u"\n"_s, u"\r\n"_s);
            bool encoded = false;
            const QByteArray gbk = toGbk(text, &encoded);
            if (!encoded)
                return fail(error,
                            u"记录 %1 栏位 %2 含有无法以 GBK 表示的字符"_s.arg(r.key).arg(columnName(c)));
            bool scrambled = false;
            const QString stored = scramble(
                gbk, static_cast<std::uint8_t>(referenceTextSeed(r.key, static_cast<int>(c))), &scrambled);
            if (!scrambled)
                return fail(error, u"记录 %1 栏位 %2 无法编码"_s.arg(r.key).arg(columnName(c)));
            q.addBindValue(stored);
        }
        const QByteArray picture = meridianDiagramPng(r.key);
        q.addBindValue(picture.isEmpty() ? QVariant(QMetaType::fromType<QByteArray>()) : QVariant(picture));
        if (!q.exec())
            return fail(error, q.lastError().text());
    }
    if (!transaction.commit())
        return fail(error, db.lastError().text());
    return true;
}

} // namespace

QString shippedReferenceTextSource() {
    return u":/orlu/reftexts/reftexts.txt"_s;
}

int referenceTextSeed(int key, int columnIndex) {
    return (key * 37 + columnIndex * 11 + 0x5A) & 0xFF;
}

bool buildReferenceTextDatabase(const QString &dbPath, const QString &sourceFile, QString *error) {
    QString source;
    if (!readSource(sourceFile, &source, error))
        return false;
    QList<ReferenceRecord> records;
    QString parseError;
    if (!parseReferenceTextSource(source, &records, &parseError))
        return fail(error, sourceFile + u": "_s + parseError);

    const QString temp = dbPath + u".building"_s;
    QFile::remove(temp);
    if (!createDatabaseFile(temp, SchemaKind::ReferenceTexts, error))
        return false;
    bool written = false;
    {
        Database db;
        if (db.open(temp, Database::Access::Shared, error)) {
            written = insertRecords(db.handle(), records, error);
            // An installation file is copied around whole: leave it in the plain journal mode.
            if (written)
                QSqlQuery(db.handle()).exec(u"PRAGMA journal_mode=DELETE"_s);
            db.close();
        }
    }
    if (!written || !replaceFile(temp, dbPath, error)) {
        QFile::remove(temp);
        QFile::remove(temp + u"-wal"_s);
        QFile::remove(temp + u"-shm"_s);
        return false;
    }
    return true;
}

} // namespace orlu
