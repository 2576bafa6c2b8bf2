#include "device/ui/startupstatuswindow.h"

#include "device/probelink.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/ledlamp.h"
#include "widgets/statusbars.h"
#include "widgets/windowsetup.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

const QColor LampLime(0, 255, 0);
const QColor SignalGreen(0, 128, 0);
const QColor SignalRed(255, 0, 0);
constexpr int PassMs = 10;

QString noneText() {
    return u"None!"_s;
}

} // namespace

StartupStatusWindow::StartupStatusWindow(ProbeLink &link, const Clock &clock, EventPump &pump,
                                         DeviceStatus &status, StartupFinishingWork finishingWork,
                                         QWidget *parent)
    : FirstShowDialog(parent)
    , m_link(link)
    , m_clock(clock)
    , m_pump(pump)
    , m_status(status)
    , m_finishingWork(std::move(finishingWork)) {
    // After the window is on screen, so the operator sees the run.
    whenFirstShown([this] { QTimer::singleShot(0, this, &StartupStatusWindow::runCheck); });
    setUpWindow(this, {.objectName = u"startupStatusWindow"_s, .title = u"系统状态设定"_s});

    auto *grid = new QGridLayout;
    grid->addWidget(new QLabel(u"USB Status:"_s), 0, 0);
    auto *lampRow = new QHBoxLayout;
    for (size_t i = 0; i < m_usbLamps.size(); ++i) {
        auto *lamp = new LedLamp(LampLime);
        lamp->setObjectName(u"usbLamp%1"_s.arg(i + 1));
        lamp->setClock(&m_clock);
        lampRow->addWidget(lamp);
        m_usbLamps[i] = lamp;
    }
    lampRow->addStretch();
    grid->addLayout(lampRow, 0, 1);
    grid->addWidget(new QLabel(u"Serial Num:"_s), 1, 0);
    m_serialLabel = new QLabel;
    m_serialLabel->setObjectName(u"serialLabel"_s);
    grid->addWidget(m_serialLabel, 1, 1);
    grid->addWidget(new QLabel(u"Hardware Ver:"_s), 2, 0);
    m_hardwareLabel = new QLabel;
    m_hardwareLabel->setObjectName(u"hardwareLabel"_s);
    grid->addWidget(m_hardwareLabel, 2, 1);

    auto *progressRow = new QHBoxLayout;
    m_signalLamp = new LedLamp(SignalRed);
    m_signalLamp->setObjectName(u"signalLamp"_s);
    m_signalLamp->setClock(&m_clock);
    progressRow->addWidget(m_signalLamp);
    m_progressBar = new GradientProgressBar;
    m_progressBar->setObjectName(u"progressBar"_s);
    m_progressBar->setRange(0, ProgressMaximum);
    progressRow->addWidget(m_progressBar, 1);

    // Someone trying the program without a probe learns how to start it with the simulated one.
    // The command stands on a line of its own, whole, so it can be read and typed as it is.
    m_simulationHint = new QLabel(u"没有探测棒时，可从桌面菜单选择“使用模拟探测棒启动”试用本系统，\n"
                                  u"或在命令行输入: orlu --simulate-probe"_s);
    m_simulationHint->setObjectName(u"simulationHint"_s);
    m_simulationHint->setWordWrap(true);
    m_simulationHint->setVisible(false);

    m_leaveButton = new QPushButton(u"离  开"_s);
    m_leaveButton->setObjectName(u"leaveButton"_s);
    m_leaveButton->setVisible(false);
    connect(m_leaveButton, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    buttonRow->addWidget(m_leaveButton);

    m_statusBar = makeStatusBar();

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(progressRow);
    layout->addWidget(m_simulationHint);
    layout->addLayout(buttonRow);
    layout->addWidget(m_statusBar);
    setMinimumWidth(420);
}

StartupStatusWindow::~StartupStatusWindow() = default;

void StartupStatusWindow::closeEvent(QCloseEvent *event) {
    // The run takes 1.3 s and talks to the probe; it is not cut short.
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void StartupStatusWindow::done(int result) {
    // Escape during the run would hide a window that is still talking to the probe.
    if (m_running)
        return;
    m_progressBar->setEnabled(false);
    m_signalLamp->setBlinking(0);
    QDialog::done(result);
}

void StartupStatusWindow::runCheck() {
    m_running = true;
    checkProbe();
    progressRun();
    m_running = false;
    m_hasRun = true;
    finish();
}

void StartupStatusWindow::checkProbe() {
    m_status = DeviceStatus{};
    m_serialLabel->clear();
    m_hardwareLabel->clear();
    m_statusBar->clearMessage();

    if (!m_link.probeHeld()) {
        m_status.statusMessage = u"O.R.L.U.并未启动！请检查电源是否开启，USB联机是否正常。"_s;
        // A probe that is there but cannot be opened says why (permissions, mostly).
        const QString reason = m_link.hid().lastError();
        if (!reason.isEmpty())
            m_status.statusMessage += u" ("_s + reason + u')';
        m_status.serialText = noneText();
        m_status.hardwareText = noneText();
    } else {
        m_status.hardwareText = m_link.hardwareVersion();
        if (m_status.hardwareText.isEmpty()) {
            m_status.hardwareText = u"USB Status Error!"_s;
            m_status.serialText = noneText();
            m_status.statusMessage = u"USB界面异常！请检查O.R.L.U.的USB联机。"_s;
        } else if (m_link.resetProbe()) {
            m_status.ready = true;
            m_status.serialText = m_link.readSerial();
            if (m_status.serialText.isEmpty())
                m_status.serialText = noneText();
        } else {
            m_status.serialText = noneText();
            m_status.statusMessage = u"O.R.L.U.联机异常！请检查O.R.L.U.的USB联机。"_s;
        }
    }
    m_signalLamp->setColor(m_status.ready ? SignalGreen : SignalRed);
    m_signalLamp->setOn(true);
    m_signalLamp->setBlinking(BlinkMs);
}

void StartupStatusWindow::progressRun() {
    static constexpr int LampThresholds[] = {200, 400, 600, 800, 1000, 1200};
    const quint32 t0 = m_clock.ticks();
    m_usbLamps[0]->setOn(true);
    bool sentA = false;
    bool sentAB = false;
    bool sentBI = false;
    for (quint32 elapsed = 0; (elapsed = m_clock.elapsedSince(t0)) <= ProgressMaximum;) {
        const int position = static_cast<int>(elapsed);
        m_progressBar->setValue(position);
        if (position >= 301 && position <= 399)
            showValues();
        for (size_t i = 0; i < std::size(LampThresholds); ++i) {
            if (position > LampThresholds[i])
                m_usbLamps[i + 1]->setOn(true);
        }
        if (m_status.ready) {
            // Each group once; a group whose range falls between two passes is skipped.
            if (position < 400 && !sentA) {
                sentA = true;
                m_link.sendCommand(u"AFFFFFF"_s);
            } else if (position >= 400 && position <= 799 && !sentAB) {
                sentAB = true;
                m_link.sendCommand(u"A000000"_s);
                m_link.sendCommand(u"BFFFFFF"_s);
            } else if (position >= 800 && !sentBI) {
                sentBI = true;
                m_link.sendCommand(u"B000000"_s);
                m_link.sendCommand(u"IFFFFFF"_s);
            }
        }
        m_pump.pump(PassMs);
    }
}

void StartupStatusWindow::finish() {
    m_progressBar->setValue(ProgressMaximum);
    // A slow probe can make the passes skip the moment the rows are filled in.
    showValues();
    m_statusBar->showMessage(u"Done."_s);
    if (m_status.ready) {
        m_link.resetProbe();
        if (m_finishingWork)
            m_finishingWork(*this);
        accept();
        return;
    }
    m_statusBar->showMessage(m_status.statusMessage);
    m_simulationHint->setVisible(!m_link.probeHeld());
    m_leaveButton->setVisible(true);
    // The hint's lines take room the rows above must not give up.
    adjustSize();
}

void StartupStatusWindow::showValues() {
    m_serialLabel->setText(m_status.serialText);
    m_hardwareLabel->setText(m_status.hardwareText);
}

void StartupStatusWindow::showStatus(const QString &text) {
    m_statusBar->showMessage(text);
    m_statusBar->repaint();
}

void StartupStatusWindow::setProgress(int position) {
    m_progressBar->setValue(position);
    m_progressBar->repaint();
}

int StartupStatusWindow::progress() const {
    return m_progressBar->value();
}

} // namespace orlu
