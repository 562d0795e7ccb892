// The hand-over files of a simulation run (S_SPCTL.dat, B2F.dat) and the spectrum copy.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "workbench/spectrum/atomic_file.h"
#include "workbench/spectrum/failure.h"
#include "workbench/spectrum/schiff.h"

namespace corvane {

constexpr const char* kSpectrumFileName = "S_SPCTL.dat";
constexpr const char* kRunParametersFileName = "B2F.dat";
constexpr int kSpectrumFileLines = 403;

// Writes S_SPCTL.dat in `folder`, 403 lines ending in CR LF: line i = bin centre [MeV] by "00.000",
// ", ", relativeFluence(i) by "0.000E+00"; line 401 the leading number of the energy text by
// "00.0", 402 that of the Z text by "000", 403 that of the thickness text by "00.00". A fluence
// below the smallest value with a two-digit exponent (1E-99) is written 0.000E+00 so that every
// fluence fits the nine columns the simulation reads; a fluence too large for them, or not finite,
// is a failure. Fails, with a message naming the file, when the file cannot be created or written;
// the file is replaced only when complete (replaceFile), so a failure leaves the former one whole.
// `write` is the byte writer (tests inject a failing one).
Status writeSpectrumFile(const SpectrumState& state, const SpectrumEntries& entries,
                         const std::filesystem::path& folder = ".",
                         const WriteBytes& write = systemWrite());

// Writes B2F.dat in `folder`, 2 lines ending in CR LF: the name as typed followed by ".tmr",
// then leadingNumber(historyText) by "0.000E+00". An empty name gives messages::kEnterResultName
// and writes nothing; a name holding a line end, or a history number that is not finite, fails
// and writes nothing. Fails, naming the file, when it cannot be created or written, leaving the
// former B2F.dat whole (replaceFile).
Status writeRunParameters(const std::string& nameText, const std::string& historyText,
                          const std::filesystem::path& folder = ".",
                          const WriteBytes& write = systemWrite());

// The target path of a spectrum copy: the folder, "/", the name as typed and ".csv", joined as
// text (so "/x" still names a file in `folder`).
std::filesystem::path spectrumCopyPath(const std::filesystem::path& folder,
                                       const std::string& nameText);

// Copies S_SPCTL.dat of `workFolder` byte for byte to spectrumCopyPath(folder, nameText),
// replacing an existing file. An empty name gives messages::kEnterFileName; a missing S_SPCTL.dat
// or a copy that fails gives a message naming the file; success is reported only when the copy
// is complete (on success the window shows messages::kFileSaved). The copy is written through
// replaceFile: a failed save (a full disk) leaves an existing copy of that name whole.
Status saveSpectrumCopy(const std::filesystem::path& folder, const std::string& nameText,
                        const std::filesystem::path& workFolder = ".",
                        const WriteBytes& write = systemWrite());

// The first 403 lines of S_SPCTL.dat in `workFolder`, without line ends, for the save dialog's
// preview. Fails, naming the file, when it is missing or shorter than 403 lines.
Result<std::vector<std::string>> readSpectrumPreview(const std::filesystem::path& workFolder = ".");

}  // namespace corvane
