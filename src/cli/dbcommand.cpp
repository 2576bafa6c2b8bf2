#include "cli/dbcommand.h"

#include "records/database.h"
#include "records/databasefiles.h"
#include "records/registercopy.h"
#include "records/schema.h"
#include "records/serverconnection.h"
#include "records/serverschema.h"

#include <QCommandLineParser>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

int usage(QTextStream &err, const QString &text) {
    err << "db: " << text << '\n';
    return 2;
}

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
    if (!fileExists(where) && !createDatabaseFile(where, SchemaKind::Main, error))
        return false;
    return db.open(where, Database::Access::Shared, error);
}

int runInit(const QString &where, QTextStream &out, QTextStream &err) {
    QString error;
    if (!isServerConnection(where)) {
        if (fileExists(where)) {
            out << "register already in place: " << where << '\n';
            return 0;
        }
        if (!createDatabaseFile(where, SchemaKind::Main, &error)) {
            err << "db init: " << error << '\n';
            return 1;
        }
        out << "register created: " << where << '\n';
        return 0;
    }
    Database db;
    if (!db.openServer(where, &error)) {
        err << "db init: " << error << '\n';
        return 1;
    }
    switch (initServerRegister(db.handle(), &error)) {
    case InitResult::Created:
        out << "register created on " << db.path() << " (schema version " << SchemaVersion << ", role "
            << OperatorRole << ")\n";
        return 0;
    case InitResult::AlreadyThere:
        out << "register already set up on " << db.path() << "; nothing changed\n";
        return 0;
    case InitResult::Failed:
        break;
    }
    err << "db init: " << error << '\n';
    return 1;
}

int runCopy(const QString &fromWhere, const QString &toWhere, QTextStream &out, QTextStream &err) {
    QString error;
    Database from;
    if (!openRegister(from, fromWhere, &error)) {
        err << "db copy: " << fromWhere << ": " << error << '\n';
        return 1;
    }
    Database to;
    if (!openTarget(to, toWhere, &error)) {
        err << "db copy: " << toWhere << ": " << error << '\n';
        return 1;
    }
    RegisterCounts counts{};
    if (!copyRegister(from.handle(), to.handle(), &counts, &error)) {
        err << "db copy: " << error << '\n';
        return 1;
    }
    out << "copied " << counts[0] << " subjects, " << counts[1] << " measurements, " << counts[2]
        << " courses, " << counts[3] << " conditions to " << to.path() << '\n';
    return 0;
}

} // namespace

int runDbCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Set up a register and move registers between a file and a server."_s);
    parser.addPositionalArgument(u"action"_s, u"init or copy"_s);
    const QCommandLineOption database(u"database"_s, u"The register to set up (db init)."_s, u"CONNECTION"_s);
    const QCommandLineOption from(u"from"_s, u"The register to copy (db copy)."_s, u"FILE|CONNECTION"_s);
    const QCommandLineOption to(u"to"_s, u"The empty register to copy into (db copy)."_s,
                                u"FILE|CONNECTION"_s);
    const QCommandLineOption help(QStringList{u"h"_s, u"help"_s}, u"This text."_s);
    parser.addOptions({database, from, to, help});
    if (!parser.parse(QStringList{u"orlu-cli db"_s} + args))
        return usage(err, parser.errorText());
    if (parser.isSet(help)) {
        out << parser.helpText();
        return 0;
    }
    const QStringList actions = parser.positionalArguments();
    if (actions.size() != 1)
        return usage(err, u"say init or copy"_s);
    if (actions.first() == u"init"_s) {
        if (!parser.isSet(database) || parser.isSet(from) || parser.isSet(to))
            return usage(err, u"init takes --database CONNECTION"_s);
        return runInit(parser.value(database), out, err);
    }
    if (actions.first() == u"copy"_s) {
        if (!parser.isSet(from) || !parser.isSet(to) || parser.isSet(database))
            return usage(err, u"copy takes --from and --to"_s);
        return runCopy(parser.value(from), parser.value(to), out, err);
    }
    return usage(err, u"unknown action \""_s + actions.first() + u"\""_s);
}

} // namespace orlu
