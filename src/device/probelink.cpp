#include "device/probelink.h"

#include <QCoreApplication>
#include <QStringList>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

constexpr int FirstAnswerLimitMs = 350;
constexpr int RetryPauseMs = 100;
constexpr int WriteTries = 3;
constexpr long long CounterMaximum = 0xFFFFFF; // three 8-bit registers

// Marks an exchange in progress for as long as it lives.
class BusyGuard {
public:
    explicit BusyGuard(bool &busy)
        : m_busy(busy) {
        m_busy = true;
    }
    ~BusyGuard() { m_busy = false; }
    BusyGuard(const BusyGuard &) = delete;
    BusyGuard &operator=(const BusyGuard &) = delete;

private:
    bool &m_busy;
};

bool isHexPair(const QString &text) {
    return text.size() == 2 && std::all_of(text.begin(), text.end(), [](QChar c) {
               return c.isDigit() || (c.toUpper() >= u'A' && c.toUpper() <= u'F');
           });
}

} // namespace

namespace answer {

QByteArray field(const QByteArray &answer, int from, int count) {
    if (from < 1 || count <= 0 || from > answer.size())
        return {};
    return answer.mid(from - 1, count);
}

long long hexValue(const QByteArray &field) {
    // Blanks and control characters around the digits do not count.
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && static_cast<unsigned char>(field.at(begin)) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(field.at(end - 1)) <= ' ')
        --end;
    if (begin == end || end - begin > 15)
        return 0;
    long long value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char c = field.at(i);
        int digit;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else
            return 0;
        value = value * 16 + digit;
    }
    return value;
}

int reading(const QByteArray &answer) {
    return static_cast<int>(hexValue(field(answer, 6, 3)));
}

QString registerText(const QByteArray &answer) {
    return QString::fromLatin1(field(answer, 5, 2));
}

} // namespace answer

QStringList alertToneCommands(AlertTone tone) {
    switch (tone) {
    case AlertTone::Notice:
        return {u"S1E1A00"_s};
    case AlertTone::Caution:
        return {u"S1E0F00"_s, u"S1E1A00"_s};
    case AlertTone::Fault:
        return {u"S172C00"_s, u"S1F2000"_s};
    case AlertTone::PointTick:
        return {u"S330D00"_s};
    case AlertTone::PointDone:
        return {u"S192C00"_s};
    case AlertTone::LastPointDone:
        return {u"S193400"_s, u"S162F00"_s};
    case AlertTone::CalibrationTick:
        return {u"S3E0700"_s};
    case AlertTone::StandardPhaseDone:
        return {u"S291A00"_s};
    case AlertTone::LocatingContact:
        return {u"S3E0800"_s};
    case AlertTone::LocatingAway:
        return {u"S2E0A00"_s};
    case AlertTone::LocatingNear:
        return {u"S221100"_s};
    case AlertTone::LocatingOnPoint:
        return {u"S191100"_s};
    default:
        return {};
    }
}

QByteArray buildOutputReport(const QString &command, int outputReportLength) {
    if (outputReportLength <= 0)
        return {};
    QByteArray report(outputReportLength, ' ');
    report[0] = '\0';
    const QByteArray text = command.toLatin1().left(outputReportLength - 1);
    report.replace(1, text.size(), text);
    return report;
}

ProbeLink::ProbeLink(HidLayer &hid, const Clock &clock, EventPump &pump, QObject *parent)
    : QObject(parent)
    , m_hid(hid)
    , m_clock(clock)
    , m_pump(pump) {
    connect(&m_hid, &HidLayer::deviceData, this, &ProbeLink::onDeviceData);
}

void ProbeLink::registerDeviceChange() {
    if (!m_registered) {
        connect(&m_hid, &HidLayer::deviceChange, this, &ProbeLink::handleDeviceChange);
        m_registered = true;
    }
    handleDeviceChange();
}

void ProbeLink::handleDeviceChange() {
    if (!m_hid.holdsProbe()) {
        if (m_hid.takeProbeById(ProbeVendorId, ProbeProductId) || m_hid.takeProbeByTest(isProbe)) {
            m_needsReadiness = m_losses > 0;
            emit probeHeldChanged(true);
        }
    } else if (!m_hid.heldProbePluggedIn()) {
        m_hid.flushInputQueue();
        m_hid.releaseProbe();
        ++m_losses;
        emit probeHeldChanged(false);
    }
}

bool ProbeLink::probeHeld() const {
    return m_hid.holdsProbe();
}

bool ProbeLink::probeConnected() const {
    return m_hid.holdsProbe() && m_hid.heldProbePluggedIn();
}

void ProbeLink::onDeviceData(int reportId, const QByteArray &data) {
    Q_UNUSED(reportId);
    m_answer = data;
    m_answerArrived = true;
}

bool ProbeLink::sendCommand(const QString &command) {
    bool sent = false;
    return exchange(command, &sent);
}

void ProbeLink::bringToReadiness() {
    m_needsReadiness = false;
    bool sent = false;
    exchange(u"X000000"_s, &sent);
    exchange(u"N000000"_s, &sent);
}

bool ProbeLink::exchange(const QString &command, bool *sent) {
    *sent = false;
    if (!probeHeld())
        return m_answerArrived;
    if (m_busy) {
        // Two exchanges at once would take each other's answers.
        qWarning("probe: %s refused while another command waits for its answer", qPrintable(command));
        return false;
    }
    if (m_needsReadiness)
        bringToReadiness();
    BusyGuard busy(m_busy);
    m_answerArrived = false;
    m_answer.clear();

    const QByteArray report = buildOutputReport(command, m_hid.capabilities().outputReportLength);
    int limitMs = FirstAnswerLimitMs;
    int failedTries = 0;
    while (probeHeld()) {
        if (m_hid.writeOutputReport(report)) {
            *sent = true;
            break;
        }
        m_hid.flushInputQueue();
        limitMs -= RetryPauseMs;
        waitFor(m_clock, m_pump, RetryPauseMs);
        if (++failedTries == WriteTries)
            break;
    }
    if (!waitUntil(m_clock, m_pump, static_cast<quint32>(limitMs), [this] { return m_answerArrived; })) {
        // An answer handed over while this thread was busy (painting a window that has just
        // opened, say) waits in its queue, and the wait looked at the clock first: it is taken
        // now rather than counted as none.
        QCoreApplication::sendPostedEvents(&m_hid);
    }
    return m_answerArrived;
}

bool ProbeLink::resetProbe() {
    return sendCommand(u"X000000"_s);
}

bool ProbeLink::startProbe() {
    return sendCommand(u"N000000"_s);
}

bool ProbeLink::setPotential(bool high) {
    return sendCommand(high ? u"H000000"_s : u"L000000"_s);
}

int ProbeLink::readCurrent() {
    sendCommand(u"D000000"_s);
    return answer::reading(m_answer);
}

QString ProbeLink::readRegister(int n) {
    sendCommand(u"R0"_s + QString::number(n) + u"0000"_s);
    return answer::registerText(m_answer);
}

bool ProbeLink::writeRegister(int n, const QString &twoHexDigits) {
    return sendCommand(u"W0"_s + QString::number(n) + twoHexDigits + u"00"_s);
}

QString ProbeLink::readSerial() {
    QString serial;
    for (int n = 0; n <= 5; ++n)
        serial += readRegister(n);
    return serial;
}

int ProbeLink::usageCounter(bool increment) {
    QString text;
    bool readable = true;
    for (int n = 6; n <= 8; ++n) {
        bool sent = false;
        const bool answered = exchange(u"R0"_s + QString::number(n) + u"0000"_s, &sent);
        const QString part = answer::registerText(m_answer);
        readable = readable && sent && answered && isHexPair(part);
        text += part;
    }
    // A counter that could not be read is not shown from stale answers, and
    // never written back: counting on from 0 would wipe the probe's count.
    if (!readable)
        return 0;
    const long long counter = answer::hexValue(text.toLatin1());
    if (!increment)
        return static_cast<int>(counter);
    // Three bytes hold the count; at the top it stays there rather than wrap.
    const long long next = qMin(counter + 1, CounterMaximum);
    const QString digits = QString::number(next, 16).toUpper().rightJustified(6, u'0');
    writeRegister(6, digits.mid(0, 2));
    writeRegister(7, digits.mid(2, 2));
    writeRegister(8, digits.mid(4, 2));
    return static_cast<int>(next);
}

bool ProbeLink::playAlertTone(AlertTone tone) {
    for (const QString &command : alertToneCommands(tone))
        sendCommand(command);
    return true;
}

QString ProbeLink::hardwareVersion() {
    return probeHeld() ? m_hid.indexedString(3) : QString();
}

} // namespace orlu
