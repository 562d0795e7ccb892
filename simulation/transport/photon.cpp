#include "simulation/transport/photon.h"

namespace dravik {

// Placeholder until photon transport lands: the history deposits nothing.
void trackHistory(Simulation&) {}

}  // namespace dravik
