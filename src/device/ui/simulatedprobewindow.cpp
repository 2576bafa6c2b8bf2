#include "device/ui/simulatedprobewindow.h"

#include "device/simulatedhidlayer.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace orlu {

SimulatedProbeWindow::SimulatedProbeWindow(SimulatedHidLayer &sim, QWidget *parent)
    : QWidget(parent, Qt::Tool)
    , m_sim(sim) {
    setObjectName(u"SimulatedProbeWindow"_s);
    setWindowTitle(u"模拟探测棒"_s);

    auto *skinBox = new QGroupBox(u"探测棒接触"_s);
    auto *skinLayout = new QVBoxLayout(skinBox);
    m_skinGroup = new QButtonGroup(this);
    const std::pair<SkinModel, QString> skins[] = {
        {SkinModel::Auto, u"自动操作员"_s},
        {SkinModel::Lifted, u"离开皮肤"_s},
        {SkinModel::OnPoint, u"测量点上"_s},
        {SkinModel::OnGrip, u"金属握把"_s},
    };
    const char16_t *names[] = {u"autoRadio", u"liftedRadio", u"pointRadio", u"gripRadio"};
    for (size_t i = 0; i < std::size(skins); ++i) {
        auto *radio = new QRadioButton(skins[i].second);
        radio->setObjectName(QString::fromUtf16(names[i]));
        m_skinGroup->addButton(radio, static_cast<int>(skins[i].first));
        skinLayout->addWidget(radio);
    }
    connect(m_skinGroup, &QButtonGroup::idClicked, this, &SimulatedProbeWindow::applySkin);

    // The scenarios the auto-operator plays through by itself: a measuring run,
    // a calibration that passes (wet tip) or fails (dry tip), a locating session.
    m_scenarioCombo = new QComboBox;
    m_scenarioCombo->setObjectName(u"scenarioCombo"_s);
    m_scenarioCombo->addItem(u"自动判断"_s, int(AutoOperator::Scenario::Infer));
    m_scenarioCombo->addItem(u"经络测量"_s, int(AutoOperator::Scenario::Measuring));
    m_scenarioCombo->addItem(u"数字校准"_s, int(AutoOperator::Scenario::Calibrating));
    m_scenarioCombo->addItem(u"穴道定位"_s, int(AutoOperator::Scenario::Locating));
    connect(m_scenarioCombo, &QComboBox::activated, this, [this] {
        for (int i = 0; i < m_sim.probeCount(); ++i)
            m_sim.probe(i).setScenario(AutoOperator::Scenario(m_scenarioCombo->currentData().toInt()));
        refresh();
    });
    // How the skin answers while the auto-operator measures.
    m_skinScenarioCombo = new QComboBox;
    m_skinScenarioCombo->setObjectName(u"skinScenarioCombo"_s);
    for (SkinScenario scenario : {SkinScenario::Steady, SkinScenario::Drifting, SkinScenario::Unsteady,
                                  SkinScenario::PoorContact, SkinScenario::Saturated})
        m_skinScenarioCombo->addItem(skinScenarioCaption(scenario), int(scenario));
    connect(m_skinScenarioCombo, &QComboBox::activated, this, [this] {
        for (int i = 0; i < m_sim.probeCount(); ++i)
            m_sim.probe(i).setSkinScenario(SkinScenario(m_skinScenarioCombo->currentData().toInt()));
        refresh();
    });
    m_dryTipCheck = new QCheckBox(u"导电棉干燥 (校准失败)"_s);
    m_dryTipCheck->setObjectName(u"dryTipCheck"_s);
    connect(m_dryTipCheck, &QCheckBox::toggled, this, [this](bool dry) {
        for (int i = 0; i < m_sim.probeCount(); ++i)
            m_sim.probe(i).setDryTip(dry);
    });

    m_currentSpin = new QDoubleSpinBox;
    m_currentSpin->setObjectName(u"currentSpin"_s);
    m_currentSpin->setRange(0.0, 200.0);
    m_currentSpin->setDecimals(1);
    m_currentSpin->setSuffix(u" uA"_s);
    connect(m_currentSpin, &QDoubleSpinBox::valueChanged, this, &SimulatedProbeWindow::applySkin);

    m_latencySpin = new QSpinBox;
    m_latencySpin->setObjectName(u"latencySpin"_s);
    m_latencySpin->setRange(0, 1000);
    m_latencySpin->setSuffix(u" ms"_s);
    connect(m_latencySpin, &QSpinBox::valueChanged, this, [this](int ms) {
        for (int i = 0; i < m_sim.probeCount(); ++i)
            m_sim.probe(i).setLatency(ms);
    });

    m_plugButton = new QPushButton;
    m_plugButton->setObjectName(u"plugButton"_s);
    connect(m_plugButton, &QPushButton::clicked, this, &SimulatedProbeWindow::togglePlug);

    m_stateLabel = new QLabel;
    m_stateLabel->setObjectName(u"stateLabel"_s);

    auto *form = new QFormLayout;
    form->addRow(u"操作情景:"_s, m_scenarioCombo);
    form->addRow(u"皮肤接触:"_s, m_skinScenarioCombo);
    form->addRow(QString(), m_dryTipCheck);
    form->addRow(u"测量点电流:"_s, m_currentSpin);
    form->addRow(u"应答延迟:"_s, m_latencySpin);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(skinBox);
    layout->addLayout(form);
    layout->addWidget(m_plugButton);
    layout->addWidget(m_stateLabel);

    refresh();
    connect(&m_refresh, &QTimer::timeout, this, &SimulatedProbeWindow::refresh);
    m_refresh.start(500);
}

void SimulatedProbeWindow::refresh() {
    if (m_sim.probeCount() == 0)
        return;
    SimulatedProbe &probe = m_sim.probe(0);
    if (QAbstractButton *b = m_skinGroup->button(static_cast<int>(probe.skin())))
        b->setChecked(true);
    const QSignalBlocker blockCurrent(m_currentSpin);
    const QSignalBlocker blockLatency(m_latencySpin);
    const QSignalBlocker blockDry(m_dryTipCheck);
    m_scenarioCombo->setCurrentIndex(m_scenarioCombo->findData(int(probe.scenario())));
    m_scenarioCombo->setEnabled(probe.skin() == SkinModel::Auto);
    m_skinScenarioCombo->setCurrentIndex(m_skinScenarioCombo->findData(int(probe.skinScenario())));
    m_skinScenarioCombo->setEnabled(probe.skin() == SkinModel::Auto);
    m_dryTipCheck->setChecked(probe.dryTip());
    m_currentSpin->setValue(probe.pointCurrent());
    m_currentSpin->setEnabled(probe.skin() == SkinModel::OnPoint);
    m_latencySpin->setValue(probe.latency());
    const bool plugged = m_sim.isPluggedIn(0);
    m_plugButton->setText(plugged ? u"拔出探测棒"_s : u"插入探测棒"_s);
    QString state = plugged ? u"已连接"_s : u"未连接"_s;
    if (probe.skin() == SkinModel::Auto)
        state += u" · "_s + probe.autoOperatorState();
    m_stateLabel->setText(state);
}

void SimulatedProbeWindow::applySkin() {
    if (m_sim.probeCount() == 0)
        return;
    SimulatedProbe &probe = m_sim.probe(0);
    probe.setSkin(static_cast<SkinModel>(m_skinGroup->checkedId()));
    probe.setPointCurrent(m_currentSpin->value());
    refresh();
}

void SimulatedProbeWindow::togglePlug() {
    if (m_sim.probeCount() == 0)
        return;
    if (m_sim.isPluggedIn(0))
        m_sim.unplug(0);
    else
        m_sim.replug(0);
    refresh();
}

} // namespace orlu
