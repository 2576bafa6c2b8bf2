#pragma once

#include "measure/locating.h"
#include "measure/ui/probetoolwindow.h"

class QAction;
class QCheckBox;
class QLabel;
class QRadioButton;
class QSpinBox;

namespace orlu {

class GradientProgressBar;
class LedLamp;
class NeedleGauge;
class SegmentedBarMeter;

// "穴道定位": guides the probe onto an acupoint.
class LocatingWindow final : public ProbeToolWindow, private LocatingObserver {
    Q_OBJECT
public:
    explicit LocatingWindow(ProbeWindowContext context, QWidget *parent = nullptr);
    ~LocatingWindow() override;

    LocatingRun &run() { return m_run; }

public slots:
    // During a run, closing stops it and the window closes once it has ended.
    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *buildOptions();
    QWidget *buildModes();
    QWidget *buildDisplay();
    void startClicked();
    void locatingShown(const LocatingView &view) override;

    LocatingRun m_run;
    bool m_closeAfterRun = false;
    int m_closeResult = QDialog::Accepted;

    QAction *m_startAction = nullptr;
    QAction *m_stopAction = nullptr;
    QAction *m_clearAction = nullptr;
    QAction *m_leaveAction = nullptr;
    QCheckBox *m_soundCheck = nullptr;
    QCheckBox *m_keepHighestCheck = nullptr;
    QCheckBox *m_highPotentialCheck = nullptr;
    QSpinBox *m_sensitivitySpin = nullptr;
    QRadioButton *m_searchRadio = nullptr;
    QRadioButton *m_locateRadio = nullptr;
    LedLamp *m_searchLamp = nullptr;   // lamp 4
    LedLamp *m_locatingLamp = nullptr; // lamp 3
    QLabel *m_liveValue = nullptr;
    GradientProgressBar *m_liveBar = nullptr;
    LedLamp *m_liveLamp = nullptr; // lamp 1
    QLabel *m_highestValue = nullptr;
    GradientProgressBar *m_highestBar = nullptr;
    LedLamp *m_highestLamp = nullptr; // lamp 6
    QLabel *m_stateText = nullptr;
    LedLamp *m_stateLamp = nullptr; // lamp 5
    SegmentedBarMeter *m_levelMeter = nullptr;
    NeedleGauge *m_balanceGauge = nullptr;
    QLabel *m_potentialLabel = nullptr;
    LedLamp *m_potentialLamp = nullptr; // lamp 2
};

} // namespace orlu
