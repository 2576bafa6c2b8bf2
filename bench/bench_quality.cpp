// Time to assess one point of 1,200 samples (a point held about 2.4 s with a
// reading every 2 ms), averaged over many repetitions.
#include "quality/pointquality.h"

#include <QElapsedTimer>

#include <cmath>
#include <cstdio>
#include <vector>

using namespace orlu;

int main() {
    constexpr int Samples = 1200;
    constexpr int Repetitions = 20000;
    std::vector<QualitySample> samples;
    samples.reserve(Samples);
    for (int i = 0; i < Samples; ++i) {
        const double ms = 2.0 * i;
        samples.push_back({ms, 1000 + 40 * std::sin(i * 0.37), 1 + static_cast<int>(ms / 600)});
    }
    double sink = 0;
    QElapsedTimer timer;
    timer.start();
    for (int r = 0; r < Repetitions; ++r) {
        samples[static_cast<size_t>(r % Samples)].reading += 1e-9; // keep each pass honest
        sink += assessPoint(samples, 20, 1).cvPercent;
    }
    const double ms = static_cast<double>(timer.nsecsElapsed()) / 1e6 / Repetitions;
    std::printf("assess_point_1200_samples: %.5f ms\n", ms);
    std::printf("checksum: %.3f\n", sink / Repetitions);
    return ms < 0.1 ? 0 : 1;
}
