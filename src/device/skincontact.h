#pragma once

#include <QString>
#include <QtGlobal>

#include <random>

// How skin answers the probe's tip: on contact the current overshoots and
// settles exponentially to the point's level, with pressure noise, and, as a
// scenario asks, a slow drift, a hand too unsteady to hold the tip still, a
// tip that loses contact for a moment, or a current beyond the probe's range.
namespace orlu {

enum class SkinScenario {
    Steady,      // "稳定"
    Drifting,    // "漂移": the current keeps rising while the point is held
    Unsteady,    // "不稳": strong pressure noise
    PoorContact, // "接触不良": a weak current, and now and then a brief loss of contact
    Saturated,   // "饱和": beyond the top of the probe's range
};

QString skinScenarioCaption(SkinScenario scenario);

class SkinContact {
public:
    // Settling of the current after contact.
    static constexpr double SettleMs = 300;
    static constexpr double Overshoot = 0.3; // above the level at contact
    static constexpr double RiseMs = 15;
    // Shares of the level.
    static constexpr double SteadyNoise = 0.015;
    static constexpr double UnsteadyNoise = 0.25;
    static constexpr double DriftPerSecond = 0.3;
    // A poorly touching tip passes only a weak current, whatever the point (units)...
    static constexpr double PoorContactUnits = 30;
    // ...and at every third point loses contact once, this long after touching
    // (the touch goes on: the run finds contact again after it).
    static constexpr quint32 ContactLossAtMs = 900;
    static constexpr quint32 ContactLossMs = 120;
    // What a point beyond the probe's range would read (units); the probe reads 4095.
    static constexpr double SaturatedUnits = 4600;

    explicit SkinContact(quint32 seed);

    void setScenario(SkinScenario scenario) { m_scenario = scenario; }
    SkinScenario scenario() const { return m_scenario; }

    // The reading in units `sinceContactMs` after the tip touched a point of
    // `levelUnits` (the settled current) at channel 1..24; `firstTouch` while
    // Never below 0.
    double reading(double levelUnits, quint32 sinceContactMs, int channel);

private:
    double noise(double spread);

    SkinScenario m_scenario = SkinScenario::Steady;
    std::mt19937 m_rng;
};

} // namespace orlu
