#pragma once

#include <QByteArray>
#include <QString>

#include <limits>

// A tireless operator for the simulated probe. It listens to the commands the
// probe receives and works out what the program is doing: a measuring run
// (touch the point, hold until the point-done tone, lift, go to the next), a
// calibration (hold the grip until the result tone) or a locating session
// (sweep across the point again and again). Everything follows the time passed in.
namespace orlu {

enum class Contact { None, Point, Grip };

struct Touch {
    Contact contact = Contact::None;
    int channel = 0;       // measuring: the channel 1..24 being touched
    bool sweeping = false; // locating: moving across the point
    double strength = 0.0; // locating: share of the peak current along the sweep
    quint32 sinceContactMs = 0;
};

class AutoOperator {
public:
    enum class Session { None, Pending, Measuring, Calibrating, Locating, Done };
    // What the operator takes the next run for: worked out from what it hears,
    // or told beforehand (a locating run without sound plays no tone to go by).
    enum class Scenario { Infer, Measuring, Calibrating, Locating };

    // Human-scale delays in ms.
    static constexpr quint32 ApproachMs = 1200; // from the start of a run to the first touch
    static constexpr quint32 ReactMs = 400;     // from a tone to lifting the probe
    static constexpr quint32 PauseMs = 900;     // lifted between two points
    static constexpr quint32 SweepMs = 3000;    // one pass over the acupoint
    static constexpr quint32 RetouchMs = 2500;  // after a calibration error

    void hear(const QByteArray &command, quint32 now);
    Touch touchAt(quint32 now);
    Session session() const { return m_session; }
    void setScenario(Scenario scenario) { m_scenario = scenario; }
    Scenario scenario() const { return m_scenario; }
    QString describe() const;

private:
    static constexpr quint32 Never = std::numeric_limits<quint32>::max();
    static bool reached(quint32 now, quint32 at) { return at != Never && static_cast<qint32>(now - at) >= 0; }
    void advance(quint32 now);
    void liftAfter(quint32 now, quint32 delay, quint32 retouchDelay);

    Scenario m_scenario = Scenario::Infer;
    Session m_session = Session::None;
    bool m_inContact = false;
    bool m_sawReading = false;
    bool m_heardCalibrationTick = false;
    bool m_heardPointTone = false; // the contact tone of a measuring run
    int m_channel = 1;
    quint32 m_touchAt = Never;
    quint32 m_liftAt = Never;
    quint32 m_retouchDelay = Never;
    quint32 m_contactSince = 0;
};

} // namespace orlu
