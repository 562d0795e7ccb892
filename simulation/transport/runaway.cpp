#include "simulation/transport/runaway.h"

#include <cstdio>

namespace dravik {

void stopRunawayHistory(const char* loop, float E, long cap, const char* unit) {
  char energy[32];
  std::snprintf(energy, sizeof energy, "%.1f", E);
  throw RunawayHistory(std::string("Transport error: ") + loop + " at " + energy +
                       " keV did not end within " + std::to_string(cap) + " " + unit +
                       "; the tables of water20.dat cannot be those of water");
}

}  // namespace dravik
