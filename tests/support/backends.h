#pragma once

#include "storage/database.h"
#include "storage/sqldialect.h"

#include <QString>
#include <QtTest>

// Storage tests run one body against both back ends: the rows of initTestCase_data()
// pick SQLite or the test server, whose connection the test script exports in
// ORLU_TEST_PG. Without a server the server rows are skipped, never passed.
namespace orlu::test {

// The global rows "sqlite" and "postgresql" (column "backend").
void addBackendRows();
void setCurrentBackend(Backend backend);
// The back end of the running row; SQLite in tests without the rows.
Backend currentBackend();
// The test server's connection, empty when there is none.
QString testServerConnection();

// A new, empty database on the test server, dropped (with whatever is still connected
// to it) when this goes.
class ScratchServerDatabase {
public:
    ScratchServerDatabase();
    ~ScratchServerDatabase();
    ScratchServerDatabase(const ScratchServerDatabase &) = delete;
    ScratchServerDatabase &operator=(const ScratchServerDatabase &) = delete;

    // Connection options that name the new database; empty when it could not be made.
    const QString &connection() const { return m_connection; }
    const QString &error() const { return m_error; }
    // Runs one statement as the server's administrator (stopping connections and the like).
    bool admin(const QString &sql);

private:
    QString m_name;
    QString m_connection;
    QString m_error;
};

// A fresh main register opened in `db`: a new file in `folder` (SQLite), or the four
// tables in `scratch` (server). Fails the test when it cannot be made.
void openEmptyRegister(Database &db, Backend backend, const QString &folder, ScratchServerDatabase *scratch);

} // namespace orlu::test

// For init(): takes the row's back end and skips a server row when there is no server.
#define ORLU_USE_BACKEND_OF_ROW()                                                                            \
    do {                                                                                                     \
        QFETCH_GLOBAL(int, backend);                                                                         \
        orlu::test::setCurrentBackend(orlu::Backend(backend));                                               \
        if (orlu::Backend(backend) == orlu::Backend::Postgres &&                                             \
            orlu::test::testServerConnection().isEmpty())                                                    \
            QSKIP("no PostgreSQL test server (ORLU_TEST_PG is not set)");                                    \
    } while (false)
