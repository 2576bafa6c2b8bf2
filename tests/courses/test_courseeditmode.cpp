#include "courses/courseeditmode.h"

#include <QtTest>

using namespace orlu;

using Mode = CourseEditMode::Mode;
Q_DECLARE_METATYPE(Mode)

class TestCourseEditMode : public QObject {
    Q_OBJECT
private slots:
    void editBeginsOnlyOnSomethingToEditAndDefersChanges_data();
    void editBeginsOnlyOnSomethingToEditAndDefersChanges();
};

// One edit: begun with or without a course and condition (-1: none chosen), the
// register changed elsewhere during it or not, then ended.
void TestCourseEditMode::editBeginsOnlyOnSomethingToEditAndDefersChanges_data() {
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<bool>("haveCourse");
    QTest::addColumn<qint64>("condition");
    QTest::addColumn<bool>("changedMeanwhile");
    QTest::addColumn<bool>("begun");
    QTest::addColumn<qint64>("keyBeforeEdit");
    QTest::addColumn<bool>("readListsAtEnd");
    QTest::newRow("add at a condition")
        << Mode::AddCondition << true << qint64(7) << false << true << qint64(7) << false;
    QTest::newRow("add to an empty course")
        << Mode::AddCondition << true << qint64(-1) << false << true << qint64(0) << false;
    QTest::newRow("change, register changed meanwhile")
        << Mode::ChangeCondition << true << qint64(7) << true << true << qint64(7) << true;
    QTest::newRow("change without a condition")
        << Mode::ChangeCondition << true << qint64(-1) << true << false << qint64(0) << false;
    QTest::newRow("add without a course")
        << Mode::AddCondition << false << qint64(7) << true << false << qint64(0) << false;
}

void TestCourseEditMode::editBeginsOnlyOnSomethingToEditAndDefersChanges() {
    QFETCH(Mode, mode);
    QFETCH(bool, haveCourse);
    QFETCH(qint64, condition);
    QFETCH(bool, changedMeanwhile);
    QFETCH(bool, begun);
    QFETCH(qint64, keyBeforeEdit);
    QFETCH(bool, readListsAtEnd);
    CourseEditMode edit;
    QCOMPARE(edit.begin(mode, haveCourse, condition >= 0 ? std::optional(condition) : std::nullopt), begun);
    QCOMPARE(edit.mode(), begun ? mode : Mode::Browse);
    QCOMPARE(edit.keyBeforeEdit(), keyBeforeEdit);
    // A change while browsing is read at once; during an edit it waits for the end.
    if (changedMeanwhile)
        QCOMPARE(edit.registerChanged(), !begun);
    QCOMPARE(edit.end(), readListsAtEnd);
    QVERIFY(!edit.isEditing());
    QVERIFY(edit.registerChanged());
    QVERIFY(!edit.end());
}

QTEST_GUILESS_MAIN(TestCourseEditMode)
#include "test_courseeditmode.moc"
