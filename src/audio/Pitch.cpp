#include "audio/Pitch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <vector>

namespace velmorant::audio {

namespace {

constexpr double kLowestHz = 40.0;
constexpr double kHighestHz = 4200.0;
constexpr double kThreshold = 0.12;  // cumulative-mean-normalised difference that counts as periodic
constexpr int kWindows = 7;

// One YIN estimate of the period in samples, or nullopt when the window is not periodic. Lags
// are tried from the shortest and the search stops at the first dip, so a pitched sound costs
// far less than the full lag range.
std::optional<double> PeriodOf(std::span<const float> x, std::size_t width, std::size_t minTau, std::size_t maxTau,
                               std::vector<double>& diff) {
    diff.assign(maxTau + 2, 0.0);
    const auto difference = [&](std::size_t tau) {
        // Four partial sums: independent chains the processor can run side by side.
        std::array<float, 4> sums{};
        std::size_t j = 0;
        for (; j + 4 <= width; j += 4) {
            for (std::size_t k = 0; k < 4; ++k) {
                const float d = x[j + k] - x[j + k + tau];
                sums[k] += d * d;
            }
        }
        for (; j < width; ++j) {
            const float d = x[j] - x[j + tau];
            sums[0] += d * d;
        }
        return static_cast<double>(sums[0] + sums[1] + sums[2] + sums[3]);
    };
    // Cumulative mean normalisation, so the zero lag never wins and octave errors are rarer.
    double running = 0;
    const auto normalised = [&](std::size_t tau) {
        diff[tau] = difference(tau);
        running += diff[tau];
        return running > 0 ? diff[tau] * static_cast<double>(tau) / running : 1.0;
    };
    std::size_t best = 0;
    for (std::size_t tau = 1; tau <= maxTau && best == 0; ++tau) {
        double value = normalised(tau);
        if (tau < minTau || value >= kThreshold) {
            continue;
        }
        while (tau < maxTau) {
            const double next = normalised(tau + 1);
            if (next >= value) break;
            value = next;
            ++tau;
        }
        best = tau;
    }
    if (best == 0) {
        return std::nullopt;
    }
    // A parabola through the neighbours places the minimum between two lags.
    const double a = diff[best - 1];
    const double b = diff[best];
    const double c = difference(best + 1);
    const double denominator = a - 2 * b + c;
    const double shift = denominator > 0 ? std::clamp(0.5 * (a - c) / denominator, -0.5, 0.5) : 0.0;
    return static_cast<double>(best) + shift;
}

}  // namespace

double KeyOfFrequency(double hz) { return 69.0 + 12.0 * std::log2(hz / 440.0); }

std::optional<double> DetectPitch(std::span<const float> mono, int sampleRate) {
    if (sampleRate <= 0) {
        return std::nullopt;
    }
    const auto rate = static_cast<double>(sampleRate);
    const auto maxTau = static_cast<std::size_t>(rate / kLowestHz);
    const auto minTau = std::max<std::size_t>(2, static_cast<std::size_t>(rate / kHighestHz));
    const std::size_t width = std::max<std::size_t>(1024, maxTau);
    const std::size_t span = width + maxTau + 2;
    if (mono.size() < span) {
        return std::nullopt;
    }
    double peak = 0;
    for (const float v : mono) peak = std::max(peak, std::abs(static_cast<double>(v)));
    if (peak < 1e-4) {
        return std::nullopt;
    }
    // Windows spread over the sound after its first tenth, where an attack is least periodic.
    const std::size_t first = mono.size() / 10;
    const std::size_t room = mono.size() - span;
    std::vector<double> periods;
    std::vector<double> diff;
    for (int w = 0; w < kWindows; ++w) {
        const std::size_t at = first > room ? room : first + (room - first) * static_cast<std::size_t>(w) / (kWindows - 1);
        const auto window = mono.subspan(at, span);
        double energy = 0;
        for (const float v : window) energy = std::max(energy, std::abs(static_cast<double>(v)));
        if (energy < peak * 0.01) continue;  // a decayed tail says nothing
        if (const auto period = PeriodOf(window, width, minTau, maxTau, diff)) periods.push_back(*period);
    }
    if (periods.size() * 2 < kWindows) {
        return std::nullopt;
    }
    std::nth_element(periods.begin(), periods.begin() + static_cast<std::ptrdiff_t>(periods.size() / 2), periods.end());
    return rate / periods[periods.size() / 2];
}

}  // namespace velmorant::audio
