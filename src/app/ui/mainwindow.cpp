#include "app/ui/mainwindow.h"

#include "widgets/toolbuttons.h"

#include "app/appcontext.h"
#include "app/startup.h"
#include "app/ui/aboutbox.h"
#include "app/ui/manualhelp.h"
#include "platform/launch.h"
#include "core/prompter.h"
#include "core/unsavedwork.h"
#include "device/probelink.h"
#include "measure/savingcheck.h"
#include "storage/databasefiles.h"
#include "storage/registerbackup.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QLoggingCategory>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cstdio>

namespace orlu {

using namespace Qt::StringLiterals;

// Off unless asked for (QT_LOGGING_RULES="orlu.startup.info=true"): lets a script that
// starts the program see that it came up.
Q_LOGGING_CATEGORY(startupLog, "orlu.startup", QtWarningMsg)

namespace {

const QString ExitQuestion = u"您确定要结束本系统吗?"_s;
const QString DamagedRegister = u"主数据库 %1 检查发现损坏：\n%2\n请从备份恢复（orlu-cli restore）。"_s;
const QString BackupFailed = u"今日的数据库备份未能完成：%1"_s;

} // namespace

// The main window's commands in menu order: the tool bar shows those with a button
// (1..7 in this order, the exit button last after the custom buttons), the menu all of them.
struct MainCommand {
    // What the command does: open a function window, or one of the main window's own steps.
    enum class Step { OpenWindow, Settings, Exit, Manual, About };
    // Where the command stands in the menu bar.
    enum class MenuPlace { Bar, SupportMenu, SupportMenuAfterSeparator };

    const char16_t *buttonName; // nullptr: menu only
    const char16_t *caption;    // of the button, and of the menu item unless it has its own
    const char16_t *hint;
    const char16_t *glyph; // the button's picture
    QRgb colour;
    MenuPlace place;
    const char16_t *menuText; // nullptr: the caption
    const char16_t *menuHint; // nullptr: the hint
    Step step;
    WindowKind kind = WindowKind::Measurement; // the window an OpenWindow step opens
};

namespace {

using Step = MainCommand::Step;
using MenuPlace = MainCommand::MenuPlace;

const MainCommand MainCommands[] = {
    {u"measurementButton", u"经络测量", u"经络能量测量", u"测", qRgb(0, 128, 96), MenuPlace::Bar, nullptr,
     nullptr, Step::OpenWindow, WindowKind::Measurement},
    {u"multiCompareButton", u"多重比对", u"多重经络能量比对", u"比", qRgb(0, 96, 160), MenuPlace::Bar,
     nullptr, nullptr, Step::OpenWindow, WindowKind::MultiCompare},
    {u"locateButton", u"穴道定位", u"全身穴道精密定位", u"定", qRgb(160, 96, 0), MenuPlace::Bar, nullptr,
     nullptr, Step::OpenWindow, WindowKind::Locate},
    {u"explanationButton", u"经络解说", u"各经络相关资料图例解说", u"解", qRgb(96, 64, 160), MenuPlace::Bar,
     nullptr, nullptr, Step::OpenWindow, WindowKind::Explain},
    {u"coursesButton", u"专家疗程", u"自订专家疗程系统", u"疗", qRgb(160, 32, 64), MenuPlace::SupportMenu,
     u"专家疗程设定", nullptr, Step::OpenWindow, WindowKind::Courses},
    {nullptr, u"用户数据设定", u"用户连结与数据设定", nullptr, 0, MenuPlace::SupportMenu, nullptr, nullptr,
     Step::Settings},
    {u"calibrationButton", u"数位校准", u"仪器自动数字校准系统", u"校", qRgb(64, 112, 32),
     MenuPlace::SupportMenu, u"数字校准系统", u"自动数字校准系统", Step::OpenWindow, WindowKind::Calibration},
    {u"fileTransferButton", u"档案处理", u"数据汇入及汇出", u"处", qRgb(96, 96, 96),
     MenuPlace::SupportMenuAfterSeparator, u"档案汇入/汇出", u"客户及检测数据处理", Step::OpenWindow,
     WindowKind::FileTransfer},
    {u"exitButton", u"离开系统", u"退出O.R.L.U.系统执行", u"离", qRgb(128, 0, 0),
     MenuPlace::SupportMenuAfterSeparator, nullptr, nullptr, Step::Exit},
    {nullptr, u"操作手册", u"打开操作手册 (在任何窗口按 F1 打开该窗口的说明)", nullptr, 0, MenuPlace::Bar,
     nullptr, nullptr, Step::Manual},
    {nullptr, u"关于版本", u"关于版本数据", nullptr, 0, MenuPlace::Bar, nullptr, nullptr, Step::About},
};

QString text(const char16_t *s) {
    return QString::fromUtf16(s);
}

// A tool bar picture: one character on a coloured tile.
QIcon glyphIcon(const QString &glyph, QColor colour) {
    QPixmap pm(32, 32);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawRoundedRect(QRectF(1, 1, 30, 30), 6, 6);
    QFont f = p.font();
    f.setPixelSize(18);
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(pm.rect(), Qt::AlignCenter, glyph);
    return QIcon(pm);
}

const char16_t *const CustomCaptions[] = {u"功能1", u"功能 2", u"功能 3", u"功能 4", u"功能 5", u"功能 6"};

} // namespace

MainWindow::MainWindow(AppContext &app, WindowFactory factory, QWidget *parent)
    : QMainWindow(parent)
    , m_app(app)
    , m_factory(std::move(factory))
    , m_maintenance(new RegisterMaintenance(this)) {
    setObjectName(u"mainWindow"_s);
    connect(m_maintenance, &RegisterMaintenance::finished, this, &MainWindow::maintenanceFinished);
    setWindowTitle(u"Quorix O.R.L.U. Professional 经络能量分析仪"_s);
    resize(960, 640);
    buildToolBar();
    buildMenu();
    buildCentralArea();
    prepareStartup();
}

MainWindow::~MainWindow() = default;

QToolButton *MainWindow::addToolButton(int number, const QString &objectName, const QString &caption,
                                       const QString &hint) {
    QToolButton *b = makeToolButton(objectName, caption, hint, this);
    b->setStatusTip(hint);
    b->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    b->setMinimumWidth(64);
    m_toolButtons[number - 1] = b;
    return b;
}

void MainWindow::run(const MainCommand &command) {
    switch (command.step) {
    case Step::OpenWindow:
        openModalWindow(command.kind);
        break;
    case Step::Settings:
        settingsClicked();
        break;
    case Step::Exit:
        exitClicked();
        break;
    case Step::Manual:
        openManualFor(this, m_app.launcher);
        break;
    case Step::About:
        aboutClicked();
        break;
    }
}

void MainWindow::addCommandButton(QToolBar *bar, int number, const MainCommand &command) {
    QToolButton *b =
        addToolButton(number, text(command.buttonName), text(command.caption), text(command.hint));
    b->setIcon(glyphIcon(text(command.glyph), QColor::fromRgb(command.colour)));
    connect(b, &QToolButton::clicked, this, [this, &command] { run(command); });
    bar->addWidget(b);
}

void MainWindow::buildToolBar() {
    QToolBar *bar = addToolBar(u"main"_s);
    bar->setObjectName(u"toolBar"_s);
    bar->setMovable(false);
    bar->setIconSize(QSize(32, 32));
    int number = 0;
    const MainCommand *exit = nullptr;
    for (const MainCommand &c : MainCommands) {
        if (c.step == Step::Exit)
            exit = &c;
        else if (c.buttonName)
            addCommandButton(bar, ++number, c);
    }
    bar->addSeparator();
    for (int k = 1; k <= 6; ++k) {
        QToolButton *b = addToolButton(7 + k, u"customButton%1"_s.arg(k),
                                       QString::fromUtf16(CustomCaptions[k - 1]), QString());
        b->setIcon(glyphIcon(QString::number(k), QColor(0, 128, 128)));
        connect(b, &QToolButton::clicked, this, [this, k] { customButtonClicked(k); });
        // The custom buttons start hidden; checkInstallationAndButtons applies the settings.
        m_customActions[k - 1] = bar->addWidget(b);
        m_customActions[k - 1]->setVisible(false);
        if (k == 3 || k == 6)
            bar->addSeparator();
    }
    addCommandButton(bar, 14, *exit);
}

void MainWindow::buildMenu() {
    QMenuBar *bar = menuBar();
    QMenu *support = nullptr;
    for (const MainCommand &c : MainCommands) {
        QAction *a = nullptr;
        if (c.place == MenuPlace::Bar) {
            a = bar->addAction(text(c.menuText ? c.menuText : c.caption));
            m_menuItems << a;
        } else {
            if (!support) {
                support = bar->addMenu(u"系统支持"_s);
                support->setObjectName(u"supportMenu"_s);
                support->menuAction()->setStatusTip(u"系统支持与服务"_s);
                m_menuItems << support->menuAction();
            }
            if (c.place == MenuPlace::SupportMenuAfterSeparator)
                support->addSeparator();
            a = support->addAction(text(c.menuText ? c.menuText : c.caption));
        }
        const QString hint = text(c.menuHint ? c.menuHint : c.hint);
        a->setStatusTip(hint);
        a->setToolTip(hint);
        connect(a, &QAction::triggered, this, [this, &c] { run(c); });
    }
}

void MainWindow::buildCentralArea() {
    auto *central = new QWidget(this);
    central->setObjectName(u"centralArea"_s);
    central->setAutoFillBackground(true);
    QPalette pal = central->palette();
    QLinearGradient g(0, 0, 0, 600);
    g.setColorAt(0, QColor(0, 64, 96));
    g.setColorAt(1, QColor(0, 128, 128));
    pal.setBrush(QPalette::Window, g);
    central->setPalette(pal);

    auto *layout = new QVBoxLayout(central);
    layout->addStretch(2);
    auto *product = new QLabel(u"O.R.L.U."_s, central);
    product->setAlignment(Qt::AlignCenter);
    product->setStyleSheet(u"color: white; font-size: 56px; font-weight: bold;"_s);
    auto *subtitle = new QLabel(u"经络能量分析仪"_s, central);
    subtitle->setAlignment(Qt::AlignCenter);
    subtitle->setStyleSheet(u"color: rgb(220, 240, 240); font-size: 28px;"_s);
    layout->addWidget(product);
    layout->addWidget(subtitle);
    layout->addStretch(3);

    auto *footer = new QWidget(central);
    footer->setObjectName(u"footer"_s);
    auto *fl = new QHBoxLayout(footer);
    auto *version = new QLabel(u"O.R.L.U. Professional Version 5.07"_s, footer);
    version->setObjectName(u"versionLabel"_s);
    version->setStyleSheet(u"color: white;"_s);
    auto *link =
        new QLabel(u"<a style=\"color: yellow\" href=\"%1\">%1</a>"_s.arg(makerWebAddress()), footer);
    link->setObjectName(u"makerLink"_s);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse);
    connect(link, &QLabel::linkActivated, this, [this] { openMakerPage(); });
    fl->addWidget(version);
    fl->addStretch();
    fl->addWidget(link);
    layout->addWidget(footer);
    setCentralWidget(central);

    m_title = new QLabel(this);
    m_title->setObjectName(u"titleLabel"_s);
    statusBar()->addWidget(m_title, 1);
    m_readOnlyLabel = new QLabel(this);
    m_readOnlyLabel->setObjectName(u"readOnlyLabel"_s);
    m_readOnlyLabel->setStyleSheet(u"color: rgb(160, 0, 0); font-weight: bold;"_s);
    m_readOnlyLabel->setVisible(false);
    statusBar()->addPermanentWidget(m_readOnlyLabel);
}

void MainWindow::prepareStartup() {
    setMainFunctionsEnabled(false);
    for (QAction *a : m_menuItems)
        a->setVisible(false);
    m_firstActivationPending = true;

    const Startup::Outcome outcome = Startup::prepare(m_app);
    for (const Startup::Message &message : outcome.messages) {
        if (message.toConsole)
            tell(message.type, message.text);
        else
            m_app.prompter.showMessageBox(message.type, message.text);
    }
    if (outcome.mustClose)
        requestClose();
    m_title->setText(m_app.settings.title);
    m_readOnlyLabel->setText(m_app.mainDbReadOnlyReason.isEmpty()
                                 ? QString()
                                 : u"只能查阅，无法储存：%1"_s.arg(m_app.mainDbReadOnlyReason));
    m_readOnlyLabel->setVisible(!m_app.mainDbReadOnlyReason.isEmpty());
}

void MainWindow::tell(MessageType type, const QString &text) {
    // Offscreen or started from a terminal, the reason must also reach someone who reads the console.
    std::fprintf(stderr, "orlu: %s\n", text.toLocal8Bit().constData());
    std::fflush(stderr);
    m_app.prompter.showMessageBox(type, text);
}

void MainWindow::startMaintenance() {
    // The page check and the daily copy are of the register file; a server keeps its own.
    if (m_maintenanceStarted || m_closeRequested || !m_app.mainDb.isOpen() ||
        m_app.mainDb.dialect().isServer())
        return;
    m_maintenanceStarted = true;
    const bool writable = m_app.mainDbReadOnlyReason.isEmpty();
    m_maintenance->start(m_app.folder.file(dbfile::Main),
                         writable ? m_app.folder.file(RegisterBackup::backupFolderName()) : QString(),
                         m_app.clock.now().date());
}

void MainWindow::maintenanceFinished(const MaintenanceResult &result) {
    if (!result.damage.isEmpty())
        tell(MessageType::NoteError,
             DamagedRegister.arg(m_app.folder.file(dbfile::Main), result.damage.join(u'\n')));
    if (!result.backupError.isEmpty())
        tell(MessageType::NoteCaution, BackupFailed.arg(result.backupError));
    if (!result.backupNote.isEmpty())
        statusBar()->showMessage(result.backupNote);
}

void MainWindow::requestClose() {
    m_closeRequested = true;
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindow::showEvent(QShowEvent *event) {
    QMainWindow::showEvent(event);
    checkInstallationAndButtons();
    // Not every window system activates a new window; start-up must not depend on it.
    QTimer::singleShot(0, this, &MainWindow::openStartupStatusOnce);
}

bool MainWindow::event(QEvent *event) {
    if (event->type() == QEvent::WindowActivate)
        QTimer::singleShot(0, this, &MainWindow::openStartupStatusOnce);
    return QMainWindow::event(event);
}

void MainWindow::checkInstallationAndButtons() {
    if (!fileExists(m_app.folder.file(dbfile::Template)))
        requestClose();
    applyCustomButtons();
    // The slow checks and the day's copy run beside the operator, not before the window.
    QTimer::singleShot(0, this, &MainWindow::startMaintenance);
}

void MainWindow::applyCustomButtons() {
    for (int k = 1; k <= CustomButtonCount; ++k) {
        QToolButton *b = m_toolButtons[7 + k - 1];
        const QString hint = m_app.settings.custom[k - 1].hint;
        b->setToolTip(hint);
        b->setStatusTip(hint);
        m_customActions[k - 1]->setVisible(customButtonVisible(m_app.settings.customButtonFlags, k));
    }
}

void MainWindow::openStartupStatusOnce() {
    if (!m_firstActivationPending || m_closeRequested)
        return;
    m_firstActivationPending = false;
    openModalWindow(WindowKind::StartupStatus);
    if (m_app.device.ready) {
        setMainFunctionsEnabled(true);
        for (QAction *a : m_menuItems)
            a->setVisible(true);
        qCInfo(startupLog, "main window ready on %s", qPrintable(m_app.folder.path()));
    } else {
        close();
    }
}

void MainWindow::setMainFunctionsEnabled(bool enabled) {
    for (QToolButton *b : m_toolButtons)
        b->setEnabled(enabled);
}

void MainWindow::openModalWindow(WindowKind kind) {
    setMainFunctionsEnabled(false);
    try {
        std::unique_ptr<QDialog> window = m_factory(kind, this);
        if (window) {
            // Modal to the main window only, so a window beside the program (the
            // simulated probe's tool window) stays usable during a measurement.
            window->setWindowModality(Qt::WindowModal);
            window->exec();
        }
    } catch (const std::exception &e) {
        // The window is gone either way; the operator sees what went wrong.
        m_app.prompter.showMessageBox(MessageType::NoteError, QString::fromLocal8Bit(e.what()));
    }
    setMainFunctionsEnabled(true);
}

void MainWindow::customButtonClicked(int k) {
    setMainFunctionsEnabled(false);
    const CustomLaunch &c = m_app.settings.custom[k - 1];
    launch(m_app.launcher, c.program, c.parameter);
    setMainFunctionsEnabled(true);
}

void MainWindow::settingsClicked() {
    openModalWindow(WindowKind::Settings);
    m_title->setText(m_app.settings.title);
    applyCustomButtons();
}

void MainWindow::aboutClicked() {
    setMainFunctionsEnabled(false);
    {
        AboutBox box(readAboutDeviceLines(m_app.probe, m_app.device), this);
        connect(&box, &AboutBox::linkClicked, this, &MainWindow::openMakerPage);
        box.exec();
    }
    setMainFunctionsEnabled(true);
}

void MainWindow::openMakerPage() {
    launch(m_app.launcher, QString(), makerWebAddress());
}

void MainWindow::exitClicked() {
    setMainFunctionsEnabled(false);
    close();
}

bool MainWindow::confirmExit() {
    m_app.probe.playAlertTone(AlertTone::Caution);
    if (!m_app.measurement.unsaved())
        return m_app.prompter.showMessageBox(MessageType::AskCaution, ExitQuestion);
    // The question of saving takes the place of the plain one. Saving from here asks what
    // saving from the measurement window asks; a re-test of doubtful points needs that
    // window, so the program then stays.
    std::function<void()> save;
    if (m_app.mainDb.isOpen() && m_app.mainDbReadOnlyReason.isEmpty()) {
        save = [this] {
            if (askBeforeSaving(m_app.measurement, m_app.prompter) == SavingDecision::Save)
                openModalWindow(WindowKind::Saving);
        };
    }
    return settleUnsavedWork(UnsavedOccasion::LeaveProgram, m_app.measurement, m_app.prompter, save,
                             m_app.settings.highPotential);
}

void MainWindow::closeEvent(QCloseEvent *event) {
    if (m_app.device.ready) {
        if (!confirmExit()) {
            setMainFunctionsEnabled(true);
            event->ignore();
            return;
        }
        m_app.probe.resetProbe();
        m_app.mainDb.close();
        m_app.textDb.close();
    }
    setMainFunctionsEnabled(true);
    event->accept();
}

} // namespace orlu
