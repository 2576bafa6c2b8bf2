#include "courses/coursemodels.h"
#include "courses/coursestore.h"
#include "storage/database.h"
#include "storage/schema.h"
#include "support/temphome.h"

#include <QAbstractItemModelTester>
#include <QtTest>

#include <memory>

using namespace orlu;
using namespace Qt::StringLiterals;

// The course window's two lists keep the item model contract through every change they go
// through: loading, reloading after an edit, another course, the pending row, clearing.
class TestCourseModels : public QObject {
    Q_OBJECT
private slots:
    void init();
    void courseListThroughChanges();
    void conditionListThroughChanges_data();
    void conditionListThroughChanges();

private:
    Course addCourse(const QString &no, const QString &name, int conditions);

    std::unique_ptr<test::TempHome> m_home;
    std::unique_ptr<Database> m_db;
    std::unique_ptr<CourseStore> m_store;
};

void TestCourseModels::init() {
    m_home = std::make_unique<test::TempHome>();
    const QString path = m_home->file(u"orlu4.mdb"_s);
    QString error;
    QVERIFY2(createDatabaseFile(path, SchemaKind::Main, &error), qPrintable(error));
    m_db = std::make_unique<Database>();
    QVERIFY2(m_db->open(path, Database::Access::Shared, &error), qPrintable(error));
    m_store = std::make_unique<CourseStore>(m_db->handle());
}

Course TestCourseModels::addCourse(const QString &no, const QString &name, int conditions) {
    Course c;
    c.proNo = no;
    c.name = name;
    if (!m_store->addCourse(c))
        qFatal("cannot add a course: %s", qPrintable(m_store->lastError()));
    for (int i = 1; i <= conditions; ++i) {
        Condition k;
        k.name = name + u"-"_s + QString::number(i);
        k.rule.cond = QString(24, u'0');
        k.rule.must = QString(24, u'0');
        if (!m_store->saveCondition(k, c))
            qFatal("cannot add a condition: %s", qPrintable(m_store->lastError()));
    }
    return c;
}

void TestCourseModels::courseListThroughChanges() {
    CourseListModel courses(*m_store);
    QAbstractItemModelTester tester(&courses, QAbstractItemModelTester::FailureReportingMode::QtTest);
    courses.reload();
    QCOMPARE(courses.rowCount(), 0);
    addCourse(u"B2"_s, u"乙"_s, 0);
    addCourse(u"a1"_s, u"甲"_s, 0);
    courses.reload();
    QCOMPARE(courses.rowCount(), 2);
    QCOMPARE(courses.courseAt(0).proNo, u"a1"_s);
    QCOMPARE(courses.rowOfNumber(u"b2"_s), 1);
    QVERIFY(m_store->deleteCourse(courses.courseAt(0).key));
    courses.reload();
    QCOMPARE(courses.rowCount(), 1);
}

void TestCourseModels::conditionListThroughChanges_data() {
    QTest::addColumn<int>("conditions");
    QTest::newRow("no conditions") << 0;
    QTest::newRow("three conditions") << 3;
}

void TestCourseModels::conditionListThroughChanges() {
    QFETCH(int, conditions);
    const Course course = addCourse(u"C1"_s, u"丙"_s, conditions);
    addCourse(u"C2"_s, u"丁"_s, 1);
    ConditionListModel list(*m_store);
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    list.showCourse(course.proNo);
    QCOMPARE(list.rowCount(), conditions);
    list.setPendingRow(true);
    QCOMPARE(list.rowCount(), conditions + 1);
    list.setPendingRow(false);
    QCOMPARE(list.rowCount(), conditions);
    list.showCourse(u"C2"_s);
    QCOMPARE(list.rowCount(), 1);
    list.reload();
    QCOMPARE(list.rowCount(), 1);
    list.clear();
    QCOMPARE(list.rowCount(), 0);
}

QTEST_GUILESS_MAIN(TestCourseModels)
#include "test_coursemodels.moc"
