#pragma once

#include "core/clock.h"
#include "device/devicestatus.h"
#include "widgets/firstshowdialog.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QPushButton;
class QStatusBar;

namespace orlu {

class GradientProgressBar;
class LedLamp;
class ProbeLink;

// The start-up status window: checks once per run that the probe is there and
// answers, shows its serial number and hardware text, plays the signal
// sequence while the progress bar runs 1.3 s, then closes by itself when the
// probe is ready, or shows why not and waits for "离  开".
// What the start-up window lends the work the program does at its end.
class StartupProgress {
public:
    virtual ~StartupProgress() = default;
    // The window's status line, repainted at once.
    virtual void showStatus(const QString &text) = 0;
    // The progress bar, 0..progressMaximum().
    virtual void setProgress(int position) = 0;
    virtual int progress() const = 0;
    virtual int progressMaximum() const = 0;
};

// Work the program does when the probe has come up ready, on the window's status line and
// progress bar, before the window closes (the take-over of an older database).
using StartupFinishingWork = std::function<void(StartupProgress &)>;

class StartupStatusWindow final : public FirstShowDialog, private StartupProgress {
    Q_OBJECT
public:
    static constexpr int ProgressMaximum = 1300;

    StartupStatusWindow(ProbeLink &link, const Clock &clock, EventPump &pump, DeviceStatus &status,
                        StartupFinishingWork finishingWork = {}, QWidget *parent = nullptr);
    ~StartupStatusWindow() override;

    // Whether the check has run (it runs once, on the first showing).
    bool hasRun() const { return m_hasRun; }
    bool isRunning() const { return m_running; }

protected:
    void closeEvent(QCloseEvent *event) override;

public slots:
    void done(int result) override;

private:
    void runCheck();
    void checkProbe();
    void progressRun();
    void finish();
    void showValues();

    void showStatus(const QString &text) override;
    void setProgress(int position) override;
    int progress() const override;
    int progressMaximum() const override { return ProgressMaximum; }

    ProbeLink &m_link;
    const Clock &m_clock;
    EventPump &m_pump;
    DeviceStatus &m_status;
    StartupFinishingWork m_finishingWork;
    bool m_hasRun = false;
    bool m_running = false;

    std::array<LedLamp *, 7> m_usbLamps{};
    QLabel *m_serialLabel = nullptr;
    QLabel *m_hardwareLabel = nullptr;
    LedLamp *m_signalLamp = nullptr;
    GradientProgressBar *m_progressBar = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_simulationHint = nullptr;
    QPushButton *m_leaveButton = nullptr;
};

} // namespace orlu
