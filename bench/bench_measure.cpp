// Pace of a measuring run against the simulated probe with real threads and
// real time: readings per second while a point is measured, with no answer
// latency and with the 1 ms latency of the real probe; and how quickly the
// measurement window repaints and obeys "停止测量" while a run is going on.
#include "benchsupport.h"
#include "core/clock.h"
#include "core/currentmeasurement.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "device/probelink.h"
#include "device/simulatedhidlayer.h"
#include "measure/measuringrun.h"
#include "measure/probelinkoperations.h"
#include "measure/ui/measurementwindow.h"
#include "widgets/tracearea.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace Qt::StringLiterals;
using namespace orlu;

namespace {

// Counts the readings taken while a point is being measured.
class CountingProbe final : public ProbeOperations {
public:
    CountingProbe(ProbeOperations &inner, const MeasuringRun *&run)
        : m_inner(inner)
        , m_run(run) {}
    void resetProbe() override { m_inner.resetProbe(); }
    void startProbe() override { m_inner.startProbe(); }
    void setPotential(bool high) override { m_inner.setPotential(high); }
    int readCurrent() override {
        if (m_run && m_run->state() == RunState::Measuring)
            ++measuringReadings;
        return m_inner.readCurrent();
    }
    void playAlertTone(AlertTone tone) override { m_inner.playAlertTone(tone); }
    int usageCounter(bool increment) override { return m_inner.usageCounter(increment); }
    bool probeConnected() const override { return m_inner.probeConnected(); }
    int probeLosses() const override { return m_inner.probeLosses(); }

    long long measuringReadings = 0;

private:
    ProbeOperations &m_inner;
    const MeasuringRun *&m_run;
};

// Puts the probe on each point as soon as it is asked for, lifts it when done,
// and stops the run after a few points, timing the measuring phases.
class BenchOperator final : public RunObserver {
public:
    BenchOperator(SimulatedProbe &probe, MeasuringRun &run, int points)
        : m_probe(probe)
        , m_run(run)
        , m_points(points) {}
    void waitingForContact(int) override { m_probe.setSkin(SkinModel::OnPoint); }
    void contactMade(int) override { m_timer.start(); }
    void pointDone(int, double) override {
        measuringNs += m_timer.nsecsElapsed();
        m_probe.setSkin(SkinModel::Lifted);
        if (++done == m_points)
            m_run.stop();
    }
    qint64 measuringNs = 0;
    int done = 0;

private:
    SimulatedProbe &m_probe;
    MeasuringRun &m_run;
    int m_points;
    QElapsedTimer m_timer;
};

// A simulated probe on the bus in real time, held by a command exchange.
struct RealTimeProbe {
    SystemClock clock;
    QtEventPump pump;
    SimulatedHidLayer sim{clock, SimulatedHidLayer::Timing::RealTime};
    std::unique_ptr<ProbeLink> link;

    RealTimeProbe(int latencyMs, SkinModel skin) {
        SimulatedProbeOptions options;
        options.latencyMs = latencyMs;
        options.skin = skin;
        sim.addProbe(options);
        link = std::make_unique<ProbeLink>(sim, clock, pump);
        link->registerDeviceChange();
    }
};

// Readings per second of the bare command exchange, without a run around it.
double exchangesPerSecond(int latencyMs) {
    RealTimeProbe rig(latencyMs, SkinModel::OnPoint);
    QElapsedTimer timer;
    timer.start();
    int n = 0;
    while (timer.elapsed() < 2000) {
        rig.link->readCurrent();
        ++n;
    }
    return n / (static_cast<double>(timer.nsecsElapsed()) / 1e9);
}

double samplesPerSecond(int latencyMs, int points) {
    RealTimeProbe rig(latencyMs, SkinModel::Lifted);
    ProbeLinkOperations operations(*rig.link);
    const MeasuringRun *runPtr = nullptr;
    CountingProbe probe(operations, runPtr);
    bench::SilentPrompter prompter;
    CurrentMeasurement measurement;
    MeasuringRun run(measurement, probe, prompter, rig.clock, rig.pump);
    runPtr = &run;
    BenchOperator op(rig.sim.probe(), run, points);
    run.setObserver(&op);
    run.start(RunParameters{false, 4000, 1.0});
    return probe.measuringReadings / (static_cast<double>(op.measuringNs) / 1e9);
}

struct Responsiveness {
    double maxRepaintGapMs = 0;
    double stopMs = 0;
};

// The window over the simulated probe with its auto-operator: the longest gap
// between two paints of the trace while a point is measured, and the time from
// a click on "停止测量" to the end of the run.
Responsiveness windowResponsiveness() {
    RealTimeProbe rig(1, SkinModel::Auto);
    ProbeLinkOperations probe(*rig.link);
    SystemClock &clock = rig.clock;
    QtEventPump &pump = rig.pump;
    bench::SilentPrompter prompter;
    CurrentMeasurement measurement;
    Settings settings = defaultSettings(QDate::currentDate());
    MeasurementWindow window(
        MeasurementWindowContext{
            {settings, [] { return true; }, probe, prompter, clock, pump}, measurement, QString()},
        MeasurementHandOvers{});
    window.show();

    Responsiveness result;
    auto *trace = window.findChild<TraceArea *>(u"traceArea"_s);
    QElapsedTimer sincePaint;
    sincePaint.start();
    bool measuredOnePoint = false;
    bool measuring = false;
    QElapsedTimer stopClicked;
    // Polls the run's state from the event loop, as the operator's eyes would.
    QTimer watcher;
    watcher.setInterval(5);
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        const MeasuringRun &run = window.run();
        if (run.state() == RunState::Measuring) {
            if (!measuring)
                sincePaint.restart(); // gaps count from contact on
            measuring = true;
            measuredOnePoint = true;
        } else {
            measuring = false;
        }
        if (measuredOnePoint && run.state() == RunState::WaitingForContact && !stopClicked.isValid()) {
            stopClicked.start();
            window.action(u"stopAction"_s)->trigger();
        }
    });
    struct PaintWatch : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject *, QEvent *e) override {
            if (e->type() == QEvent::Paint)
                onPaint();
            return false;
        }
    } paintWatch;
    paintWatch.onPaint = [&] {
        if (measuring)
            result.maxRepaintGapMs = std::max(result.maxRepaintGapMs, sincePaint.nsecsElapsed() / 1e6);
        sincePaint.restart();
    };
    trace->installEventFilter(&paintWatch);
    watcher.start();
    QTimer::singleShot(0, &window, [&] {
        // The click returns when the run has ended.
        window.action(u"measureAction"_s)->trigger();
        result.stopMs = stopClicked.isValid() ? stopClicked.nsecsElapsed() / 1e6 : -1;
        window.done(0);
    });
    window.exec();
    return result;
}

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);

    const double zeroLatency = samplesPerSecond(0, 3);
    std::printf("samples_per_s_zero_latency: %.0f /s\n", zeroLatency);
    std::fflush(stdout);
    const double oneMs = samplesPerSecond(1, 3);
    std::printf("samples_per_s_1ms: %.0f /s\n", oneMs);
    std::printf("sampling_ratio_1ms: %.3f\n", oneMs / 1000.0);
    // The same pace against the bare exchange shows what the run itself costs.
    const double bare = exchangesPerSecond(1);
    std::printf("exchanges_per_s_1ms: %.0f /s\n", bare);
    std::printf("run_vs_exchange_ratio_1ms: %.3f\n", oneMs / bare);
    std::fflush(stdout);

    const Responsiveness r = windowResponsiveness();
    std::printf("repaint_gap_ms_max: %.1f ms\n", r.maxRepaintGapMs);
    std::printf("stop_to_idle_ms: %.1f ms\n", r.stopMs);
    return 0;
}
