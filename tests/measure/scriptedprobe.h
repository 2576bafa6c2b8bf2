#pragma once

#include "measure/probeoperations.h"
#include "support/virtualtime.h"

#include <QStringList>

#include <functional>

namespace orlu::test {

// Probe operations answered from a script in virtual time: every command takes
// `latencyMs`, like the real probe's answer. Commands are logged as the probe
// would receive them.
class ScriptedProbe final : public ProbeOperations {
public:
    explicit ScriptedProbe(VirtualTime &time, quint32 latencyMs = 1)
        : m_time(time)
        , m_latency(latencyMs) {}

    // Supplies each reading; by default the probe reads 0.
    void setReadings(std::function<int()> source) { m_source = std::move(source); }

    void resetProbe() override { send(QStringLiteral("X000000")); }
    void startProbe() override { send(QStringLiteral("N000000")); }
    void setPotential(bool high) override {
        send(high ? QStringLiteral("H000000") : QStringLiteral("L000000"));
    }
    int readCurrent() override {
        send(QStringLiteral("D000000"));
        if (m_connected)
            m_last = m_source ? m_source() : 0;
        return m_last;
    }
    void playAlertTone(AlertTone tone) override {
        const int n = static_cast<int>(tone);
        m_tones.append(n);
        send(QStringLiteral("S%1").arg(n));
    }
    int usageCounter(bool increment) override {
        if (increment)
            ++m_counter;
        return m_counter;
    }

    bool probeConnected() const override { return m_connected; }
    int probeLosses() const override { return m_losses; }
    MeasurementOrigin probeOrigin() override {
        return {QString(), QStringLiteral("QX0001"), QStringLiteral("Rev 1")};
    }
    // The probe leaves the bus: nothing reaches it, a reading repeats the last one.
    void unplug() {
        if (m_connected)
            ++m_losses;
        m_connected = false;
    }
    void replug() { m_connected = true; }

    const QStringList &commands() const { return m_commands; }
    // Commands other than readings and tones, in order.
    QStringList controlCommands() const;
    // The tones played, by their number in the probe's tone table.
    const QList<int> &tones() const { return m_tones; }
    int readings() const { return m_readings; }
    int counter() const { return m_counter; }

private:
    void send(const QString &command);

    VirtualTime &m_time;
    quint32 m_latency;
    std::function<int()> m_source;
    QStringList m_commands;
    QList<int> m_tones;
    int m_readings = 0;
    int m_counter = 0;
    int m_last = 0;
    bool m_connected = true;
    int m_losses = 0;
};

inline QStringList ScriptedProbe::controlCommands() const {
    QStringList out;
    for (const QString &c : m_commands)
        if (!c.startsWith(u'D') && !c.startsWith(u'S'))
            out << c;
    return out;
}

inline void ScriptedProbe::send(const QString &command) {
    m_time.advance(m_latency);
    if (!m_connected)
        return;
    if (command.startsWith(u'D'))
        ++m_readings;
    m_commands << command;
}

} // namespace orlu::test
