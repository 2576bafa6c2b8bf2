#include "measure/ui/locatingwindow.h"

#include "core/numberformat.h"
#include "core/settings.h"
#include "measure/ui/signaldisplay.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/ledlamp.h"
#include "widgets/needlegauge.h"
#include "widgets/segmentedbarmeter.h"

#include <QAction>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

QString uaText(double v) {
    return formatFixed(v, 5, 1);
}

QCheckBox *option(const QString &name, const QString &caption, QWidget *parent) {
    auto *box = new QCheckBox(caption, parent);
    box->setObjectName(name);
    return box;
}

GradientProgressBar *tenthsBar(const QString &name, QWidget *parent) {
    auto *bar = new GradientProgressBar(parent);
    bar->setObjectName(name);
    bar->setRange(0, LocatingRun::BarEnd);
    bar->setMinimumWidth(220);
    return bar;
}

} // namespace

LocatingWindow::LocatingWindow(ProbeWindowContext context, QWidget *parent)
    : ProbeToolWindow(std::move(context), u"LocatingWindow"_s, u"穴道定位"_s, parent)
    , m_run(m_context.settings, m_context.probe, m_context.prompter, m_context.clock, m_context.pump) {
    m_startAction = addTool(u"start"_s, u"开始定位"_s, u"开始穴道定位功能"_s, QStyle::SP_MediaPlay);
    m_stopAction = addTool(u"stop"_s, u"停止定位"_s, u"停止穴道定位功能"_s, QStyle::SP_MediaStop);
    m_clearAction = addTool(u"clear"_s, u"清除数据"_s, u"清除最高数据"_s, QStyle::SP_DialogResetButton);
    m_leaveAction = addTool(u"leave"_s, u"离  开"_s, u"离开定位系统"_s, QStyle::SP_DialogCloseButton);
    connect(m_startAction, &QAction::triggered, this, &LocatingWindow::startClicked);
    connect(m_stopAction, &QAction::triggered, this, [this] { m_run.stop(); });
    connect(m_clearAction, &QAction::triggered, this, [this] { m_run.clearHighest(); });
    connect(m_leaveAction, &QAction::triggered, this, [this] { done(QDialog::Accepted); });

    auto *top = new QHBoxLayout;
    top->addWidget(buildOptions(), 1);
    top->addWidget(buildModes());
    panels()->addLayout(top);
    panels()->addWidget(buildDisplay());

    m_run.setObserver(this);
}

LocatingWindow::~LocatingWindow() {
    m_run.setObserver(nullptr);
}

QWidget *LocatingWindow::buildOptions() {
    auto *group = new QGroupBox(u"功能选项"_s, this);
    group->setObjectName(u"optionsGroup"_s);
    m_soundCheck = option(u"soundCheck"_s, u"音效指示开关"_s, group);
    m_keepHighestCheck = option(u"keepHighestCheck"_s, u"保存最高数据"_s, group);
    m_highPotentialCheck = option(u"highPotentialCheck"_s, u"使用高电位定位"_s, group);
    m_sensitivitySpin = new QSpinBox(group);
    m_sensitivitySpin->setObjectName(u"sensitivitySpin"_s);
    m_sensitivitySpin->setRange(LocatingRun::MinimumSensitivity, LocatingRun::MaximumSensitivity);
    connect(m_soundCheck, &QCheckBox::toggled, this, [this](bool on) { m_run.setSound(on); });
    connect(m_keepHighestCheck, &QCheckBox::toggled, this, [this](bool on) { m_run.setKeepHighest(on); });
    connect(m_highPotentialCheck, &QCheckBox::toggled, this, [this](bool on) { m_run.setHighPotential(on); });
    connect(m_sensitivitySpin, &QSpinBox::valueChanged, this, [this](int v) { m_run.setSensitivity(v); });

    auto *grid = new QGridLayout(group);
    grid->addWidget(m_soundCheck, 0, 0);
    grid->addWidget(m_keepHighestCheck, 1, 0);
    grid->addWidget(m_highPotentialCheck, 2, 0);
    grid->addWidget(new QLabel(u"定位灵敏度"_s, group), 0, 1);
    grid->addWidget(m_sensitivitySpin, 1, 1);
    grid->addWidget(new QLabel(u"( 2 - 150 )"_s, group), 2, 1);
    return group;
}

QWidget *LocatingWindow::buildModes() {
    auto *group = new QGroupBox(u"数据收集模式"_s, this);
    group->setObjectName(u"modeGroup"_s);
    m_searchRadio = new QRadioButton(u"搜寻最高数据"_s, group);
    m_searchRadio->setObjectName(u"searchRadio"_s);
    m_locateRadio = new QRadioButton(u"开始穴道定位"_s, group);
    m_locateRadio->setObjectName(u"locateRadio"_s);
    m_searchLamp = signalLamp(u"searchLamp"_s, m_context.clock, group);
    m_locatingLamp = signalLamp(u"locatingLamp"_s, m_context.clock, group);
    connect(m_searchRadio, &QRadioButton::clicked, this, [this] { m_run.setMode(LocatingMode::Search); });
    connect(m_locateRadio, &QRadioButton::clicked, this, [this] { m_run.setMode(LocatingMode::Locating); });
    auto *grid = new QGridLayout(group);
    grid->addWidget(m_searchLamp, 0, 0);
    grid->addWidget(m_searchRadio, 0, 1);
    grid->addWidget(m_locatingLamp, 1, 0);
    grid->addWidget(m_locateRadio, 1, 1);
    return group;
}

QWidget *LocatingWindow::buildDisplay() {
    auto *group = new QGroupBox(u"定位信息"_s, this);
    group->setObjectName(u"displayGroup"_s);
    m_liveValue = figureBox(u"liveValueLabel"_s, group);
    m_liveBar = tenthsBar(u"liveBar"_s, group);
    m_liveLamp = signalLamp(u"liveLamp"_s, m_context.clock, group);
    m_highestValue = figureBox(u"highestValueLabel"_s, group);
    m_highestBar = tenthsBar(u"highestBar"_s, group);
    m_highestLamp = signalLamp(u"highestLamp"_s, m_context.clock, group);
    m_stateText = shadedTextLabel(u"stateLabel"_s, 3, group);
    m_stateLamp = signalLamp(u"stateLamp"_s, m_context.clock, group);
    m_levelMeter = new SegmentedBarMeter(group);
    m_levelMeter->setObjectName(u"levelMeter"_s);
    m_levelMeter->setRange(0, LocatingRun::BarEnd);
    m_levelMeter->setSegmentCount(30);
    m_levelMeter->setMinimumHeight(22);
    m_balanceGauge = new NeedleGauge(-LocatingRun::BalanceLimit, LocatingRun::BalanceLimit, group);
    m_balanceGauge->setObjectName(u"balanceGauge"_s);
    m_balanceGauge->setCaption(u"定位平衡度"_s);
    m_balanceGauge->setDecimals(1);
    m_balanceGauge->setMarkStep(5);
    m_balanceGauge->setMinimumSize(170, 120);
    m_potentialLabel = shadedTextLabel(u"potentialLabel"_s, 3, group);
    m_potentialLamp = signalLamp(u"potentialLamp"_s, m_context.clock, group);

    auto *grid = new QGridLayout;
    addSignalRow(*grid, 0, u"定位数据:"_s, m_liveLamp, m_liveValue, m_liveBar);
    addSignalRow(*grid, 1, u"最高数据:"_s, m_highestLamp, m_highestValue, m_highestBar);
    grid->addWidget(new QLabel(u"定位状态:"_s, group), 2, 0);
    grid->addWidget(m_stateLamp, 2, 1);
    grid->addWidget(m_stateText, 2, 2, 1, 2);
    grid->addWidget(m_levelMeter, 3, 0, 1, 4);
    grid->setColumnStretch(3, 1);
    auto *side = new QVBoxLayout;
    side->addWidget(m_balanceGauge);
    side->addLayout(centredLampRow(m_potentialLamp, m_potentialLabel));
    auto *row = new QHBoxLayout(group);
    row->addLayout(grid, 1);
    row->addLayout(side);
    return group;
}

void LocatingWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (event->spontaneous() || m_run.isRunning())
        return;
    const Settings &s = m_context.settings;
    m_run.open();
    const QSignalBlocker soundBlock(m_soundCheck);
    const QSignalBlocker keepBlock(m_keepHighestCheck);
    const QSignalBlocker highBlock(m_highPotentialCheck);
    const QSignalBlocker spinBlock(m_sensitivitySpin);
    m_soundCheck->setChecked(s.locateSound);
    m_keepHighestCheck->setChecked(s.locateKeepHighest);
    m_highPotentialCheck->setChecked(s.locateHighPotential);
    m_sensitivitySpin->setValue(s.locateParameter);
}

void LocatingWindow::done(int result) {
    if (m_run.isRunning()) {
        // The run's loop is on this window's stack: end it first, close afterwards.
        m_closeAfterRun = true;
        m_closeResult = result;
        m_run.stop();
        return;
    }
    if (m_context.saveSettings)
        m_context.saveSettings();
    QDialog::done(result);
}

void LocatingWindow::startClicked() {
    m_closeAfterRun = false;
    m_run.start();
    if (m_closeAfterRun)
        done(m_closeResult);
}

void LocatingWindow::locatingShown(const LocatingView &v) {
    m_liveValue->setText(uaText(v.live));
    m_liveBar->setValue(v.liveBar);
    m_highestValue->setText(uaText(v.highest));
    m_highestBar->setValue(v.highestBar);
    showShadedText(*m_stateText, v.state);
    if (m_levelMeter->maximum() != v.meterMaximum)
        m_levelMeter->setRange(0, v.meterMaximum);
    if (m_levelMeter->greenEnd() != v.meterGreenEnd || m_levelMeter->yellowEnd() != v.meterYellowEnd)
        m_levelMeter->setZoneEnds(v.meterGreenEnd, v.meterYellowEnd);
    m_levelMeter->setValue(v.meter);
    m_balanceGauge->setValue(v.balance);
    showShadedText(*m_potentialLabel, v.high ? ShadedText{u"高电位定位"_s, Shade::DarkRed}
                                             : ShadedText{u"标准电位定位"_s, Shade::Green});
    showLamp(*m_liveLamp, v.liveLamp);
    showLamp(*m_potentialLamp, v.potentialLamp);
    showLamp(*m_locatingLamp, v.locatingLamp);
    showLamp(*m_searchLamp, v.searchLamp);
    showLamp(*m_stateLamp, v.stateLamp);
    showLamp(*m_highestLamp, v.highestLamp);

    QRadioButton *checked = v.mode == LocatingMode::Search ? m_searchRadio : m_locateRadio;
    if (!checked->isChecked())
        checked->setChecked(true);
    m_searchRadio->setEnabled(v.modeChoiceEnabled);
    m_locateRadio->setEnabled(v.modeChoiceEnabled);
    m_clearAction->setEnabled(v.modeChoiceEnabled);
    m_highPotentialCheck->setEnabled(v.highOptionEnabled);
    m_startAction->setEnabled(!v.running);
    m_leaveAction->setEnabled(!v.running);
    m_stopAction->setEnabled(v.running);
}

} // namespace orlu
