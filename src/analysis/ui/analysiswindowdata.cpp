#include "analysis/ui/analysiswindowdata.h"

#include "records/displaycolumns.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The course index order: number without regard to letter case, then entry order.
const QString CourseOrder = u" ORDER BY ProNo COLLATE NOCASE, MKEY LIMIT 1"_s;

} // namespace

PrintOptions parsePrintOptions(const QString &text) {
    PrintOptions options;
    for (int p = 1; p <= PrintOptionCount; ++p)
        options.set(p, p <= text.size() && text.at(p - 1) == u'1');
    return options;
}

QString printOptionString(const PrintOptions &options) {
    QString text;
    text.reserve(PrintOptionCount);
    for (bool on : options.on)
        text.append(on ? u'1' : u'0');
    return text;
}

MemoWrite writeMeasurementMemo(const QSqlDatabase &db, qint64 key, const QStringList &lines, QString *error) {
    QSqlQuery q(db);
    q.prepare(u"UPDATE KYDATA SET MEMO1 = ? WHERE MKEY = ?"_s);
    // A memo column holds text, never NULL, even when the record is emptied.
    QString memo = joinMemoLines(lines);
    if (memo.isNull())
        memo = u""_s;
    q.addBindValue(memo);
    q.addBindValue(key);
    if (!q.exec()) {
        if (error)
            *error = q.lastError().text();
        return MemoWrite::Failed;
    }
    return q.numRowsAffected() > 0 ? MemoWrite::Written : MemoWrite::NoRecord;
}

std::optional<qint64> courseKeyByName(const QSqlDatabase &db, const QString &name) {
    QSqlQuery q(db);
    q.prepare(u"SELECT MKEY FROM KYPRO WHERE TRIM(ProName) = ?"_s + CourseOrder);
    q.addBindValue(name.trimmed());
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

std::optional<SuppliedCourseTexts> suppliedCourseByName(const QSqlDatabase &db, const QString &name) {
    QSqlQuery q(db);
    q.prepare(u"SELECT ProData, ProMed1, ProMed2, ProMed3, ProHel1, ProHel2, ProHel3, ProHel4, ProHel5 "
              "FROM KYPRO WHERE TRIM(ProName) = ?"_s +
              CourseOrder);
    q.addBindValue(name.trimmed());
    if (!q.exec() || !q.next())
        return std::nullopt;
    SuppliedCourseTexts course;
    course.description = q.value(0).toString();
    for (int i = 0; i < 8; ++i)
        course.texts[static_cast<std::size_t>(i)] = q.value(i + 1).toString();
    return course;
}

} // namespace orlu
