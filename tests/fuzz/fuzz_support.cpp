#include "fuzz_support.h"

#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "simulation/engine.h"
#include "simulation/kernel.h"
#include "simulation/transport/photon.h"
#include "simulation/transport/runaway.h"

namespace fuzz {

namespace {

std::filesystem::path makeScratchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "corvane-fuzz-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) fail("cannot create a scratch folder");
  return pattern;
}

}  // namespace

const std::filesystem::path& scratchFolder() {
  static const std::filesystem::path folder = makeScratchFolder();
  static const struct Remover {
    ~Remover() {
      std::error_code ignored;
      std::filesystem::remove_all(folder, ignored);
    }
  } remover;
  return folder;
}

std::filesystem::path writeScratchFile(std::string_view name, std::string_view bytes) {
  const std::filesystem::path file = scratchFolder() / name;
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  if (!out) fail("cannot write a scratch file");
  return file;
}

std::filesystem::path writeScratchFile(std::string_view name, const std::uint8_t* data,
                                       std::size_t size) {
  return writeScratchFile(name, std::string_view(reinterpret_cast<const char*>(data), size));
}

std::filesystem::path shippedData() { return SHIPPED_DATA_DIR; }

void copyShippedFile(std::string_view name) {
  std::error_code error;
  std::filesystem::copy_file(shippedData() / name, scratchFolder() / name,
                             std::filesystem::copy_options::overwrite_existing, error);
  if (error) fail("cannot copy a shipped data file into the scratch folder");
}

void fail(const char* what) {
  std::fprintf(stderr, "fuzz target: %s\n", what);
  std::abort();
}

void runFewHistories(const dravik::PhysicsTables& tables) {
  const float last = tables.photon.energy[tables.photon.rowCount];
  // Every photon energy a run can reach, from the cut-off up to the highest bin
  // centre below the table's end, must give finite coefficients: a NaN or an
  // infinity here is a table the transport cannot use, even if the few
  // histories below happen not to meet it.
  for (float E = dravik::CUTOFF_ENERGY; E < last && E <= 19975.0f; E += 25.0f) {
    const dravik::PhotonCoefficients mu = dravik::lookupCoefficients(tables.photon, E);
    if (!(std::isfinite(mu.total) && std::isfinite(mu.P1) && std::isfinite(mu.P2) &&
          std::isfinite(mu.P3)))
      fail("an accepted coefficient table gives a coefficient that is not finite");
  }

  constexpr float kEnergies[] = {125.0f, 1525.0f, 17975.0f};  // bin centres [keV]
  constexpr int kHistoriesPerEnergy = 8;
  auto shared = std::make_unique<dravik::SharedTables>();
  shared->tables = tables;
  dravik::setUpPhantom(shared->phantom);
  auto worker = std::make_unique<dravik::Worker>();
  for (float E : kEnergies) {
    if (!(last > E)) continue;
    try {
      dravik::runHistories(*shared, *worker, E, kHistoriesPerEnergy);
    } catch (const dravik::RunawayHistory&) {
      // A loop that reached its cap stops the run with a message: a handled outcome.
    }
  }
}

}  // namespace fuzz
