// Photon tracking: one history from the source photon to its last particle.
#pragma once

#include "simulation/state.h"

namespace dravik {

// Follows the source photon set by startSourcePhoton and everything it sets in
// motion until every particle has ended; adds deposits to sim.run.kernel.
void trackHistory(Simulation& sim);

}  // namespace dravik
