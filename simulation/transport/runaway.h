// The bound on every open-ended loop of a history. With water's tables each loop
// ends after a few passes (a photon of a real history makes tens of steps, and a
// scattering sample is accepted within a few attempts); a table that passes the
// readers but still keeps a loop from ending (an incoherent function that is 0
// below every reachable momentum transfer, a coherent distribution with no weight
// at reachable angles, a coherent coefficient far above all the others) would
// otherwise hold the run for ever. The caps only count; they draw nothing, so a
// run that stays below them is number for number the same.
#pragma once

#include <stdexcept>
#include <string>

namespace dravik {

constexpr long kMaxPhotonSteps = 1'000'000;       // steps of one photon
constexpr long kMaxSamplingAttempts = 1'000'000;  // attempts of one scattering sample

// Thrown by the transport when a loop reaches its cap; the run stops with what().
class RunawayHistory : public std::runtime_error {
 public:
  explicit RunawayHistory(const std::string& what) : std::runtime_error(what) {}
};

// Throws RunawayHistory: "Transport error: <loop> at <E> keV did not end within
// <cap> <unit>; ..." naming water20.dat as the cause.
[[noreturn]] void stopRunawayHistory(const char* loop, float E, long cap, const char* unit);

}  // namespace dravik
