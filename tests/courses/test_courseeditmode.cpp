#include "courses/coursecommands.h"
#include "courses/courseeditmode.h"

#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

using Mode = CourseEditMode::Mode;
Q_DECLARE_METATYPE(Mode)

class TestCourseEditMode : public QObject {
    Q_OBJECT
private slots:
    void editBeginsOnlyOnSomethingToEditAndDefersChanges_data();
    void editBeginsOnlyOnSomethingToEditAndDefersChanges();
    void commandsFollowModeListAndContents_data();
    void commandsFollowModeListAndContents();
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

// The view: e editing, n the condition list entered last, c a course chosen, C courses there,
// d conditions there.
void TestCourseEditMode::commandsFollowModeListAndContents_data() {
    QTest::addColumn<QString>("view");
    QTest::addColumn<QString>("open");
    QTest::newRow("course list") << u"cCd"_s
                                 << u"addCourse changeCourse deleteCourse addCondition exit lists"_s;
    QTest::newRow("condition list") << u"ncCd"_s
                                    << u"addCondition changeCondition deleteCondition exit lists"_s;
    QTest::newRow("condition list, course without conditions") << u"ncC"_s << u"addCondition exit lists"_s;
    QTest::newRow("empty register, condition list") << u"n"_s << u"exit lists"_s;
    QTest::newRow("empty register") << u""_s << u"addCourse exit lists"_s;
    QTest::newRow("course listed but unreadable")
        << u"C"_s << u"addCourse changeCourse deleteCourse exit lists"_s;
    QTest::newRow("editing") << u"ecCd"_s << u"confirm abandon"_s;
}

void TestCourseEditMode::commandsFollowModeListAndContents() {
    QFETCH(QString, view);
    QFETCH(QString, open);
    const CourseCommands c =
        CourseCommands::of({view.contains(u'e'), view.contains(u'n'), view.contains(u'c'),
                            view.contains(u'C'), view.contains(u'd')});
    QStringList opened;
    const std::pair<bool, const char16_t *> commands[] = {{c.addCourse, u"addCourse"},
                                                          {c.changeCourse, u"changeCourse"},
                                                          {c.deleteCourse, u"deleteCourse"},
                                                          {c.addCondition, u"addCondition"},
                                                          {c.changeCondition, u"changeCondition"},
                                                          {c.deleteCondition, u"deleteCondition"},
                                                          {c.confirm, u"confirm"},
                                                          {c.abandon, u"abandon"},
                                                          {c.exit, u"exit"},
                                                          {c.lists, u"lists"}};
    for (const auto &[isOpen, name] : commands) {
        if (isOpen)
            opened << QString::fromUtf16(name);
    }
    QCOMPARE(opened.join(u' '), open);
}

QTEST_GUILESS_MAIN(TestCourseEditMode)
#include "test_courseeditmode.moc"
