#pragma once

#include "quality/pointquality.h"
#include "measure/probeoperations.h"

#include <QList>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <vector>

namespace orlu {

class Clock;
class EventPump;
class Prompter;
struct CurrentMeasurement;

enum class RunState { Idle, WaitingForContact, Measuring, WaitingForRelease };

// What a run reads from the settings when it starts.
struct RunParameters {
    bool high = false;      // High potential chosen (settings line 6)
    int calibration = 4000; // C: the standard or, with High, the high calibration value
    double threshold = 1.0; // uA (settings line 4)
};

// One pass of the measuring loop of a point.
struct MeasuringSample {
    int reading = 0;
    double baseline = 0;
    quint32 elapsedMs = 0;         // since contact
    quint32 previousElapsedMs = 0; // of the pass before (the progress it showed)
    bool baselinePhase = false;    // the first 200 ms after contact
};

// How a run tells the measurement window what to show. Every call comes from
// inside MeasuringRun::start(), on the user interface thread.
class RunObserver {
public:
    virtual ~RunObserver() = default;
    virtual void runStarted() {}
    virtual void pointShown(int channel) { Q_UNUSED(channel); }
    virtual void statusChanged(const QString &text) { Q_UNUSED(text); }
    virtual void waitingForContact(int channel) { Q_UNUSED(channel); }
    virtual void waitingReading(int reading) { Q_UNUSED(reading); }
    virtual void contactMade(int channel) { Q_UNUSED(channel); }
    virtual void measuringSample(const MeasuringSample &sample) { Q_UNUSED(sample); }
    virtual void attemptDropped(int channel) { Q_UNUSED(channel); }
    virtual void pointDone(int channel, double value) {
        Q_UNUSED(channel);
        Q_UNUSED(value);
    }
    // The run will end at its next check (the stop button, or "否" to the
    // too-long question).
    virtual void stopRequested() {}
    virtual void runEnded() {}
};

// The measuring run: visits the 24 channels in order, waits for contact at each
// point, measures it over four 600 ms ticks and stores the mean of the readings
// of its last tick into the current measurement. It runs on the user
// interface thread until it ends; the probe operations and the event pump keep
// the window responsive meanwhile, which is how stop() and selectPoint() reach it.
class MeasuringRun {
public:
    MeasuringRun(CurrentMeasurement &measurement, ProbeOperations &probe, Prompter &prompter,
                 const Clock &clock, EventPump &pump);

    void setObserver(RunObserver *observer);

    // Returns after the run has ended; false when it did not start (no probe,
    // declined High confirmation, or a run already in progress). A run whose
    // probe is pulled ends at once, keeping the points done, and says so.
    bool start(const RunParameters &parameters);
    // The same run over the given channels only (in channel order), into the
    // measurement as it is: each point measured again replaces its value and
    // quality. It never offers to clear the measurement.
    bool remeasure(const RunParameters &parameters, const QList<int> &channels);
    void stop();
    // Makes channel c the current point while the run waits for contact or
    // measures; ignored otherwise. Returns whether it was accepted.
    bool selectPoint(int channel);
    // A new threshold in uA takes effect for the very next reading.
    void setThreshold(double thresholdUa);

    bool isRunning() const { return m_running; }
    RunState state() const { return m_state; }
    int currentChannel() const { return m_channel; }
    double scale() const { return m_scale; }
    double thresholdInUnits() const { return m_thresholdUnits; }
    bool acceptsPointSelection() const { return m_acceptSelection; }
    bool stopRequestedFlag() const { return m_stop; }
    // The last run ended because its probe was lost.
    bool endedByProbeLoss() const { return m_probeLost; }

    static QString clearQuestion();
    static QString highConfirmation();
    static QString tooLongQuestion();
    static QString waitingStatus();
    static QString measuringStatus();
    static QString doneStatus();

private:
    enum class PointOutcome { Done, Stopped };
    enum class AttemptOutcome { Done, Dropped, ProbeLost };

    bool run(const RunParameters &parameters, const QList<int> &channels, bool offerToClear);
    // The channel of the list after c, or 0 after the last one.
    int channelAfter(int c) const;
    PointOutcome measurePoint();
    bool waitForContact();
    AttemptOutcome measureAttempt();
    void finishPoint(double sum, int count);
    void waitForRelease();
    void setState(RunState s);
    void requestStop();
    void showPoint();
    // True, and the run set to end, once the probe has gone.
    bool probeGone();

    CurrentMeasurement &m_measurement;
    ProbeOperations &m_probe;
    MeasurementOrigin m_probeOrigin; // of the probe this run measures with
    Prompter &m_prompter;
    const Clock &m_clock;
    EventPump &m_pump;
    RunObserver m_silent;
    RunObserver *m_observer = &m_silent;

    RunParameters m_parameters;
    RunState m_state = RunState::Idle;
    bool m_running = false;
    bool m_stop = false;
    bool m_probeLost = false;
    std::optional<ProbeWatch> m_watch;
    bool m_acceptSelection = false;
    int m_channel = 1;
    QList<int> m_channels; // the points this run visits
    // The passes of the current attempt, and the attempts at the current point.
    std::vector<QualitySample> m_samples;
    int m_attempts = 0;
    int m_lastReading = 0;
    double m_scale = 20.0;
    double m_threshold = 1.0;
    double m_thresholdUnits = 20.0;
};

} // namespace orlu
