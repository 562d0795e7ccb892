#include "simulation/transport/electron.h"

#include <cmath>

namespace dravik {

float stoppingPower(float T) {
  const float tau = T / 511.0f;
  const float beta2 = tau * (tau + 2.0f) / ((tau + 1.0f) * (tau + 1.0f));
  const float X = std::log(beta2 / (1.0f - beta2)) / 4.606f;  // log10 of beta*gamma
  float delta;                                                 // Sternheimer density effect
  if (X < 0.2f) {
    delta = 0.0f;
  } else if (X > 2.0f) {
    delta = 4.606f * X - 3.22f;
  } else {
    const float d = 2.0f - X;
    delta = 4.606f * X - 3.22f + 0.39417f * (d * d * d);
  }
  const float F = (1.0f - beta2) +
                  (tau * tau / 8.0f - (2.0f * tau + 1.0f) * 0.693147f) / ((tau + 1.0f) * (tau + 1.0f));
  return (153.6f / beta2) * (std::log(30807000.0f * (tau * tau) * (tau + 2.0f)) + F - delta) *
         0.5551f;
}

}  // namespace dravik
