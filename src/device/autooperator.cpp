#include "device/autooperator.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {
bool startsWith(const QByteArray &command, const char *text) {
    return command.startsWith(text);
}
} // namespace

void AutoOperator::liftAfter(quint32 now, quint32 delay, quint32 retouchDelay) {
    if (m_liftAt == Never)
        m_liftAt = now + delay;
    m_retouchDelay = retouchDelay;
}

void AutoOperator::advance(quint32 now) {
    if (m_inContact && reached(now, m_liftAt)) {
        m_inContact = false;
        const quint32 liftedAt = m_liftAt;
        m_liftAt = Never;
        m_touchAt = m_retouchDelay == Never ? Never : liftedAt + m_retouchDelay;
    }
    if (!m_inContact && reached(now, m_touchAt)) {
        m_inContact = true;
        m_contactSince = m_touchAt;
        m_touchAt = Never;
        m_liftAt = Never;
        if (m_session == Session::Locating)
            liftAfter(m_contactSince, SweepMs, PauseMs);
    }
}

void AutoOperator::hear(const QByteArray &command, quint32 now) {
    advance(now);
    if (startsWith(command, "X")) {
        // Every run starts and ends with a reset: put the probe down.
        m_session = Session::None;
        m_inContact = false;
        m_touchAt = m_liftAt = Never;
        return;
    }
    if (startsWith(command, "N")) {
        switch (m_scenario) {
        case Scenario::Infer:
            m_session = Session::Pending;
            break;
        case Scenario::Measuring:
            m_session = Session::Measuring;
            break;
        case Scenario::Calibrating:
            m_session = Session::Calibrating;
            break;
        case Scenario::Locating:
            m_session = Session::Locating;
            break;
        }
        m_sawReading = false;
        m_heardCalibrationTick = false;
        m_heardPointTone = m_scenario == Scenario::Measuring;
        m_channel = 1;
        m_inContact = false;
        m_liftAt = Never;
        m_touchAt = now + ApproachMs;
        return;
    }
    if (startsWith(command, "D")) {
        if (m_session == Session::Pending)
            m_session = Session::Measuring; // may still turn out to be locating
        m_sawReading = true;
        return;
    }
    if (!startsWith(command, "S"))
        return;

    switch (m_session) {
    case Session::Pending:
        // Only a calibration plays its start tone before the first reading.
        if (!m_sawReading && command == "S1E1A00")
            m_session = Session::Calibrating;
        break;
    case Session::Measuring:
        if (!m_inContact)
            break;
        if (command == "S330D00")
            m_heardPointTone = true;
        if (command == "S3E0800" || command == "S2E0A00" || command == "S221100" || command == "S191100") {
            m_session = Session::Locating;
            liftAfter(m_contactSince, SweepMs, PauseMs);
        } else if (command == "S192C00") { // a point is done
            ++m_channel;
            liftAfter(now, ReactMs, PauseMs);
        } else if (command == "S193400") { // the last point is done
            m_session = Session::Done;
            liftAfter(now, ReactMs, Never);
        } else if (command == "S172C00") { // held too long: the program asks whether to go on
            liftAfter(now, ReactMs, PauseMs);
        }
        break;
    case Session::Calibrating:
        if (command == "S3E0700")
            m_heardCalibrationTick = true;
        else if (m_inContact && m_heardCalibrationTick && command == "S1E1A00")
            liftAfter(now, ReactMs, Never); // calibrated
        else if (m_inContact && command == "S172C00")
            liftAfter(now, ReactMs, RetouchMs); // a fault or a failure: try again unless it ends
        break;
    default:
        break;
    }
}

Touch AutoOperator::touchAt(quint32 now) {
    advance(now);
    Touch t;
    if (!m_inContact)
        return t;
    if (m_session == Session::Calibrating) {
        t.contact = Contact::Grip;
        return t;
    }
    t.contact = Contact::Point;
    t.channel = qBound(1, m_channel, 24);
    t.sinceContactMs = now - m_contactSince;
    // Until the point tone of a measuring run is heard, the touch may still be
    // a locating sweep: its readings only have to show contact.
    if (m_session == Session::Locating || !m_heardPointTone) {
        const double phase = static_cast<double>(now - m_contactSince) / SweepMs;
        t.sweeping = true;
        t.strength = 0.45 + 0.55 * std::sin(M_PI * qBound(0.0, phase, 1.0));
    } else {
        t.strength = 1.0;
    }
    return t;
}

QString AutoOperator::describe() const {
    switch (m_session) {
    case Session::None:
        return u"等待"_s;
    case Session::Pending:
        return u"准备"_s;
    case Session::Measuring:
        return u"测量 第 %1 点%2"_s.arg(m_channel).arg(m_inContact ? u" (接触)"_s : QString());
    case Session::Calibrating:
        return m_inContact ? u"校准 (握把)"_s : u"校准"_s;
    case Session::Locating:
        return m_inContact ? u"定位 (移动中)"_s : u"定位"_s;
    case Session::Done:
        return u"测量完毕"_s;
    }
    return {};
}

} // namespace orlu
