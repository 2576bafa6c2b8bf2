#include "device/skincontact.h"

#include <cmath>

using namespace Qt::StringLiterals;

namespace orlu {

QString skinScenarioCaption(SkinScenario scenario) {
    switch (scenario) {
    case SkinScenario::Steady:
        return u"稳定"_s;
    case SkinScenario::Drifting:
        return u"漂移"_s;
    case SkinScenario::Unsteady:
        return u"不稳"_s;
    case SkinScenario::PoorContact:
        return u"接触不良"_s;
    case SkinScenario::Saturated:
        return u"饱和"_s;
    }
    return {};
}

SkinContact::SkinContact(quint32 seed)
    : m_rng(seed) {}

double SkinContact::noise(double spread) {
    std::uniform_real_distribution<double> d(-spread, spread);
    return d(m_rng);
}

double SkinContact::reading(double levelUnits, quint32 sinceContactMs, int channel) {
    const double t = sinceContactMs;
    double level = levelUnits;
    double noiseShare = SteadyNoise;
    switch (m_scenario) {
    case SkinScenario::Steady:
        break;
    case SkinScenario::Drifting:
        level *= 1.0 + DriftPerSecond * t / 1000.0;
        break;
    case SkinScenario::Unsteady:
        noiseShare = UnsteadyNoise;
        break;
    case SkinScenario::PoorContact:
        level = PoorContactUnits;
        if (channel % 3 == 1 && sinceContactMs >= ContactLossAtMs &&
            sinceContactMs < ContactLossAtMs + ContactLossMs)
            return 0;
        break;
    case SkinScenario::Saturated:
        level = SaturatedUnits;
        break;
    }
    const double shape = (1.0 - std::exp(-t / RiseMs)) * (1.0 + Overshoot * std::exp(-t / SettleMs));
    return std::max(0.0, level * (shape + noise(noiseShare)));
}

} // namespace orlu
