#include "cli/generatecommand.h"

#include "generator/registergenerator.h"
#include "cli/commandline.h"
#include "platform/privatefiles.h"
#include "core/programfolder.h"
#include "storage/database.h"
#include "storage/databasecheck.h"
#include "storage/databasefiles.h"
#include "storage/schema.h"
#include "storage/serverconnection.h"

#include <limits>

namespace orlu {

using namespace Qt::StringLiterals;

int runGenerateRegisterCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(
        u"generate-register"_s, QString(),
        u"Add N made-up subjects (numbers P0000001 ..., P defaults to T) and M measurements to the "
        u"main database (a file is created when missing), in one transaction, for load tests."_s);
    cl.addHomeOption();
    cl.addValueOption(u"database"_s, u"FILE|CONNECTION"_s,
                      u"The register to fill instead of the program folder's: a file, or a server as a "
                      u"postgresql:// URI or libpq keywords such as service=NAME."_s);
    cl.addValueOption(u"subjects"_s, u"N"_s, u"How many subjects (at least 1)."_s);
    cl.addValueOption(u"measurements"_s, u"M"_s, u"How many measurements (0 or more)."_s);
    cl.addValueOption(u"seed"_s, u"S"_s, u"Seed of the made-up values (default 1)."_s);
    cl.addValueOption(u"prefix"_s, u"P"_s, u"The start of every subject number (default T)."_s);
    cl.addFlag(u"one-by-one"_s,
               u"Add each subject with its share of the measurements in a transaction of its own, as a seat "
               u"does."_s);
    if (const std::optional<int> done = cl.parseOptionsOnly(args, out, err))
        return *done;
    if (cl.isSet(u"home"_s) && cl.isSet(u"database"_s))
        return cl.usageError(err, u"--home and --database exclude each other"_s);
    if (!cl.isSet(u"subjects"_s))
        return cl.usageError(err, u"--subjects N (at least 1) is required"_s);
    constexpr qint64 Most = std::numeric_limits<int>::max();
    const auto subjects = cl.integerValue(u"subjects"_s, 1, Most, err);
    if (!subjects)
        return ExitUsage;
    RegisterSize size;
    size.subjects = static_cast<int>(*subjects);
    if (cl.isSet(u"measurements"_s)) {
        const auto measurements = cl.integerValue(u"measurements"_s, 0, Most, err);
        if (!measurements)
            return ExitUsage;
        size.measurements = static_cast<int>(*measurements);
    }
    if (cl.isSet(u"prefix"_s))
        size.prefix = cl.value(u"prefix"_s);
    size.oneByOne = cl.isSet(u"one-by-one"_s);
    quint32 seed = 1;
    if (cl.isSet(u"seed"_s)) {
        const auto given = cl.integerValue(u"seed"_s, 0, std::numeric_limits<quint32>::max(), err);
        if (!given)
            return ExitUsage;
        seed = static_cast<quint32>(*given);
    }
    const QString database =
        cl.isSet(u"database"_s) ? cl.value(u"database"_s) : cl.folder().file(dbfile::Main);

    QString error;
    const bool server = isServerConnection(database);
    if (!server && pathKind(database) == PathKind::Absent &&
        !createDatabaseFile(database, SchemaKind::Main, &error, ExistingFile::Keep)) {
        err << "generate-register: " << database << ": " << error << '\n';
        return ExitFailed;
    }
    Database db;
    if (!openRegister(db, database, &error)) {
        err << "generate-register: " << database << ": " << error << '\n';
        return ExitFailed;
    }
    if (const QStringList findings = schemaFindings(db.handle(), SchemaKind::Main); !findings.isEmpty()) {
        err << "generate-register: " << db.path() << " is not a main database: " << findings.join(u"; "_s)
            << '\n';
        return ExitFailed;
    }
    if (!generateRegister(db.handle(), size, seed, &error)) {
        if (isLockedError(error))
            error = u"another program holds the register and kept it locked for %1 s; "
                    "nothing was added, try again when it is done (%2)"_s.arg(LockPatienceMs / 1000)
                        .arg(error);
        err << "generate-register: " << db.path() << ": " << error << '\n';
        return ExitFailed;
    }
    out << "added " << size.subjects << " subjects and " << size.measurements << " measurements to "
        << db.path() << '\n';
    return ExitOk;
}

} // namespace orlu
