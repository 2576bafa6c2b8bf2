#include "measure/ui/measurementwindow.h"

#include "core/channels.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "core/numberformat.h"
#include "core/prompter.h"
#include "quality/readingcaveats.h"
#include "core/settings.h"
#include "core/unsavedwork.h"
#include "measure/calibrationstanding.h"
#include "measure/livedisplay.h"
#include "measure/measurementcommands.h"
#include "measure/measurementlamps.h"
#include "quality/pointquality.h"
#include "measure/probeoperations.h"
#include "measure/probeusage.h"
#include "measure/savingcheck.h"
#include "measure/ui/manualentrywindow.h"
#include "measure/ui/signaldisplay.h"
#include "quality/verdicts.h"
#include "widgets/ledlamp.h"
#include "widgets/pointprogressbar.h"
#include "widgets/segmentedbarmeter.h"
#include "widgets/statusbars.h"
#include "widgets/tracearea.h"
#include "widgets/valuegrid.h"

#include <QAction>
#include <QButtonGroup>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QRadioButton>
#include <QShowEvent>
#include <QSlider>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
constexpr int TraceLead = 50; // logical ms the trace runs ahead of the last shown progress

// The corner colour of a verdict's mark: amber for a reading that moved, red for one
// that could not be judged or was cut off.
QColor markColour(VerdictMark mark) {
    switch (mark) {
    case VerdictMark::None:
        return {};
    case VerdictMark::Moved:
        return {255, 160, 0};
    case VerdictMark::Unsound:
        return {220, 0, 0};
    }
    return {};
}
} // namespace

MeasurementWindow::MeasurementWindow(MeasurementWindowContext context, MeasurementHandOvers handOvers,
                                     QWidget *parent)
    : QDialog(parent)
    , m_context(std::move(context))
    , m_handOvers(std::move(handOvers))
    , m_run(m_context.measurement, m_context.probe, m_context.prompter, m_context.clock, m_context.pump) {
    setObjectName(u"measurementWindow"_s);
    setWindowTitle(u"经络量测"_s);
    setSizeGripEnabled(false);

    buildToolBar();
    // Tight margins: the whole window, its status line at the foot included, fits a
    // 1366 x 768 laptop screen.
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 4, 8, 4);
    layout->setSpacing(4);
    layout->setMenuBar(m_toolBar);
    layout->addWidget(buildValuePanel());

    auto *middle = new QHBoxLayout;
    auto *left = new QVBoxLayout;
    left->addWidget(buildStatusGroup());
    left->addWidget(buildMeterPanel());
    left->addStretch();
    middle->addLayout(left, 1);
    middle->addWidget(buildPictureGroup());
    middle->addWidget(buildSettingsPanel());
    layout->addLayout(middle);

    // The trace panel (while measuring) and the subject group (while idle) take
    // turns in one place, so the window keeps its size.
    auto *turns = new QGridLayout;
    turns->addWidget(buildTracePanel(), 0, 0);
    turns->addWidget(buildSubjectGroup(), 0, 0);
    for (QWidget *w : {static_cast<QWidget *>(m_tracePanel), static_cast<QWidget *>(m_subjectGroup)}) {
        QSizePolicy policy = w->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        w->setSizePolicy(policy);
    }
    layout->addLayout(turns);
    m_statusBar = makeStatusBar(this);
    m_statusText = addStatusText(m_statusBar, u"statusTextLabel"_s);
    m_noticeText = new QLabel(m_statusBar);
    m_noticeText->setObjectName(u"noticeLabel"_s);
    m_noticeText->setStyleSheet(u"color: rgb(160, 0, 0)"_s);
    // The quality of the last readings, beside the run's own status text.
    m_qualityText = new QLabel(m_statusBar);
    m_qualityText->setObjectName(u"qualityLabel"_s);
    // Many unsteady points make a long line: it names only their number, never widens the
    // window; its tool tip holds it whole.
    m_qualityText->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_statusBar->addWidget(m_qualityText, 2);
    m_statusBar->addPermanentWidget(m_noticeText);
    layout->addWidget(m_statusBar);

    for (LedLamp *l : {m_valueLamp, m_pointLamp, m_traceLamp})
        l->setClock(&m_context.clock);
    m_run.setObserver(this);
    showSettings();
}

MeasurementWindow::~MeasurementWindow() {
    m_run.setObserver(nullptr);
}

QString MeasurementWindow::clearQuestion() {
    return u"确定要清除窗口中的经络能量数据吗?\n (本功能只会清除窗口表格中的数据，不会影响已经储存的病历数据)"_s;
}

QAction *MeasurementWindow::action(const QString &objectName) const {
    return findChild<QAction *>(objectName);
}

void MeasurementWindow::showSettings() {
    const Settings &s = m_context.settings;
    const int position = qBound(1, roundHalfEvenInt(s.measuringThreshold * 10), 50);
    // Opening the window shows the threshold; it does not round the setting.
    const QSignalBlocker spinBlock(m_thresholdSpin);
    const QSignalBlocker sliderBlock(m_thresholdSlider);
    m_thresholdSpin->setValue(position);
    m_thresholdSlider->setValue(position);
    m_thresholdDisplay->setText(formatFixed(s.measuringThreshold, 7, 1));
    checkPotentialRadio(s.highPotential);
    if (QAbstractButton *b = m_styleGroup->button(static_cast<int>(pointPictureStyleOf(s.pointPictureStyle))))
        b->setChecked(true);
    m_tracePanel->hide();
    m_picture->hide();
    m_grid->setEnabled(false);
}

void MeasurementWindow::showEvent(QShowEvent *event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !m_run.isRunning())
        showCurrentMeasurement();
}

void MeasurementWindow::showCurrentMeasurement() {
    CurrentMeasurement &m = m_context.measurement;
    m_hasData = m.hasData();
    if (m_hasData) {
        showValues();
    } else {
        m.measuredAt = 0;
        m.highPotential = m_context.settings.highPotential;
        showValues();
    }
    showPotentialMark(m.highPotential);
    m_complete = m.complete();
    updateEnabling();
    showSubject();
    clearPointLabels();
    m_grid->setEnabled(false);
    showCalibrationNotice();
}

void MeasurementWindow::showCalibrationNotice() {
    m_noticeText->setText(
        calibrationNotice(m_context.settings, m_context.calibrationLog, toDayCount(m_context.clock.now())));
}

void MeasurementWindow::done(int result) {
    // The run holds this window's stack until it ends; "停止测量" ends it.
    if (m_run.isRunning())
        return;
    if (!settleUnsaved(UnsavedOccasion::LeaveMeasurementWindow))
        return;
    keepPotentialSetting();
    QDialog::done(result);
}

void MeasurementWindow::keepPotentialSetting() {
    m_context.settings.highPotential = m_highRadio->isChecked();
    if (m_context.saveSettings)
        m_context.saveSettings();
}

RunParameters MeasurementWindow::runParameters() const {
    const Settings &s = m_context.settings;
    return {s.highPotential, s.highPotential ? s.highCalibration : s.standardCalibration,
            s.measuringThreshold};
}

void MeasurementWindow::remeasureClicked() {
    m_run.remeasure(runParameters(), unsteadyChannels(m_context.measurement.quality));
}

// A second measurement of the same subject in the same mode, at once: stored
// within half an hour of the first, the two make a repeat pair that tells the
// practice's own scatter of measuring.
void MeasurementWindow::repeatClicked() {
    CurrentMeasurement &m = m_context.measurement;
    m.clear(m_context.settings.highPotential);
    showValues();
    measureClicked();
}

bool MeasurementWindow::settleUnsaved(UnsavedOccasion occasion) {
    std::function<void()> save;
    if (m_handOvers.saving && m_handOvers.savingUnavailable.isEmpty())
        save = [this] { saveClicked(); };
    return settleUnsavedWork(occasion, m_context.measurement, m_context.prompter, save,
                             m_context.settings.highPotential);
}

void MeasurementWindow::measureClicked() {
    // A new run would measure over readings the register does not hold; without a probe
    // it does not start, and they are not let go for nothing.
    if (m_context.probe.probeConnected() && !settleUnsaved(UnsavedOccasion::StartNewRun))
        return;
    showValues();
    if (!m_run.start(runParameters())) {
        // The clear question may have cleared the measurement before the High confirmation was declined.
        m_hasData = m_context.measurement.hasData();
        m_complete = m_context.measurement.complete();
        showValues();
        updateEnabling();
    }
}

void MeasurementWindow::stopClicked() {
    m_grid->setEnabled(false);
    m_run.stop();
}

void MeasurementWindow::analysisClicked() {
    handOver(m_handOvers.analysis);
    countProbeUse(m_context.measurement, m_context.probe);
}

void MeasurementWindow::saveClicked() {
    switch (askBeforeSaving(m_context.measurement, m_context.prompter)) {
    case SavingDecision::Cancel:
        return;
    case SavingDecision::Retest:
        remeasureClicked();
        return;
    case SavingDecision::Save:
        break;
    }
    const qint64 before = m_context.measurement.recordKey;
    handOver(m_handOvers.saving);
    const CurrentMeasurement &m = m_context.measurement;
    if (m.recordKey != 0 && m.recordKey != before)
        m_statusText->setText(u"已储存: 编号 "_s + m.subject.number + u"  "_s + m.subject.name);
}

void MeasurementWindow::readClicked() {
    if (!settleUnsaved(UnsavedOccasion::ReadAnother))
        return;
    handOver(m_handOvers.reading);
    checkPotentialRadio(m_context.measurement.highPotential);
}

void MeasurementWindow::clearClicked() {
    if (!m_context.prompter.showMessageBox(MessageType::AskQuestion, clearQuestion()))
        return;
    CurrentMeasurement &m = m_context.measurement;
    m.clear(m_context.settings.highPotential);
    m.subject.clear();
    m_hasData = false;
    m_complete = false;
    showValues();
    updateEnabling();
    showSubject();
    showPotentialMark(m_context.settings.highPotential);
}

void MeasurementWindow::manualEntryClicked() {
    handOver([this](QWidget *parent) {
        ManualEntryWindow entry(ManualEntryWindow::NewEntry{m_context.measurement}, m_context.prompter,
                                m_context.clock, parent);
        entry.exec();
    });
    checkPotentialRadio(m_context.measurement.highPotential);
    showValues();
}

void MeasurementWindow::compareClicked() {
    handOver(m_handOvers.comparison);
}

void MeasurementWindow::leaveClicked() {
    done(QDialog::Accepted);
}

void MeasurementWindow::handOver(const std::function<void(QWidget *)> &open) {
    if (!open)
        return;
    // Hidden, not closed: hiding a dialog the usual way would end its modal loop.
    QWidget::setVisible(false);
    open(this);
    show();
}

void MeasurementWindow::potentialClicked(bool high) {
    m_context.settings.highPotential = high;
    showPotentialMark(high);
}

void MeasurementWindow::checkPotentialRadio(bool high) {
    (high ? m_highRadio : m_standardRadio)->setChecked(true);
    potentialClicked(high);
}

void MeasurementWindow::thresholdChanged(int position) {
    const double threshold = position / 10.0;
    m_context.settings.measuringThreshold = threshold;
    m_thresholdDisplay->setText(formatFixed(threshold, 7, 1));
    {
        const QSignalBlocker spinBlock(m_thresholdSpin);
        const QSignalBlocker sliderBlock(m_thresholdSlider);
        m_thresholdSpin->setValue(position);
        m_thresholdSlider->setValue(position);
    }
    if (m_run.isRunning())
        m_run.setThreshold(threshold);
}

void MeasurementWindow::styleClicked(int style) {
    m_context.settings.pointPictureStyle = style;
    if (m_run.isRunning())
        loadPicture(m_run.currentChannel());
}

void MeasurementWindow::valueCellClicked(int channel) {
    if (m_run.acceptsPointSelection())
        m_run.selectPoint(channel);
}

// ---- what the run reports ----

void MeasurementWindow::runStarted() {
    showValues();
    setRunningState(true);
}

void MeasurementWindow::pointShown(int channel) {
    loadPicture(channel);
    const Meridian &mer = meridian(meridianOfChannel(channel));
    m_positionValue->setText(limbSideLabel(channel));
    m_meridianNameValue->setText(mer.fullName);
    m_pointNameValue->setText(mer.sourcePoint);
    m_pictureSourcePoint->setText(mer.sourcePoint);
    m_englishName->setText(mer.englishName);
    m_grid->setCursorChannel(channel);
}

void MeasurementWindow::statusChanged(const QString &text) {
    m_statusText->setText(text);
}

void MeasurementWindow::waitingForContact(int) {
    showLamps(RunState::WaitingForContact);
    showLive(0, 0, 0);
    m_valueBar->setValue(0);
    m_pointProgress->setValue(0);
}

void MeasurementWindow::waitingReading(int reading) {
    const LiveValues v = waitingValues(reading, m_run.scale());
    showLive(v.measured, v.compensated, v.display);
}

void MeasurementWindow::contactMade(int) {
    showLamps(RunState::Measuring);
    m_traceArea->clearTrace();
}

void MeasurementWindow::measuringSample(const MeasuringSample &s) {
    if (s.baselinePhase)
        m_traceArea->setBaselinePoint(s.elapsedMs);
    else
        m_traceArea->addPoint(s.previousElapsedMs + TraceLead, traceY(s.reading, s.baseline, m_run.scale()));
    const LiveValues v =
        measuringValues(s.reading, s.elapsedMs, m_run.scale(), correctionFactor(m_run.currentChannel()));
    showLive(v.measured, v.compensated, v.display);
    m_valueBar->setValue(v.valueBar);
    m_pointProgress->setValue(v.pointProgress);
}

void MeasurementWindow::attemptDropped(int) {
    m_traceArea->clearTrace();
}

void MeasurementWindow::pointDone(int channel, double value) {
    const CurrentMeasurement &m = m_context.measurement;
    const LiveValues v = pointEndValues(value, m.correctedValue(channel));
    showLive(v.measured, v.compensated, v.display);
    m_valueBar->setValue(v.valueBar);
    m_pointProgress->setValue(v.pointProgress);
    m_grid->setChannelText(channel, formatFixed(value, 3, 0));
    showQuality(channel);
    showMeasuredAt();
    showPotentialMark(m.highPotential);
    showLamps(RunState::WaitingForRelease);
}

void MeasurementWindow::stopRequested() {
    m_grid->setEnabled(false);
}

void MeasurementWindow::runEnded() {
    setRunningState(false);
    if (m_complete)
        m_statusText->setText(u"%1 点测量完毕"_s.arg(ChannelCount));
    else if (m_hasData)
        m_statusText->setText(caveatsOf(m_context.measurement.values, {}).text());
    showQualitySummary();
    showCalibrationNotice();
}

// ---- display ----

void MeasurementWindow::setRunningState(bool running) {
    if (running) {
        m_grid->setEnabled(true);
        m_grid->setFocus();
        enableCommands(true);
        m_subjectGroup->hide();
        m_tracePanel->show();
        m_traceArea->show();
        m_traceArea->clearTrace();
        m_noticeText->clear();
        return;
    }
    m_subjectGroup->show();
    m_tracePanel->hide();
    m_picture->hide();
    showLamps(RunState::Idle);
    m_grid->setCursorCell(1, 1);
    // Keys typed after the run must not land in the threshold controls.
    setFocus();
    m_grid->setEnabled(false);
    m_statusText->clear();
    m_valueBar->setValue(0);
    m_pointProgress->setValue(0);
    m_valueDisplay->setText(valueDisplayText(0));
    m_complete = m_context.measurement.complete();
    m_hasData = m_context.measurement.hasData();
    updateEnabling();
    clearPointLabels();
}

void MeasurementWindow::updateEnabling() {
    enableCommands(false);
    if (!m_handOvers.savingUnavailable.isEmpty())
        m_saveAction->setToolTip(m_handOvers.savingUnavailable);
}

void MeasurementWindow::enableCommands(bool running) {
    const MeasurementCommands c = measurementCommands(
        {running, m_hasData, m_complete, m_handOvers.savingUnavailable.isEmpty(),
         !unsteadyChannels(m_context.measurement.quality).isEmpty(), m_context.measurement.recordKey > 0});
    m_measureAction->setEnabled(c.measure);
    m_stopAction->setEnabled(c.stop);
    m_analysisAction->setEnabled(c.analysis);
    m_compareAction->setEnabled(c.compare);
    m_manualEntryAction->setEnabled(c.manualEntry);
    m_saveAction->setEnabled(c.save);
    m_readAction->setEnabled(c.read);
    m_clearAction->setEnabled(c.clear);
    m_leaveAction->setEnabled(c.leave);
    m_highRadio->setEnabled(c.choosePotential);
    m_standardRadio->setEnabled(c.choosePotential);
    m_remeasureAction->setEnabled(c.remeasureUnsteady);
    m_repeatAction->setEnabled(c.repeat);
}

void MeasurementWindow::showValues() {
    const CurrentMeasurement &m = m_context.measurement;
    for (int c = 1; c <= ChannelCount; ++c) {
        const double v = m.value(c);
        m_grid->setChannelText(c, v == 0.0 ? QString() : formatFixed(v, 3, 0));
        showQuality(c);
    }
    if (m_run.isRunning())
        m_qualityText->clear();
    else
        showQualitySummary();
    showMeasuredAt();
}

void MeasurementWindow::showQuality(int channel) {
    const std::optional<PointQuality> &q = m_context.measurement.pointQuality(channel);
    m_grid->setChannelMark(channel, q ? markColour(verdictMark(q->verdict)) : QColor(),
                           qualityDescription(q, m_context.measurement.value(channel)));
}

void MeasurementWindow::showQualitySummary() {
    const MeasurementQuality &quality = m_context.measurement.quality;
    m_qualityText->setText(statusQualitySummary(quality));
    m_qualityText->setToolTip(m_qualityText->text().isEmpty()
                                  ? QString()
                                  : qualitySummary(quality) + u"\n\n"_s + qualityRulesText());
}

void MeasurementWindow::showLamps(RunState state) {
    const MeasurementLamps lamps = measurementLamps(state);
    showLamp(*m_pointLamp, lamps.point);
    showLamp(*m_valueLamp, lamps.value);
    showLamp(*m_traceLamp, lamps.trace);
}

void MeasurementWindow::showMeasuredAt() {
    const double at = m_context.measurement.measuredAt;
    if (at == 0.0) {
        m_dateValue->clear();
        m_timeValue->clear();
        return;
    }
    const QDateTime dt = fromDayCount(at);
    m_dateValue->setText(shortDate(dt.date()));
    m_timeValue->setText(shortTime(dt.time()));
}

void MeasurementWindow::showPotentialMark(bool high) {
    m_potentialMark->setText(high ? u"[ Hi ]"_s : u"[Standard]"_s);
    m_potentialMark->setStyleSheet(high ? u"color: rgb(255, 0, 0)"_s : u"color: rgb(0, 128, 0)"_s);
}

void MeasurementWindow::showSubject() {
    const Subject &s = m_context.measurement.subject;
    m_subjectNumber->setText(s.number);
    m_subjectName->setText(s.name);
    if (birthDateGiven(s.birthDate)) {
        m_birthDate->setText(shortDate(dateOfDayCount(s.birthDate)));
        m_age->setText(formatInt(ageInYears(s.birthDate, m_context.clock.now().date()), 3));
    } else {
        m_birthDate->clear();
        m_age->clear();
    }
    m_telephone->setText(s.telephone);
    (s.male ? m_maleRadio : m_femaleRadio)->setChecked(true);
}

void MeasurementWindow::clearPointLabels() {
    for (QLabel *l : {m_positionValue, m_meridianNameValue, m_pointNameValue, m_englishName,
                      m_pictureSourcePoint, m_measuredValue, m_compensatedValue})
        l->clear();
}

void MeasurementWindow::showLive(double measured, double compensated, double display) {
    m_measuredValue->setText(formatFixed(measured, 5, 2));
    m_compensatedValue->setText(formatFixed(compensated, 5, 2));
    m_valueDisplay->setText(valueDisplayText(display));
}

void MeasurementWindow::loadPicture(int channel) {
    const QString name = pointPictureName(pointPictureStyleOf(m_context.settings.pointPictureStyle), channel);
    QPixmap picture;
    if (picture.load(QDir(m_context.pictureFolder).filePath(name))) {
        m_picture->setPixmap(
            picture.scaled(m_picture->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
        m_noticeText->clear();
    } else {
        // The run goes on without the picture; the operator still reads which point it is.
        m_picture->setPixmap(QPixmap());
        m_picture->setText(meridian(meridianOfChannel(channel)).sourcePoint);
        m_noticeText->setText(u"测定点图示 "_s + name + u" 无法载入"_s);
    }
    m_picture->show();
}

} // namespace orlu
