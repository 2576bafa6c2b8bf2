#include "cli/matchcommand.h"

#include "analysis/analysis.h"
#include "analysis/analysiscommands.h"
#include "core/daycount.h"
#include "core/programfolder.h"
#include "courses/courserules.h"
#include "courses/coursestore.h"
#include "records/database.h"
#include "records/databasefiles.h"
#include "records/registergenerator.h"
#include "records/schema.h"

#include <QDate>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr int ExitUsage = 2;

int usage(QTextStream &err, const QString &message) {
    err << message << '\n';
    return ExitUsage;
}

} // namespace

int runMatchCommand(const QStringList &arguments, QTextStream &out, QTextStream &err) {
    QString error;
    const QStringList args = QStringList{u"match"_s} + arguments;
    const auto parsed = parseReadingArguments(args, {u"--courses"_s, u"--birth"_s}, &error);
    if (!parsed)
        return usage(err, error);
    const QString file = parsed->options.value(u"--courses"_s);
    if (file.isEmpty())
        return usage(err, u"match: --courses FILE is required"_s);
    double birthDate = 0;
    if (parsed->options.contains(u"--birth"_s)) {
        const QDate birth = QDate::fromString(parsed->options.value(u"--birth"_s), Qt::ISODate);
        if (!birth.isValid())
            return usage(err, u"match: --birth needs a date as YYYY-MM-DD"_s);
        birthDate = toDayCount(birth);
    }
    Database db;
    if (!db.open(file, Database::Access::ReadOnly, &error))
        return usage(err, u"match: "_s + error);
    const AnalysisResult analysis = analyse(correctedValues(parsed->readings), parsed->male);
    const auto names =
        matchCourseSet(db.handle(), matchInputs(analysis, birthDate, QDate::currentDate()), &error);
    if (!names)
        return usage(err, u"match: "_s + file + u": "_s + error);
    for (const QString &name : *names)
        out << name << '\n';
    return 0;
}

int runGenerateRegisterCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    QString database;
    RegisterSize size;
    quint32 seed = 1;
    bool haveSubjects = false;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args[i];
        if (i + 1 >= args.size())
            return usage(err, u"generate-register: "_s + a + u" needs a value"_s);
        const QString value = args[++i];
        bool ok = true;
        if (a == u"--home")
            database = ProgramFolder(value).file(dbfile::Main);
        else if (a == u"--database")
            database = value;
        else if (a == u"--subjects") {
            size.subjects = value.toInt(&ok);
            haveSubjects = ok;
        } else if (a == u"--measurements")
            size.measurements = value.toInt(&ok);
        else if (a == u"--seed")
            seed = value.toUInt(&ok);
        else
            return usage(err, u"generate-register: unknown option \""_s + a + u'"');
        if (!ok)
            return usage(err, u"generate-register: "_s + a + u" needs a number, not \""_s + value + u'"');
    }
    if (!haveSubjects || size.subjects < 1 || size.measurements < 0)
        return usage(err, u"generate-register: --subjects N (at least 1) is required"_s);
    if (database.isEmpty())
        database = ProgramFolder::fromEnvironment().file(dbfile::Main);

    QString error;
    if (!fileExists(database) && !createDatabaseFile(database, SchemaKind::Main, &error)) {
        err << "generate-register: " << error << '\n';
        return 1;
    }
    Database db;
    if (!db.open(database, Database::Access::Shared, &error) ||
        !generateRegister(db.handle(), size, seed, &error)) {
        err << "generate-register: " << database << ": " << error << '\n';
        return 1;
    }
    out << "added " << size.subjects << " subjects and " << size.measurements << " measurements to "
        << database << '\n';
    return 0;
}

} // namespace orlu
