#include "device/simulatedprobe.h"

#include "platform/outputfile.h"

#include <QFile>

#include <array>
#include <mutex>
#include <random>

using namespace Qt::StringLiterals;

namespace orlu {

namespace {

// A plausible body: skin currents in uA at the 24 source points.
constexpr std::array<double, 24> PointCurrents = {52, 47, 61, 38, 44, 49, 55, 45, 58, 40, 46, 51,
                                                  35, 42, 30, 37, 39, 33, 36, 41, 31, 38, 40, 34};
constexpr double HighPotentialGain = 1.25;

QByteArray hex3(int v) {
    return QByteArray::number(qBound(0, v, 4095), 16).toUpper().rightJustified(3, '0');
}

} // namespace

struct SimulatedProbe::State {
    mutable std::mutex mutex;
    SkinModel skin = SkinModel::Auto;
    double pointCurrent = 50.0;
    bool dryTip = false;
    int latency = 0;
    int dropCount = 0;
    int failCount = 0;
    bool high = false;
    std::array<QByteArray, 9> registers;
    QStringList log;
    QFile logFile;
    AutoOperator autoOperator;
    std::mt19937 rng;
    SkinContact skinContact{1};

    double noise(double spread) {
        std::uniform_real_distribution<double> d(-spread, spread);
        return d(rng);
    }

    int reading(quint32 now) {
        Touch touch;
        switch (skin) {
        case SkinModel::Auto:
            touch = autoOperator.touchAt(now);
            break;
        case SkinModel::Lifted:
            break;
        case SkinModel::OnPoint:
            touch.contact = Contact::Point;
            break;
        case SkinModel::OnGrip:
            touch.contact = Contact::Grip;
            break;
        }
        const double gain = high ? HighPotentialGain : 1.0;
        double units = 0;
        switch (touch.contact) {
        case Contact::None:
            units = 1.0 + noise(1.0);
            break;
        case Contact::Grip:
            units = (dryTip ? DryGripUnits : WetGripUnits) + (high ? 5.0 : 0.0) + noise(8.0);
            break;
        case Contact::Point: {
            if (skin == SkinModel::Auto && !touch.sweeping) {
                units = skinContact.reading(PointCurrents[touch.channel - 1] * SimulatedUnitsPerUa * gain,
                                            touch.sinceContactMs, touch.channel);
                break;
            }
            const double ua = skin == SkinModel::Auto ? LocatingPeakUa * touch.strength : pointCurrent;
            const double units0 = ua * SimulatedUnitsPerUa * gain;
            units = units0 + noise(units0 * 0.015);
            break;
        }
        }
        return static_cast<int>(std::lround(units));
    }

    void persistCounter(const QString &file) const {
        if (file.isEmpty())
            return;
        writeOutputFile(file, registers[6] + registers[7] + registers[8] + '\n');
    }
};

SimulatedProbe::SimulatedProbe(SimulatedProbeOptions options)
    : m_options(std::move(options))
    , m_state(std::make_unique<State>()) {
    m_state->skin = m_options.skin;
    m_state->pointCurrent = m_options.pointCurrentUa;
    m_state->dryTip = m_options.dryTip;
    m_state->latency = m_options.latencyMs;
    m_state->rng.seed(m_options.noiseSeed);
    m_state->skinContact = SkinContact(m_options.noiseSeed);
    const QByteArray serial = m_options.serial.toLatin1().leftJustified(12, '0', true);
    for (int n = 0; n < 6; ++n)
        m_state->registers[n] = serial.mid(2 * n, 2);
    QByteArray counter = "000000";
    QFile in(m_options.counterFile);
    if (!m_options.counterFile.isEmpty() && in.open(QIODevice::ReadOnly)) {
        const QByteArray stored = in.readLine().trimmed();
        bool ok = false;
        stored.toUInt(&ok, 16);
        if (ok && stored.size() == 6)
            counter = stored.toUpper();
    }
    for (int n = 0; n < 3; ++n)
        m_state->registers[6 + n] = counter.mid(2 * n, 2);
    if (!m_options.logFile.isEmpty()) {
        m_state->logFile.setFileName(m_options.logFile);
        if (!m_state->logFile.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            qWarning("simulated probe: cannot open the command log %s", qPrintable(m_options.logFile));
    }
}

SimulatedProbe::~SimulatedProbe() = default;

void SimulatedProbe::setSkin(SkinModel skin) {
    std::lock_guard g(m_state->mutex);
    m_state->skin = skin;
}

SkinModel SimulatedProbe::skin() const {
    std::lock_guard g(m_state->mutex);
    return m_state->skin;
}

void SimulatedProbe::setPointCurrent(double microAmperes) {
    std::lock_guard g(m_state->mutex);
    m_state->pointCurrent = qMax(0.0, microAmperes);
}

double SimulatedProbe::pointCurrent() const {
    std::lock_guard g(m_state->mutex);
    return m_state->pointCurrent;
}

void SimulatedProbe::setDryTip(bool dry) {
    std::lock_guard g(m_state->mutex);
    m_state->dryTip = dry;
}

bool SimulatedProbe::dryTip() const {
    std::lock_guard g(m_state->mutex);
    return m_state->dryTip;
}

void SimulatedProbe::setSkinScenario(SkinScenario scenario) {
    std::lock_guard g(m_state->mutex);
    m_state->skinContact.setScenario(scenario);
}

SkinScenario SimulatedProbe::skinScenario() const {
    std::lock_guard g(m_state->mutex);
    return m_state->skinContact.scenario();
}

void SimulatedProbe::setScenario(AutoOperator::Scenario scenario) {
    std::lock_guard g(m_state->mutex);
    m_state->autoOperator.setScenario(scenario);
}

AutoOperator::Scenario SimulatedProbe::scenario() const {
    std::lock_guard g(m_state->mutex);
    return m_state->autoOperator.scenario();
}

void SimulatedProbe::setLatency(int ms) {
    std::lock_guard g(m_state->mutex);
    m_state->latency = qMax(0, ms);
}

int SimulatedProbe::latency() const {
    std::lock_guard g(m_state->mutex);
    return m_state->latency;
}

void SimulatedProbe::dropAnswers(int count) {
    std::lock_guard g(m_state->mutex);
    m_state->dropCount = qMax(0, count);
}

void SimulatedProbe::failWrites(int count) {
    std::lock_guard g(m_state->mutex);
    m_state->failCount = qMax(0, count);
}

QStringList SimulatedProbe::commandLog() const {
    std::lock_guard g(m_state->mutex);
    return m_state->log;
}

void SimulatedProbe::clearCommandLog() {
    std::lock_guard g(m_state->mutex);
    m_state->log.clear();
}

QString SimulatedProbe::registerValue(int n) const {
    std::lock_guard g(m_state->mutex);
    return n >= 0 && n < 9 ? QString::fromLatin1(m_state->registers[n]) : QString();
}

void SimulatedProbe::setRegisterValue(int n, const QString &twoCharacters) {
    std::lock_guard g(m_state->mutex);
    if (n < 0 || n >= 9)
        return;
    m_state->registers[n] = twoCharacters.toLatin1().leftJustified(2, '0', true);
    if (n >= 6)
        m_state->persistCounter(m_options.counterFile);
}

int SimulatedProbe::usageCounter() const {
    std::lock_guard g(m_state->mutex);
    return QByteArray(m_state->registers[6] + m_state->registers[7] + m_state->registers[8])
        .toInt(nullptr, 16);
}

QString SimulatedProbe::hardwareVersion() const {
    return m_options.hardwareVersion;
}

QString SimulatedProbe::autoOperatorState() const {
    std::lock_guard g(m_state->mutex);
    return m_state->autoOperator.describe();
}

bool SimulatedProbe::acceptWrite() {
    std::lock_guard g(m_state->mutex);
    if (m_state->failCount > 0) {
        --m_state->failCount;
        return false;
    }
    return true;
}

std::optional<QByteArray> SimulatedProbe::receive(const QByteArray &command, quint32 now) {
    std::lock_guard g(m_state->mutex);
    State &s = *m_state;
    s.log.append(QString::fromLatin1(command));
    if (s.logFile.isOpen()) {
        s.logFile.write(command + '\n');
        s.logFile.flush();
    }
    s.autoOperator.hear(command, now);

    QByteArray answer = command;
    const char letter = command.isEmpty() ? '\0' : command.at(0);
    const int n = command.size() >= 3 ? command.at(2) - '0' : -1;
    switch (letter) {
    case 'X':
        s.high = false;
        break;
    case 'H':
        s.high = true;
        break;
    case 'L':
        s.high = false;
        break;
    case 'D':
        answer = "D0000" + hex3(s.reading(now));
        break;
    case 'R':
        answer = command.left(3).leftJustified(3, '0') + '0' + (n >= 0 && n < 9 ? s.registers[n] : "00");
        break;
    case 'W':
        // Only the usage counter registers can be written; the serial is fixed at the factory.
        if (n >= 6 && n < 9 && command.size() >= 5) {
            s.registers[n] = command.mid(3, 2).toUpper();
            s.persistCounter(m_options.counterFile);
        }
        break;
    default:
        break; // N, F, A, B, I, S and anything else: acknowledged by echo
    }
    if (s.dropCount > 0) {
        --s.dropCount;
        return std::nullopt;
    }
    return answer;
}

} // namespace orlu
