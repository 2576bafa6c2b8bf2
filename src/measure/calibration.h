#pragma once

#include "measure/probeoperations.h"
#include "measure/signallamp.h"

#include <QString>

#include <functional>
#include <optional>

namespace orlu {

class Clock;
class EventPump;
class Prompter;
struct Settings;

// Everything the calibration window shows.
struct CalibrationView {
    // "前次校准资料"
    int previousStandard = 0;
    int previousHigh = 0;
    QString previousDate;
    // Which calibration converts the readings, and since when; empty without a log.
    QString inForce;
    // "本次环境校准值"
    int standardValue = 0;
    int highValue = 0;
    QString date;
    double standardChange = 0; // %, against the previous value
    double highChange = 0;
    // "校准平衡度"
    double balance = 0;
    // "数位校准指针": the two progress rows
    double standardNumber = 0;
    double highNumber = 0;
    int standardProgress = 0; // ms, 0..2600
    int highProgress = 0;
    LampView standardLamp;
    LampView highLamp;
    LampView resultLamp;
    ShadedText result;
    QString status;
    // A calibration is in progress: "开始校准" and "离  开" off, "停止校准" on.
    bool busy = false;
};

class CalibrationObserver {
public:
    virtual ~CalibrationObserver() = default;
    // After every change of the view.
    virtual void calibrationShown(const CalibrationView &view) = 0;
    // After a calibration was added to the log.
    virtual void calibrationLogged() {}
};

// The digital calibration: the operator holds the probe's wet cotton tip to
// the metal grip, the probe sees its full reference current, and the readings
// of eight 280 ms ticks in each potential give the standard and the high
// calibration value. It runs on the user interface thread until it ends.
// Only a successful calibration goes into the settings and converts the readings
// from then on; every calibration that ends with values goes into the log at once.
class CalibrationProcedure {
public:
    enum class State { Idle, WaitingForContact, StandardPhase, HighPhase, WaitingForRelease };
    enum class Outcome { None, Stopped, Succeeded, Failed, ProbeLost };

    static constexpr int ContactLevel = 1000;
    static constexpr quint32 TickMs = 280;
    static constexpr int TicksPerPhase = 8;
    static constexpr int ProgressEnd = 2600;
    static constexpr int MinimumStandard = 3000;

    // `saveSettings` writes the settings file (and tells the operator when it cannot).
    CalibrationProcedure(Settings &settings, std::function<bool()> saveSettings, ProbeOperations &probe,
                         Prompter &prompter, const Clock &clock, EventPump &pump);

    void setObserver(CalibrationObserver *observer) { m_observer = observer; }
    // The seat's calibration log (storage/calibrationlog.h); none by default.
    void setLog(QString path) { m_logPath = std::move(path); }

    // What the window shows when it opens: the previous calibration, today's date, all else 0.
    void showIdle();
    // "开始校准": returns when the calibration has ended; false when it did not
    // start (no probe, or one in progress).
    bool start();
    // "停止校准": noticed only while waiting for contact.
    void stop();

    bool isBusy() const { return m_view.busy; }
    State state() const { return m_state; }
    Outcome lastOutcome() const { return m_outcome; }
    const CalibrationView &view() const { return m_view; }

    static QString idleStatus();
    static QString startingLabel();
    static QString contactStatus();
    static QString measuringStatus();
    static QString faultyContactMessage();
    static QString failureStatus();
    static QString successStatus();
    static QString failureLabel();
    static QString successLabel();

    // round(mean - mean x reduction), 0 without samples.
    static int reducedMean(double sum, int count, double reduction);
    // The change gauge: (value - previous) / 4095 x 200.
    static double changeOf(int value, int previous);

private:
    enum class Phase { Done, FaultyContact, ProbeLost };

    void prepare();
    bool waitForContact();
    Phase measure();
    void showResult();
    void store();
    void record();
    void waitForRelease();
    void finish();
    void endWithoutResult();
    void resetFigures();
    void setState(State state) { m_state = state; }
    bool probeGone() const { return m_watch && m_watch->lost(); }
    void publish();

    Settings &m_settings;
    std::function<bool()> m_saveSettings;
    ProbeOperations &m_probe;
    Prompter &m_prompter;
    const Clock &m_clock;
    EventPump &m_pump;
    CalibrationObserver *m_observer = nullptr;

    CalibrationView m_view;
    State m_state = State::Idle;
    Outcome m_outcome = Outcome::None;
    bool m_running = false; // cleared by "停止校准"
    QString m_logPath;
    QString m_logError; // why the last calibration could not be logged
    std::optional<ProbeWatch> m_watch;
    double m_tickIncrement = 0;
};

} // namespace orlu
