#include "cli/dbcommand.h"

#include "cli/commandline.h"
#include "storage/database.h"
#include "storage/databasefiles.h"
#include "storage/registercopy.h"
#include "storage/registeridentity.h"
#include "storage/schema.h"
#include "storage/serverconnection.h"
#include "storage/serverschema.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// Opens a register to write into: a server register must have been set up by "db init";
// a file that does not exist yet is created empty.
bool openTarget(Database &db, const QString &where, QString *error) {
    if (isServerConnection(where)) {
        if (!db.openServer(where, error))
            return false;
        if (serverSchemaVersion(db.handle()) != SchemaVersion) {
            *error = u"the server database holds no register; run \"orlu-cli db init\" first"_s;
            return false;
        }
        return true;
    }
    if (!fileExists(where) && !createDatabaseFile(where, SchemaKind::Main, error, ExistingFile::Keep))
        return false;
    return db.open(where, Database::Access::Shared, error);
}

int runInit(const QString &where, QTextStream &out, QTextStream &err) {
    QString error;
    if (!isServerConnection(where)) {
        if (fileExists(where)) {
            out << "register already in place: " << where << '\n';
            return ExitOk;
        }
        if (!createDatabaseFile(where, SchemaKind::Main, &error, ExistingFile::Keep)) {
            err << "db init: " << error << '\n';
            return ExitFailed;
        }
        out << "register created: " << where << '\n';
        return ExitOk;
    }
    Database db;
    if (!db.openServer(where, &error)) {
        err << "db init: " << error << '\n';
        return ExitFailed;
    }
    switch (initServerRegister(db.handle(), &error)) {
    case InitResult::Created:
        out << "register created on " << db.path() << " (schema version " << SchemaVersion << ", role "
            << OperatorRole << ")\n";
        return ExitOk;
    case InitResult::Upgraded:
        out << "register on " << db.path() << " brought to schema version " << SchemaVersion << '\n';
        return ExitOk;
    case InitResult::AlreadyThere:
        out << "register already set up on " << db.path() << "; nothing changed\n";
        return ExitOk;
    case InitResult::Failed:
        break;
    }
    err << "db init: " << error << '\n';
    return ExitFailed;
}

int runCopy(const QString &fromWhere, const QString &toWhere, QTextStream &out, QTextStream &err) {
    QString error;
    Database from;
    if (!openRegister(from, fromWhere, &error)) {
        err << "db copy: " << fromWhere << ": " << error << '\n';
        return ExitFailed;
    }
    Database to;
    if (!openTarget(to, toWhere, &error)) {
        err << "db copy: " << toWhere << ": " << error << '\n';
        return ExitFailed;
    }
    RegisterCounts counts{};
    if (!copyRegister(from.handle(), to.handle(), &counts, &error)) {
        err << "db copy: " << error << '\n';
        return ExitFailed;
    }
    out << "copied " << counts[0] << " subjects, " << counts[1] << " measurements, " << counts[2]
        << " courses, " << counts[3] << " conditions to " << to.path() << '\n';
    return ExitOk;
}

// Shows the register's zone, the zone of the measurements stored without one of their own;
// with a zone, sets it first.
int runZone(const QString &where, const QString &zone, QTextStream &out, QTextStream &err) {
    QString error;
    Database db;
    if (!openRegister(db, where, &error)) {
        err << "db zone: " << where << ": " << error << '\n';
        return ExitFailed;
    }
    if (!zone.isEmpty() && !setRegisterTimeZone(db.handle(), zone, &error)) {
        err << "db zone: " << error << '\n';
        return ExitFailed;
    }
    out << registerTimeZone(db.handle()) << '\n';
    return ExitOk;
}

} // namespace

int runDbCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(
        u"db"_s, u"init|copy|zone [ZONE]"_s,
        u"init: set up the register on a server (--database). copy: move a whole register between a "
        u"file and a server (--from, --to). zone: show the register's time zone (--database), the zone "
        u"of the measurements stored without one of their own, or set it to ZONE (an IANA name such as "
        u"Asia/Shanghai, or UTC+08:00)."_s);
    cl.addValueOption(u"database"_s, u"CONNECTION"_s,
                      u"The register to set up (db init) or of the zone (db zone)."_s);
    cl.addValueOption(u"from"_s, u"FILE|CONNECTION"_s, u"The register to copy (db copy)."_s);
    cl.addValueOption(u"to"_s, u"FILE|CONNECTION"_s, u"The empty register to copy into (db copy)."_s);
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const QStringList actions = cl.positional();
    const bool zone = !actions.isEmpty() && actions.first() == u"zone"_s;
    if (actions.isEmpty() || actions.size() > (zone ? 2 : 1))
        return cl.usageError(err, u"say init, copy or zone"_s);
    const bool database = cl.isSet(u"database"_s);
    const bool from = cl.isSet(u"from"_s);
    const bool to = cl.isSet(u"to"_s);
    if (actions.first() == u"init"_s) {
        if (!database || from || to)
            return cl.usageError(err, u"init takes --database CONNECTION"_s);
        return runInit(cl.value(u"database"_s), out, err);
    }
    if (zone) {
        if (!database || from || to)
            return cl.usageError(err, u"zone takes --database CONNECTION"_s);
        return runZone(cl.value(u"database"_s), actions.value(1), out, err);
    }
    if (actions.first() == u"copy"_s) {
        if (!from || !to || database)
            return cl.usageError(err, u"copy takes --from and --to"_s);
        return runCopy(cl.value(u"from"_s), cl.value(u"to"_s), out, err);
    }
    return cl.usageError(err, u"unknown action \""_s + actions.first() + u"\""_s);
}

} // namespace orlu
