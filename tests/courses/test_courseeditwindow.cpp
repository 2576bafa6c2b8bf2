#include "courses/ui/courseeditwindow.h"
#include "coursewindowfixture.h"

#include <QCheckBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QtTest>

using namespace orlu;
using namespace orlu::test;
using namespace Qt::StringLiterals;

class TestCourseEditWindow : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addModeStartsEmpty();
    void addStoresEveryColumn();
    void refusesTakenNumbers_data();
    void refusesTakenNumbers();
    void changeModeKeepsTheNumber();
    void boxesShowTheirTextAsHint();
    void browseButtonsFillTheirBoxes();
    void testButtonsLaunchWhatIsTyped();
    void leavingStoresNothing();

private:
    void open(CourseEditWindow::Mode mode, const std::optional<Course> &current = std::nullopt);
    template <typename T> T *find(const QString &name) { return test::control<T>(m_window.get(), name); }
    QLineEdit *edit(const QString &name) { return find<QLineEdit>(name); }
    QToolButton *button(const QString &name) { return find<QToolButton>(name); }

    std::unique_ptr<CourseWindowFixture> m_fx;
    std::unique_ptr<CourseEditWindow> m_window;
    Course m_course;
    QStringList m_filters;
    QString m_chosen;
};

void TestCourseEditWindow::init() {
    m_fx = std::make_unique<CourseWindowFixture>();
    m_course = m_fx->addCourse(u"A01"_s, u"肺经虚证调理"_s, 2);
    m_filters.clear();
    m_chosen.clear();
}

void TestCourseEditWindow::cleanup() {
    m_window.reset();
    m_fx.reset();
}

void TestCourseEditWindow::open(CourseEditWindow::Mode mode, const std::optional<Course> &current) {
    m_window = std::make_unique<CourseEditWindow>(
        m_fx->store(), m_fx->prompter, m_fx->launcher,
        [this](AlertTone tone) { m_fx->tones << static_cast<int>(tone); }, mode, current);
    m_window->setFileChooser([this](const QString &, const QString &filter) {
        m_filters << filter;
        return m_chosen;
    });
    m_window->show();
}

void TestCourseEditWindow::addModeStartsEmpty() {
    open(CourseEditWindow::Mode::Add, m_course);
    QCOMPARE(m_window->windowTitle(), u"专家疗程异动"_s);
    QVERIFY(edit(u"numberEdit"_s)->isEnabled());
    QVERIFY(edit(u"numberEdit"_s)->text().isEmpty());
    QVERIFY(edit(u"nameEdit"_s)->text().isEmpty());
    QVERIFY(edit(u"hintEdit1"_s)->text().isEmpty());
    QVERIFY(!find<QCheckBox>(u"launchCheck1"_s)->isChecked());
    QVERIFY(!find<QCheckBox>(u"ownSizeCheck"_s)->isChecked());
    QVERIFY(!button(u"saveButton"_s)->isEnabled());
    QCOMPARE(button(u"saveButton"_s)->text(), u"储存数据  "_s);
    QCOMPARE(button(u"exitButton"_s)->text(), u"   离  开   "_s);
    edit(u"numberEdit"_s)->setText(u"   "_s);
    QVERIFY(!button(u"saveButton"_s)->isEnabled());
    edit(u"numberEdit"_s)->setText(u"X1"_s);
    QVERIFY(button(u"saveButton"_s)->isEnabled());
    QCOMPARE(edit(u"numberEdit"_s)->maxLength(), 12);
    QCOMPARE(edit(u"nameEdit"_s)->maxLength(), 24);
}

void TestCourseEditWindow::addStoresEveryColumn() {
    open(CourseEditWindow::Mode::Add);
    m_chosen = m_fx->writePicture(u"photo.png"_s, 20, 10);
    edit(u"numberEdit"_s)->setText(u"  B07 "_s);
    edit(u"nameEdit"_s)->setText(u"肝经实证疏泄"_s);
    find<QPlainTextEdit>(u"descriptionEdit"_s)->setPlainText(u"第一行\n第二行"_s);
    find<QPushButton>(u"loadPictureButton"_s)->click();
    find<QCheckBox>(u"ownSizeCheck"_s)->setChecked(true);
    find<QCheckBox>(u"launchCheck1"_s)->setChecked(true);
    find<QCheckBox>(u"launchCheck4"_s)->setChecked(true);
    edit(u"hintEdit1"_s)->setText(u" 影片 "_s);
    edit(u"programEdit1"_s)->setText(u"C:\\a.exe "_s);
    edit(u"parameterEdit4"_s)->setText(u"http://example.org"_s);
    button(u"saveButton"_s)->click();

    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QCOMPARE(m_window->addedNumber(), u"B07"_s);
    const std::optional<CourseSummary> found = m_fx->store().findByNumber(u"b07"_s);
    QVERIFY(found);
    const Course c = *m_fx->store().course(found->key);
    QCOMPARE(c.proNo, u"B07"_s); // stored trimmed, so later look-ups find it
    QCOMPARE(c.name, u"肝经实证疏泄"_s);
    QCOMPARE(c.description, u"第一行\n第二行"_s);
    QCOMPARE(c.launchFlags, u"1001"_s);
    QCOMPARE(c.hints[0], u" 影片 "_s); // as typed
    QCOMPARE(c.programs[0], u"C:\\a.exe "_s);
    QCOMPARE(c.parameters[3], u"http://example.org"_s);
    QVERIFY(c.scaled);
    QFile f(m_chosen);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(c.picture, f.readAll());
    QVERIFY(m_filters.first().contains(u"*.png"_s));
}

void TestCourseEditWindow::refusesTakenNumbers_data() {
    QTest::addColumn<QString>("number");
    QTest::newRow("same") << u"A01"_s;
    QTest::newRow("other letter case") << u"a01"_s;
    QTest::newRow("with blanks") << u" a01  "_s;
}

void TestCourseEditWindow::refusesTakenNumbers() {
    QFETCH(QString, number);
    open(CourseEditWindow::Mode::Add);
    edit(u"numberEdit"_s)->setText(number);
    edit(u"nameEdit"_s)->setText(u"另一个"_s);
    button(u"saveButton"_s)->click();
    QCOMPARE(m_fx->tones, QList<int>{1});
    QCOMPARE(m_fx->prompter.asked().size(), 1);
    QCOMPARE(m_fx->prompter.asked()[0].type, MessageType::NoteCaution);
    QCOMPARE(m_fx->prompter.asked()[0].text,
             u"您所输入的群组编号已经与另一群组 [ 肺经虚证调理 ] 重复!!请重新指定另一个编号。"_s);
    QVERIFY(m_window->isVisible());
    QVERIFY(m_window->addedNumber().isEmpty());
    QCOMPARE(m_fx->store().courses().size(), 1);
}

void TestCourseEditWindow::changeModeKeepsTheNumber() {
    open(CourseEditWindow::Mode::Change, m_course);
    QVERIFY(!edit(u"numberEdit"_s)->isEnabled());
    QCOMPARE(edit(u"numberEdit"_s)->text(), u"A01"_s);
    QCOMPARE(edit(u"nameEdit"_s)->text(), u"肺经虚证调理"_s);
    QVERIFY(find<QCheckBox>(u"launchCheck1"_s)->isChecked());
    QVERIFY(!find<QCheckBox>(u"launchCheck2"_s)->isChecked());
    QVERIFY(find<QCheckBox>(u"launchCheck3"_s)->isChecked());
    QCOMPARE(edit(u"hintEdit3"_s)->text(), u"打开说明文件"_s);
    QCOMPARE(edit(u"parameterEdit1"_s)->text(), u" lesson1.avi  "_s);
    QCOMPARE(find<QPlainTextEdit>(u"descriptionEdit"_s)->toPlainText(), u"肺经虚证调理的说明"_s);
    QVERIFY(button(u"saveButton"_s)->isEnabled());

    edit(u"nameEdit"_s)->setText(u"肺经调理"_s);
    find<QCheckBox>(u"launchCheck1"_s)->setChecked(false);
    edit(u"programEdit2"_s)->setText(u"notepad.exe"_s);
    button(u"saveButton"_s)->click();
    QCOMPARE(m_window->result(), int(QDialog::Accepted));
    QVERIFY(m_window->addedNumber().isEmpty());
    const Course c = *m_fx->store().course(m_course.key);
    QCOMPARE(c.proNo, u"A01"_s);
    QCOMPARE(c.name, u"肺经调理"_s);
    QCOMPARE(c.launchFlags, u"0010"_s);
    QCOMPARE(c.programs[1], u"notepad.exe"_s);
    QCOMPARE(c.hints[0], u"播放教学影片"_s);
    QCOMPARE(m_fx->store().conditionCount(u"A01"_s), 2);
}

void TestCourseEditWindow::boxesShowTheirTextAsHint() {
    open(CourseEditWindow::Mode::Change, m_course);
    QCOMPARE(edit(u"programEdit1"_s)->toolTip(), u"  C:\\player\\play.exe "_s);
    edit(u"parameterEdit2"_s)->setText(u"D:\\docs\\manual.pdf"_s);
    QCOMPARE(edit(u"parameterEdit2"_s)->toolTip(), u"D:\\docs\\manual.pdf"_s);
    QCOMPARE(button(u"programBrowseButton1"_s)->toolTip(), u"设定执行程序或功能"_s);
    QCOMPARE(button(u"parameterBrowseButton1"_s)->toolTip(), u"设定参数或外部档案"_s);
    QCOMPARE(button(u"testButton1"_s)->toolTip(), u"连结功能测试"_s);
}

void TestCourseEditWindow::browseButtonsFillTheirBoxes() {
    open(CourseEditWindow::Mode::Change, m_course);
    m_chosen = u"/opt/player/bin/player"_s;
    button(u"programBrowseButton2"_s)->click();
    QCOMPARE(edit(u"programEdit2"_s)->text(), m_chosen);
    QVERIFY(m_filters.last().startsWith(u"All (*.exe *.com *.bat)"_s));
    m_chosen = u"/home/op/lesson.avi"_s;
    button(u"parameterBrowseButton2"_s)->click();
    QCOMPARE(edit(u"parameterEdit2"_s)->text(), m_chosen);
    QCOMPARE(m_filters.last(), u"All Files (*)"_s);
    m_chosen.clear(); // cancelled
    button(u"parameterBrowseButton2"_s)->click();
    QCOMPARE(edit(u"parameterEdit2"_s)->text(), u"/home/op/lesson.avi"_s);
}

void TestCourseEditWindow::testButtonsLaunchWhatIsTyped() {
    open(CourseEditWindow::Mode::Change, m_course);
    edit(u"programEdit2"_s)->setText(u"  vlc "_s);
    edit(u"parameterEdit2"_s)->setText(u" film.mp4 "_s);
    button(u"testButton2"_s)->click();
    button(u"testButton3"_s)->click(); // no program: the document is opened
    QCOMPARE(m_fx->launcher.programs.size(), 1);
    QCOMPARE(m_fx->launcher.programs[0].program, u"vlc"_s);
    QCOMPARE(m_fx->launcher.programs[0].parameters, u"film.mp4"_s);
    QCOMPARE(m_fx->launcher.documents, QStringList{u"guide.pdf"_s});
    // Trying a launch stores nothing.
    QCOMPARE(m_fx->store().course(m_course.key)->programs[1], QString());
}

void TestCourseEditWindow::leavingStoresNothing() {
    open(CourseEditWindow::Mode::Add);
    edit(u"numberEdit"_s)->setText(u"Z9"_s);
    button(u"exitButton"_s)->click();
    QCOMPARE(m_window->result(), int(QDialog::Rejected));
    QVERIFY(!m_fx->store().findByNumber(u"Z9"_s));
}

QTEST_MAIN(TestCourseEditWindow)
#include "test_courseeditwindow.moc"
