#pragma once

#include "measure/calibration.h"
#include "measure/ui/probetoolwindow.h"

class QAction;
class QLabel;
class QStatusBar;

namespace orlu {

class CalibrationHistory;
class GradientProgressBar;
class LedLamp;
class NeedleGauge;

// "数字自动校准系统": calibrates the probe against its metal grip.
class CalibrationWindow final : public ProbeToolWindow, private CalibrationObserver {
    Q_OBJECT
public:
    explicit CalibrationWindow(ProbeWindowContext context, QWidget *parent = nullptr);
    ~CalibrationWindow() override;

    CalibrationProcedure &procedure() { return m_procedure; }

public slots:
    // Refused while a calibration runs: its loop lives on this window's stack.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildPrevious();
    QWidget *buildCurrent();
    QWidget *buildPointer();
    void startClicked();
    void stopClicked();
    void calibrationShown(const CalibrationView &view) override;
    void calibrationLogged() override;
    void showHistory();
    void reminderDaysChosen(int days);

    CalibrationProcedure m_procedure;

    QAction *m_startAction = nullptr;
    QAction *m_stopAction = nullptr;
    QAction *m_leaveAction = nullptr;
    QLabel *m_previousStandard = nullptr;
    QLabel *m_previousHigh = nullptr;
    QLabel *m_previousDate = nullptr;
    QLabel *m_noHistory = nullptr;
    QLabel *m_inForce = nullptr;
    CalibrationHistory *m_history = nullptr;
    NeedleGauge *m_previousStandardGauge = nullptr;
    NeedleGauge *m_previousHighGauge = nullptr;
    QLabel *m_standardValue = nullptr;
    QLabel *m_highValue = nullptr;
    QLabel *m_date = nullptr;
    NeedleGauge *m_standardChangeGauge = nullptr;
    NeedleGauge *m_highChangeGauge = nullptr;
    NeedleGauge *m_balanceGauge = nullptr;
    LedLamp *m_standardLamp = nullptr;
    LedLamp *m_highLamp = nullptr;
    LedLamp *m_resultLamp = nullptr;
    QLabel *m_standardNumber = nullptr;
    QLabel *m_highNumber = nullptr;
    GradientProgressBar *m_standardProgress = nullptr;
    GradientProgressBar *m_highProgress = nullptr;
    QLabel *m_resultLabel = nullptr;
    QStatusBar *m_statusBar = nullptr;
    QLabel *m_statusText = nullptr;
};

} // namespace orlu
