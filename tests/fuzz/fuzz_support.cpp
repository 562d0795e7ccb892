#include "fuzz_support.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <system_error>

#include "simulation/kernel.h"
#include "simulation/transport/photon.h"

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
  constexpr float kEnergies[] = {125.0f, 1525.0f, 17975.0f};  // bin centres [keV]
  constexpr int kHistoriesPerEnergy = 4;
  auto sim = std::make_unique<dravik::Simulation>();
  sim->tables = tables;
  dravik::setUpPhantom(sim->phantom);
  const float last = tables.photon.energy[tables.photon.rowCount];
  for (float E : kEnergies) {
    if (!(last > E)) continue;
    for (int h = 0; h < kHistoriesPerEnergy; ++h) {
      dravik::startSourcePhoton(sim->run.rng, sim->run.photon, sim->run.history, E);
      dravik::trackHistory(*sim);
    }
  }
}

}  // namespace fuzz
