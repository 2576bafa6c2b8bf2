#pragma once

#include "device/hidlayer.h"
#include "support/virtualtime.h"

#include <QList>

#include <optional>

namespace orlu::test {

// A HID layer without a device thread: it records every output report with the
// virtual time it was written at, fails the writes it is told to, and hands
// the scripted answer of a successful write over at the next pump.
class ScriptedHidLayer final : public HidLayer {
public:
    struct Write {
        QByteArray report;
        quint32 ticks;
        bool ok;
    };

    explicit ScriptedHidLayer(VirtualTime &time, HidCapabilities caps = {65, 65});

    void plugIn() { m_present = true; }
    // Leaves the bus at once; the held device stays held until released.
    void unplug() { m_present = false; }
    void failNextWrites(int n) { m_failWrites = n; }
    // Answers for the next successful writes, in order; nullopt answers nothing.
    void queueAnswer(std::optional<QByteArray> answer) { m_answers.append(answer); }
    // Answer every successful write without a queued answer with this one.
    void setDefaultAnswer(std::optional<QByteArray> answer) { m_default = std::move(answer); }
    const QList<Write> &writes() const { return m_writes; }
    QStringList commands() const;
    int flushes() const { return m_flushes; }

    QList<HidDeviceInfo> devices() const override;
    bool takeProbeById(quint16 vendorId, quint16 productId) override;
    bool takeProbeByTest(const HidDeviceTest &test) override;
    void releaseProbe() override { m_held = false; }
    bool holdsProbe() const override { return m_held; }
    bool heldProbePluggedIn() const override { return m_held && m_present; }
    HidCapabilities capabilities() const override { return m_held ? m_caps : HidCapabilities{}; }
    bool writeOutputReport(const QByteArray &report, int *bytesWritten = nullptr) override;
    bool flushInputQueue() override;
    QString indexedString(int index) override { return index == 3 && m_held ? m_string3 : QString(); }
    QString lastError() const override { return m_lastError; }
    void setLastError(const QString &e) { m_lastError = e; }
    void setString3(const QString &s) { m_string3 = s; }

private:
    void deliver();

    VirtualTime &m_time;
    HidCapabilities m_caps;
    bool m_present = true;
    bool m_held = false;
    int m_failWrites = 0;
    int m_flushes = 0;
    QList<std::optional<QByteArray>> m_answers;
    std::optional<QByteArray> m_default;
    std::optional<QByteArray> m_inFlight;
    QList<Write> m_writes;
    QString m_string3 = QStringLiteral("HW 1.0");
    QString m_lastError;
};

} // namespace orlu::test
