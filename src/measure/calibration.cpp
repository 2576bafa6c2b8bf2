#include "measure/calibration.h"

#include "core/clock.h"
#include "core/daycount.h"
#include "core/numberformat.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "measure/calibrationstanding.h"
#include "storage/calibrationlog.h"

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
constexpr double StandardReduction = 0.001;
constexpr double HighReduction = 0.0001;
constexpr double BalanceSpan = 4000.0;
constexpr double ChangeSpan = 4095.0;
constexpr int BlinkMs = 200;
constexpr int FirstSampleTick = 6;
constexpr int FaultFromTick = 2; // before the second tick a low reading is still the tip settling

const LampView LampOff{};
LampView steady(Shade shade) {
    return {true, shade, false};
}
} // namespace

CalibrationProcedure::CalibrationProcedure(Settings &settings, std::function<bool()> saveSettings,
                                           ProbeOperations &probe, Prompter &prompter, const Clock &clock,
                                           EventPump &pump)
    : m_settings(settings)
    , m_saveSettings(std::move(saveSettings))
    , m_probe(probe)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_pump(pump) {}

QString CalibrationProcedure::idleStatus() {
    return u"环境校准值为本次与前一次的校准比值。"_s;
}
QString CalibrationProcedure::startingLabel() {
    return u"【校准系统启动中】"_s;
}
QString CalibrationProcedure::contactStatus() {
    return u"请将探测棒的棉花端接触金属握把后，系统即开始自动校准"_s;
}
QString CalibrationProcedure::measuringStatus() {
    return u"系统正在执行校准中，请勿将探测棒分开！"_s;
}
QString CalibrationProcedure::faultyContactMessage() {
    return u"自动校准系统发现错误的校准方式！请重新校准一次"_s;
}
QString CalibrationProcedure::failureStatus() {
    return u"检测棒的导电度过低，您需要重新校准！校准前请检查：1. 检测棒的导电棉湿润度、2. 食盐水浓度、3. 导电棉安装方式。"_s;
}
QString CalibrationProcedure::successStatus() {
    return u"您已正确完成系统的自动校准，现在可以将探测棒移开"_s;
}
QString CalibrationProcedure::failureLabel() {
    return u"【校准失败】"_s;
}
QString CalibrationProcedure::successLabel() {
    return u"【校准成功】"_s;
}

int CalibrationProcedure::reducedMean(double sum, int count, double reduction) {
    if (count <= 0)
        return 0;
    const double mean = sum / count;
    return roundHalfEvenInt(mean - mean * reduction);
}

double CalibrationProcedure::changeOf(int value, int previous) {
    return (value - previous) / ChangeSpan * 200.0;
}

void CalibrationProcedure::publish() {
    if (m_observer)
        m_observer->calibrationShown(m_view);
}

void CalibrationProcedure::resetFigures() {
    m_view.previousStandard = m_settings.standardCalibration;
    m_view.previousHigh = m_settings.highCalibration;
    if (m_logPath.isEmpty()) {
        m_view.previousDate = m_settings.lastCalibrationDate;
    } else {
        const CalibrationStanding standing(m_settings, CalibrationLog(m_logPath).entries());
        m_view.previousDate = standing.previousDate();
        m_view.inForce = standing.inForceText();
    }
    m_view.date = shortDate(m_clock.now().date());
    m_view.standardValue = m_view.highValue = 0;
    m_view.standardChange = m_view.highChange = m_view.balance = 0;
    m_view.standardNumber = m_view.highNumber = 0;
    m_view.standardProgress = m_view.highProgress = 0;
}

void CalibrationProcedure::showIdle() {
    resetFigures();
    m_view.result = {};
    m_view.status = idleStatus();
    m_view.busy = false;
    publish();
}

void CalibrationProcedure::stop() {
    if (!m_view.busy)
        return;
    m_view.standardLamp = m_view.highLamp = m_view.resultLamp = LampOff;
    m_running = false;
    m_view.status = idleStatus();
    publish();
}

bool CalibrationProcedure::start() {
    if (m_view.busy)
        return false;
    if (!m_probe.probeConnected()) {
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::absentMessage());
        return false;
    }
    m_watch.emplace(m_probe);
    m_running = true;
    m_outcome = Outcome::None;
    m_logError.clear();
    m_view.busy = true;
    publish();
    m_probe.resetProbe();
    m_probe.startProbe();
    m_probe.setPotential(false);
    m_probe.playAlertTone(AlertTone::Notice);

    for (;;) {
        prepare();
        if (!waitForContact()) {
            endWithoutResult();
            return true;
        }
        const Phase phase = measure();
        if (phase == Phase::Done)
            break;
        if (phase == Phase::ProbeLost) {
            m_outcome = Outcome::ProbeLost;
            endWithoutResult();
            return true;
        }
        m_view.standardLamp = m_view.highLamp = steady(Shade::Teal);
        publish();
        m_probe.playAlertTone(AlertTone::Fault);
        m_prompter.showMessageBox(MessageType::NoteCaution, faultyContactMessage());
    }
    showResult();
    store();
    waitForRelease();
    if (m_view.standardValue >= MinimumStandard) {
        m_view.status = idleStatus();
        m_view.result = {};
    }
    finish();
    if (!m_logError.isEmpty()) {
        m_view.status = u"校准记录无法写入: "_s + m_logError;
        publish();
    }
    if (m_outcome == Outcome::ProbeLost)
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::lostMessage());
    return true;
}

void CalibrationProcedure::prepare() {
    const LampView blinking{true, Shade::Yellow, true};
    m_view.standardLamp = m_view.highLamp = m_view.resultLamp = blinking;
    resetFigures();
    m_view.result = {startingLabel(), Shade::DarkRed};
    m_view.status = contactStatus();
    setState(State::WaitingForContact);
    publish();
}

bool CalibrationProcedure::waitForContact() {
    int reading = 0;
    while (m_running && reading <= ContactLevel) {
        if (probeGone()) {
            m_outcome = Outcome::ProbeLost;
            return false;
        }
        reading = m_probe.readCurrent();
        m_view.standardNumber = reading;
        m_view.balance = reading;
        publish();
        m_pump.pump(1);
    }
    m_view.standardNumber = 0;
    m_tickIncrement = m_probe.readCurrent() / static_cast<double>(TicksPerPhase);
    publish();
    if (!m_running)
        m_outcome = Outcome::Stopped;
    else if (probeGone())
        m_outcome = Outcome::ProbeLost;
    return m_outcome == Outcome::None;
}

CalibrationProcedure::Phase CalibrationProcedure::measure() {
    m_view.status = measuringStatus();
    setState(State::StandardPhase);
    publish();
    m_probe.setPotential(false);
    quint32 phaseStart = m_clock.ticks();
    quint32 tickTime = phaseStart;
    int tick = 0;
    double sum = 0;
    int count = 0;
    double counter = 0;
    m_probe.playAlertTone(AlertTone::CalibrationTick);
    double base = m_probe.readCurrent();
    for (;;) {
        if (probeGone())
            return Phase::ProbeLost;
        if (tick >= FaultFromTick && m_probe.readCurrent() <= ContactLevel)
            return probeGone() ? Phase::ProbeLost : Phase::FaultyContact;
        const int r = m_probe.readCurrent();
        m_view.balance = (r - base) / BalanceSpan * 100.0;
        if (m_clock.elapsedSince(tickTime) >= TickMs) {
            counter += m_tickIncrement;
            tickTime = m_clock.ticks();
            ++tick;
            m_probe.playAlertTone(AlertTone::CalibrationTick);
            if (tick == TicksPerPhase) {
                m_view.standardValue = reducedMean(sum, count, StandardReduction);
                m_view.standardNumber = m_view.standardValue;
                m_view.standardChange = changeOf(m_view.standardValue, m_view.previousStandard);
                m_probe.setPotential(true);
                phaseStart = m_clock.ticks();
                sum = 0;
                count = 0;
                counter = 0;
                m_probe.playAlertTone(AlertTone::StandardPhaseDone);
                m_view.standardProgress = ProgressEnd;
                base = m_probe.readCurrent();
                setState(State::HighPhase);
            } else if (tick == 2 * TicksPerPhase) {
                m_view.highValue = reducedMean(sum, count, HighReduction);
                m_view.highNumber = m_view.highValue;
                m_view.highChange = changeOf(m_view.highValue, m_view.previousHigh);
                m_view.highProgress = ProgressEnd;
                publish();
                return Phase::Done;
            }
        }
        const bool standardPhase = tick < TicksPerPhase;
        const int firstSample = standardPhase ? FirstSampleTick : TicksPerPhase + FirstSampleTick;
        const int phaseEnd = standardPhase ? TicksPerPhase : 2 * TicksPerPhase;
        if (tick >= firstSample && tick < phaseEnd) {
            sum += m_probe.readCurrent();
            ++count;
        }
        const int progress = static_cast<int>(qMin<quint32>(m_clock.elapsedSince(phaseStart), ProgressEnd));
        if (standardPhase) {
            m_view.standardLamp = steady(Shade::Red);
            m_view.highLamp = steady(Shade::Maroon);
            m_view.standardNumber = counter;
            m_view.standardProgress = progress;
        } else {
            m_view.standardLamp = steady(Shade::LimeGreen);
            m_view.highLamp = steady(Shade::Red);
            m_view.highNumber = counter;
            m_view.highProgress = progress;
        }
        publish();
    }
}

void CalibrationProcedure::showResult() {
    m_view.highLamp = steady(Shade::LimeGreen);
    if (m_view.standardValue < MinimumStandard) {
        m_outcome = Outcome::Failed;
        m_probe.playAlertTone(AlertTone::Fault);
        m_view.status = failureStatus();
        m_view.resultLamp = steady(Shade::Red);
        m_view.result = {failureLabel(), Shade::Red};
    } else {
        m_outcome = Outcome::Succeeded;
        m_probe.playAlertTone(AlertTone::Notice);
        m_view.status = successStatus();
        m_view.resultLamp = steady(Shade::LimeGreen);
        m_view.result = {successLabel(), Shade::Green};
    }
    publish();
}

void CalibrationProcedure::store() {
    // The values of a failed calibration would falsify every later reading: the settings
    // keep the last successful calibration (older programs reading the settings file see
    // sound values too), and the failure is only logged.
    if (m_outcome == Outcome::Succeeded) {
        m_settings.standardCalibration = m_view.standardValue;
        m_settings.highCalibration = m_view.highValue;
        m_settings.lastCalibrationDate = m_view.date;
        if (m_saveSettings)
            m_saveSettings();
    }
    record();
}

void CalibrationProcedure::record() {
    if (m_logPath.isEmpty())
        return;
    const CalibrationEntry entry = calibrationEntry(toDayCount(m_clock.now()), m_view.standardValue,
                                                    m_view.highValue, m_outcome == Outcome::Succeeded);
    if (!CalibrationLog(m_logPath).append(entry, &m_logError))
        return;
    m_view.inForce = CalibrationStanding(m_settings, CalibrationLog(m_logPath).entries()).inForceText();
    publish();
    if (m_observer)
        m_observer->calibrationLogged();
}

void CalibrationProcedure::waitForRelease() {
    setState(State::WaitingForRelease);
    for (;;) {
        if (probeGone()) {
            m_outcome = Outcome::ProbeLost;
            return;
        }
        if (m_probe.readCurrent() <= ContactLevel)
            return;
        m_pump.pump(1);
    }
}

void CalibrationProcedure::finish() {
    m_probe.resetProbe();
    m_view.busy = false;
    m_view.standardLamp = m_view.highLamp = m_view.resultLamp = LampOff;
    m_view.standardProgress = m_view.highProgress = 0;
    m_view.balance = 0;
    m_running = false;
    setState(State::Idle);
    publish();
}

void CalibrationProcedure::endWithoutResult() {
    resetFigures();
    m_view.result = {};
    m_view.status = m_outcome == Outcome::ProbeLost ? idleStatus() : QString();
    finish();
    if (m_outcome == Outcome::ProbeLost)
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::lostMessage());
}

} // namespace orlu
