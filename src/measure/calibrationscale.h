#pragma once

// How a calibration value turns probe readings into uA.
namespace orlu {

// At the metal grip the probe sees its full reference current, 200 uA: the top of the
// measuring range and of the value bar. The calibration value C is what it reads there,
// so S = C / 200 reading units make one uA.
constexpr double ReferenceCurrentUa = 200.0;

// Reading units per uA (the probe's sensitivity) for calibration value C.
constexpr double scaleOf(int calibration) {
    return calibration / ReferenceCurrentUa;
}

} // namespace orlu
