#include "measure/ui/calibrationwindow.h"

#include "core/clock.h"
#include "core/numberformat.h"
#include "measure/ui/calibrationhistory.h"
#include "measure/ui/signaldisplay.h"
#include "widgets/gradientprogressbar.h"
#include "widgets/ledlamp.h"
#include "widgets/needlegauge.h"
#include "widgets/statusbars.h"

#include <QAction>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QShowEvent>
#include <QStatusBar>
#include <QVBoxLayout>

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {

constexpr double CalibrationGaugeEnd = 5000;
constexpr double CalibrationMarkStep = 250;
constexpr double ChangeGaugeEnd = 10;

// "%5.0n" of the value without its fraction.
QString countText(double v) {
    return formatThousands(static_cast<long long>(std::trunc(v)), 5);
}

NeedleGauge *gauge(const QString &name, const QString &caption, double minimum, double maximum,
                   QWidget *parent) {
    auto *g = new NeedleGauge(minimum, maximum, parent);
    g->setObjectName(name);
    g->setCaption(caption);
    g->setMinimumSize(130, 96);
    return g;
}

NeedleGauge *changeGauge(const QString &name, const QString &caption, QWidget *parent) {
    NeedleGauge *g = gauge(name, caption, -ChangeGaugeEnd, ChangeGaugeEnd, parent);
    g->setUnit(u"%"_s);
    g->setDecimals(2);
    g->setMarkStep(2);
    return g;
}

} // namespace

CalibrationWindow::CalibrationWindow(ProbeWindowContext context, QWidget *parent)
    : ProbeToolWindow(std::move(context), u"CalibrationWindow"_s, u"数字自动校准系统"_s, parent)
    , m_procedure(m_context.settings, m_context.saveSettings, m_context.probe, m_context.prompter,
                  m_context.clock, m_context.pump) {
    m_startAction = addTool(u"start"_s, u"开始校准"_s, u"开始仪器校准功能"_s, QStyle::SP_MediaPlay);
    m_stopAction = addTool(u"stop"_s, u"停止校准"_s, u"停止仪器校准功能"_s, QStyle::SP_MediaStop);
    m_leaveAction = addTool(u"leave"_s, u"离  开"_s, u"离开仪器校准功能"_s, QStyle::SP_DialogCloseButton);
    connect(m_startAction, &QAction::triggered, this, &CalibrationWindow::startClicked);
    connect(m_stopAction, &QAction::triggered, this, &CalibrationWindow::stopClicked);
    connect(m_leaveAction, &QAction::triggered, this, [this] { done(QDialog::Accepted); });

    QVBoxLayout *layout = panels();
    auto *groups = new QHBoxLayout;
    groups->addWidget(buildPrevious());
    groups->addWidget(buildCurrent());
    layout->addLayout(groups);
    m_inForce = new QLabel(this);
    m_inForce->setObjectName(u"inForceLabel"_s);
    m_inForce->setWordWrap(true);
    layout->addWidget(m_inForce);
    layout->addWidget(buildPointer());
    m_history = new CalibrationHistory(this);
    m_history->setVisible(!m_context.calibrationLog.isEmpty());
    connect(m_history, &CalibrationHistory::reminderDaysChosen, this, &CalibrationWindow::reminderDaysChosen);
    layout->addWidget(m_history);

    m_resultLamp = signalLamp(u"resultLamp"_s, m_context.clock, this);
    m_resultLabel = shadedTextLabel(u"resultLabel"_s, 6, this);
    m_resultLabel->setMinimumHeight(36);
    layout->addLayout(centredLampRow(m_resultLamp, m_resultLabel));

    m_statusBar = makeStatusBar(this);
    m_statusText = addStatusText(m_statusBar, u"statusTextLabel"_s);
    layout->addWidget(m_statusBar);

    m_procedure.setLog(m_context.calibrationLog);
    m_procedure.setObserver(this);
}

CalibrationWindow::~CalibrationWindow() {
    m_procedure.setObserver(nullptr);
}

QWidget *CalibrationWindow::buildPrevious() {
    auto *group = new QGroupBox(u"前次校准资料"_s, this);
    group->setObjectName(u"previousGroup"_s);
    auto *form = new QFormLayout;
    m_previousStandard = figureBox(u"previousStandardLabel"_s, group);
    m_previousHigh = figureBox(u"previousHighLabel"_s, group);
    m_previousDate = figureBox(u"previousDateLabel"_s, group);
    form->addRow(u"标准电位值:"_s, m_previousStandard);
    form->addRow(u"高电位值:"_s, m_previousHigh);
    form->addRow(u"校准日期:"_s, m_previousDate);
    m_noHistory = new QLabel(u"尚无校准记录"_s, group);
    m_noHistory->setObjectName(u"noHistoryLabel"_s);
    m_noHistory->hide();
    form->addRow(m_noHistory);
    m_previousStandardGauge = gauge(u"previousStandardGauge"_s, u"标准电位"_s, 0, CalibrationGaugeEnd, group);
    m_previousHighGauge = gauge(u"previousHighGauge"_s, u"高电位"_s, 0, CalibrationGaugeEnd, group);
    for (NeedleGauge *g : {m_previousStandardGauge, m_previousHighGauge})
        g->setMarkStep(CalibrationMarkStep);
    auto *row = new QHBoxLayout(group);
    row->addLayout(form);
    row->addWidget(m_previousStandardGauge);
    row->addWidget(m_previousHighGauge);
    return group;
}

QWidget *CalibrationWindow::buildCurrent() {
    auto *group = new QGroupBox(u"本次环境校准值"_s, this);
    group->setObjectName(u"currentGroup"_s);
    auto *form = new QFormLayout;
    m_standardValue = figureBox(u"standardValueLabel"_s, group);
    m_highValue = figureBox(u"highValueLabel"_s, group);
    m_date = figureBox(u"dateLabel"_s, group);
    for (QLabel *date : {m_previousDate, m_date})
        date->setMinimumWidth(date->fontMetrics().horizontalAdvance(u"  30 Dec 2026 "_s));
    form->addRow(u"标准电位值:"_s, m_standardValue);
    form->addRow(u"高电位值:"_s, m_highValue);
    form->addRow(u"校准日期:"_s, m_date);
    m_standardChangeGauge = changeGauge(u"standardChangeGauge"_s, u"标准电位"_s, group);
    m_highChangeGauge = changeGauge(u"highChangeGauge"_s, u"高电位"_s, group);
    auto *row = new QHBoxLayout(group);
    row->addLayout(form);
    row->addWidget(m_standardChangeGauge);
    row->addWidget(m_highChangeGauge);
    return group;
}

QWidget *CalibrationWindow::buildPointer() {
    auto *panel = new QWidget(this);
    auto *row = new QHBoxLayout(panel);
    row->setContentsMargins(0, 0, 0, 0);
    m_balanceGauge = gauge(u"balanceGauge"_s, u"校准平衡度"_s, -ChangeGaugeEnd, ChangeGaugeEnd, panel);
    m_balanceGauge->setUnit(u"%"_s);
    m_balanceGauge->setDecimals(1);
    m_balanceGauge->setMarkStep(2);
    m_balanceGauge->setMinimumSize(170, 120);
    row->addWidget(m_balanceGauge);

    auto *group = new QGroupBox(u"数位校准指针"_s, panel);
    group->setObjectName(u"pointerGroup"_s);
    auto *grid = new QGridLayout(group);
    m_standardLamp = signalLamp(u"standardLamp"_s, m_context.clock, group);
    m_highLamp = signalLamp(u"highLamp"_s, m_context.clock, group);
    m_standardNumber = figureBox(u"standardNumberLabel"_s, group);
    m_highNumber = figureBox(u"highNumberLabel"_s, group);
    m_standardProgress = new GradientProgressBar(group);
    m_standardProgress->setObjectName(u"standardProgressBar"_s);
    m_highProgress = new GradientProgressBar(group);
    m_highProgress->setObjectName(u"highProgressBar"_s);
    for (GradientProgressBar *b : {m_standardProgress, m_highProgress})
        b->setRange(0, CalibrationProcedure::ProgressEnd);
    addSignalRow(*grid, 0, u"标准电位值:"_s, m_standardLamp, m_standardNumber, m_standardProgress);
    addSignalRow(*grid, 1, u"高电位值:"_s, m_highLamp, m_highNumber, m_highProgress);
    grid->setColumnStretch(3, 1);
    row->addWidget(group, 1);
    return panel;
}

void CalibrationWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_procedure.isBusy()) {
        m_procedure.showIdle();
        showHistory();
    }
}

void CalibrationWindow::showHistory() {
    if (m_context.calibrationLog.isEmpty())
        return;
    const CalibrationLog log(m_context.calibrationLog);
    const QList<CalibrationEntry> entries = log.entries();
    m_noHistory->setVisible(entries.isEmpty());
    m_history->setEntries(entries);
    m_history->setReminderDays(log.reminderDays());
}

void CalibrationWindow::reminderDaysChosen(int days) {
    const CalibrationLog log(m_context.calibrationLog);
    if (days == log.reminderDays())
        return;
    QString error;
    if (!log.setReminderDays(days, &error)) {
        m_statusText->setText(u"校准提醒无法储存: "_s + error);
        m_history->setReminderDays(log.reminderDays());
        return;
    }
    m_statusText->setText(days == 0 ? u"已关闭校准提醒。"_s
                                    : u"距上次成功校准超过 %1 天时将提醒校准。"_s.arg(days));
}

void CalibrationWindow::calibrationLogged() {
    showHistory();
}

void CalibrationWindow::done(int result) {
    if (m_procedure.isBusy())
        return;
    QDialog::done(result);
}

void CalibrationWindow::startClicked() {
    m_procedure.start();
}

void CalibrationWindow::stopClicked() {
    m_procedure.stop();
}

void CalibrationWindow::calibrationShown(const CalibrationView &v) {
    m_previousStandard->setText(countText(v.previousStandard));
    m_previousHigh->setText(countText(v.previousHigh));
    m_previousDate->setText(v.previousDate);
    m_inForce->setText(v.inForce);
    m_inForce->setVisible(!v.inForce.isEmpty());
    m_previousStandardGauge->setValue(v.previousStandard);
    m_previousHighGauge->setValue(v.previousHigh);
    m_standardValue->setText(countText(v.standardValue));
    m_highValue->setText(countText(v.highValue));
    m_date->setText(v.date);
    m_standardChangeGauge->setValue(v.standardChange);
    m_highChangeGauge->setValue(v.highChange);
    m_balanceGauge->setValue(v.balance);
    m_standardNumber->setText(countText(v.standardNumber));
    m_highNumber->setText(countText(v.highNumber));
    m_standardProgress->setValue(v.standardProgress);
    m_highProgress->setValue(v.highProgress);
    showLamp(*m_standardLamp, v.standardLamp);
    showLamp(*m_highLamp, v.highLamp);
    showLamp(*m_resultLamp, v.resultLamp);
    showShadedText(*m_resultLabel, v.result);
    m_statusText->setText(v.status);
    m_startAction->setEnabled(!v.busy);
    m_leaveAction->setEnabled(!v.busy);
    m_stopAction->setEnabled(v.busy);
}

} // namespace orlu
