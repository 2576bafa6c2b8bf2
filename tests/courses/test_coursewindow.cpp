#include "courses/ui/courseeditwindow.h"
#include "courses/ui/coursewindow.h"
#include "coursewindowfixture.h"
#include "support/windowdriver.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableView>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

#include <functional>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestCourseWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void opensInBrowseMode();
    void staysOpenAfterItsEditWindow();
    void enteredListDecidesTheButtons();
    void editorFollowsTheConditionRow();
    void addingConditionStoresTheEditor_data();
    void addingConditionStoresTheEditor();
    void editModeLocksTheWindow();
    void abandonAfterAddingLeavesNoRow();
    void changingConditionUpdatesItsRow();
    void deletingCourseAsksAndRemovesItsConditions_data();
    void deletingCourseAsksAndRemovesItsConditions();
    void deletingConditionAsks_data();
    void deletingConditionAsks();
    void addsCourseThroughTheEditWindow();
    void refusesNumberDifferingOnlyInCase();
    void changesCourseThroughTheEditWindow();
    void launchButtonsStartTrimmedTargets();
    void pictureIsLoadedClearedAndScaled();
    void emptyRegisterOffersOnlyAddingCourses();
    void screenshots();

private:
    template <typename T> T *find(const QString &name) { return test::control<T>(m_window.get(), name); }
    QToolButton *button(const QString &name) { return find<QToolButton>(name); }
    QString text(const QString &label) { return find<QLabel>(label)->text(); }
    void openCourseWindow();
    void enter(const QString &list);
    void selectRow(const QString &list, int row);
    // Works the course edit window while it runs modally.
    void whileEditWindowRuns(std::function<void(CourseEditWindow &)> work);

    std::unique_ptr<CourseWindowFixture> m_fx;
    std::unique_ptr<CourseWindow> m_window;
    Course m_lung;
    Course m_liver;
};

void TestCourseWindow::init() {
    m_fx = std::make_unique<CourseWindowFixture>();
    m_lung = m_fx->addCourse(u"A01"_s, u"肺经虚证调理"_s, 2);
    m_liver = m_fx->addCourse(u"B02"_s, u"肝经实证疏泄"_s, 4);
    m_fx->addCourse(u"C03"_s, u"体能低落调养"_s, 0);
}

void TestCourseWindow::cleanup() {
    m_window.reset();
    m_fx.reset();
}

void TestCourseWindow::openCourseWindow() {
    m_window =
        std::make_unique<CourseWindow>(CourseStore(m_fx->database().handle()), m_fx->prompter, m_fx->launcher,
                                       [this](AlertTone tone) { m_fx->tones << static_cast<int>(tone); });
    m_window->show();
}

void TestCourseWindow::enter(const QString &list) {
    QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(find<QTableView>(list), &focus);
}

void TestCourseWindow::selectRow(const QString &list, int row) {
    auto *view = find<QTableView>(list);
    view->setCurrentIndex(view->model()->index(row, 1));
}

void TestCourseWindow::whileEditWindowRuns(std::function<void(CourseEditWindow &)> work) {
    onNextModal(m_window.get(), [work](QWidget *w) {
        auto *edit = qobject_cast<CourseEditWindow *>(w);
        if (!edit)
            qFatal("the course edit window did not open");
        work(*edit);
        if (edit->isVisible())
            edit->reject();
    });
}

// Run modally, as the main window runs it: the edit window hides the course
// window meanwhile, and closing the edit window must bring it back, not end it.
void TestCourseWindow::staysOpenAfterItsEditWindow() {
    openCourseWindow();
    m_window->hide();
    bool visibleAfterEdit = false;
    bool closedByTest = false;
    QTimer::singleShot(0, m_window.get(), [this, &visibleAfterEdit, &closedByTest] {
        onNextModal(m_window.get(), [](QWidget *edit) { edit->close(); });
        button(u"changeCourseButton"_s)->click();
        visibleAfterEdit = m_window->isVisible();
        // Still running its modal loop: only this ends it.
        QTimer::singleShot(0, m_window.get(), [this, &closedByTest] {
            closedByTest = true;
            m_window->done(QDialog::Accepted);
        });
    });
    m_window->exec();
    QVERIFY(visibleAfterEdit);
    QVERIFY2(closedByTest, "the course window ended together with its edit window");
}

void TestCourseWindow::opensInBrowseMode() {
    openCourseWindow();
    QCOMPARE(m_window->windowTitle(), u"自订专家疗程"_s);
    QVERIFY(test::fitsSmallScreen(m_window.get()));
    QCOMPARE(text(u"statusLabel"_s), u"【查询疗程模式】"_s);
    QCOMPARE(text(u"countLabel"_s), u"     3  -  [ 2 ]"_s);
    QCOMPARE(text(u"courseNoLabel"_s), u"A01"_s);
    QCOMPARE(text(u"courseNameLabel"_s), u"肺经虚证调理"_s);
    QCOMPARE(find<QLineEdit>(u"conditionNameEdit"_s)->text(), u"肺经虚证调理-1"_s);
    QVERIFY(find<QLineEdit>(u"conditionNameEdit"_s)->isReadOnly());
    QVERIFY(find<QCheckBox>(u"requiredCheck"_s)->isChecked());
    QVERIFY(find<QPlainTextEdit>(u"descriptionEdit"_s)->isReadOnly());
    // With a course chosen a condition can be added at once.
    QVERIFY(button(u"addConditionButton"_s)->isEnabled());
    for (const char *name :
         {"changeConditionButton", "deleteConditionButton", "abandonButton", "confirmButton"})
        QVERIFY2(!button(QString::fromLatin1(name))->isEnabled(), name);
    for (const char *name : {"addCourseButton", "changeCourseButton", "deleteCourseButton", "exitButton"})
        QVERIFY2(button(QString::fromLatin1(name))->isEnabled(), name);
    QCOMPARE(button(u"addConditionButton"_s)->toolTip(), u"新增一笔疗程判断条件判断条件"_s);
    QCOMPARE(button(u"abandonButton"_s)->text(), u"放  弃"_s);
    // Launch buttons follow ProFN and show their descriptions as hints.
    QVERIFY(button(u"launchButton1"_s)->isEnabled());
    QVERIFY(!button(u"launchButton2"_s)->isEnabled());
    QVERIFY(button(u"launchButton3"_s)->isEnabled());
    QCOMPARE(button(u"launchButton1"_s)->toolTip(), u"播放教学影片"_s);
    QVERIFY(button(u"launchButton1"_s)->text().isEmpty());
    QVERIFY(!find<QWidget>(u"loadPictureButton"_s)->isEnabled());
    QVERIFY(!find<QCheckBox>(u"mustCheck6"_s)->isEnabled());
}

void TestCourseWindow::enteredListDecidesTheButtons() {
    openCourseWindow();
    enter(u"conditionList"_s);
    QVERIFY(!button(u"addCourseButton"_s)->isEnabled());
    QVERIFY(!button(u"changeCourseButton"_s)->isEnabled());
    QVERIFY(!button(u"deleteCourseButton"_s)->isEnabled());
    QVERIFY(button(u"addConditionButton"_s)->isEnabled());
    QVERIFY(button(u"changeConditionButton"_s)->isEnabled());
    QVERIFY(button(u"deleteConditionButton"_s)->isEnabled());
    QVERIFY(
        find<QTableView>(u"conditionList"_s)->horizontalHeader()->styleSheet().contains(u"255, 176, 128"_s));
    QVERIFY(
        !find<QTableView>(u"courseList"_s)->horizontalHeader()->styleSheet().contains(u"255, 176, 128"_s));

    enter(u"courseList"_s);
    selectRow(u"courseList"_s, 2); // the course without conditions
    QCOMPARE(text(u"countLabel"_s), u"     3  -  [ 0 ]"_s);
    QVERIFY(button(u"addConditionButton"_s)->isEnabled()); // a course is chosen
    QVERIFY(button(u"deleteCourseButton"_s)->isEnabled());
    enter(u"conditionList"_s);
    QVERIFY(button(u"addConditionButton"_s)->isEnabled());
    QVERIFY(!button(u"changeConditionButton"_s)->isEnabled());
    QVERIFY(!button(u"deleteConditionButton"_s)->isEnabled());
}

void TestCourseWindow::editorFollowsTheConditionRow() {
    openCourseWindow();
    selectRow(u"courseList"_s, 1);
    QCOMPARE(text(u"countLabel"_s), u"     3  -  [ 4 ]"_s);
    selectRow(u"conditionList"_s, 2);
    QCOMPARE(find<QLineEdit>(u"conditionNameEdit"_s)->text(), u"肝经实证疏泄-3"_s);
    QCOMPARE(find<QLineEdit>(u"conditionNoteEdit"_s)->text(), u"说明 3"_s);
    QVERIFY(!find<QCheckBox>(u"requiredCheck"_s)->isChecked());
    // Condition 3 has code 1 at position 6.
    QVERIFY(find<QCheckBox>(u"lowCheck6"_s)->isChecked());
    QVERIFY(!find<QCheckBox>(u"highCheck6"_s)->isChecked());
    auto *list = find<QTableView>(u"conditionList"_s);
    QCOMPARE(list->model()->index(0, 1).data().toString(), u"X"_s);
    QCOMPARE(list->model()->index(1, 1).data().toString(), QString());
}

void TestCourseWindow::addingConditionStoresTheEditor_data() {
    QTest::addColumn<QStringList>("tick");
    QTest::addColumn<int>("comparison");
    QTest::addColumn<int>("energy");
    QTest::addColumn<QString>("cond");
    QTest::addColumn<QString>("must");
    QTest::addColumn<double>("storedEnergy");
    const QString zeros(24, u'0');
    QTest::newRow("lung row alone") << QStringList{u"mustCheck6"_s} << -1 << 0 << zeros
                                    << u"000001000000000000000000"_s << 0.0;
    QTest::newRow("both heart boxes") << QStringList{u"lowCheck10"_s, u"highCheck10"_s} << -1 << 0
                                      << u"000000000300000000000000"_s << zeros << 0.0;
    QTest::newRow("range below 45") << QStringList{u"rangeCheck"_s} << 2 << 45
                                    << u"600000000000000000000000"_s << zeros << 45.0;
}

void TestCourseWindow::addingConditionStoresTheEditor() {
    QFETCH(QStringList, tick);
    QFETCH(int, comparison);
    QFETCH(int, energy);
    QFETCH(QString, cond);
    QFETCH(QString, must);
    QFETCH(double, storedEnergy);
    openCourseWindow();
    enter(u"conditionList"_s);
    button(u"addConditionButton"_s)->click();
    QCOMPARE(text(u"statusLabel"_s), u"【新增条件模式】"_s);
    find<QLineEdit>(u"conditionNameEdit"_s)->setText(u"新条件"_s);
    find<QLineEdit>(u"conditionNoteEdit"_s)->setText(u"说明"_s);
    for (const QString &name : tick)
        find<QCheckBox>(name)->setChecked(true);
    if (comparison >= 0)
        find<QComboBox>(u"comparisonCombo"_s)->setCurrentIndex(comparison);
    find<QSpinBox>(u"energySpin"_s)->setValue(energy);
    button(u"confirmButton"_s)->click();

    QCOMPARE(text(u"statusLabel"_s), u"【查询疗程模式】"_s);
    QCOMPARE(text(u"countLabel"_s), u"     3  -  [ 3 ]"_s);
    const QList<Condition> stored = m_fx->store().conditions(u"A01"_s);
    QCOMPARE(stored.size(), 3);
    const Condition &c = stored.last();
    QCOMPARE(c.name, u"新条件"_s);
    QCOMPARE(c.note, u"说明"_s);
    QCOMPARE(c.rule.cond, cond);
    QCOMPARE(c.rule.must, must);
    QCOMPARE(c.rule.energy, storedEnergy);
    QVERIFY(!c.rule.required);
    // Back in browse mode on the new condition.
    QCOMPARE(find<QTableView>(u"conditionList"_s)->currentIndex().row(), 2);
    QVERIFY(find<QTableView>(u"conditionList"_s)->isEnabled());
    QVERIFY(button(u"exitButton"_s)->isEnabled());
    QVERIFY(button(u"changeConditionButton"_s)->isEnabled());
    QVERIFY(!button(u"confirmButton"_s)->isEnabled());
    QVERIFY(find<QLineEdit>(u"conditionNameEdit"_s)->isReadOnly());
}

void TestCourseWindow::editModeLocksTheWindow() {
    openCourseWindow();
    enter(u"conditionList"_s);
    button(u"addConditionButton"_s)->click();
    QVERIFY(!find<QTableView>(u"courseList"_s)->isEnabled());
    QVERIFY(!find<QTableView>(u"conditionList"_s)->isEnabled());
    for (const char *name :
         {"addCourseButton", "changeCourseButton", "deleteCourseButton", "addConditionButton",
          "changeConditionButton", "deleteConditionButton", "exitButton"})
        QVERIFY2(!button(QString::fromLatin1(name))->isEnabled(), name);
    QVERIFY(button(u"confirmButton"_s)->isEnabled());
    QVERIFY(button(u"abandonButton"_s)->isEnabled());
    QVERIFY(find<QCheckBox>(u"mustCheck6"_s)->isEnabled());
    QVERIFY(find<QCheckBox>(u"requiredCheck"_s)->isEnabled());
    QVERIFY(!find<QPlainTextEdit>(u"descriptionEdit"_s)->isReadOnly());
    QVERIFY(find<QWidget>(u"loadPictureButton"_s)->isEnabled());
    // The new row is shown empty at the end of the list.
    QCOMPARE(find<QTableView>(u"conditionList"_s)->model()->rowCount(), 3);
    QVERIFY(find<QLineEdit>(u"conditionNameEdit"_s)->text().isEmpty());
    // Neither the close box nor Esc drops the edit.
    m_window->close();
    QVERIFY(m_window->isVisible());
    QCOMPARE(m_window->mode(), CourseWindow::Mode::AddCondition);
}

void TestCourseWindow::abandonAfterAddingLeavesNoRow() {
    openCourseWindow();
    const int rows = m_fx->conditionRows();
    enter(u"conditionList"_s);
    button(u"addConditionButton"_s)->click();
    find<QLineEdit>(u"conditionNameEdit"_s)->setText(u"不要"_s);
    find<QCheckBox>(u"mustCheck6"_s)->setChecked(true);
    find<QPlainTextEdit>(u"descriptionEdit"_s)->setPlainText(u"改过的说明"_s);
    button(u"abandonButton"_s)->click();
    QCOMPARE(m_fx->conditionRows(), rows);
    QCOMPARE(text(u"countLabel"_s), u"     3  -  [ 2 ]"_s);
    QCOMPARE(text(u"statusLabel"_s), u"【查询疗程模式】"_s);
    QCOMPARE(find<QTableView>(u"conditionList"_s)->model()->rowCount(), 2);
    QCOMPARE(find<QPlainTextEdit>(u"descriptionEdit"_s)->toPlainText(), u"肺经虚证调理的说明"_s);
    QCOMPARE(m_fx->store().course(m_lung.key)->description, u"肺经虚证调理的说明"_s);
    QCOMPARE(find<QLineEdit>(u"conditionNameEdit"_s)->text(), u"肺经虚证调理-1"_s);
}

void TestCourseWindow::changingConditionUpdatesItsRow() {
    openCourseWindow();
    enter(u"conditionList"_s);
    selectRow(u"conditionList"_s, 1);
    button(u"changeConditionButton"_s)->click();
    QCOMPARE(text(u"statusLabel"_s), u"【修改疗程模式】"_s);
    QCOMPARE(find<QLineEdit>(u"conditionNameEdit"_s)->text(), u"肺经虚证调理-2"_s);
    find<QLineEdit>(u"conditionNameEdit"_s)->setText(u"改名"_s);
    find<QCheckBox>(u"requiredCheck"_s)->setChecked(true);
    find<QCheckBox>(u"sexCheck"_s)->setChecked(true);
    find<QPlainTextEdit>(u"descriptionEdit"_s)->setPlainText(u"新说明"_s);
    button(u"confirmButton"_s)->click();
    const QList<Condition> stored = m_fx->store().conditions(u"A01"_s);
    QCOMPARE(stored.size(), 2);
    QCOMPARE(stored[1].name, u"改名"_s);
    QVERIFY(stored[1].rule.required);
    QCOMPARE(stored[1].rule.cond.at(23), u'1');
    QCOMPARE(stored[1].rule.cond.at(5), u'3'); // kept from before
    QCOMPARE(m_fx->store().course(m_lung.key)->description, u"新说明"_s);
    QCOMPARE(find<QTableView>(u"conditionList"_s)->currentIndex().row(), 1);
}

void TestCourseWindow::deletingCourseAsksAndRemovesItsConditions_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestCourseWindow::deletingCourseAsksAndRemovesItsConditions() {
    QFETCH(bool, yes);
    openCourseWindow();
    selectRow(u"courseList"_s, 1);
    m_fx->prompter.answer(yes);
    button(u"deleteCourseButton"_s)->click();
    QCOMPARE(m_fx->tones, QList<int>{1});
    QCOMPARE(m_fx->prompter.asked().size(), 1);
    QCOMPARE(m_fx->prompter.asked()[0].type, MessageType::AskCaution);
    QCOMPARE(m_fx->prompter.asked()[0].text, u"您确定要删除【肝经实证疏泄】这笔疗程群组吗 ?"_s);
    QCOMPARE(text(u"statusLabel"_s), u"【查询疗程模式】"_s);
    if (yes) {
        QVERIFY(!m_fx->store().course(m_liver.key));
        QCOMPARE(m_fx->store().conditionCount(u"B02"_s), 0);
        QCOMPARE(m_fx->conditionRows(), 2);
        // The next course becomes the current one.
        QCOMPARE(text(u"courseNoLabel"_s), u"C03"_s);
        QCOMPARE(text(u"countLabel"_s), u"     2  -  [ 0 ]"_s);
    } else {
        QCOMPARE(m_fx->conditionRows(), 6);
        QCOMPARE(text(u"courseNoLabel"_s), u"B02"_s);
        QCOMPARE(text(u"countLabel"_s), u"     3  -  [ 4 ]"_s);
    }
}

void TestCourseWindow::deletingConditionAsks_data() {
    QTest::addColumn<bool>("yes");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestCourseWindow::deletingConditionAsks() {
    QFETCH(bool, yes);
    openCourseWindow();
    enter(u"conditionList"_s);
    selectRow(u"conditionList"_s, 1);
    m_fx->prompter.answer(yes);
    button(u"deleteConditionButton"_s)->click();
    QCOMPARE(m_fx->tones, QList<int>{1});
    QCOMPARE(m_fx->prompter.asked()[0].type, MessageType::AskCaution);
    QCOMPARE(m_fx->prompter.asked()[0].text, u"您确定要删除【肺经虚证调理-2】这笔条件吗 ?"_s);
    QCOMPARE(text(u"statusLabel"_s), u"【查询疗程模式】"_s);
    QCOMPARE(m_fx->store().conditionCount(u"A01"_s), yes ? 1 : 2);
    QCOMPARE(text(u"countLabel"_s), yes ? u"     3  -  [ 1 ]"_s : u"     3  -  [ 2 ]"_s);
    if (!yes)
        return;
    QCOMPARE(find<QLineEdit>(u"conditionNameEdit"_s)->text(), u"肺经虚证调理-1"_s);
    m_fx->prompter.answer(true);
    button(u"deleteConditionButton"_s)->click();
    QCOMPARE(m_fx->store().conditionCount(u"A01"_s), 0);
    QVERIFY(!button(u"changeConditionButton"_s)->isEnabled());
    QVERIFY(!button(u"deleteConditionButton"_s)->isEnabled());
    QVERIFY(find<QLineEdit>(u"conditionNameEdit"_s)->text().isEmpty());
}

void TestCourseWindow::addsCourseThroughTheEditWindow() {
    openCourseWindow();
    bool windowHidden = false;
    whileEditWindowRuns([&](CourseEditWindow &edit) {
        windowHidden = !m_window->isVisible();
        test::control<QLineEdit>(&edit, u"numberEdit"_s)->setText(u"  A02 "_s);
        test::control<QLineEdit>(&edit, u"nameEdit"_s)->setText(u"新疗程"_s);
        test::control<QToolButton>(&edit, u"saveButton"_s)->click();
    });
    button(u"addCourseButton"_s)->click();
    QVERIFY(windowHidden);
    QVERIFY(m_window->isVisible());
    QCOMPARE(text(u"courseNoLabel"_s), u"A02"_s);
    QCOMPARE(text(u"courseNameLabel"_s), u"新疗程"_s);
    QCOMPARE(text(u"countLabel"_s), u"     4  -  [ 0 ]"_s);
    QCOMPARE(find<QTableView>(u"courseList"_s)->currentIndex().row(), 1);
    QVERIFY(button(u"changeCourseButton"_s)->isEnabled());
}

void TestCourseWindow::refusesNumberDifferingOnlyInCase() {
    openCourseWindow();
    bool stillOpen = false;
    whileEditWindowRuns([&](CourseEditWindow &edit) {
        test::control<QLineEdit>(&edit, u"numberEdit"_s)->setText(u"b02"_s);
        test::control<QLineEdit>(&edit, u"nameEdit"_s)->setText(u"重复"_s);
        test::control<QToolButton>(&edit, u"saveButton"_s)->click();
        stillOpen = edit.isVisible();
        test::control<QToolButton>(&edit, u"exitButton"_s)->click();
    });
    button(u"addCourseButton"_s)->click();
    QVERIFY(stillOpen);
    QCOMPARE(m_fx->tones, QList<int>{1});
    QCOMPARE(m_fx->prompter.asked().size(), 1);
    QCOMPARE(m_fx->prompter.asked()[0].type, MessageType::NoteCaution);
    QCOMPARE(m_fx->prompter.asked()[0].text,
             u"您所输入的群组编号已经与另一群组 [ 肝经实证疏泄 ] 重复!!请重新指定另一个编号。"_s);
    QCOMPARE(m_fx->store().courses().size(), 3);
    // The course that was current before is current again.
    QCOMPARE(text(u"courseNoLabel"_s), u"A01"_s);
}

void TestCourseWindow::changesCourseThroughTheEditWindow() {
    openCourseWindow();
    selectRow(u"courseList"_s, 1);
    bool numberLocked = false;
    whileEditWindowRuns([&](CourseEditWindow &edit) {
        numberLocked = !test::control<QLineEdit>(&edit, u"numberEdit"_s)->isEnabled();
        test::control<QLineEdit>(&edit, u"nameEdit"_s)->setText(u"肝经疏泄"_s);
        test::control<QCheckBox>(&edit, u"launchCheck2"_s)->setChecked(true);
        test::control<QToolButton>(&edit, u"saveButton"_s)->click();
    });
    button(u"changeCourseButton"_s)->click();
    QVERIFY(numberLocked);
    QCOMPARE(text(u"courseNameLabel"_s), u"肝经疏泄"_s);
    QCOMPARE(text(u"courseNoLabel"_s), u"B02"_s);
    QVERIFY(button(u"launchButton2"_s)->isEnabled());
    QCOMPARE(m_fx->store().conditionCount(u"B02"_s), 4);
}

void TestCourseWindow::launchButtonsStartTrimmedTargets() {
    openCourseWindow();
    button(u"launchButton1"_s)->click();
    button(u"launchButton2"_s)->click(); // not in use
    button(u"launchButton3"_s)->click();
    QCOMPARE(m_fx->launcher.programs.size(), 1);
    QCOMPARE(m_fx->launcher.programs[0].program, u"C:\\player\\play.exe"_s);
    QCOMPARE(m_fx->launcher.programs[0].parameters, u"lesson1.avi"_s);
    QCOMPARE(m_fx->launcher.documents, QStringList{u"guide.pdf"_s});
}

void TestCourseWindow::pictureIsLoadedClearedAndScaled() {
    openCourseWindow();
    const QString photo = m_fx->writePicture(u"photo.png"_s, 40, 30);
    QString chosen = photo;
    m_window->setFileChooser([&](const QString &, const QString &) { return chosen; });
    enter(u"conditionList"_s);
    button(u"changeConditionButton"_s)->click();
    find<QPushButton>(u"loadPictureButton"_s)->click();
    auto *picture = find<CoursePicture>(u"picture"_s);
    QVERIFY(picture->hasImage());
    QVERIFY(!picture->ownSize());
    // Stretched: the whole frame is used, proportions kept.
    QVERIFY(picture->imageRect().width() > 40);
    find<QCheckBox>(u"scaleCheck"_s)->setChecked(true);
    QCOMPARE(picture->imageRect().size(), QSize(40, 30));
    button(u"confirmButton"_s)->click();
    QFile f(photo);
    QVERIFY(f.open(QIODevice::ReadOnly));
    std::optional<Course> stored = m_fx->store().course(m_lung.key);
    QCOMPARE(stored->picture, f.readAll());
    QVERIFY(stored->scaled);
    QVERIFY(find<QCheckBox>(u"scaleCheck"_s)->isChecked());

    // A file that is no picture is refused with a note.
    const QString notPicture = m_fx->writePicture(u"x.png"_s, 1, 1) + u".txt"_s;
    QFile(notPicture).open(QIODevice::WriteOnly);
    chosen = notPicture;
    button(u"changeConditionButton"_s)->click();
    find<QPushButton>(u"loadPictureButton"_s)->click();
    QCOMPARE(m_fx->prompter.asked().size(), 1);
    QVERIFY(picture->hasImage());
    find<QPushButton>(u"clearPictureButton"_s)->click();
    QVERIFY(!picture->hasImage());
    button(u"confirmButton"_s)->click();
    QVERIFY(m_fx->store().course(m_lung.key)->picture.isEmpty());
}

void TestCourseWindow::emptyRegisterOffersOnlyAddingCourses() {
    m_fx = std::make_unique<CourseWindowFixture>();
    openCourseWindow();
    QCOMPARE(text(u"countLabel"_s), u"     0  -  [ 0 ]"_s);
    QVERIFY(button(u"addCourseButton"_s)->isEnabled());
    QVERIFY(!button(u"changeCourseButton"_s)->isEnabled());
    QVERIFY(!button(u"deleteCourseButton"_s)->isEnabled());
    enter(u"conditionList"_s);
    QVERIFY(!button(u"addConditionButton"_s)->isEnabled());
    for (int k = 1; k <= 4; ++k)
        QVERIFY(!button(u"launchButton"_s + QString::number(k))->isEnabled());
}

void TestCourseWindow::screenshots() {
    const QString dir = qEnvironmentVariable("ORLU_SCREENSHOTS");
    if (dir.isEmpty())
        QSKIP("set ORLU_SCREENSHOTS to a folder to render the windows");
    openCourseWindow();
    m_window->setFileChooser(
        [this](const QString &, const QString &) { return m_fx->writePicture(u"p.png"_s, 320, 200); });
    QApplication::processEvents();
    selectRow(u"courseList"_s, 1);
    enter(u"conditionList"_s);
    selectRow(u"conditionList"_s, 1);
    QVERIFY(m_window->grab().save(dir + u"/kyprof-browse.png"_s));
    button(u"changeConditionButton"_s)->click();
    find<QCheckBox>(u"rangeCheck"_s)->setChecked(true);
    find<QCheckBox>(u"mustCheck14"_s)->setChecked(true);
    find<QCheckBox>(u"ageLowCheck"_s)->setChecked(true);
    find<QPushButton>(u"loadPictureButton"_s)->click();
    QApplication::processEvents();
    QVERIFY(m_window->grab().save(dir + u"/kyprof-edit.png"_s));
    button(u"confirmButton"_s)->click();
    enter(u"courseList"_s);
    whileEditWindowRuns([dir](CourseEditWindow &edit) {
        QApplication::processEvents();
        edit.grab().save(dir + u"/kyprom-change.png"_s);
    });
    button(u"changeCourseButton"_s)->click();
}

QTEST_MAIN(TestCourseWindow)
#include "test_coursewindow.moc"
