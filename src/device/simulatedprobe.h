#pragma once

#include "core/clock.h"
#include "device/autooperator.h"
#include "device/skincontact.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

// A complete probe in software: registers, usage counter, USB string 3, and a
// skin model that says what the tip touches. Its answers come from the device
// thread of the simulated HID layer (simulatedhidlayer.h).
namespace orlu {

enum class SkinModel {
    Auto,    // the auto-operator measures, calibrates and locates by itself
    Lifted,  // touching nothing
    OnPoint, // on a measuring point with a chosen current
    OnGrip,  // cotton tip on the metal grip: the full reference current
};

struct SimulatedProbeOptions {
    QString serial = QStringLiteral("QX2607004217"); // twelve characters, registers 0..5
    QString hardwareVersion = QStringLiteral("QX-HID Rev 2.10");
    int inputReportLength = 65;
    int outputReportLength = 65;
    int latencyMs = 2;
    // Where the usage counter survives program runs; empty keeps it in memory only.
    QString counterFile;
    // Every command received is appended here, one per line; empty for none.
    QString logFile;
    SkinModel skin = SkinModel::Auto;
    double pointCurrentUa = 50.0;
    // A dry cotton tip conducts too little at the grip for a calibration to pass.
    bool dryTip = false;
    quint32 noiseSeed = 1;
};

// Reading units per uA with the factory calibration (4000 / 200).
constexpr double SimulatedUnitsPerUa = 20.0;
// What the grip reads through a wet tip, and through a dry one.
constexpr double WetGripUnits = 4000.0;
constexpr double DryGripUnits = 2400.0;
// The skin current at the acupoint of a locating session, in uA.
constexpr double LocatingPeakUa = 40.0;

// The probe's end of the wire, shared by every host of the firmware (the simulated HID
// layer, the USB gadget): the command in the data bytes of an output report, and the
// answer as the data bytes of an input report of `dataLength` bytes.
QByteArray commandOfReport(const QByteArray &outputData);
QByteArray answerReportData(const QByteArray &answer, int dataLength);

class SimulatedProbe {
public:
    explicit SimulatedProbe(SimulatedProbeOptions options);
    ~SimulatedProbe();
    SimulatedProbe(const SimulatedProbe &) = delete;
    SimulatedProbe &operator=(const SimulatedProbe &) = delete;

    // Controls, safe to call from the main thread at any time.
    void setSkin(SkinModel skin);
    SkinModel skin() const;
    void setPointCurrent(double microAmperes);
    double pointCurrent() const;
    void setDryTip(bool dry);
    bool dryTip() const;
    // How the skin answers the auto-operator's touches while it measures.
    void setSkinScenario(SkinScenario scenario);
    SkinScenario skinScenario() const;
    // What the auto-operator takes the next run for.
    void setScenario(AutoOperator::Scenario scenario);
    AutoOperator::Scenario scenario() const;
    void setLatency(int ms);
    int latency() const;
    // The next `count` commands are received but never answered.
    void dropAnswers(int count);
    // The next `count` writes fail before reaching the probe.
    void failWrites(int count);
    // Commands received so far (dropped ones included, failed writes not).
    QStringList commandLog() const;
    void clearCommandLog();
    QString registerValue(int n) const;
    void setRegisterValue(int n, const QString &twoCharacters);
    int usageCounter() const;
    QString hardwareVersion() const;
    const SimulatedProbeOptions &options() const { return m_options; }
    // What the auto-operator is doing, for the tool window ("测量 第 3 点").
    QString autoOperatorState() const;

    // Device side, called on the device thread.
    // Whether the write reaches the probe; a failed write consumes one failWrites.
    bool acceptWrite();
    // Handles a received command at `now`; the answer, unless dropped.
    std::optional<QByteArray> receive(const QByteArray &command, quint32 now);

private:
    struct State;
    SimulatedProbeOptions m_options;
    std::unique_ptr<State> m_state;
};

} // namespace orlu
