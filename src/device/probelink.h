#pragma once

#include "core/alerttone.h"
#include "core/clock.h"
#include "device/hidlayer.h"

#include <QByteArray>
#include <QObject>
#include <QString>

// The command exchange with the probe: seven-character commands written as
// output reports, one input report back as the answer. Runs on the main thread;
// every wait goes through the injected Clock and EventPump.
namespace orlu {

class ProbeLink : public QObject {
    Q_OBJECT
public:
    ProbeLink(HidLayer &hid, const Clock &clock, EventPump &pump, QObject *parent = nullptr);

    // Connects the device-change handler to the layer and runs it once at
    // once, so a probe already plugged in is taken here.
    void registerDeviceChange();
    // Takes a probe when none is held; lets the held one go once it is unplugged.
    void handleDeviceChange();

    bool probeHeld() const;
    // Held and still on the bus (a held probe that failed a write is not).
    bool probeConnected() const;
    // How often a held probe has been let go because it left the bus.
    int probeLosses() const { return m_losses; }
    HidLayer &hid() { return m_hid; }

    // True when an answer arrived for this command. With no probe held nothing
    // is sent and the previous answer and result stay. A nested call (from an
    // event handled while another exchange waits) sends nothing and returns false.
    bool sendCommand(const QString &command);
    const QByteArray &answer() const { return m_answer; }
    bool answerArrived() const { return m_answerArrived; }
    bool busy() const { return m_busy; }

    bool resetProbe();                                      // X000000
    bool startProbe();                                      // N000000
    bool setPotential(bool high);                           // H000000 / L000000
    int readCurrent();                                      // D000000, answer characters 6..8 as hex
    QString readRegister(int n);                            // R0n0000, answer characters 5..6
    bool writeRegister(int n, const QString &twoHexDigits); // W0n + digits + 00
    QString readSerial();                                   // registers 0..5 joined
    // Registers 6..8 as one 24-bit number; with increment, writes counter + 1 back.
    int usageCounter(bool increment);
    // The tone table of the message box; always true.
    bool playAlertTone(AlertTone tone);
    // The held probe's USB string 3, empty without a probe.
    QString hardwareVersion();

signals:
    // The held probe was taken or let go.
    void probeHeldChanged(bool held);

private:
    void onDeviceData(int reportId, const QByteArray &data);
    // One exchange that tells whether this call reached the probe.
    bool exchange(const QString &command, bool *sent);
    void bringToReadiness();

    HidLayer &m_hid;
    const Clock &m_clock;
    EventPump &m_pump;
    QByteArray m_answer;
    bool m_answerArrived = false;
    bool m_busy = false;
    bool m_registered = false;
    int m_losses = 0;
    // A probe taken after one was lost starts in its power-up state: the first
    // exchange brings it to readiness (reset, start) before its own command.
    bool m_needsReadiness = false;
};

// Answer parsers, free of any device so they can be fuzzed.
namespace answer {
// Characters from..from+count-1 (1-based) of the answer, fewer when it is short.
QByteArray field(const QByteArray &answer, int from, int count);
// A field trimmed of blanks and control characters and read as hexadecimal; 0 when it does not convert.
long long hexValue(const QByteArray &field);
int reading(const QByteArray &answer);          // characters 6..8
QString registerText(const QByteArray &answer); // characters 5..6
} // namespace answer

// The commands of an alert tone; empty for a value outside the table.
QStringList alertToneCommands(AlertTone tone);

// The output report for a command: report id 0, the characters, blanks to length - 1.
QByteArray buildOutputReport(const QString &command, int outputReportLength);

} // namespace orlu
