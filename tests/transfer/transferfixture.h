#pragma once

#include "storage/database.h"

#include <QSqlDatabase>
#include <QString>
#include <QTemporaryDir>
#include <QVariantMap>

// Register files for import, export and conversion tests.
namespace orlu::test {

// A new file holding the empty register tables of today's layout (copied from one made once).
void makeRegisterFile(const QString &path);

// Appends one row; columns not named keep their defaults.
qint64 insertRow(QSqlDatabase db, const QString &table, const QVariantMap &values);

// Every row of a table, every column, in key order, as one text: equal texts mean
// the table did not change.
QString tableDigest(QSqlDatabase db, const QString &table);
// The four register tables' digests together.
QString registerDigest(QSqlDatabase db);

// A file opened (or made, when missing) for writing by a test, closed when the object goes.
class OpenFile {
public:
    explicit OpenFile(const QString &path);
    QSqlDatabase db() const { return m_db.handle(); }
    void exec(const QString &sql) const;

private:
    Database m_db;
};

// Stands in for orlu-jet-reader while it lives: a shell script running `body` (with the
// reader's arguments as "$@"), to play a reader that crashes, hangs or answers wrongly.
class FakeJetReader {
public:
    explicit FakeJetReader(const QByteArray &body);
    ~FakeJetReader();
    FakeJetReader(const FakeJetReader &) = delete;
    FakeJetReader &operator=(const FakeJetReader &) = delete;

    // A file in the script's folder, for answers it sends with cat.
    QString file(const QString &name) const { return m_dir.filePath(name); }

private:
    QTemporaryDir m_dir;
};

} // namespace orlu::test
