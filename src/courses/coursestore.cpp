#include "courses/coursestore.h"

#include "storage/database.h"
#include "storage/sqldialect.h"

#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QVariant>

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// The database compares course numbers with its NOCASE collation, which folds
// ASCII letters only; grouping in memory must fold the same way.
QByteArray foldCourseNo(QByteArray proNo) {
    for (qsizetype i = 0; i < proNo.size(); ++i) {
        const char ch = proNo.at(i);
        if (ch >= 'A' && ch <= 'Z')
            proNo[i] = char(ch + ('a' - 'A'));
    }
    return proNo;
}

bool isAscii(const QByteArray &bytes) {
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char ch) { return static_cast<unsigned char>(ch) < 0x80; });
}

// Codes straight from the stored bytes: a character beyond ASCII takes several
// bytes, so such a string is decoded first to keep the positions right.
std::array<int, 24> codesOfBytes(const QByteArray &bytes) {
    return isAscii(bytes) ? readCodes(QLatin1StringView(bytes)) : readCodes(QString::fromUtf8(bytes));
}

std::array<bool, 24> mustFlagsOfBytes(const QByteArray &bytes) {
    return isAscii(bytes) ? readMustFlags(QLatin1StringView(bytes)) : readMustFlags(QString::fromUtf8(bytes));
}

// The driver hands integer columns over as qint64; taking them as such skips
// the general conversion, which counts when a whole set is read.
int intOf(const QVariant &v) {
    return v.typeId() == QMetaType::LongLong ? int(v.toLongLong()) : v.toInt();
}

bool boolOf(const QVariant &v) {
    return v.typeId() == QMetaType::LongLong ? v.toLongLong() != 0 : v.toBool();
}

QString courseOrder(const QSqlDatabase &db) {
    return u" ORDER BY "_s + SqlDialect::of(db).folded(u"ProNo"_s) + u", MKEY"_s;
}

// The conditions of one course: their number equals the course's, letter case ignored.
QString ofCourse(const QSqlDatabase &db) {
    return SqlDialect::of(db).equalsIgnoringCase(u"ProNo"_s);
}

const QString CourseColumns = u"MKEY, ProNo, ProName, ProData, ProPict, ProScal, ProFN, "
                              "ProScrp1, ProScrp2, ProScrp3, ProScrp4, ProPrg1, ProPrg2, ProPrg3, ProPrg4, "
                              "ProParm1, ProParm2, ProParm3, ProParm4"_s;

const QString ConditionColumns =
    u"MKEY, ProNo, ProSubN, ProNote, ProCond, ProAnd, ProEng, ProAGL, ProAGH, ProFlg"_s;

Course courseOf(const QSqlQuery &q) {
    Course c;
    c.key = q.value(0).toLongLong();
    c.proNo = q.value(1).toString();
    c.name = q.value(2).toString();
    c.description = q.value(3).toString();
    c.picture = q.value(4).toByteArray();
    c.scaled = q.value(5).toBool();
    c.launchFlags = q.value(6).toString();
    for (int k = 0; k < LaunchButtonCount; ++k) {
        c.hints[k] = q.value(7 + k).toString();
        c.programs[k] = q.value(11 + k).toString();
        c.parameters[k] = q.value(15 + k).toString();
    }
    return c;
}

// Rule columns starting at `first`: ProCond, ProAnd, ProEng, ProAGL, ProAGH, ProFlg.
ConditionRule ruleOf(const QSqlQuery &q, int first) {
    ConditionRule r;
    r.cond = q.value(first).toString();
    r.must = q.value(first + 1).toString();
    r.energy = q.value(first + 2).toDouble();
    r.ageLow = q.value(first + 3).toInt();
    r.ageHigh = q.value(first + 4).toInt();
    r.required = q.value(first + 5).toBool();
    return r;
}

Condition conditionOf(const QSqlQuery &q) {
    Condition c;
    c.key = q.value(0).toLongLong();
    c.proNo = q.value(1).toString();
    c.name = q.value(2).toString();
    c.note = q.value(3).toString();
    c.rule = ruleOf(q, 4);
    return c;
}

void bindCourseColumns(QSqlQuery &q, const Course &c) {
    q.bindValue(u":name"_s, c.name);
    q.bindValue(u":data"_s, c.description);
    q.bindValue(u":pict"_s,
                c.picture.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray)) : QVariant(c.picture));
    q.bindValue(u":scal"_s, c.scaled);
    q.bindValue(u":fn"_s, c.launchFlags);
    for (int k = 0; k < LaunchButtonCount; ++k) {
        const QString n = QString::number(k + 1);
        q.bindValue(u":scrp"_s + n, c.hints[k]);
        q.bindValue(u":prg"_s + n, c.programs[k]);
        q.bindValue(u":parm"_s + n, c.parameters[k]);
    }
}

void bindConditionColumns(QSqlQuery &q, const Condition &c) {
    q.bindValue(u":no"_s, c.proNo);
    q.bindValue(u":subn"_s, c.name);
    q.bindValue(u":note"_s, c.note);
    q.bindValue(u":cond"_s, c.rule.cond);
    q.bindValue(u":and"_s, c.rule.must);
    q.bindValue(u":eng"_s, c.rule.energy);
    q.bindValue(u":agl"_s, c.rule.ageLow);
    q.bindValue(u":agh"_s, c.rule.ageHigh);
    q.bindValue(u":flg"_s, c.rule.required);
}

} // namespace

CourseStore::CourseStore(QSqlDatabase db)
    : m_db(std::move(db)) {}

bool CourseStore::fail(const QString &error) const {
    m_error = error;
    return false;
}

QList<CourseSummary> CourseStore::courses() const {
    QList<CourseSummary> list;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(u"SELECT MKEY, ProNo, ProName FROM KYPRO"_s + courseOrder(m_db))) {
        fail(q.lastError().text());
        return list;
    }
    while (q.next())
        list.append({q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()});
    return list;
}

std::optional<Course> CourseStore::course(qint64 key) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT "_s + CourseColumns + u" FROM KYPRO WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (!q.exec()) {
        fail(q.lastError().text());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return courseOf(q);
}

std::optional<CourseSummary> CourseStore::findByNumber(const QString &proNo) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT MKEY, ProNo, ProName FROM KYPRO WHERE "_s +
              SqlDialect::of(m_db).equalsIgnoringCase(u"trim(ProNo)"_s) + courseOrder(m_db) + u" LIMIT 1"_s);
    q.addBindValue(proNo.trimmed());
    if (!q.exec()) {
        fail(q.lastError().text());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return CourseSummary{q.value(0).toLongLong(), q.value(1).toString(), q.value(2).toString()};
}

std::optional<Course> CourseStore::findByName(const QString &name) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT MKEY FROM KYPRO WHERE trim(ProName) = ?"_s + courseOrder(m_db) + u" LIMIT 1"_s);
    q.addBindValue(name.trimmed());
    if (!q.exec()) {
        fail(q.lastError().text());
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return course(q.value(0).toLongLong());
}

QList<Condition> CourseStore::conditions(const QString &proNo) const {
    QList<Condition> list;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(u"SELECT "_s + ConditionColumns + u" FROM KYPRDT WHERE "_s + ofCourse(m_db) +
              u" ORDER BY MKEY"_s);
    q.addBindValue(proNo);
    if (!q.exec()) {
        fail(q.lastError().text());
        return list;
    }
    while (q.next())
        list.append(conditionOf(q));
    return list;
}

int CourseStore::conditionCount(const QString &proNo) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT count(*) FROM KYPRDT WHERE "_s + ofCourse(m_db));
    q.addBindValue(proNo);
    if (!q.exec() || !q.next()) {
        fail(q.lastError().text());
        return 0;
    }
    return q.value(0).toInt();
}

std::optional<qint64> CourseStore::keyByName(const QString &name) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT MKEY FROM KYPRO WHERE TRIM(ProName) = ?"_s + courseOrder(m_db) + u" LIMIT 1"_s);
    q.addBindValue(name.trimmed());
    if (!q.exec() || !q.next())
        return std::nullopt;
    return q.value(0).toLongLong();
}

std::optional<SuppliedCourseTexts> CourseStore::suppliedTextsByName(const QString &name) const {
    QSqlQuery q(m_db);
    q.prepare(u"SELECT ProData, ProMed1, ProMed2, ProMed3, ProHel1, ProHel2, ProHel3, ProHel4, ProHel5 "
              "FROM KYPRO WHERE TRIM(ProName) = ?"_s +
              courseOrder(m_db) + u" LIMIT 1"_s);
    q.addBindValue(name.trimmed());
    if (!q.exec() || !q.next())
        return std::nullopt;
    SuppliedCourseTexts course;
    course.description = q.value(0).toString();
    for (int i = 0; i < 8; ++i)
        course.texts[static_cast<std::size_t>(i)] = q.value(i + 1).toString();
    return course;
}

std::optional<QStringList> CourseStore::match(const MatchInputs &in, QString *error) const {
    return matchCourseSet(m_db, in, error);
}

bool CourseStore::addCourse(Course &course) {
    QSqlQuery q(m_db);
    q.prepare(
        u"INSERT INTO KYPRO (ProNo, ProName, ProData, ProPict, ProScal, ProFN, "
        "ProScrp1, ProScrp2, ProScrp3, ProScrp4, ProPrg1, ProPrg2, ProPrg3, ProPrg4, "
        "ProParm1, ProParm2, ProParm3, ProParm4) VALUES (:no, :name, :data, :pict, :scal, :fn, "
        ":scrp1, :scrp2, :scrp3, :scrp4, :prg1, :prg2, :prg3, :prg4, :parm1, :parm2, :parm3, :parm4)"_s);
    q.bindValue(u":no"_s, course.proNo);
    bindCourseColumns(q, course);
    if (!q.exec())
        return fail(q.lastError().text());
    course.key = q.lastInsertId().toLongLong();
    return true;
}

bool CourseStore::updateCourse(const Course &course) {
    QSqlQuery q(m_db);
    q.prepare(u"UPDATE KYPRO SET ProName = :name, ProData = :data, ProPict = :pict, ProScal = :scal, "
              "ProFN = :fn, ProScrp1 = :scrp1, ProScrp2 = :scrp2, ProScrp3 = :scrp3, ProScrp4 = :scrp4, "
              "ProPrg1 = :prg1, ProPrg2 = :prg2, ProPrg3 = :prg3, ProPrg4 = :prg4, "
              "ProParm1 = :parm1, ProParm2 = :parm2, ProParm3 = :parm3, ProParm4 = :parm4 "
              "WHERE MKEY = :key"_s);
    bindCourseColumns(q, course);
    q.bindValue(u":key"_s, course.key);
    if (!q.exec())
        return fail(q.lastError().text());
    return true;
}

bool CourseStore::deleteCourse(qint64 key) {
    const std::optional<Course> c = course(key);
    if (!c)
        return fail(u"疗程不存在"_s);
    Transaction tx(m_db);
    QSqlQuery q(m_db);
    q.prepare(u"DELETE FROM KYPRDT WHERE "_s + ofCourse(m_db));
    q.addBindValue(c->proNo);
    if (!q.exec())
        return fail(q.lastError().text());
    q.prepare(u"DELETE FROM KYPRO WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (!q.exec())
        return fail(q.lastError().text());
    if (!tx.commit())
        return fail(m_db.lastError().text());
    return true;
}

bool CourseStore::saveCondition(Condition &condition, const Course &course) {
    Transaction tx(m_db);
    QSqlQuery q(m_db);
    if (condition.key == 0) {
        condition.proNo = course.proNo;
        q.prepare(u"INSERT INTO KYPRDT (ProNo, ProSubN, ProNote, ProCond, ProAnd, ProEng, ProAGL, ProAGH, "
                  "ProFlg) VALUES (:no, :subn, :note, :cond, :and, :eng, :agl, :agh, :flg)"_s);
    } else {
        q.prepare(u"UPDATE KYPRDT SET ProNo = :no, ProSubN = :subn, ProNote = :note, ProCond = :cond, "
                  "ProAnd = :and, ProEng = :eng, ProAGL = :agl, ProAGH = :agh, ProFlg = :flg "
                  "WHERE MKEY = :key"_s);
        q.bindValue(u":key"_s, condition.key);
    }
    bindConditionColumns(q, condition);
    if (!q.exec())
        return fail(q.lastError().text());
    const qint64 newKey = condition.key == 0 ? q.lastInsertId().toLongLong() : condition.key;

    QSqlQuery c(m_db);
    c.prepare(u"UPDATE KYPRO SET ProScal = :scal, ProData = :data, ProPict = :pict WHERE MKEY = :key"_s);
    c.bindValue(u":scal"_s, course.scaled);
    c.bindValue(u":data"_s, course.description);
    c.bindValue(u":pict"_s, course.picture.isEmpty() ? QVariant(QMetaType(QMetaType::QByteArray))
                                                     : QVariant(course.picture));
    c.bindValue(u":key"_s, course.key);
    if (!c.exec())
        return fail(c.lastError().text());
    if (!tx.commit())
        return fail(m_db.lastError().text());
    condition.key = newKey;
    return true;
}

bool CourseStore::deleteCondition(qint64 key) {
    QSqlQuery q(m_db);
    q.prepare(u"DELETE FROM KYPRDT WHERE MKEY = ?"_s);
    q.addBindValue(key);
    if (!q.exec())
        return fail(q.lastError().text());
    return true;
}

bool sameCourseNumber(const QString &a, const QString &b) {
    return foldCourseNo(a.toUtf8()) == foldCourseNo(b.toUtf8());
}

bool hasCourseTables(const QSqlDatabase &db) {
    const QStringList tables = db.tables();
    auto has = [&](const QString &name) { return tables.contains(name, Qt::CaseInsensitive); };
    return has(u"KYPRO"_s) && has(u"KYPRDT"_s);
}

std::optional<QList<CourseRules>> loadCourseRules(const QSqlDatabase &db, QString *error) {
    auto fail = [&](const QString &text) -> std::optional<QList<CourseRules>> {
        if (error)
            *error = text;
        return std::nullopt;
    };
    if (!hasCourseTables(db))
        return fail(u"文件中没有疗程数据表 (KYPRO, KYPRDT)"_s);

    // The analysis window reads the whole set every time it opens. The texts are
    // read as their stored bytes and the rule strings turned into codes right
    // away, which spares a string per value, and the conditions are grouped in
    // a hash: a join on the case-folded number could not use the index.
    QHash<QByteArray, QList<MatchRule>> byCourse;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    const SqlDialect dialect = SqlDialect::of(db);
    if (!q.exec(u"SELECT %1, %2, %3, ProEng, ProAGL, ProAGH, ProFlg FROM KYPRDT ORDER BY MKEY"_s.arg(
            dialect.asBytes(u"ProNo"_s), dialect.asBytes(u"ProCond"_s), dialect.asBytes(u"ProAnd"_s))))
        return fail(q.lastError().text());
    while (q.next()) {
        MatchRule r;
        r.codes = codesOfBytes(q.value(1).toByteArray());
        r.must = mustFlagsOfBytes(q.value(2).toByteArray());
        r.energy = q.value(3).toDouble();
        r.ageLow = intOf(q.value(4));
        r.ageHigh = intOf(q.value(5));
        r.required = boolOf(q.value(6));
        byCourse[foldCourseNo(q.value(0).toByteArray())].append(r);
    }

    QList<CourseRules> courses;
    if (!q.exec(u"SELECT "_s + dialect.asBytes(u"ProNo"_s) + u", ProName FROM KYPRO"_s + courseOrder(db)))
        return fail(q.lastError().text());
    while (q.next()) {
        CourseRules c;
        const QByteArray no = q.value(0).toByteArray();
        c.proNo = QString::fromUtf8(no);
        c.name = q.value(1).toString();
        c.conditions = byCourse.value(foldCourseNo(no));
        courses.append(std::move(c));
    }
    return courses;
}

std::optional<QStringList> matchCourseSet(const QSqlDatabase &db, const MatchInputs &in, QString *error) {
    const std::optional<QList<CourseRules>> courses = loadCourseRules(db, error);
    if (!courses)
        return std::nullopt;
    return matchingCourses(*courses, in);
}

} // namespace orlu
