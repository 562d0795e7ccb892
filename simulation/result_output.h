// The result file's safety checks and its durable write. Before any history the
// run makes sure its result can be written where and as it should be; at the end
// the file is written whole or not at all.
#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "simulation/input_error.h"
#include "simulation/state.h"

namespace dravik {

// The result name (trailing blanks already dropped) must name a new file of the
// working folder: not one of the programs' own files (water20.dat, ELDAT.dat,
// S_SPCTL.dat, B2F.dat, Lead.dat, any *.std, the two programs), compared without
// regard to case or trailing dots; and nothing that leaves the folder ("." or
// "..", '/', '\', ':', a NUL or other control byte). An error names B2F.dat, line 1.
InputResult checkResultName(const std::string& name);

// The header values must fit their columns of the result file (no asterisks).
InputResult checkResultHeader(const RunInput& input);

// Everything the run checks about its result before the start prompt: the name,
// the header, and that `folder` lets the result be created (a stale
// NAME.partial left by a killed run is removed first). Returns the message line.
std::optional<std::string> checkResultOutput(const std::filesystem::path& folder,
                                             const std::string& name, const RunInput& input);

// Writes `text` to `file` durably: into FILE.partial beside it, flushed to the
// disk (fsync), then renamed over `file` and the folder synced. On any failure the
// partial file is removed and an existing `file` stays as it was. Returns what
// went wrong on failure: "cannot be created (<errno text>)" or "cannot be written (...)".
std::optional<std::string> replaceFileDurably(const std::filesystem::path& file,
                                              const std::string& text);

}  // namespace dravik
