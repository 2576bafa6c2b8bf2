#include "support/backends.h"

#include "storage/databasefiles.h"
#include "storage/schema.h"
#include "storage/serverconnection.h"

#include <QAtomicInt>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>

namespace orlu::test {

using namespace Qt::StringLiterals;

namespace {

Backend g_backend = Backend::Sqlite;

// Creating a database file waits for the disk several times; every register copies one made once.
QString emptyMainFile() {
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString p = dir.filePath(u"empty.mdb"_s);
        QString error;
        if (!createDatabaseFile(p, SchemaKind::Main, &error))
            qFatal("cannot create the test database: %s", qPrintable(error));
        return p;
    }();
    return path;
}

QString withDatabase(const QString &connection, const QString &dbname) {
    ConnectionOptions options = parseServerConnection(connection).value_or(ConnectionOptions{});
    options.removeIf([](const auto &o) { return o.first == u"dbname"_s; });
    options.append({u"dbname"_s, dbname});
    return connectOptionsString(options);
}

} // namespace

void addBackendRows() {
    QTest::addColumn<int>("backend");
    QTest::newRow("sqlite") << int(Backend::Sqlite);
    QTest::newRow("postgresql") << int(Backend::Postgres);
}

void setCurrentBackend(Backend backend) {
    g_backend = backend;
}

Backend currentBackend() {
    return g_backend;
}

QString testServerConnection() {
    return qEnvironmentVariable("ORLU_TEST_PG");
}

namespace {

// Making a database takes half a second; a finished test's database is emptied and reused.
QStringList &freeDatabases() {
    static QStringList names;
    return names;
}

void dropFreeDatabases() {
    for (const QString &name : std::as_const(freeDatabases())) {
        Database db;
        if (db.openServer(testServerConnection()))
            QSqlQuery(db.handle()).exec(u"DROP DATABASE IF EXISTS %1 WITH (FORCE)"_s.arg(name));
    }
    freeDatabases().clear();
}

} // namespace

ScratchServerDatabase::ScratchServerDatabase() {
    if (!freeDatabases().isEmpty()) {
        m_name = freeDatabases().takeLast();
        const QString connection = withDatabase(testServerConnection(), m_name);
        Database db;
        QSqlQuery q;
        if (db.openServer(connection, &m_error) &&
            (q = QSqlQuery(db.handle())).exec(u"SET client_min_messages = warning"_s) &&
            q.exec(u"DROP SCHEMA public CASCADE"_s) && q.exec(u"CREATE SCHEMA public"_s)) {
            m_connection = connection;
            return;
        }
    }
    static QAtomicInt counter;
    if (counter.loadRelaxed() == 0)
        qAddPostRoutine(dropFreeDatabases);
    m_name = u"orlu_t%1_%2"_s.arg(QCoreApplication::applicationPid()).arg(counter.fetchAndAddRelaxed(1));
    if (admin(u"DROP DATABASE IF EXISTS %1"_s.arg(m_name)) &&
        admin(u"CREATE DATABASE %1 TEMPLATE template0 ENCODING 'UTF8'"_s.arg(m_name)))
        m_connection = withDatabase(testServerConnection(), m_name);
}

ScratchServerDatabase::~ScratchServerDatabase() {
    if (m_connection.isEmpty())
        return;
    // Whatever a test left connected goes, so the next one starts alone.
    admin(u"SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '%1' AND pid <> "
          "pg_backend_pid()"_s.arg(m_name));
    freeDatabases().append(m_name);
}

bool ScratchServerDatabase::admin(const QString &sql) {
    Database db;
    if (!db.openServer(testServerConnection(), &m_error))
        return false;
    QSqlQuery q(db.handle());
    const bool ok = q.exec(sql);
    if (!ok)
        m_error = q.lastError().text();
    q = QSqlQuery();
    return ok;
}

void openEmptyRegister(Database &db, Backend backend, const QString &folder, ScratchServerDatabase *scratch) {
    QString error;
    if (backend == Backend::Postgres) {
        if (!scratch || scratch->connection().isEmpty())
            qFatal("no scratch database on the test server: %s",
                   qPrintable(scratch ? scratch->error() : QString()));
        if (!db.openServer(scratch->connection(), &error))
            qFatal("cannot open the scratch database: %s", qPrintable(error));
        QSqlDatabase handle = db.handle();
        if (!createSchema(handle, SchemaKind::Main, &error))
            qFatal("cannot create the register: %s", qPrintable(error));
        return;
    }
    const QString path = QDir(folder).filePath(u"orlu4.mdb"_s);
    if (!copyTemplateRegister(emptyMainFile(), path, &error) ||
        !db.open(path, Database::Access::Shared, &error))
        qFatal("cannot create the test database: %s", qPrintable(error));
    // Tests need no protection against power loss; waiting for the disk would only slow them.
    QSqlQuery(db.handle()).exec(u"PRAGMA synchronous=OFF"_s);
}

} // namespace orlu::test
