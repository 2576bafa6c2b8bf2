#pragma once

#include <QTimer>
#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QSpinBox;

namespace orlu {

class SimulatedHidLayer;

// A small tool window beside the program in simulation mode: what the probe's
// tip touches, what the auto-operator takes the next run for, whether the
// cotton tip is dry, the answer delay, and unplugging and plugging it in again.
class SimulatedProbeWindow final : public QWidget {
    Q_OBJECT
public:
    explicit SimulatedProbeWindow(SimulatedHidLayer &sim, QWidget *parent = nullptr);

    // Brings the controls in line with the probe (also every half second).
    void refresh();

private:
    void applySkin();
    void togglePlug();

    SimulatedHidLayer &m_sim;
    QButtonGroup *m_skinGroup = nullptr;
    QComboBox *m_scenarioCombo = nullptr;
    QComboBox *m_skinScenarioCombo = nullptr;
    QCheckBox *m_dryTipCheck = nullptr;
    QDoubleSpinBox *m_currentSpin = nullptr;
    QSpinBox *m_latencySpin = nullptr;
    QPushButton *m_plugButton = nullptr;
    QLabel *m_stateLabel = nullptr;
    QTimer m_refresh;
};

} // namespace orlu
