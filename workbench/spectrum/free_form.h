// Free-form value reading of text files: values separated by commas, blanks or line ends.
#pragma once

#include <filesystem>
#include <string>

#include "workbench/spectrum/failure.h"

namespace corvane {

// Reads a text file value by value. Lines may end in CR LF, LF or CR.
//
// A value starts at the first character that is not a blank (space or tab) or, where a value is
// expected, a line end; it runs to the next comma, blank or line end. After a value, blanks are
// skipped and then one comma or one line end is taken as its separator. A text value may be put in
// double quotes to hold commas. Two commas in a row give an empty value, which is not a number.
//
// Failures name the file and the line; their message is the file name and the reason, which a
// caller with a fixed window text replaces.
class FreeFormReader {
 public:
  // Reads the whole file into memory. Fails when it cannot be opened or read.
  static Result<FreeFormReader> open(const std::filesystem::path& file);

  // A reader over `text` as if it were the content of a file called `fileName`.
  FreeFormReader(std::string text, std::string fileName);

  // The next value as a number: the whole value must be a number (sign, digits, one point,
  // exponent). Fails at the end of the file, on an empty value or on one that is not a number.
  Result<double> readNumber();

  // The next value as text (quotes removed). Fails at the end of the file.
  Result<std::string> readText();

  // Whole-line read: the rest of the current line, without its line end, which is taken.
  // Fails at the end of the file.
  Result<std::string> readLine();

  // True when only blanks and line ends remain (a file ending in blank lines is at its end).
  bool atEnd() const;

  int line() const { return line_; }  // 1-based line of the next character
  const std::string& fileName() const { return fileName_; }

 private:
  Failure failure(std::string reason) const;
  Failure failureAt(int line, std::string reason) const;

  std::string text_;
  std::string fileName_;
  std::size_t pos_ = 0;
  int line_ = 1;
};

}  // namespace corvane
