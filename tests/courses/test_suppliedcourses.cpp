#include "analysis/analysis.h"
#include "core/daycount.h"
#include "courses/coursematches.h"
#include "courses/coursestore.h"
#include "courses/suppliedcourses.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/temphome.h"

#include <QFile>
#include <QSqlQuery>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

QByteArray oneCourse(const QByteArray &courseFields, const QByteArray &condition) {
    QByteArray texts;
    for (const char *col : suppliedTextColumns())
        texts += QByteArray(", \"") + col + "\": \"文字\"";
    return "{\"courses\": [{" + courseFields + texts + ", \"conditions\": [" + condition + "]}]}";
}

const QByteArray Fields = R"("ProNo": "T1", "ProName": "测试", "ProData": ["一", "二"])";
const QByteArray Weak = R"({"ProSubN": "虚弱", "codes": {"1": 1}})";

} // namespace

class TestSuppliedCourses : public QObject {
    Q_OBJECT
private slots:
    void compiledSourceIsComplete();
    void badSourcesAreRefused_data();
    void badSourcesAreRefused();
    void buildsConditionStrings();
    void builtSetMatchesMeasurements_data();
    void builtSetMatchesMeasurements();
    void failedBuildKeepsTheOldFile();
    void bothSetsMatchedOrTheUnreadableNamed_data();
    void bothSetsMatchedOrTheUnreadableNamed();
};

void TestSuppliedCourses::compiledSourceIsComplete() {
    QString error;
    const auto courses = parseSuppliedCourses(suppliedCourseSource(), &error);
    QVERIFY2(courses, qPrintable(error));
    QVERIFY(courses->size() >= 12);
    // Every position group is used by some course.
    QList<bool> used(24, false);
    for (const SuppliedCourse &s : *courses) {
        for (const Condition &c : s.conditions) {
            for (int p = 0; p < 24; ++p)
                used[p] = used[p] || c.rule.cond.at(p) != u'0' || c.rule.must.at(p) != u'0';
        }
    }
    for (int p = 0; p < 24; ++p)
        QVERIFY2(used[p], qPrintable(u"position %1 unused"_s.arg(p + 1)));
}

void TestSuppliedCourses::badSourcesAreRefused_data() {
    QTest::addColumn<QByteArray>("source");
    QTest::addColumn<QString>("message");
    QTest::newRow("not JSON") << QByteArray("{courses: [") << u"格式错误"_s;
    QTest::newRow("no courses") << QByteArray("{\"courses\": []}") << u"没有疗程"_s;
    QTest::newRow("no conditions") << oneCourse(Fields, {}) << u"没有条件"_s;
    QTest::newRow("unknown position")
        << oneCourse(Fields, R"({"ProSubN": "x", "codes": {"25": 1}})") << u"位置 25"_s;
    QTest::newRow("code the position lacks")
        << oneCourse(Fields, R"({"ProSubN": "x", "codes": {"6": 4}})") << u"没有代码 4"_s;
    QTest::newRow("must flag at 23") << oneCourse(Fields, R"({"ProSubN": "x", "must": [23]})")
                                     << u"必须位置 23"_s;
    QTest::newRow("empty condition") << oneCourse(Fields, R"({"ProSubN": "x"})") << u"条件是空的"_s;
    QTest::newRow("name too long")
        << oneCourse(
               R"("ProNo": "T1", "ProName": "一二三四五六七八九十一二三四五六七八九十一二三四五", "ProData": "d")",
               Weak)
        << u"ProName 超过 24"_s;
    QTest::newRow("missing text") << QByteArray(
                                         R"({"courses": [{"ProNo": "T1", "ProName": "n", "ProData": "d",
                                                 "conditions": [{"ProSubN": "x", "codes": {"1": 1}}]}]})")
                                  << u"缺少 ProMed1"_s;
    const QByteArray course = oneCourse(Fields, Weak);
    const QByteArray twice = course.left(course.size() - 2) + ", " +
                             oneCourse(R"("ProNo": "t1", "ProName": "n", "ProData": "d")", Weak).mid(13);
    QTest::newRow("number repeated in other letters") << twice << u"编号重复"_s;
}

void TestSuppliedCourses::badSourcesAreRefused() {
    QFETCH(QByteArray, source);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!parseSuppliedCourses(source, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
}

void TestSuppliedCourses::buildsConditionStrings() {
    const QByteArray source = oneCourse(
        Fields,
        R"({"ProSubN": "x", "codes": {"1": 5, "24": 2}, "must": [6, 22], "ProEng": 45, "ProFlg": true})");
    QString error;
    const auto courses = parseSuppliedCourses(source, &error);
    QVERIFY2(courses, qPrintable(error));
    const Condition &c = courses->at(0).conditions.at(0);
    QCOMPARE(c.rule.cond, u"500000000000000000000002"_s);
    QCOMPARE(c.rule.must, u"000001000000000000000100"_s);
    QCOMPARE(c.rule.energy, 45.0);
    QVERIFY(c.rule.required);
    QCOMPARE(courses->at(0).course.description, u"一\r\n二"_s);
}

void TestSuppliedCourses::builtSetMatchesMeasurements_data() {
    QTest::addColumn<QList<int>>("lowChannels");
    QTest::addColumn<double>("level");
    QTest::addColumn<bool>("male");
    QTest::addColumn<QDate>("birth");
    QTest::addColumn<QStringList>("expected");
    const QDate adult(1980, 5, 1);
    const QStringList balanced{u"经络平衡日常保健"_s};
    // Courses for a sex or an age apply only together with their finding.
    QTest::newRow("balanced") << QList<int>{} << 50.0 << true << adult << balanced;
    QTest::newRow("balanced woman") << QList<int>{} << 50.0 << false << adult << balanced;
    QTest::newRow("balanced elderly man") << QList<int>{} << 50.0 << true << QDate(1950, 1, 1) << balanced;
    QTest::newRow("balanced teenager") << QList<int>{} << 50.0 << true << QDate(2012, 1, 1) << balanced;
    QTest::newRow("both lung channels low")
        << QList<int>{1, 7} << 50.0 << true << adult << QStringList{u"肺经虚证调理"_s};
    QTest::newRow("low energy, woman")
        << QList<int>{} << 15.0 << false << adult << QStringList{u"体能低落元气调养"_s, u"女性气血调养"_s};
    QTest::newRow("low energy, elderly man") << QList<int>{} << 15.0 << true << QDate(1950, 1, 1)
                                             << QStringList{u"体能低落元气调养"_s, u"中老年肾气调养"_s};
    QTest::newRow("low energy, teenager") << QList<int>{} << 15.0 << true << QDate(2012, 1, 1)
                                          << QStringList{u"体能低落元气调养"_s, u"青少年体能调养"_s};
}

void TestSuppliedCourses::builtSetMatchesMeasurements() {
    QFETCH(QList<int>, lowChannels);
    QFETCH(double, level);
    QFETCH(bool, male);
    QFETCH(QDate, birth);
    QFETCH(QStringList, expected);
    test::TempHome home;
    const QString path = home.file(u"orluMCn.mdb"_s);
    QString error;
    QVERIFY2(buildSuppliedCourses(path, &error), qPrintable(error));
    QVERIFY(!QFile::exists(path + u".part"_s));
    Database db;
    QVERIFY2(db.open(path, Database::Access::ReadOnly, &error), qPrintable(error));

    std::array<double, 24> w;
    w.fill(level);
    for (int c : lowChannels)
        w[c - 1] = 30.0;
    const AnalysisResult a = analyse(w, male);
    const MatchInputs in = matchInputs(a, toDayCount(birth), QDate(2026, 6, 1));
    const auto names = matchCourseSet(db.handle(), in, &error);
    QVERIFY2(names, qPrintable(error));
    QCOMPARE(*names, expected);

    // The supplied texts are in the file for the analysis window.
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT count(*) FROM KYPRO WHERE ProMed1 <> '' AND ProHel5 <> ''"_s) && q.next());
    QVERIFY(q.value(0).toInt() >= 12);
}

void TestSuppliedCourses::failedBuildKeepsTheOldFile() {
    test::TempHome home;
    const QString path = home.file(u"orluMCn.mdb"_s);
    QVERIFY(buildSuppliedCoursesFrom(path, oneCourse(Fields, Weak)));
    QVERIFY(!buildSuppliedCoursesFrom(path, "{}"));
    Database db;
    QVERIFY(db.open(path, Database::Access::ReadOnly));
    QSqlQuery q(db.handle());
    QVERIFY(q.exec(u"SELECT ProName FROM KYPRO"_s) && q.next());
    QCOMPARE(q.value(0).toString(), u"测试"_s);
    QVERIFY(!QFile::exists(path + u"-wal"_s));
}

void TestSuppliedCourses::bothSetsMatchedOrTheUnreadableNamed_data() {
    QTest::addColumn<bool>("userTables");     // the main database holds the course tables
    QTest::addColumn<bool>("suppliedOpened"); // the supplied set's file could be opened
    QTest::addColumn<QStringList>("supplied");
    QTest::addColumn<QStringList>("problems"); // the lines after the caution's first
    const QStringList balanced{u"经络平衡日常保健"_s};
    QTest::newRow("both read") << true << true << balanced << QStringList();
    QTest::newRow("supplied set missing") << true << false << QStringList() << QStringList{u"orluMCn.mdb"_s};
    QTest::newRow("user set unreadable")
        << false << true << balanced << QStringList{u"文件中没有疗程数据表 (KYPRO, KYPRDT)"_s};
    QTest::newRow("neither") << false << false << QStringList()
                             << QStringList{u"文件中没有疗程数据表 (KYPRO, KYPRDT)"_s, u"orluMCn.mdb"_s};
}

// An unreadable set empties only its own list, and the caution names every set that failed.
void TestSuppliedCourses::bothSetsMatchedOrTheUnreadableNamed() {
    QFETCH(bool, userTables);
    QFETCH(bool, suppliedOpened);
    QFETCH(QStringList, supplied);
    QFETCH(QStringList, problems);
    test::TempHome home;
    const QString userPath = home.file(u"orlu4.mdb"_s);
    QVERIFY(createDatabaseFile(userPath, userTables ? SchemaKind::Main : SchemaKind::ReferenceTexts));
    Database userDb;
    QVERIFY(userDb.open(userPath, Database::Access::ReadOnly));
    const QString suppliedPath = home.file(u"orluMCn.mdb"_s);
    QVERIFY(buildSuppliedCourses(suppliedPath));
    Database suppliedDb;
    QVERIFY(suppliedDb.open(suppliedPath, Database::Access::ReadOnly));
    const CourseStore user(userDb.handle());
    const CourseStore suppliedSet(suppliedDb.handle());

    std::array<double, 24> w;
    w.fill(50.0);
    const MatchInputs in = matchInputs(analyse(w, true), toDayCount(QDate(1980, 5, 1)), QDate(2026, 6, 1));
    const CourseMatches m = matchCourses(user, suppliedOpened ? &suppliedSet : nullptr, in);
    QVERIFY(m.userCourses.isEmpty());
    QCOMPARE(m.suppliedCourses, supplied);
    if (problems.isEmpty())
        QVERIFY(m.problem.isEmpty());
    else
        QCOMPARE(m.problem, u"专家疗程资料无法读取，相关疗程项目将不会显示。\n"_s + problems.join(u'\n'));
}

QTEST_GUILESS_MAIN(TestSuppliedCourses)
#include "test_suppliedcourses.moc"
