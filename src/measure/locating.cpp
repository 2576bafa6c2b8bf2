#include "measure/locating.h"

#include "core/clock.h"
#include "core/numberformat.h"
#include "core/prompter.h"
#include "core/settings.h"
#include "measure/calibrationscale.h"

#include <cmath>

namespace orlu {

using namespace Qt::StringLiterals;

namespace {
constexpr double NearShare = 0.75;
constexpr double OnShare = 0.95;
constexpr int MeterGreenPercent = 80;
constexpr int MeterYellowPercent = 15;

LampView lamp(bool on, Shade shade, bool blinking = false) {
    return {on, shade, blinking};
}
} // namespace

LocatingRun::LocatingRun(Settings &settings, ProbeOperations &probe, Prompter &prompter, const Clock &clock,
                         EventPump &pump)
    : m_settings(settings)
    , m_probe(probe)
    , m_prompter(prompter)
    , m_clock(clock)
    , m_pump(pump) {}

QString LocatingRun::searchModeText() {
    return u"记忆最高数据模式"_s;
}
QString LocatingRun::locatingModeText() {
    return u"穴道定位模式"_s;
}
QString LocatingRun::noStateText() {
    return u"无"_s;
}

PointPosition LocatingRun::classify(double live, double highest) {
    if (live <= NearShare * highest)
        return PointPosition::Off;
    if (live <= OnShare * highest)
        return PointPosition::Near;
    return PointPosition::On;
}

ShadedText LocatingRun::stateText(PointPosition position) {
    switch (position) {
    case PointPosition::Off:
        return {u"不在穴道位置"_s, Shade::Black};
    case PointPosition::Near:
        return {u"接近穴道位置"_s, Shade::Olive};
    case PointPosition::On:
        return {u"正确穴道位置"_s, Shade::Red};
    }
    return {};
}

int LocatingRun::barOf(double ua) {
    return qMin(roundHalfEvenInt(ua * 10), BarEnd);
}

double LocatingRun::scale() const {
    return scaleOf(m_settings.standardCalibration);
}

double LocatingRun::contactLevel() const {
    return m_settings.locateParameter * scale();
}

double LocatingRun::highest() const {
    return m_settings.locateHighestReading;
}

void LocatingRun::setHighest(double h) {
    m_settings.locateHighestReading = h;
    showHighest();
}

void LocatingRun::showHighest() {
    m_view.highest = highest();
    m_view.highestBar = barOf(highest());
}

void LocatingRun::publish() {
    if (m_observer)
        m_observer->locatingShown(m_view);
}

void LocatingRun::showPotential() {
    m_view.high = m_settings.locateHighPotential;
    m_view.potentialLamp = lamp(true, m_view.high ? Shade::Red : Shade::LimeGreen);
}

void LocatingRun::enableModeChoice(bool on) {
    m_view.modeChoiceEnabled = on;
}

void LocatingRun::open() {
    m_settings.locateParameter = qBound(MinimumSensitivity, m_settings.locateParameter, MaximumSensitivity);
    m_view = LocatingView{};
    if (!m_settings.locateKeepHighest)
        m_settings.locateHighestReading = 0;
    m_view.mode = highest() == 0 ? LocatingMode::Search : LocatingMode::Locating;
    showPotential();
    showHighest();
    enableModeChoice(m_view.mode == LocatingMode::Locating);
    applyModeDisplay();
    m_view.state = {noStateText(), Shade::Black};
    m_view.live = 0;
    m_view.liveBar = m_view.meter = 0;
    m_view.balance = 0;
    publish();
}

void LocatingRun::applyModeDisplay() {
    const bool search = m_view.mode == LocatingMode::Search;
    if (search) {
        m_view.stateLamp = lamp(m_view.stateLamp.on, Shade::Aqua);
        m_view.state = {searchModeText(), Shade::Blue};
        m_view.liveLamp = lamp(m_view.liveLamp.on, Shade::LimeGreen, true);
        m_view.highestLamp = lamp(m_view.highestLamp.on, Shade::Red, true);
    } else {
        m_view.stateLamp = lamp(m_view.stateLamp.on, Shade::LimeGreen);
        m_view.state = {locatingModeText(), Shade::Green};
        m_view.highestLamp = lamp(m_view.highestLamp.on, Shade::Blue);
        const int top = qMax(1, roundHalfEvenInt(highest() * 10));
        m_view.meterMaximum = top;
        m_view.meterGreenEnd = top * MeterGreenPercent / 100;
        m_view.meterYellowEnd = top * (MeterGreenPercent + MeterYellowPercent) / 100;
    }
    m_view.searchLamp = lamp(search, Shade::LimeGreen);
    m_view.locatingLamp = lamp(!search, Shade::LimeGreen);
}

void LocatingRun::setMode(LocatingMode mode) {
    m_view.mode = mode;
    applyModeDisplay();
    publish();
}

void LocatingRun::clearHighest() {
    setHighest(0);
    m_view.mode = LocatingMode::Search;
    enableModeChoice(false);
    applyModeDisplay();
    publish();
    if (m_settings.locateSound)
        m_probe.playAlertTone(AlertTone::Notice);
}

void LocatingRun::setSound(bool on) {
    m_settings.locateSound = on;
}

void LocatingRun::setKeepHighest(bool on) {
    m_settings.locateKeepHighest = on;
}

void LocatingRun::setHighPotential(bool on) {
    m_settings.locateHighPotential = on;
    showPotential();
    publish();
}

void LocatingRun::setSensitivity(int uA) {
    m_settings.locateParameter = qBound(MinimumSensitivity, uA, MaximumSensitivity);
}

void LocatingRun::stop() {
    if (!m_view.running)
        return;
    m_stop = true;
    m_view.highOptionEnabled = true;
    publish();
}

bool LocatingRun::start() {
    if (m_view.running)
        return false;
    if (!m_probe.probeConnected()) {
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::absentMessage());
        return false;
    }
    m_watch.emplace(m_probe);
    m_probeLost = false;
    m_view.highOptionEnabled = false;
    m_view.running = true;
    m_stop = false;
    m_view.liveLamp.on = m_view.stateLamp.on = m_view.highestLamp.on = true;
    applyModeDisplay();
    publish();
    m_probe.resetProbe();
    m_probe.startProbe();
    m_probe.setPotential(m_settings.locateHighPotential);
    m_lastReport = m_clock.ticks();
    m_view.live = 0;
    m_lastReading = 0;

    while (!m_stop) {
        m_view.liveLamp.blinking = true;
        if (m_view.mode == LocatingMode::Search)
            m_view.highestLamp.blinking = true;
        if (!waitForContact())
            break;
        m_pump.pump(0);
        m_view.liveLamp.blinking = m_view.highestLamp.blinking = false;
        if (m_stop)
            break;
        m_lastReading = m_probe.readCurrent();
        if (m_watch->lost()) {
            m_probeLost = true;
            break;
        }
        const double v = m_lastReading / scale();
        m_view.live = v;
        if (m_clock.elapsedSince(m_lastReport) >= ReportMs) {
            report(v);
            m_lastReport = m_clock.ticks();
        }
        followReading(v);
        publish();
    }
    endRun();
    if (m_probeLost)
        m_prompter.showMessageBox(MessageType::NoteError, ProbeWatch::lostMessage());
    return true;
}

bool LocatingRun::waitForContact() {
    m_inContact = false;
    while (m_lastReading < contactLevel()) {
        m_view.liveBar = m_view.meter = 0;
        m_view.balance = 0;
        publish();
        m_pump.pump(1);
        if (m_stop)
            return false;
        if (m_watch->lost()) {
            m_probeLost = true;
            return false;
        }
        m_lastReading = m_probe.readCurrent();
        if (m_view.mode == LocatingMode::Locating) {
            m_view.state = {locatingModeText(), Shade::DarkRed};
            m_view.stateLamp = lamp(true, Shade::LimeGreen);
        }
    }
    m_inContact = true;
    return true;
}

void LocatingRun::report(double v) {
    const bool sound = m_settings.locateSound;
    if (m_view.mode == LocatingMode::Search) {
        if (sound)
            m_probe.playAlertTone(AlertTone::LocatingContact);
        return;
    }
    const PointPosition position = classify(v, highest());
    static constexpr Shade LampShades[] = {Shade::LimeGreen, Shade::Yellow, Shade::Red};
    static constexpr AlertTone Tones[] = {AlertTone::LocatingAway, AlertTone::LocatingNear,
                                          AlertTone::LocatingOnPoint};
    const auto index = static_cast<size_t>(position);
    if (sound)
        m_probe.playAlertTone(Tones[index]);
    m_view.state = stateText(position);
    m_view.stateLamp = lamp(true, LampShades[index]);
}

void LocatingRun::followReading(double v) {
    m_view.liveBar = barOf(v);
    if (m_view.mode == LocatingMode::Search) {
        if (v > highest()) {
            setHighest(v);
            enableModeChoice(true);
        }
        return;
    }
    m_view.meter = roundHalfEvenInt(v * 10);
    m_view.balance = qBound(-BalanceLimit, v - highest(), BalanceLimit);
}

void LocatingRun::endRun() {
    m_inContact = false;
    m_probe.resetProbe();
    m_view.running = false;
    m_view.highOptionEnabled = true;
    // Nothing is measured any more: no figure keeps showing the last contact.
    m_view.liveBar = m_view.meter = 0;
    m_view.balance = 0;
    enableModeChoice(highest() != 0 && highest() > m_settings.locateParameter);
    m_view.liveLamp = lamp(false, m_view.liveLamp.shade);
    m_view.highestLamp = lamp(false, m_view.highestLamp.shade);
    const bool search = m_view.mode == LocatingMode::Search;
    m_view.searchLamp.on = search;
    m_view.locatingLamp.on = !search;
    m_view.stateLamp = lamp(true, Shade::Black);
    m_view.state = {noStateText(), Shade::Black};
    m_view.live = 0;
    publish();
}

} // namespace orlu
