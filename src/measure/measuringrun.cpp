#include "measure/measuringrun.h"

#include "core/channels.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/daycount.h"
#include "core/pointticks.h"
#include "core/prompter.h"
#include "measure/livedisplay.h"
#include "measure/probeoperations.h"

#include <algorithm>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
constexpr quint32 BaselinePhaseMs = 200;
constexpr quint32 BaselineReplaceMs = 150;
constexpr quint32 ReleaseQuestionMs = 3000;
} // namespace

MeasuringRun::MeasuringRun(CurrentMeasurement &measurement, ProbeOperations &probe, Prompter &prompter,
                           const Clock &clock, EventPump &pump)
    : m_measurement(measurement)
    , m_probe(probe)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_pump(pump) {}

void MeasuringRun::setObserver(RunObserver *observer) {
    m_observer = observer ? observer : &m_silent;
}

QString MeasuringRun::clearQuestion() {
    return u"您要先清除表格中的数据再开始检测吗？"_s;
}
QString MeasuringRun::highConfirmation() {
    return u"现在系统使用的是【高电位测量】请再一次确认!"_s;
}
QString MeasuringRun::tooLongQuestion() {
    return u"测量时间过长！！是否继续检测？"_s;
}
QString MeasuringRun::waitingStatus() {
    return u"请至指定的代表测定点开始测量,或以鼠标点选测量位置"_s;
}
QString MeasuringRun::measuringStatus() {
    return u"经络能量测定中,请保持测棒稳定不动.."_s;
}
QString MeasuringRun::doneStatus() {
    return u"【经络能量测定完毕,请移开探测棒】"_s;
}

bool MeasuringRun::start(const RunParameters &parameters) {
    QList<int> all;
    for (int c = 1; c <= ChannelCount; ++c)
        all << c;
    return run(parameters, all, true);
}

bool MeasuringRun::remeasure(const RunParameters &parameters, const QList<int> &channels) {
    QList<int> list;
    for (int c : channels) {
        if (c >= 1 && c <= ChannelCount && !list.contains(c))
            list << c;
    }
    std::sort(list.begin(), list.end());
    if (list.isEmpty())
        return false;
    return run(parameters, list, false);
}

int MeasuringRun::channelAfter(int c) const {
    for (int next : m_channels) {
        if (next > c)
            return next;
    }
    return 0;
}

bool MeasuringRun::run(const RunParameters &parameters, const QList<int> &channels, bool offerToClear) {
    if (m_running)
        return false;
    if (!m_probe.probeConnected()) {
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::absentMessage());
        return false;
    }
    if (offerToClear && m_measurement.recordKey > 0) {
        m_probe.playAlertTone(AlertTone::Notice);
        if (m_prompter.showMessageBox(MessageType::AskQuestion, clearQuestion()))
            m_measurement.clear(parameters.high);
    }
    if (parameters.high) {
        m_probe.playAlertTone(AlertTone::Caution);
        if (!m_prompter.showMessageBox(MessageType::AskImportant, highConfirmation()))
            return false;
    }

    m_parameters = parameters;
    m_running = true;
    m_channels = channels;
    m_channel = channels.first();
    m_samples.reserve(2048);
    m_observer->runStarted();

    m_probe.resetProbe();
    m_probe.startProbe();
    m_probe.setPotential(parameters.high);
    m_probeOrigin = m_probe.probeOrigin();
    m_scale = scaleOf(parameters.calibration);
    m_threshold = parameters.threshold;
    m_stop = false;
    m_probeLost = false;
    m_watch.emplace(m_probe);

    while (m_channel != 0 && !m_stop) {
        m_thresholdUnits = thresholdUnits(m_threshold, m_scale);
        m_attempts = 0;
        showPoint();
        measurePoint();
        if (!m_stop)
            m_channel = channelAfter(m_channel);
    }

    m_acceptSelection = false;
    setState(RunState::Idle);
    m_running = false;
    m_observer->runEnded();
    m_probe.resetProbe();
    if (m_probeLost)
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::lostMessage());
    return true;
}

bool MeasuringRun::probeGone() {
    if (!m_watch || !m_watch->lost())
        return false;
    m_probeLost = true;
    m_stop = true;
    return true;
}

void MeasuringRun::stop() {
    if (m_running)
        requestStop();
}

void MeasuringRun::requestStop() {
    m_stop = true;
    m_observer->stopRequested();
}

bool MeasuringRun::selectPoint(int channel) {
    if (!m_acceptSelection || channel < 1 || channel > ChannelCount)
        return false;
    m_channel = channel;
    m_attempts = 0;
    showPoint();
    return true;
}

void MeasuringRun::setThreshold(double thresholdUa) {
    m_threshold = thresholdUa;
    m_thresholdUnits = thresholdUnits(thresholdUa, m_scale);
}

void MeasuringRun::setState(RunState s) {
    m_state = s;
}

void MeasuringRun::showPoint() {
    m_observer->pointShown(m_channel);
}

MeasuringRun::PointOutcome MeasuringRun::measurePoint() {
    for (;;) {
        m_acceptSelection = true;
        setState(RunState::WaitingForContact);
        m_observer->statusChanged(waitingStatus());
        m_observer->waitingForContact(m_channel);
        if (!waitForContact())
            return PointOutcome::Stopped;

        setState(RunState::Measuring);
        m_observer->contactMade(m_channel);
        m_probe.playAlertTone(AlertTone::PointTick);
        m_observer->statusChanged(measuringStatus());
        const AttemptOutcome outcome = measureAttempt();
        if (outcome == AttemptOutcome::Done)
            break;
        m_observer->attemptDropped(m_channel);
        if (outcome == AttemptOutcome::ProbeLost)
            return PointOutcome::Stopped;
    }
    m_acceptSelection = false;
    setState(RunState::WaitingForRelease);
    waitForRelease();
    return PointOutcome::Done;
}

bool MeasuringRun::waitForContact() {
    m_lastReading = 0;
    for (;;) {
        // A wait of at most 1 ms: without a probe a reading returns at once, and
        // this loop must not spin the processor meanwhile.
        m_pump.pump(1);
        m_observer->waitingReading(m_lastReading);
        if (m_stop || probeGone())
            return false;
        const int r1 = m_probe.readCurrent();
        m_lastReading = r1;
        if (r1 > m_thresholdUnits) {
            const int r2 = m_probe.readCurrent();
            m_lastReading = r2;
            // Two readings averaged, so a single spike does not count as contact.
            if ((r1 + r2) / 2.0 > m_thresholdUnits)
                return true;
        }
    }
}

MeasuringRun::AttemptOutcome MeasuringRun::measureAttempt() {
    const quint32 t0 = m_clock.ticks();
    quint32 tickTime = t0;
    int tick = 1;
    double sum = 0;
    int count = 0;
    double baseline = m_probe.readCurrent();
    quint32 previous = 0;
    ++m_attempts;
    m_samples.clear();
    for (;;) {
        const int r = m_probe.readCurrent();
        // Without its probe a reading repeats the last one: nothing of it is stored.
        if (probeGone())
            return AttemptOutcome::ProbeLost;
        const quint32 e = m_clock.elapsedSince(t0);
        m_samples.push_back({static_cast<double>(e), static_cast<double>(r), tick});
        MeasuringSample sample{r, baseline, e, previous, e < BaselinePhaseMs};
        if (sample.baselinePhase) {
            const int again = m_probe.readCurrent();
            baseline = e <= BaselineReplaceMs ? again : (again + baseline) / 2.0;
        }
        if (tick >= FirstAveragedTick) {
            sum += r;
            ++count;
        }
        if (r <= m_thresholdUnits)
            return AttemptOutcome::Dropped;
        m_observer->measuringSample(sample);
        previous = e;
        if (m_clock.elapsedSince(tickTime) >= PointTickMs) {
            tickTime = m_clock.ticks();
            ++tick;
            m_probe.playAlertTone(AlertTone::PointTick);
        }
        if (tick == TicksPerPoint + 1)
            break;
    }
    finishPoint(sum, count);
    return AttemptOutcome::Done;
}

void MeasuringRun::finishPoint(double sum, int count) {
    const double value = (sum / count) / m_scale;
    m_probe.playAlertTone(channelAfter(m_channel) == 0 ? AlertTone::LastPointDone : AlertTone::PointDone);
    m_measurement.setValue(m_channel, value);
    m_measurement.setPointQuality(m_channel, assessPoint(m_samples, m_thresholdUnits, m_attempts));
    m_measurement.highPotential = m_parameters.high;
    m_measurement.measuredAt = toDayCount(m_clock.now());
    m_measurement.origin = m_probeOrigin;
    ++m_measurement.pointsSinceCounterUpdate;
    ++m_measurement.readingsTaken;
    m_measurement.readingsUnsaved = true;
    // The readings are no longer those of the stored record, which stays as it was in the
    // register (the way back): a treatment note or a repeat must not go to it.
    m_measurement.recordKey = 0;
    m_observer->pointDone(m_channel, value);
    m_observer->statusChanged(doneStatus());
}

void MeasuringRun::waitForRelease() {
    const quint32 start = m_clock.ticks();
    for (;;) {
        const int r = m_probe.readCurrent();
        if (r < m_thresholdUnits || probeGone())
            return;
        m_pump.pump(1);
        if (m_clock.elapsedSince(start) > ReleaseQuestionMs) {
            // The last point never asks: the run ends anyway.
            if (channelAfter(m_channel) == 0)
                return;
            m_probe.playAlertTone(AlertTone::Fault);
            if (!m_prompter.showMessageBox(MessageType::AskImportant, tooLongQuestion()))
                requestStop();
            return;
        }
    }
}

} // namespace orlu
