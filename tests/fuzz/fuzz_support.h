// Shared pieces of the fuzz targets: a scratch folder of this process for the
// files the readers open by name, the shipped data folder, and a short run of
// histories that exercises whatever a reader accepted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string_view>

#include "simulation/state.h"

namespace fuzz {

// A folder of this process's own under the temporary folder, made on first use
// and removed when the process ends, so parallel fuzzing jobs never share files.
const std::filesystem::path& scratchFolder();

// Writes `bytes` to scratchFolder()/name, replacing what was there; returns the path.
std::filesystem::path writeScratchFile(std::string_view name, std::string_view bytes);
std::filesystem::path writeScratchFile(std::string_view name, const std::uint8_t* data,
                                       std::size_t size);

// The folder of the shipped data files (water20.dat, ELDAT.dat, Lead.dat, ...).
std::filesystem::path shippedData();

// Copies the shipped data file `name` into the scratch folder, so that a reader
// taking a folder finds the real file beside the fuzzed one.
void copyShippedFile(std::string_view name);

// Ends the process with a message on standard error: a broken promise of the
// code under test, which libFuzzer reports as a crash with its input.
[[noreturn]] void fail(const char* what);

// Runs a few histories with `tables`, as the simulation would after reading
// them: a handful of source photons at each of three energies (low, around the
// pair threshold, high), each only when the coefficient table reaches beyond it
// (the run refuses a spectrum above the table). Values the transport cannot use
// show up here as sanitizer reports or as a hang caught by -timeout.
void runFewHistories(const dravik::PhysicsTables& tables);

}  // namespace fuzz
