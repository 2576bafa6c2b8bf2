#include "courses/suppliedcourses.h"

#include "storage/database.h"
#include "storage/schema.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

// Highest code each position knows (position 1 includes the threshold codes).
int highestCode(int position) {
    if (position == 1)
        return 6;
    if (position <= FlaggedPositions)
        return 3;
    return position == AgePosition ? 3 : 2;
}

// A text column may be one string or an array of lines, joined as a memo holds them.
QString textOf(const QJsonValue &v) {
    if (v.isArray()) {
        QStringList lines;
        for (const QJsonValue &line : v.toArray())
            lines << line.toString();
        return lines.join(u"\r\n"_s);
    }
    return v.toString();
}

struct Parser {
    QString *error;
    QString where;

    bool fail(const QString &what) {
        if (error)
            *error = where + u": "_s + what;
        return false;
    }

    bool text(const QJsonObject &o, const char *key, int maxSize, bool needed, QString *out) {
        *out = textOf(o.value(QLatin1StringView(key)));
        if (needed && out->trimmed().isEmpty())
            return fail(u"缺少 "_s + QLatin1StringView(key));
        if (maxSize > 0 && out->size() > maxSize)
            return fail(QLatin1StringView(key) + u" 超过 %1 个字符"_s.arg(maxSize));
        return true;
    }

    bool condition(const QJsonObject &o, Condition *c) {
        if (!text(o, "ProSubN", 24, true, &c->name) || !text(o, "ProNote", 50, false, &c->note))
            return false;
        where += u" / "_s + c->name;
        QString cond(ConditionPositions, u'0');
        QString must(ConditionPositions, u'0');
        const QJsonObject codes = o.value(u"codes"_s).toObject();
        for (auto it = codes.begin(); it != codes.end(); ++it) {
            bool ok = false;
            const int p = it.key().toInt(&ok);
            const int code = it.value().toInt(-1);
            if (!ok || p < 1 || p > ConditionPositions)
                return fail(u"位置 "_s + it.key() + u" 不存在"_s);
            if (code < 1 || code > highestCode(p))
                return fail(u"位置 %1 没有代码 %2"_s.arg(p).arg(it.value().toVariant().toString()));
            cond[p - 1] = QChar(u'0' + code);
        }
        for (const QJsonValue &v : o.value(u"must"_s).toArray()) {
            const int p = v.toInt(0);
            if (p < 1 || p > FlaggedPositions)
                return fail(u"必须位置 %1 不存在"_s.arg(v.toVariant().toString()));
            must[p - 1] = u'1';
        }
        if (cond.count(u'0') == ConditionPositions && must.count(u'0') == ConditionPositions)
            return fail(u"条件是空的"_s);
        c->rule.cond = cond;
        c->rule.must = must;
        c->rule.energy = o.value(u"ProEng"_s).toDouble(0);
        c->rule.ageLow = o.value(u"ProAGL"_s).toInt(0);
        c->rule.ageHigh = o.value(u"ProAGH"_s).toInt(0);
        c->rule.required = o.value(u"ProFlg"_s).toBool(false);
        return true;
    }

    bool course(const QJsonObject &o, SuppliedCourse *s) {
        if (!text(o, "ProNo", 12, true, &s->course.proNo) || !text(o, "ProName", 24, true, &s->course.name) ||
            !text(o, "ProData", 0, true, &s->course.description))
            return false;
        where = s->course.proNo;
        for (int i = 0; i < SuppliedTextCount; ++i) {
            if (!text(o, suppliedTextColumns()[i], 0, true, &s->texts[i]))
                return false;
        }
        const QJsonArray conditions = o.value(u"conditions"_s).toArray();
        if (conditions.isEmpty())
            return fail(u"没有条件的疗程永远不会被选中"_s);
        const QString courseWhere = where;
        for (const QJsonValue &v : conditions) {
            where = courseWhere;
            Condition c;
            c.proNo = s->course.proNo;
            if (!condition(v.toObject(), &c))
                return false;
            s->conditions.append(c);
        }
        return true;
    }
};

bool writeCourses(QSqlDatabase &db, const QList<SuppliedCourse> &courses, QString *error) {
    Transaction tx(db);
    QSqlQuery course(db);
    course.prepare(
        u"INSERT INTO KYPRO (ProNo, ProName, ProData, ProScal, ProFN, ProMed1, ProMed2, ProMed3, "
        "ProHel1, ProHel2, ProHel3, ProHel4, ProHel5) VALUES (?, ?, ?, 0, '0000', ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    QSqlQuery condition(db);
    condition.prepare(
        u"INSERT INTO KYPRDT (ProNo, ProSubN, ProNote, ProCond, ProAnd, ProEng, ProAGL, ProAGH, "
        "ProFlg) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"_s);
    auto fail = [&](const QSqlQuery &q) {
        if (error)
            *error = q.lastError().text();
        return false;
    };
    for (const SuppliedCourse &s : courses) {
        course.addBindValue(s.course.proNo);
        course.addBindValue(s.course.name);
        course.addBindValue(s.course.description);
        for (const QString &t : s.texts)
            course.addBindValue(t);
        if (!course.exec())
            return fail(course);
        for (const Condition &c : s.conditions) {
            for (const QVariant &v :
                 {QVariant(c.proNo), QVariant(c.name), QVariant(c.note), QVariant(c.rule.cond),
                  QVariant(c.rule.must), QVariant(c.rule.energy), QVariant(c.rule.ageLow),
                  QVariant(c.rule.ageHigh), QVariant(c.rule.required)})
                condition.addBindValue(v);
            if (!condition.exec())
                return fail(condition);
        }
    }
    course.finish();
    condition.finish();
    if (!tx.commit()) {
        if (error)
            *error = db.lastError().text();
        return false;
    }
    return true;
}

} // namespace

const std::array<const char *, SuppliedTextCount> &suppliedTextColumns() {
    static const std::array<const char *, SuppliedTextCount> columns{
        "ProMed1", "ProMed2", "ProMed3", "ProHel1", "ProHel2", "ProHel3", "ProHel4", "ProHel5"};
    return columns;
}

std::optional<QList<SuppliedCourse>> parseSuppliedCourses(const QByteArray &source, QString *error) {
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(source, &parseError);
    if (doc.isNull()) {
        if (error)
            *error =
                u"疗程来源文件格式错误 (位置 %1): %2"_s.arg(parseError.offset).arg(parseError.errorString());
        return std::nullopt;
    }
    QList<SuppliedCourse> list;
    QSet<QString> numbers;
    Parser parser{error, {}};
    for (const QJsonValue &v : doc.object().value(u"courses"_s).toArray()) {
        SuppliedCourse s;
        parser.where = u"疗程 %1"_s.arg(list.size() + 1);
        if (!parser.course(v.toObject(), &s))
            return std::nullopt;
        // The editor keeps numbers unique regardless of letter case; so does the supplied set.
        const QString key = s.course.proNo.trimmed().toCaseFolded();
        if (numbers.contains(key)) {
            parser.fail(u"疗程编号重复"_s);
            return std::nullopt;
        }
        numbers.insert(key);
        list.append(std::move(s));
    }
    if (list.isEmpty()) {
        if (error)
            *error = u"疗程来源文件中没有疗程"_s;
        return std::nullopt;
    }
    return list;
}

QByteArray suppliedCourseSource() {
    QFile f(u":/courses/supplied-courses.json"_s);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

bool buildSuppliedCoursesFrom(const QString &dbPath, const QByteArray &source, QString *error) {
    const std::optional<QList<SuppliedCourse>> courses = parseSuppliedCourses(source, error);
    if (!courses)
        return false;
    const QString part = dbPath + u".part"_s;
    QFile::remove(part);
    if (!createDatabaseFile(part, SchemaKind::SuppliedCourses, error))
        return false;
    bool ok = false;
    {
        Database db;
        if (db.open(part, Database::Access::Shared, error)) {
            QSqlDatabase h = db.handle();
            ok = writeCourses(h, *courses, error);
            // The program opens the set read-only: keep it one plain file without a log beside it.
            if (ok)
                QSqlQuery(h).exec(u"PRAGMA journal_mode=DELETE"_s);
        }
    }
    if (!ok) {
        QFile::remove(part);
        return false;
    }
    return replaceFile(part, dbPath, error);
}

bool buildSuppliedCourses(const QString &dbPath, QString *error) {
    const QByteArray source = suppliedCourseSource();
    if (source.isEmpty()) {
        if (error)
            *error = u"程序中缺少疗程来源"_s;
        return false;
    }
    return buildSuppliedCoursesFrom(dbPath, source, error);
}

} // namespace orlu
