// water20.dat: read by the simulation's physics data reader beside the shipped
// ELDAT.dat; whatever it accepts then runs a few histories.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "simulation/physics_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = (fuzz::copyShippedFile("ELDAT.dat"), true);
  (void)ready;
  fuzz::writeScratchFile("water20.dat", data, size);
  dravik::PhysicsTables tables;
  if (dravik::readPhysicsData(tables, fuzz::scratchFolder())) return 0;  // refused, with a message
  fuzz::runFewHistories(tables);
  return 0;
}
