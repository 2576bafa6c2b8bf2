#include "courses/coursestore.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/temphome.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QString weakBody() {
    QString s(24, u'0');
    s[0] = u'1';
    return s;
}

// One KYPRDT row as it is written to the file.
struct StoredRow {
    QString proNo;
    QString cond;
    QString must;
    double energy = 0.0;
    int ageLow = 0;
    int ageHigh = 0;
    bool required = false;
};

StoredRow stored(const QString &proNo, const QString &cond, const QString &must = {}, double energy = 0.0,
                 int ageLow = 0, int ageHigh = 0, bool required = false) {
    return {proNo, cond, must, energy, ageLow, ageHigh, required};
}

bool insertRow(QSqlDatabase db, const StoredRow &row) {
    QSqlQuery q(db);
    q.prepare(u"INSERT INTO KYPRDT (ProNo, ProCond, ProAnd, ProEng, ProAGL, ProAGH, ProFlg) "
              "VALUES (?, ?, ?, ?, ?, ?, ?)"_s);
    for (const QVariant &v :
         {QVariant(row.proNo), QVariant(row.cond), QVariant(row.must), QVariant(row.energy),
          QVariant(row.ageLow), QVariant(row.ageHigh), QVariant(row.required)})
        q.addBindValue(v);
    return q.exec();
}

// Course numbers as the database's NOCASE collation sees them: ASCII letters folded.
QString foldedNumber(QString no) {
    for (QChar &ch : no) {
        if (ch >= u'A' && ch <= u'Z')
            ch = QChar(ch.unicode() + (u'a' - u'A'));
    }
    return no;
}

// What the rules say of the rows as written, without the file: a course takes
// the rows whose number equals its own but for the case of its letters.
QStringList expectedNames(QList<std::pair<QString, QString>> courses, const QList<StoredRow> &rows,
                          const MatchInputs &in) {
    // The course index orders by number, letter case ignored; equal numbers keep their order.
    std::stable_sort(courses.begin(), courses.end(), [](const auto &a, const auto &b) {
        return foldedNumber(a.first) < foldedNumber(b.first);
    });
    QList<CourseRules> rules;
    for (const auto &[no, name] : courses) {
        CourseRules c{no, name, {}};
        for (const StoredRow &row : rows) {
            if (foldedNumber(row.proNo) == foldedNumber(no))
                c.conditions << matchRule(
                    {row.cond, row.must, row.energy, row.ageLow, row.ageHigh, row.required});
        }
        rules << c;
    }
    return matchingCourses(rules, in);
}

} // namespace

Q_DECLARE_METATYPE(QList<StoredRow>)

class TestCourseStore : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void listsCoursesByNumberIgnoringCase();
    void storesAndReadsEveryCourseColumn();
    void conditionsFollowTheirCourseIgnoringCase();
    void findsNumbersTrimmedIgnoringCase_data();
    void findsNumbersTrimmedIgnoringCase();
    void deletesCourseWithItsConditions();
    void failedDeleteKeepsEverything();
    void savesConditionWithCourseTogether();
    void failedConditionSaveKeepsNothing();
    void loadsRulesForMatchingInIndexOrder();
    void fileWithoutCourseTablesIsRefused();
    void matchingTheFileAgreesWithTheRules();
    void storedRowsMatchAsTheRulesSay_data();
    void storedRowsMatchAsTheRulesSay();
    void courseFoundByItsName_data();
    void courseFoundByItsName();

private:
    Course addCourse(const QString &no, const QString &name);
    Condition addCondition(const Course &course, const QString &name, const QString &cond);

    std::unique_ptr<test::TempHome> m_home;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<CourseStore> m_store;
};

void TestCourseStore::init() {
    m_home = std::make_unique<test::TempHome>();
    const QString path = m_home->file(u"orlu4.mdb"_s);
    QString error;
    QVERIFY2(createDatabaseFile(path, SchemaKind::Main, &error), qPrintable(error));
    m_db = std::make_unique<Database>();
    QVERIFY(m_db->open(path, Database::Access::Shared, &error));
    m_store = std::make_unique<CourseStore>(m_db->handle());
}

void TestCourseStore::cleanup() {
    m_store.reset();
    m_db.reset();
    m_home.reset();
}

Course TestCourseStore::addCourse(const QString &no, const QString &name) {
    Course c;
    c.proNo = no;
    c.name = name;
    c.launchFlags = u"0000"_s;
    if (!m_store->addCourse(c))
        qWarning() << m_store->lastError();
    return c;
}

Condition TestCourseStore::addCondition(const Course &course, const QString &name, const QString &cond) {
    Condition c;
    c.name = name;
    c.rule.cond = cond;
    c.rule.must = QString(24, u'0');
    if (!m_store->saveCondition(c, course))
        qWarning() << m_store->lastError();
    return c;
}

void TestCourseStore::listsCoursesByNumberIgnoringCase() {
    addCourse(u"b2"_s, u"乙"_s);
    addCourse(u"A1"_s, u"甲"_s);
    addCourse(u"B1"_s, u"丙"_s);
    QStringList numbers;
    for (const CourseSummary &c : m_store->courses())
        numbers << c.proNo;
    QCOMPARE(numbers, (QStringList{u"A1"_s, u"B1"_s, u"b2"_s}));
}

void TestCourseStore::storesAndReadsEveryCourseColumn() {
    Course c;
    c.proNo = u"X9"_s;
    c.name = u"肝经实证疏泄"_s;
    c.description = u"第一行\r\n第二行"_s;
    c.picture = QByteArray("\x89PNG\r\n\x1a\n", 8);
    c.scaled = true;
    c.launchFlags = u"1010"_s;
    for (int k = 0; k < LaunchButtonCount; ++k) {
        c.hints[k] = u"说明%1"_s.arg(k + 1);
        c.programs[k] = u"C:\\prog%1.exe"_s.arg(k + 1);
        c.parameters[k] = u" -p%1 "_s.arg(k + 1);
    }
    QVERIFY(m_store->addCourse(c));
    QVERIFY(c.key > 0);
    std::optional<Course> read = m_store->course(c.key);
    QVERIFY(read);
    QCOMPARE(read->name, c.name);
    QCOMPARE(read->description, c.description);
    QCOMPARE(read->picture, c.picture);
    QVERIFY(read->scaled);
    QVERIFY(read->launchEnabled(1) && !read->launchEnabled(2) && read->launchEnabled(3));
    QVERIFY(!read->launchEnabled(4) && !read->launchEnabled(5));
    QCOMPARE(read->parameters[3], u" -p4 "_s); // stored as typed

    // A change keeps the number and replaces the rest.
    Course changed = *read;
    changed.proNo = u"Y1"_s;
    changed.name = u"新名称"_s;
    changed.picture.clear();
    changed.launchFlags = u"0001"_s;
    QVERIFY(m_store->updateCourse(changed));
    read = m_store->course(c.key);
    QCOMPARE(read->proNo, u"X9"_s);
    QCOMPARE(read->name, u"新名称"_s);
    QVERIFY(read->picture.isEmpty());
    QVERIFY(read->launchEnabled(4));
}

void TestCourseStore::conditionsFollowTheirCourseIgnoringCase() {
    const Course a = addCourse(u"ab1"_s, u"甲"_s);
    addCourse(u"AB2"_s, u"乙"_s);
    addCondition(a, u"第一"_s, weakBody());
    addCondition(a, u"第二"_s, weakBody());
    // A condition written by an older installation with the number in other letters.
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec(u"INSERT INTO KYPRDT (ProNo, ProSubN, ProCond) VALUES ('AB1', '第三', '3')"_s));
    QStringList names;
    for (const Condition &c : m_store->conditions(u"ab1"_s))
        names << c.name;
    QCOMPARE(names, (QStringList{u"第一"_s, u"第二"_s, u"第三"_s}));
    QCOMPARE(m_store->conditionCount(u"AB1"_s), 3);
    QCOMPARE(m_store->conditionCount(u"ab2"_s), 0);
}

void TestCourseStore::findsNumbersTrimmedIgnoringCase_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("found");
    QTest::newRow("same") << u"Mc07"_s << true;
    QTest::newRow("other case") << u"MC07"_s << true;
    QTest::newRow("blanks around") << u"  mc07 "_s << true;
    QTest::newRow("prefix is not enough") << u"MC0"_s << false;
    QTest::newRow("longer") << u"MC070"_s << false;
}

void TestCourseStore::findsNumbersTrimmedIgnoringCase() {
    QFETCH(QString, typed);
    QFETCH(bool, found);
    addCourse(u"Mc07"_s, u"脾胃虚弱调理"_s);
    const std::optional<CourseSummary> hit = m_store->findByNumber(typed);
    QCOMPARE(hit.has_value(), found);
    if (found)
        QCOMPARE(hit->name, u"脾胃虚弱调理"_s);
}

void TestCourseStore::deletesCourseWithItsConditions() {
    const Course a = addCourse(u"A1"_s, u"甲"_s);
    const Course b = addCourse(u"B1"_s, u"乙"_s);
    for (int i = 0; i < 4; ++i)
        addCondition(a, u"条件%1"_s.arg(i), weakBody());
    addCondition(b, u"保留"_s, weakBody());
    QVERIFY(m_store->deleteCourse(a.key));
    QVERIFY(!m_store->course(a.key));
    QCOMPARE(m_store->conditionCount(u"A1"_s), 0);
    QCOMPARE(m_store->conditionCount(u"B1"_s), 1);
    QCOMPARE(m_store->courses().size(), 1);
}

void TestCourseStore::failedDeleteKeepsEverything() {
    const Course a = addCourse(u"A1"_s, u"甲"_s);
    for (int i = 0; i < 4; ++i)
        addCondition(a, u"条件%1"_s.arg(i), weakBody());
    // Make the second of the two deletes fail: the first must be undone with it.
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec(u"CREATE TRIGGER keep BEFORE DELETE ON KYPRO BEGIN SELECT RAISE(ABORT, 'locked'); END"_s));
    QVERIFY(!m_store->deleteCourse(a.key));
    QVERIFY(m_store->lastError().contains(u"locked"_s));
    QCOMPARE(m_store->conditionCount(u"A1"_s), 4);
    QVERIFY(m_store->course(a.key));
}

void TestCourseStore::savesConditionWithCourseTogether() {
    Course a = addCourse(u"A1"_s, u"甲"_s);
    a.description = u"说明文字"_s;
    a.scaled = true;
    a.picture = QByteArray("BM....");
    Condition c;
    c.name = u"新条件"_s;
    c.note = u"说明"_s;
    c.rule.cond = weakBody();
    c.rule.must = QString(24, u'0');
    c.rule.energy = 45;
    c.rule.ageLow = 10;
    c.rule.ageHigh = 20;
    c.rule.required = true;
    QVERIFY(m_store->saveCondition(c, a));
    QVERIFY(c.key > 0);
    QCOMPARE(c.proNo, u"A1"_s);
    const QList<Condition> stored = m_store->conditions(u"A1"_s);
    QCOMPARE(stored.size(), 1);
    QCOMPARE(stored[0].rule.energy, 45.0);
    QCOMPARE(stored[0].rule.ageLow, 10);
    QCOMPARE(stored[0].rule.ageHigh, 20);
    QVERIFY(stored[0].rule.required);
    const std::optional<Course> course = m_store->course(a.key);
    QCOMPARE(course->description, u"说明文字"_s);
    QVERIFY(course->scaled);
    QCOMPARE(course->picture, QByteArray("BM...."));

    // Changing it updates the same row.
    c.name = u"改过"_s;
    QVERIFY(m_store->saveCondition(c, a));
    QCOMPARE(m_store->conditions(u"A1"_s).size(), 1);
    QCOMPARE(m_store->conditions(u"A1"_s)[0].name, u"改过"_s);
    QVERIFY(m_store->deleteCondition(c.key));
    QCOMPARE(m_store->conditionCount(u"A1"_s), 0);
}

void TestCourseStore::failedConditionSaveKeepsNothing() {
    Course a = addCourse(u"A1"_s, u"甲"_s);
    QSqlQuery q(m_db->handle());
    QVERIFY(q.exec(u"CREATE TRIGGER keep BEFORE UPDATE ON KYPRO BEGIN SELECT RAISE(ABORT, 'locked'); END"_s));
    a.description = u"不应保存"_s;
    Condition c;
    c.name = u"新条件"_s;
    c.rule.cond = weakBody();
    QVERIFY(!m_store->saveCondition(c, a));
    QCOMPARE(c.key, 0);
    QCOMPARE(m_store->conditionCount(u"A1"_s), 0);
}

void TestCourseStore::loadsRulesForMatchingInIndexOrder() {
    const Course b = addCourse(u"B1"_s, u"乙"_s);
    const Course a = addCourse(u"a1"_s, u"甲"_s);
    addCourse(u"C1"_s, u"丙"_s);
    addCondition(b, u"一"_s, weakBody());
    addCondition(a, u"二"_s, u"2"_s);
    addCondition(a, u"三"_s, weakBody());
    QString error;
    const auto rules = loadCourseRules(m_db->handle(), &error);
    QVERIFY2(rules, qPrintable(error));
    QCOMPARE(rules->size(), 3);
    QCOMPARE(rules->at(0).name, u"甲"_s);
    QCOMPARE(rules->at(0).conditions.size(), 2);
    QCOMPARE(rules->at(0).conditions[0].codes[0], 2);
    QCOMPARE(rules->at(1).name, u"乙"_s);
    QCOMPARE(rules->at(2).conditions.size(), 0);

    MatchInputs weak;
    weak.bodyEnergy = 20;
    weak.verdicts[0] = -3;
    weak.age = 30;
    QCOMPARE(*matchCourseSet(m_db->handle(), weak), (QStringList{u"甲"_s, u"乙"_s}));
}

void TestCourseStore::fileWithoutCourseTablesIsRefused() {
    const QString path = m_home->file(u"orluCn.mdb"_s);
    QVERIFY(createDatabaseFile(path, SchemaKind::ReferenceTexts));
    Database texts;
    QVERIFY(texts.open(path, Database::Access::ReadOnly));
    QVERIFY(!hasCourseTables(texts.handle()));
    QString error;
    QVERIFY(!loadCourseRules(texts.handle(), &error));
    QVERIFY(error.contains(u"KYPRO"_s));
    QVERIFY(!matchCourseSet(texts.handle(), MatchInputs{}));
}

void TestCourseStore::matchingTheFileAgreesWithTheRules() {
    // The set is matched from the file; it must give what the rules give on the
    // rows as they were written, for any mix of rows.
    QRandomGenerator random(17);
    const QStringList codeChars{u"0"_s, u"1"_s, u"2"_s, u"3"_s, u"中"_s, u" "_s, u"x"_s, u"\U0001F600"_s};
    const QStringList mustChars{u"0"_s, u"0"_s, u"0"_s, u"0"_s, u"1"_s, u"é"_s, u"\U0001F600"_s};
    auto randomText = [&](int length, const QStringList &alphabet) {
        QString t;
        for (int i = 0; i < length; ++i)
            t += alphabet.at(random.bounded(int(alphabet.size())));
        return t;
    };
    QSqlDatabase db = m_db->handle();
    QList<std::pair<QString, QString>> courses;
    QList<StoredRow> rows;
    Transaction tx(db);
    for (int i = 0; i < 60; ++i) {
        Course c;
        c.proNo = u"c%1"_s.arg(i % 50); // some numbers twice
        c.name = u"疗程%1"_s.arg(i);
        QVERIFY(m_store->addCourse(c));
        courses.append({c.proNo, c.name});
        for (int k = random.bounded(4); k > 0; --k) {
            // Numbers in other letters, short strings and characters beyond ASCII too.
            StoredRow row;
            row.proNo = random.bounded(3) == 0 ? c.proNo.toUpper() : c.proNo;
            row.cond = randomText(random.bounded(26), codeChars);
            row.must = randomText(random.bounded(24), mustChars);
            row.energy = random.bounded(80);
            row.ageLow = random.bounded(60);
            row.ageHigh = random.bounded(100);
            row.required = random.bounded(6) == 0;
            QVERIFY(insertRow(db, row));
            rows << row;
        }
    }
    QVERIFY(tx.commit());
    for (int n = 0; n < 200; ++n) {
        MatchInputs in;
        in.bodyEnergy = random.bounded(80.0);
        for (auto &v : in.verdicts)
            v = random.bounded(8) == 0 ? std::nullopt : std::optional<int>(random.bounded(5) - 2);
        for (int &g : in.channelGrades)
            g = random.bounded(3) - 1;
        for (int &g : in.elementGrades)
            g = random.bounded(3) - 1;
        in.age = random.bounded(90);
        in.male = random.bounded(2) == 0;
        QCOMPARE(*matchCourseSet(db, in), expectedNames(courses, rows, in));
    }
}

void TestCourseStore::storedRowsMatchAsTheRulesSay_data() {
    // The subject: weak body (verdict -2), weak spirit (-1), both lung channels
    // deficient, everything else normal, A = 50.9, a man of 61.
    QTest::addColumn<QString>("courseNo");
    QTest::addColumn<QList<StoredRow>>("rows");
    QTest::addColumn<bool>("applies");
    const QString zeros(24, u'0');
    const QString lungWeak = zeros.left(5) + u"1"_s + zeros.left(18);
    QString ageBetween = zeros;
    ageBetween[22] = u'3';
    const QString beyondPlane = u"\U0001F600"_s; // two UTF-16 units, one character

    QTest::newRow("number in other letters")
        << u"mc07"_s << QList<StoredRow>{stored(u"MC07"_s, u"1"_s)} << true;
    QTest::newRow("number with a trailing blank is another")
        << u"mc07"_s << QList<StoredRow>{stored(u"mc07 "_s, u"1"_s)} << false;
    // As the course window lists them: the database folds ASCII letters only.
    QTest::newRow("letters beyond ASCII keep their case")
        << u"é1"_s << QList<StoredRow>{stored(u"É1"_s, u"1"_s)} << false;
    QTest::newRow("conditions of another course do not count")
        << u"A1"_s << QList<StoredRow>{stored(u"A2"_s, u"1"_s)} << false;
    QTest::newRow("short condition string") << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, u"01"_s)} << true;
    QTest::newRow("letters, blanks and Chinese read 0 and count one position each")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, u"x中 001"_s)} << true;
    QTest::newRow("character outside the basic plane is one position")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, beyondPlane + u"1"_s)} << true;
    // Must at position 2 with code 0: the spirit is not normal, so the condition fails.
    QTest::newRow("must flag after a character beyond ASCII")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, u"1"_s, u"é1"_s)} << false;
    QTest::newRow("must flags of a blank string are none")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, lungWeak, u"   "_s)} << true;
    QTest::newRow("above the threshold: 50.9 cut to 50 is not above 50")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, u"5"_s, QString(), 50.0)} << false;
    QTest::newRow("equal to the threshold after cutting")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, u"4"_s, QString(), 50.0)} << true;
    QTest::newRow("age within the bounds")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, ageBetween, QString(), 0.0, 60, 70)} << true;
    QTest::newRow("age above the upper bound")
        << u"A1"_s << QList<StoredRow>{stored(u"A1"_s, ageBetween, QString(), 0.0, 50, 60)} << false;
    QTest::newRow("a failing required condition among holding ones")
        << u"A1"_s
        << QList<StoredRow>{stored(u"A1"_s, u"1"_s), stored(u"A1"_s, u"2"_s, QString(), 0.0, 0, 0, true)}
        << false;
    QTest::newRow("required condition in other letters fails too")
        << u"a1"_s
        << QList<StoredRow>{stored(u"a1"_s, lungWeak), stored(u"A1"_s, u"2"_s, QString(), 0.0, 0, 0, true)}
        << false;
    QTest::newRow("holding required condition")
        << u"A1"_s
        << QList<StoredRow>{stored(u"A1"_s, u"2"_s), stored(u"a1"_s, u"1"_s, QString(), 0.0, 0, 0, true)}
        << true;
}

void TestCourseStore::storedRowsMatchAsTheRulesSay() {
    QFETCH(QString, courseNo);
    QFETCH(QList<StoredRow>, rows);
    QFETCH(bool, applies);
    addCourse(courseNo, u"甲"_s);
    for (const StoredRow &row : rows)
        QVERIFY(insertRow(m_db->handle(), row));
    MatchInputs in;
    in.bodyEnergy = 50.9;
    in.verdicts = {-2, -1, 0, 0, 0};
    in.channelGrades[1 - 1] = in.channelGrades[7 - 1] = -1;
    in.age = 61;
    in.male = true;
    const QStringList expected = applies ? QStringList{u"甲"_s} : QStringList{};
    QCOMPARE(expectedNames({{courseNo, u"甲"_s}}, rows, in), expected);
    QString error;
    const std::optional<QStringList> names = matchCourseSet(m_db->handle(), in, &error);
    QVERIFY2(names, qPrintable(error));
    QCOMPARE(*names, expected);
}

// The analysis window finds a listed course by its name: trimmed, the first in number order.
void TestCourseStore::courseFoundByItsName_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("number"); // empty: not found
    QTest::newRow("exact") << u"肺经疗程"_s << u"A2"_s;
    QTest::newRow("blanks around") << u"  肺经疗程 "_s << u"A2"_s;
    QTest::newRow("stored with blanks") << u"胃经疗程"_s << u"B1"_s;
    QTest::newRow("unknown") << u"心经疗程"_s << QString();
}

void TestCourseStore::courseFoundByItsName() {
    QFETCH(QString, name);
    QFETCH(QString, number);
    addCourse(u"a3"_s, u"肺经疗程"_s);
    const Course first = addCourse(u"A2"_s, u"肺经疗程"_s);
    const Course stomach = addCourse(u"B1"_s, u" 胃经疗程  "_s);
    const std::optional<qint64> key = m_store->keyByName(name);
    QCOMPARE(key.has_value(), !number.isEmpty());
    if (number.isEmpty())
        return;
    QCOMPARE(*key, number == u"A2"_s ? first.key : stomach.key);
}

QTEST_GUILESS_MAIN(TestCourseStore)
#include "test_coursestore.moc"
