#include "app/appcontext.h"
#include "app/ui/aboutbox.h"
#include "app/ui/mainwindow.h"
#include "app/ui/manualhelp.h"
#include "app/ui/settingswindow.h"
#include "core/unsavedwork.h"
#include "dataexport/ui/exportprogresswindow.h"
#include "platform/launch.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "storage/databasefiles.h"
#include "generator/registergenerator.h"
#include "storage/schema.h"
#include "support/registerfiles.h"
#include "support/controls.h"
#include "support/recordinglaunchport.h"
#include "support/scriptedprompter.h"
#include "support/temphome.h"
#include "support/virtualtime.h"

#include <QAction>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QSqlQuery>
#include <QStatusBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace orlu;
using namespace Qt::StringLiterals;

namespace {

// The whole program-wide state over a temporary program folder and a simulated probe.
struct Rig {
    explicit Rig(bool installed = true, bool probePlugged = true)
        : hid(time, SimulatedHidLayer::Timing::Stepped) {
        time.addSettleHook([this] { hid.settle(); });
        if (probePlugged)
            hid.addProbe();
        // The two files start-up opens; the full installation is the installer's own test.
        if (installed) {
            QVERIFY(createDatabaseFile(home.file(dbfile::Template), SchemaKind::Main));
            QVERIFY(createDatabaseFile(home.file(dbfile::ReferenceTexts), SchemaKind::ReferenceTexts));
        }
        app = std::make_unique<AppContext>(ProgramFolder(home.path()), time, time, prompter, launcher, *link);
    }

    // The start-up check answers with `ready`; every other window is recorded and closed at once.
    WindowFactory factory(bool ready) {
        return [this, ready](WindowKind kind, QWidget *parent) -> std::unique_ptr<QDialog> {
            opened << kind;
            if (kind == WindowKind::StartupStatus) {
                app->device.ready = ready;
                return nullptr;
            }
            if (onOpen)
                onOpen(kind);
            auto d = std::make_unique<QDialog>(parent);
            QTimer::singleShot(0, d.get(), &QDialog::accept);
            return d;
        };
    }

    std::unique_ptr<MainWindow> start(bool ready = true) {
        auto w = std::make_unique<MainWindow>(*app, factory(ready));
        w->show();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        return w;
    }

    test::TempHome home;
    test::VirtualTime time;
    test::ScriptedPrompter prompter;
    test::RecordingLaunchPort launcher;
    SimulatedHidLayer hid;
    std::unique_ptr<ProbeLink> link = std::make_unique<ProbeLink>(hid, time, time);
    std::unique_ptr<AppContext> app;
    QList<WindowKind> opened;
    std::function<void(WindowKind)> onOpen;
};

QToolButton *button(QWidget *w, const QString &objectName) {
    return test::control<QToolButton>(w, objectName);
}

bool menuShown(MainWindow &w) {
    const auto actions = w.menuBar()->actions();
    return std::all_of(actions.begin(), actions.end(), [](QAction *a) { return a->isVisible(); });
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void readyProbeEnablesFunctionsAndMenu();
    void probeNotReadyEndsWithoutQuestion();
    void missingInstallationIsReportedAndNothingCreated();
    void mainDatabaseThatIsNotADatabaseIsReported();
    void firstStartCreatesMainDatabaseAndSettings();
    void startErrorNamesFileAndReason_data();
    void startErrorNamesFileAndReason();
    void readOnlyRegisterIsSaidAtOnce();
    void damagedPagesAreReportedAfterTheStart();
    void firstStartOfTheDayMakesABackup();
    void customButtonFlags_data();
    void customButtonFlags();
    void customButtonLaunchesItsTarget();
    void exitQuestion_data();
    void exitQuestion();
    void functionWindowDisablesMainFunctionsWhileOpen();
    void functionWindowLeavesOtherWindowsUsable();
    void failingWindowStillReenablesFunctions();
    void aboutBoxShowsDeviceLines();
    void helpKeyOpensTheManualAtTheWindowsSection_data();
    void helpKeyOpensTheManualAtTheWindowsSection();
};

void TestMainWindow::readyProbeEnablesFunctionsAndMenu() {
    Rig rig;
    auto w = rig.start(true);
    QCOMPARE(rig.opened, QList<WindowKind>{WindowKind::StartupStatus});
    QVERIFY(w->isVisible());
    QVERIFY(menuShown(*w));
    for (const char16_t *name :
         {u"measurementButton", u"multiCompareButton", u"locateButton", u"explanationButton",
          u"coursesButton", u"calibrationButton", u"fileTransferButton", u"exitButton"}) {
        QVERIFY2(button(w.get(), QString::fromUtf16(name))->isEnabled(),
                 qPrintable(QString::fromUtf16(name)));
    }
    QCOMPARE(button(w.get(), u"measurementButton"_s)->text(), u"经络测量"_s);
    QCOMPARE(button(w.get(), u"measurementButton"_s)->toolTip(), u"经络能量测量"_s);
    QCOMPARE(button(w.get(), u"exitButton"_s)->text(), u"离开系统"_s);
    QCOMPARE(w->windowTitle(), u"Quorix O.R.L.U. Professional 经络能量分析仪"_s);
    QVERIFY(rig.hid.holdsProbe());
}

void TestMainWindow::probeNotReadyEndsWithoutQuestion() {
    Rig rig(true, false);
    auto w = rig.start(false);
    QVERIFY(!w->isVisible());
    QVERIFY(rig.prompter.asked().isEmpty());
    QVERIFY(!menuShown(*w));
}

void TestMainWindow::missingInstallationIsReportedAndNothingCreated() {
    Rig rig(false);
    auto w = rig.start(true);
    QCOMPARE(rig.prompter.asked().size(), 2); // installation, then the databases that are not there
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteError);
    QCOMPARE(rig.prompter.asked().first().text, u"您没有完全安装 O.R.L.U.，数据库不存在！请重新安装ORLU。"_s);
    QVERIFY(!w->isVisible());
    QVERIFY(!rig.opened.contains(WindowKind::StartupStatus));
    QVERIFY(!QFileInfo::exists(rig.home.file(dbfile::Main)));
}

void TestMainWindow::mainDatabaseThatIsNotADatabaseIsReported() {
    Rig rig;
    const QByteArray jet = QByteArray("\x00\x01\x00\x00Standard Jet DB\x00", 20) + QByteArray(4096, '\x7f');
    rig.home.writeFile(dbfile::Main, jet);
    auto w = rig.start(true);
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteError);
    QVERIFY(rig.prompter.asked().first().text.startsWith(u"ORLU 数据库启动错误！"_s));
    QVERIFY(!w->isVisible());
    QCOMPARE(rig.home.readFile(dbfile::Main), jet);
}

void TestMainWindow::firstStartCreatesMainDatabaseAndSettings() {
    Rig rig;
    auto w = rig.start(true);
    QVERIFY(rig.app->mainDb.isOpen());
    QVERIFY(rig.app->textDb.isOpen());
    QVERIFY(QFileInfo::exists(rig.home.file(dbfile::Main)));
    const QByteArray ini = rig.home.readFile(u"KyDefCn.ini"_s);
    QCOMPARE(ini.count("\r\n"), 36);
    QCOMPARE(test::control<QLabel>(w.get(), u"titleLabel"_s)->text(), u"ORLU经络能量分析仪"_s);
}

void TestMainWindow::startErrorNamesFileAndReason_data() {
    QTest::addColumn<QByteArray>("content"); // of the main database; "drop:T" a sound file without table T
    QTest::addColumn<QString>("reason");
    QTest::newRow("not a database") << QByteArray(4096, '\x7f') << u"不是数据库文件"_s;
    QTest::newRow("measurements table missing") << QByteArray("drop:KYDATA") << u"缺少数据表 KYDATA"_s;
    QTest::newRow("empty file") << QByteArray() << u"不是数据库文件"_s;
}

// The specified text stays first; the file and the reason follow, and the start leaves no stray file.
void TestMainWindow::startErrorNamesFileAndReason() {
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    Rig rig;
    const QString main = rig.home.file(dbfile::Main);
    if (content.startsWith("drop:")) {
        QVERIFY(createDatabaseFile(main, SchemaKind::Main));
        Database db;
        QVERIFY(db.open(main, Database::Access::Shared));
        QVERIFY(QSqlQuery(db.handle()).exec(u"DROP TABLE "_s + QString::fromLatin1(content.mid(5))));
    } else {
        rig.home.writeFile(dbfile::Main, content);
    }
    auto w = rig.start(true);
    QCOMPARE(rig.prompter.asked().size(), 1);
    const QString text = rig.prompter.asked().first().text;
    QVERIFY(text.startsWith(u"ORLU 数据库启动错误！"_s));
    QVERIFY2(text.contains(main + u"："_s) && text.contains(reason), qPrintable(text));
    QVERIFY(!rig.opened.contains(WindowKind::StartupStatus));
    const QStringList left = QDir(rig.home.path()).entryList(QDir::Files);
    QVERIFY2(left.filter(u".copy"_s).isEmpty() && left.filter(u".new"_s).isEmpty(),
             qPrintable(left.join(u' ')));
}

void TestMainWindow::readOnlyRegisterIsSaidAtOnce() {
    Rig rig;
    QVERIFY(createDatabaseFile(rig.home.file(dbfile::Main), SchemaKind::Main));
    QVERIFY(
        QFile::setPermissions(rig.home.file(dbfile::Main), QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    auto w = rig.start(true);
    QCOMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteCaution);
    QVERIFY(rig.prompter.asked().first().text.contains(u"无法储存"_s));
    QVERIFY(rig.app->mainDb.isOpen() && rig.app->mainDb.isReadOnly());
    QVERIFY(!rig.app->mainDbReadOnlyReason.isEmpty());
    // Looking up records goes on; the reason stays in sight.
    QVERIFY(button(w.get(), u"measurementButton"_s)->isEnabled());
    auto *label = test::control<QLabel>(w.get(), u"readOnlyLabel"_s);
    QVERIFY(label);
    QVERIFY(label->isVisible());
    QVERIFY(label->text().contains(u"只读"_s));
    w->maintenance().wait();
    QCoreApplication::processEvents();
    QVERIFY(!QFileInfo::exists(rig.home.file(u"backups"_s)));
}

void TestMainWindow::damagedPagesAreReportedAfterTheStart() {
    Rig rig;
    QVERIFY(createDatabaseFile(rig.home.file(dbfile::Main), SchemaKind::Main));
    {
        Database db;
        QVERIFY(db.open(rig.home.file(dbfile::Main), Database::Access::Shared));
        QVERIFY(generateRegister(db.handle(), {200, 2000}));
    }
    test::damagePages(rig.home.file(dbfile::Main));
    auto w = rig.start(true);
    // The cheap check of the start lets it through: the window comes up, the page check follows.
    QVERIFY(rig.opened.contains(WindowKind::StartupStatus));
    QVERIFY(button(w.get(), u"measurementButton"_s)->isEnabled());
    w->maintenance().wait();
    QTRY_COMPARE(rig.prompter.asked().size(), 1);
    QCOMPARE(rig.prompter.asked().first().type, MessageType::NoteError);
    QVERIFY(rig.prompter.asked().first().text.contains(u"损坏"_s));
    // A damaged register is never copied into the rotation.
    QVERIFY(!QFileInfo::exists(rig.home.file(u"backups/orlu4-20261209.mdb"_s)));
}

void TestMainWindow::firstStartOfTheDayMakesABackup() {
    Rig rig;
    auto w = rig.start(true);
    w->maintenance().wait();
    QCoreApplication::processEvents();
    QVERIFY(rig.prompter.asked().isEmpty());
    const QString copy = rig.home.file(u"backups/orlu4-20261209.mdb"_s);
    QVERIFY(QFileInfo::exists(copy));
    QCOMPARE(QFile::permissions(copy) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    QCOMPARE(QFile::permissions(rig.home.file(dbfile::Main)) &
                 ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
             QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TestMainWindow::customButtonFlags_data() {
    QTest::addColumn<QString>("flags");
    QTest::addColumn<QString>("visible"); // one character per custom button
    QTest::newRow("two of six") << u"101000"_s << u"101000"_s;
    QTest::newRow("a letter shows the button") << u"1x1000"_s << u"111000"_s;
    QTest::newRow("short line") << u"1"_s << u"111111"_s;
    QTest::newRow("none") << u"000000"_s << u"000000"_s;
}

void TestMainWindow::customButtonFlags() {
    QFETCH(QString, flags);
    QFETCH(QString, visible);
    Rig rig;
    Settings s = defaultSettings(QDate(2026, 12, 9));
    s.customButtonFlags = flags;
    s.custom[2].hint = u"文件编辑功能"_s;
    QVERIFY(saveSettings(rig.home.file(u"KyDefCn.ini"_s), s));
    auto w = rig.start(true);
    for (int k = 1; k <= 6; ++k)
        QCOMPARE(button(w.get(), u"customButton%1"_s.arg(k))->isVisible(), visible.at(k - 1) == u'1');
    QCOMPARE(button(w.get(), u"customButton3"_s)->toolTip(), u"文件编辑功能"_s);
    QCOMPARE(button(w.get(), u"customButton2"_s)->text(), u"功能 2"_s);
}

void TestMainWindow::customButtonLaunchesItsTarget() {
    Rig rig;
    Settings s = defaultSettings(QDate(2026, 12, 9));
    s.custom[1].program = u"mediaplayer"_s;
    s.custom[1].parameter = u"--loop"_s;
    QVERIFY(saveSettings(rig.home.file(u"KyDefCn.ini"_s), s));
    auto w = rig.start(true);
    button(w.get(), u"customButton2"_s)->click();
    QCOMPARE(rig.launcher.programs,
             QList<test::RecordingLaunchPort::Started>({{u"mediaplayer"_s, u"--loop"_s}}));
    QVERIFY(rig.launcher.documents.isEmpty());
    QVERIFY(button(w.get(), u"customButton2"_s)->isEnabled());
}

void TestMainWindow::exitQuestion_data() {
    QTest::addColumn<bool>("unsaved");
    QTest::addColumn<SaveChoice>("choice");
    QTest::addColumn<bool>("answer"); // to the plain question, or to the missing points
    QTest::addColumn<bool>("leaves");
    QTest::newRow("yes") << false << SaveChoice::Stay << true << true;
    QTest::newRow("no") << false << SaveChoice::Stay << false << false;
    // A measured, unsaved run was once discarded on the plain question.
    QTest::newRow("unsaved run, 不储存") << true << SaveChoice::Discard << true << true;
    QTest::newRow("unsaved run, 取消") << true << SaveChoice::Stay << false << false;
    // Saving on leaving once went to the saving window without a word on 23 missing points.
    QTest::newRow("unsaved cut-off run, 储存, 否 to the missing points")
        << true << SaveChoice::Save << false << false;
}

void TestMainWindow::exitQuestion() {
    QFETCH(bool, unsaved);
    QFETCH(SaveChoice, choice);
    QFETCH(bool, answer);
    QFETCH(bool, leaves);
    Rig rig;
    auto w = rig.start(true);
    rig.hid.probe().clearCommandLog();
    if (unsaved) {
        rig.app->measurement.setValue(1, 52.0);
        rig.app->measurement.readingsUnsaved = true;
    }
    rig.prompter.answer(answer);
    rig.prompter.answerSave(choice);
    button(w.get(), u"exitButton"_s)->click();
    const bool saving = choice == SaveChoice::Save;
    QCOMPARE(rig.prompter.asked().size(), saving ? 2 : 1);
    QCOMPARE(rig.prompter.asked().first().type, unsaved ? test::SaveQuestionType : MessageType::AskCaution);
    QCOMPARE(rig.prompter.asked().first().text,
             unsaved ? saveQuestion(UnsavedOccasion::LeaveProgram) : u"您确定要结束本系统吗?"_s);
    if (saving)
        QVERIFY(rig.prompter.asked().last().text.startsWith(u"23 个点未测量"_s));
    QCOMPARE(w->isVisible(), !leaves);
    QVERIFY(button(w.get(), u"measurementButton"_s)->isEnabled());
    QStringList expected{u"S1E0F00"_s, u"S1E1A00"_s};
    if (leaves)
        expected << u"X000000"_s;
    QCOMPARE(rig.hid.probe().commandLog(), expected);
    QCOMPARE(rig.app->mainDb.isOpen(), !leaves);
}

void TestMainWindow::functionWindowDisablesMainFunctionsWhileOpen() {
    Rig rig;
    auto w = rig.start(true);
    bool enabledWhileOpen = true;
    rig.onOpen = [&](WindowKind) {
        enabledWhileOpen = button(w.get(), u"measurementButton"_s)->isEnabled() ||
                           button(w.get(), u"exitButton"_s)->isEnabled();
    };
    button(w.get(), u"coursesButton"_s)->click();
    QCOMPARE(rig.opened.last(), WindowKind::Courses);
    QVERIFY(!enabledWhileOpen);
    QVERIFY(button(w.get(), u"measurementButton"_s)->isEnabled());
}

// A function window blocks the main window only: the simulation tool window
// beside the program still takes clicks, for instance to lift the probe mid-run.
void TestMainWindow::functionWindowLeavesOtherWindowsUsable() {
    Rig rig;
    auto w = rig.start(true);
    QWidget beside;
    auto *lift = new QPushButton(u"离开皮肤"_s, &beside);
    beside.show();
    QVERIFY(QTest::qWaitForWindowExposed(&beside));
    int clicks = 0;
    connect(lift, &QPushButton::clicked, this, [&clicks] { ++clicks; });
    rig.onOpen = [&](WindowKind) {
        // Through the window, as the window system delivers it: a blocked window drops it.
        QTimer::singleShot(0, lift, [&beside, lift] {
            QTest::mouseClick(beside.windowHandle(), Qt::LeftButton, {}, lift->geometry().center());
        });
    };
    button(w.get(), u"measurementButton"_s)->click();
    QCOMPARE(rig.opened.last(), WindowKind::Measurement);
    QCOMPARE(clicks, 1);
}

void TestMainWindow::failingWindowStillReenablesFunctions() {
    Rig rig;
    auto w = rig.start(true);
    rig.onOpen = [](WindowKind) { throw std::runtime_error("window failed"); };
    button(w.get(), u"locateButton"_s)->click();
    QVERIFY(button(w.get(), u"locateButton"_s)->isEnabled());
    QCOMPARE(rig.prompter.asked().last().text, u"window failed"_s);
}

void TestMainWindow::aboutBoxShowsDeviceLines() {
    AboutDeviceLines lines{u"QX2607004217"_s, u"QX-HID Rev 2.10"_s, u"[      511 ]"_s};
    AboutBox box(lines);
    box.show();
    QCOMPARE(box.windowTitle(), u"关于版本数据"_s);
    QCOMPARE(test::control<QLabel>(&box, u"serialValue"_s)->text(), lines.serial);
    QCOMPARE(test::control<QLabel>(&box, u"counterValue"_s)->text(), lines.counter);
    test::control<QPushButton>(&box, u"okButton"_s)->click();
    QVERIFY(!box.isVisible());
}

void TestMainWindow::helpKeyOpensTheManualAtTheWindowsSection_data() {
    QTest::addColumn<QString>("window");
    QTest::addColumn<bool>("installed");
    QTest::addColumn<QString>("section");
    QTest::newRow("main window") << u"mainWindow"_s << true << u"main-window"_s;
    QTest::newRow("settings over the main window") << u"settingsWindow"_s << true << u"settings"_s;
    QTest::newRow("export progress over the main window")
        << u"exportProgressWindow"_s << true << u"data-export"_s;
    // The export progress has no status line: the main window beneath it tells.
    QTest::newRow("no manual installed") << u"exportProgressWindow"_s << false << QString();
}

void TestMainWindow::helpKeyOpensTheManualAtTheWindowsSection() {
    QFETCH(QString, window);
    QFETCH(bool, installed);
    QFETCH(QString, section);
    Rig rig;
    auto w = rig.start();
    const QString manual =
        QDir::cleanPath(QCoreApplication::applicationDirPath() + u"/../share/doc/orlu/manual/index.html"_s);
    if (installed)
        rig.launcher.files << manual;
    ManualHelpKey helpKey(rig.launcher);
    qApp->installEventFilter(&helpKey);
    std::unique_ptr<QWidget> over;
    if (window == u"settingsWindow"_s)
        over = std::make_unique<SettingsWindow>(rig.app->settings, rig.app->settingsPath(), rig.launcher,
                                                rig.prompter, w.get());
    else if (window == u"exportProgressWindow"_s)
        over = std::make_unique<ExportProgressWindow>(w.get());
    QWidget *target = over ? over.get() : w.get();
    target->show();
    QCOMPARE(target->objectName(), window);

    QTest::keyClick(target, Qt::Key_F1);
    if (installed) {
        QUrl page = QUrl::fromLocalFile(manual);
        page.setFragment(section);
        QCOMPARE(rig.launcher.documents, QStringList{page.toString(QUrl::FullyEncoded)});
    } else {
        QVERIFY(rig.launcher.nothingLaunched());
        const QString said = w->statusBar()->currentMessage();
        QVERIFY2(said.startsWith(u"找不到操作手册 "_s + QDir::toNativeSeparators(manual)), qPrintable(said));
    }
}

QTEST_MAIN(TestMainWindow)
#include "test_mainwindow.moc"
