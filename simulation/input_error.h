// An input file the simulation cannot use: which file, which line, what is wrong.
#pragma once

#include <optional>
#include <string>

namespace dravik {

struct InputError {
  std::string file;  // bare file name, e.g. "water20.dat"
  int line = 0;      // 1-based line number; 0 when the file as a whole is at fault
  std::string what;  // what is wrong, e.g. "field 3 (columns 20-29) is not a number"

  // One console line: "Input error: water20.dat, line 5: field 3 ... is not a number".
  std::string message() const;
};

// Readers return nothing on success and the first error otherwise.
using InputResult = std::optional<InputError>;

}  // namespace dravik
