#pragma once

#include "storage/database.h"
#include "records/recordcontext.h"
#include "records/recordtypes.h"
#include "support/backends.h"
#include "support/scriptedprompter.h"
#include "support/temphome.h"
#include "support/virtualtime.h"

#include <QList>
#include <QString>

#include <memory>

namespace orlu::test {

// A subject with only a number and a name.
inline Subject subjectOf(const QString &number, const QString &name = {}) {
    Subject s;
    s.number = number;
    s.name = name;
    return s;
}

// A main database in a temporary program folder (or, in a server row, a scratch
// database on the test server) with the context the record windows take: scripted
// message boxes, recorded tones, virtual time in December 2026.
class RecordFixture {
public:
    RecordFixture();

    QSqlDatabase db() const { return database.handle(); }
    Backend backend() const { return database.backend(); }
    // Where another seat finds the same register: the file, or the server connection.
    QString location() const { return server ? server->connection() : database.path(); }
    qint64 addSubject(const QString &number, const QString &name, bool male = true, double birth = 0,
                      const QString &address = {}, const QString &telephone = {});
    qint64 addMeasurement(const QString &number, double kydate, double value = 10.0, bool high = false,
                          const QString &memo = {});
    int rows(const QString &table, const QString &where = {}) const;
    // Makes every statement of `sql` kind fail, as a fault in the middle of a change would.
    // `triggerBody` is "BEFORE INSERT ON KYDATA" and the like; `when` a condition on NEW/OLD.
    void failOn(const QString &triggerBody, const QString &when = {});

    TempHome home;
    std::unique_ptr<ScratchServerDatabase> server; // server rows only
    Database database;
    CurrentMeasurement current;
    SubjectOrder subjectOrder;
    ScriptedPrompter prompter;
    VirtualTime time;
    QList<int> tones;
    RecordContext context;
};

} // namespace orlu::test
