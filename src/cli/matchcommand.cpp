#include "cli/matchcommand.h"

#include "analysis/analysis.h"
#include "cli/commandline.h"
#include "core/daycount.h"
#include "courses/courserules.h"
#include "courses/coursestore.h"
#include "storage/database.h"

#include <QDate>

namespace orlu {

using namespace Qt::StringLiterals;

int runMatchCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    CommandLine cl(
        u"match"_s, u"V1 .. V24"_s,
        u"Print the names of the courses in FILE (any file with the course tables: the main "
        u"database, orluMCn.mdb, a transfer file) that apply to the analysis of the 24 plain "
        u"readings, in matching order, with today's date for the age (no --birth: birth date 0)."_s);
    cl.addValueOption(u"courses"_s, u"FILE"_s, u"The file that holds the courses."_s);
    cl.addValueOption(u"birth"_s, u"YYYY-MM-DD"_s, u"The subject's birth date."_s);
    cl.addReadingOptions();
    if (const std::optional<int> done = cl.parse(args, out, err))
        return *done;
    const std::optional<Readings> readings = cl.readings(cl.positional(), err);
    if (!readings)
        return ExitUsage;
    const QString file = cl.value(u"courses"_s);
    if (file.isEmpty())
        return cl.usageError(err, u"--courses FILE is required"_s);
    double birthDate = 0;
    if (cl.isSet(u"birth"_s)) {
        const QDate birth = QDate::fromString(cl.value(u"birth"_s), Qt::ISODate);
        if (!birth.isValid())
            return cl.usageError(err, u"--birth needs a date as YYYY-MM-DD"_s);
        birthDate = toDayCount(birth);
    }
    QString error;
    Database db;
    if (!db.open(file, Database::Access::ReadOnly, &error))
        return cl.usageError(err, error);
    const AnalysisResult analysis = analyse(correctedValues(readings->values), readings->male);
    const auto names =
        matchCourseSet(db.handle(), matchInputs(analysis, birthDate, QDate::currentDate()), &error);
    if (!names)
        return cl.usageError(err, file + u": "_s + error);
    for (const QString &name : *names)
        out << name << '\n';
    return ExitOk;
}

} // namespace orlu
