#include "app/ui/settingswindow.h"
#include "storage/registersetting.h"
#include "support/controls.h"

#include "support/recordinglaunchport.h"
#include "support/scriptedprompter.h"
#include "support/temphome.h"

#include <QCheckBox>
#include <QDir>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTabWidget>
#include <QToolButton>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

const QDate Today(2026, 12, 9);

// One opening of the settings window over a temporary program folder.
struct Fixture {
    test::TempHome home;
    Settings settings = defaultSettings(Today);
    test::RecordingLaunchPort launcher;
    test::ScriptedPrompter prompter;
    QString path = home.file(settingsFileName());
    std::unique_ptr<SettingsWindow> window;

    SettingsWindow &open() {
        window = std::make_unique<SettingsWindow>(settings, path, launcher, prompter);
        window->show();
        return *window;
    }
    template <typename T> T *child(const QString &name) const { return test::control<T>(window.get(), name); }
    QLineEdit *edit(const QString &name) const { return child<QLineEdit>(name); }
    QCheckBox *check(int k) const { return child<QCheckBox>(u"enabledCheck"_s + QString::number(k)); }
    void showLaunchPage() const { child<QTabWidget>(u"pageTabs"_s)->setCurrentIndex(1); }
    void click(const QString &button) const {
        QToolButton *b = child<QToolButton>(button);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    QStringList savedLines() const {
        const QByteArray bytes = home.readFile(settingsFileName());
        return settingsToLines(settingsFromBytes(bytes, Today));
    }
};

void retype(QLineEdit *edit, const QString &text) {
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(edit, Qt::Key_Delete);
    // Chinese arrives from the input method as committed text, not as key presses.
    QInputMethodEvent commit;
    commit.setCommitString(text);
    QCoreApplication::sendEvent(edit, &commit);
}

QString rowName(const char *kind, int k) {
    return QString::fromLatin1(kind) + QString::number(k);
}

} // namespace

class TestSettingsWindow : public QObject {
    Q_OBJECT
private slots:
    void showsTheSettings();
    void storeWritesWhatWasTyped();
    void flagLetterIsStoredAsOff();
    void leaveStoresNothing();
    void storeFailureIsReportedAndKeepsWindowOpen();
    void testButtonLaunchesTheEdits_data();
    void testButtonLaunchesTheEdits();
    void tooltipFollowsTheText();
    void browse_data();
    void browse();
    void qtFileFilter_data();
    void qtFileFilter();
    void storesTheRegisterConnection_data();
    void storesTheRegisterConnection();
    void environmentNamesTheRegisterFirst();
};

void TestSettingsWindow::showsTheSettings() {
    Fixture f;
    f.settings.customButtonFlags = u"1x1000"_s;
    f.settings.title = u"仁和诊所"_s;
    f.settings.custom[4] = {u"提示五"_s, u"D:\\五.exe"_s, u"参数五"_s};
    SettingsWindow &w = f.open();
    QCOMPARE(w.windowTitle(), u"用户基本数据设定"_s);
    QCOMPARE(f.child<QTabWidget>(u"pageTabs"_s)->currentIndex(), 0);
    QCOMPARE(f.edit(u"titleEdit"_s)->text(), u"仁和诊所"_s);
    QCOMPARE(f.edit(u"reportTitleEdit"_s)->text(), u"ORLU 经络能量分析仪分析报表"_s);
    QCOMPARE(f.edit(u"userData2Edit"_s)->text(), u"vadadidur"_s);
    QString ticked;
    for (int k = 1; k <= CustomButtonCount; ++k)
        ticked += f.check(k)->isChecked() ? u'1' : u'0';
    QCOMPARE(ticked, u"101000"_s);
    QCOMPARE(f.check(2)->text(), u"程序 2"_s);
    QCOMPARE(f.edit(u"hintEdit5"_s)->text(), u"提示五"_s);
    QCOMPARE(f.edit(u"programEdit5"_s)->toolTip(), u"D:\\五.exe"_s);
    QCOMPARE(f.edit(u"parameterEdit1"_s)->toolTip(), makerWebAddress());
    QCOMPARE(f.child<QToolButton>(u"storeButton"_s)->text(), u"储存数据  "_s);
    QCOMPARE(f.child<QToolButton>(u"leaveButton"_s)->text(), u"   离  开   "_s);
}

void TestSettingsWindow::storeWritesWhatWasTyped() {
    Fixture f;
    SettingsWindow &w = f.open();
    QSignalSpy stored(&w, &SettingsWindow::settingsStored);
    retype(f.edit(u"titleEdit"_s), u" 新诊所 "_s);
    retype(f.edit(u"userData1Edit"_s), u"东城区分院"_s);
    f.showLaunchPage();
    QTest::mouseClick(f.check(1), Qt::LeftButton);
    QTest::mouseClick(f.check(6), Qt::LeftButton);
    retype(f.edit(u"hintEdit6"_s), u"  病历  "_s);
    retype(f.edit(u"programEdit6"_s), u" C:\\病历\\编辑.exe "_s);
    retype(f.edit(u"parameterEdit6"_s), u"  C:\\病历\\模板.doc"_s);
    f.click(u"storeButton"_s);

    QCOMPARE(stored.count(), 1);
    QCOMPARE(w.result(), int(QDialog::Accepted));
    QVERIFY(!w.isVisible());
    // Said, not left to be guessed from the window closing.
    QCOMPARE(f.prompter.asked().size(), 1);
    QCOMPARE(f.prompter.asked().at(0).type, MessageType::NoteDone);
    QCOMPARE(f.prompter.asked().at(0).text, u"用户基本数据已储存。"_s);
    const QStringList lines = f.savedLines();
    QCOMPARE(lines.at(6), u" 新诊所 "_s);
    QCOMPARE(lines.at(8), u"东城区分院"_s);
    QCOMPARE(lines.at(17), u"011001"_s);
    QCOMPARE(lines.at(23), u"病历"_s);
    QCOMPARE(lines.at(29), u"C:\\病历\\编辑.exe"_s);
    QCOMPARE(lines.at(35), u"C:\\病历\\模板.doc"_s);
    // Values the window does not edit are written back as they were.
    QCOMPARE(lines.at(0), u"4000"_s);
    QCOMPARE(lines.at(25), u"wmplayer.exe"_s);
    QCOMPARE(f.settings.title, u" 新诊所 "_s);
    QCOMPARE(f.settings.custom[5].program, u"C:\\病历\\编辑.exe"_s);
}

void TestSettingsWindow::flagLetterIsStoredAsOff() {
    Fixture f;
    f.settings.customButtonFlags = u"1x1000"_s;
    QVERIFY(customButtonVisible(f.settings.customButtonFlags, 2));
    f.open();
    f.click(u"storeButton"_s);
    QCOMPARE(f.savedLines().at(17), u"101000"_s);
    QVERIFY(!customButtonVisible(f.settings.customButtonFlags, 2));
}

void TestSettingsWindow::leaveStoresNothing() {
    Fixture f;
    const Settings before = f.settings;
    SettingsWindow &w = f.open();
    QSignalSpy stored(&w, &SettingsWindow::settingsStored);
    retype(f.edit(u"titleEdit"_s), u"不要储存"_s);
    f.showLaunchPage();
    QTest::mouseClick(f.check(5), Qt::LeftButton);
    f.click(u"leaveButton"_s);
    QCOMPARE(w.result(), int(QDialog::Rejected));
    QVERIFY(!w.isVisible());
    QCOMPARE(stored.count(), 0);
    QVERIFY(!QFile::exists(f.path));
    QCOMPARE(f.settings, before);
}

void TestSettingsWindow::storeFailureIsReportedAndKeepsWindowOpen() {
    Fixture f;
    QVERIFY(QDir().mkpath(f.path)); // a folder where the file should be
    const Settings before = f.settings;
    SettingsWindow &w = f.open();
    QSignalSpy stored(&w, &SettingsWindow::settingsStored);
    retype(f.edit(u"titleEdit"_s), u"新标题"_s);
    f.click(u"storeButton"_s);
    QCOMPARE(f.prompter.asked().size(), 1);
    QCOMPARE(f.prompter.asked().at(0).type, MessageType::NoteError);
    QVERIFY(f.prompter.asked().at(0).text.contains(f.path));
    QVERIFY(w.isVisible());
    QCOMPARE(stored.count(), 0);
    QCOMPARE(f.settings, before);
    QCOMPARE(f.edit(u"titleEdit"_s)->text(), u"新标题"_s);
}

void TestSettingsWindow::testButtonLaunchesTheEdits_data() {
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("parameter");
    QTest::addColumn<QString>("startedProgram");
    QTest::addColumn<QString>("startedParameter");
    QTest::addColumn<QString>("opened");
    QTest::newRow("program with parameter, trimmed")
        << 4 << u"  player "_s << u" film.mpg "_s << u"player"_s << u"film.mpg"_s << QString();
    QTest::newRow("web address without program")
        << 1 << QString() << u"https://www.quorix.example/orlu"_s << QString() << QString()
        << u"https://www.quorix.example/orlu"_s;
    QTest::newRow("program on a drive that has none")
        << 6 << u"D:\\none.exe"_s << QString() << QString() << QString() << QString();
}

void TestSettingsWindow::testButtonLaunchesTheEdits() {
    QFETCH(int, row);
    QFETCH(QString, program);
    QFETCH(QString, parameter);
    QFETCH(QString, startedProgram);
    QFETCH(QString, startedParameter);
    QFETCH(QString, opened);
    Fixture f;
    f.open();
    f.showLaunchPage();
    // What is in the edits counts, stored or not.
    retype(f.edit(rowName("programEdit", row)), program);
    retype(f.edit(rowName("parameterEdit", row)), parameter);
    f.click(rowName("testButton", row));
    QCOMPARE(f.launcher.programs.size(), startedProgram.isEmpty() ? 0 : 1);
    if (!startedProgram.isEmpty()) {
        QCOMPARE(f.launcher.programs.at(0).program, startedProgram);
        QCOMPARE(f.launcher.programs.at(0).parameters, startedParameter);
    }
    QCOMPARE(f.launcher.documents, opened.isEmpty() ? QStringList() : QStringList{opened});
    QVERIFY(!QFile::exists(f.path));
}

void TestSettingsWindow::tooltipFollowsTheText() {
    Fixture f;
    f.open();
    f.showLaunchPage();
    for (const char *kind : {"hintEdit", "programEdit", "parameterEdit"}) {
        QLineEdit *e = f.edit(rowName(kind, 3));
        retype(e, u"C:\\长路径\\很长的文件名.exe"_s);
        QCOMPARE(e->toolTip(), u"C:\\长路径\\很长的文件名.exe"_s);
    }
}

void TestSettingsWindow::browse_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("edit");
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("text");
    QTest::newRow("program chosen") << u"programBrowseButton2"_s << u"programEdit2"_s
                                    << SettingsWindow::programFilter() << u"/opt/player/bin/player"_s
                                    << u"/opt/player/bin/player"_s;
    QTest::newRow("program dialog cancelled")
        << u"programBrowseButton2"_s << u"programEdit2"_s << SettingsWindow::programFilter() << QString()
        << u"wmplayer.exe"_s;
    QTest::newRow("parameter chosen") << u"parameterBrowseButton5"_s << u"parameterEdit5"_s
                                      << u"All Files (*)"_s << u"/home/a/讲解.mpg"_s << u"/home/a/讲解.mpg"_s;
}

void TestSettingsWindow::browse() {
    QFETCH(QString, button);
    QFETCH(QString, edit);
    QFETCH(QString, filter);
    QFETCH(QString, chosen);
    QFETCH(QString, text);
    Fixture f;
    SettingsWindow &w = f.open();
    QString askedFilter;
    w.setFileChooser([&](QWidget *, const QString &, const QString &, const QString &flt) {
        askedFilter = flt;
        return chosen;
    });
    f.showLaunchPage();
    f.click(button);
    QCOMPARE(askedFilter, filter);
    QCOMPARE(f.edit(edit)->text(), text);
    QCOMPARE(f.edit(edit)->toolTip(), text);
}

void TestSettingsWindow::qtFileFilter_data() {
    QTest::addColumn<QString>("pipe");
    QTest::addColumn<QString>("qt");
    QTest::newRow("programs")
        << u"All (*.exe, *.com, *.bat)|*.exe;*.com;*.bat|Executable File (*.exe)|*.exe|"
           u"Command File (*.com)|*.com|Batch File (*.bat)|*.bat"_s
        << u"All (*.exe *.com *.bat);;Executable File (*.exe);;Command File (*.com);;Batch File (*.bat)"_s;
    QTest::newRow("all files") << u"All Files|*.*"_s << u"All Files (*)"_s;
    QTest::newRow("odd count drops the dangling part") << u"Text|*.txt|Rest"_s << u"Text (*.txt)"_s;
}

void TestSettingsWindow::qtFileFilter() {
    QFETCH(QString, pipe);
    QFETCH(QString, qt);
    QCOMPARE(orlu::qtFileFilter(pipe), qt);
}

void TestSettingsWindow::storesTheRegisterConnection_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("after"); // the stored connection
    QTest::addColumn<bool>("refused");
    QTest::newRow("a server") << QString() << u" postgresql://db.praxis/orlu?sslmode=require "_s
                              << u"postgresql://db.praxis/orlu?sslmode=require"_s << false;
    QTest::newRow("a service") << QString() << u"service=orlu"_s << u"service=orlu"_s << false;
    QTest::newRow("back to the file") << u"service=orlu"_s << QString() << QString() << false;
    QTest::newRow("a password") << u"service=orlu"_s << u"postgresql://anna:geheim@db/orlu"_s
                                << u"service=orlu"_s << true;
    QTest::newRow("a keyword password") << QString() << u"host=db password=x"_s << QString() << true;
    QTest::newRow("a file name") << QString() << u"/srv/orlu4.mdb"_s << QString() << true;
}

void TestSettingsWindow::storesTheRegisterConnection() {
    QFETCH(QString, before);
    QFETCH(QString, typed);
    QFETCH(QString, after);
    QFETCH(bool, refused);
    Fixture f;
    const ProgramFolder folder(f.home.path());
    QVERIFY(storeRegisterConnection(folder, before));
    f.open();
    f.child<QTabWidget>(u"pageTabs"_s)->setCurrentIndex(2);
    QLineEdit *edit = f.edit(u"registerConnectionEdit"_s);
    QCOMPARE(edit->text(), before);
    edit->setText(typed);
    f.click(u"storeButton"_s);
    QCOMPARE(storedRegisterConnection(folder), after);
    QCOMPARE(f.window->isVisible(), refused);
    QCOMPARE(f.prompter.asked().size(), 1);
    QCOMPARE(f.prompter.asked().at(0).type, refused ? MessageType::NoteCaution : MessageType::NoteDone);
    // Never a password in the program's files.
    QVERIFY(!f.home.readFile(RegisterSettingFile).contains("geheim"));
    QCOMPARE(QFile::exists(folder.file(RegisterSettingFile)), !after.isEmpty());
}

void TestSettingsWindow::environmentNamesTheRegisterFirst() {
    test::TempHome home;
    const ProgramFolder folder(home.path());
    qunsetenv("ORLU_DATABASE");
    QCOMPARE(registerLocation(folder), folder.file(u"orlu4.mdb"_s));
    QVERIFY(storeRegisterConnection(folder, u"service=stored"_s));
    QCOMPARE(registerLocation(folder), u"service=stored"_s);
    qputenv("ORLU_DATABASE", "service=chosen");
    QCOMPARE(registerLocation(folder), u"service=chosen"_s);
    qunsetenv("ORLU_DATABASE");
}

QTEST_MAIN(TestSettingsWindow)
#include "test_settingswindow.moc"
