// Line-oriented reading of the simulation's text input files: fields taken from
// fixed columns, or free form (the first number on a line). Lines may end in
// CR LF or LF alone. Every failure comes back as an InputError naming the file,
// the line and what is wrong.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "simulation/input_error.h"

namespace dravik {

class TextInput {
 public:
  // Reads the whole file; an unreadable file is an error.
  static InputResult open(const std::filesystem::path& file, TextInput& out);

  const std::string& fileName() const { return name_; }
  int lineCount() const { return static_cast<int>(lines_.size()); }
  // Line n (1-based) without its line end, or an error when the file ends before it.
  InputResult line(int n, std::string_view& out) const;

  // A real from columns first ... last of line n (1-based, inclusive). Blanks
  // around the number are ignored, an all-blank field reads as 0, a line shorter
  // than the field reads as padded with blanks. The number must carry a decimal
  // point (a fixed-column real without one would be scaled by the layout's decimals).
  InputResult fixedReal(int n, int first, int last, float& out) const;
  // An integer from fixed columns (all-blank reads as 0).
  InputResult fixedInteger(int n, int first, int last, int& out) const;
  // Free form: the first blank- or comma-separated value on line n.
  InputResult freeReal(int n, float& out) const;
  InputResult freeInteger(int n, int& out) const;

  InputError error(int n, std::string what) const { return InputError{name_, n, std::move(what)}; }
  // An error about the field in columns first ... last of line n, quoting it as
  // written: "columns 10-19 hold \"-1.0E+00\", <what>".
  InputError fieldError(int n, int first, int last, const std::string& what) const;

 private:
  std::string name_;
  std::vector<std::string> lines_;
};

// Number syntax shared by the readers: the whole text must be the number.
bool parseReal(std::string_view text, float& out);
bool parseInteger(std::string_view text, int& out);

}  // namespace dravik
