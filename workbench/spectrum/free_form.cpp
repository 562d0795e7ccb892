#include "workbench/spectrum/free_form.h"

#include <fstream>
#include <iterator>

#include "workbench/spectrum/format.h"

namespace corvane {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

Result<FreeFormReader> FreeFormReader::open(const std::filesystem::path& file) {
  std::string name = file.filename().string();
  std::ifstream in(file, std::ios::binary);
  if (!in)
    return Failure{name, "ファイルがないか、開けません", name + ": ファイルがないか、開けません"};
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return Failure{name, "ファイルを読めません", name + ": ファイルを読めません"};
  return FreeFormReader(std::move(text), std::move(name));
}

FreeFormReader::FreeFormReader(std::string text, std::string fileName)
    : text_(std::move(text)), fileName_(std::move(fileName)) {}

Failure FreeFormReader::failure(std::string reason) const {
  return failureAt(line_, std::move(reason));
}

Failure FreeFormReader::failureAt(int line, std::string reason) const {
  std::string where = std::to_string(line) + " 行目: " + reason;
  return Failure{fileName_, where, fileName_ + ": " + where};
}

// Takes one line end (CR LF, LF or a lone CR) at the current position, if there is one.
static bool takeLineEnd(const std::string& text, std::size_t& pos, int& line) {
  if (pos >= text.size() || !isLineEnd(text[pos])) return false;
  if (text[pos] == '\r' && pos + 1 < text.size() && text[pos + 1] == '\n') ++pos;
  ++pos;
  ++line;
  return true;
}

Result<std::string> FreeFormReader::readText() {
  // A value may start after blanks and after any number of line ends.
  while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineEnd(text_[pos_])))
    if (!takeLineEnd(text_, pos_, line_)) ++pos_;
  if (pos_ >= text_.size()) return failure("値が足りません（ファイルの終わりです）");
  std::string value;
  if (text_[pos_] == '"') {
    std::size_t close = text_.find('"', pos_ + 1);
    std::size_t lineEnd = text_.find_first_of("\r\n", pos_ + 1);
    if (close == std::string::npos || close > lineEnd) return failure("引用符が閉じていません");
    value = text_.substr(pos_ + 1, close - pos_ - 1);
    pos_ = close + 1;
    // Anything between the closing quote and the separator is not part of the value.
    while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) ++pos_;
  } else {
    std::size_t end = pos_;
    while (end < text_.size() && text_[end] != ',' && !isLineEnd(text_[end])) ++end;
    value = text_.substr(pos_, end - pos_);
    while (!value.empty() && isBlank(value.back())) value.pop_back();
    pos_ = end;
  }
  if (pos_ < text_.size() && text_[pos_] == ',')
    ++pos_;
  else
    takeLineEnd(text_, pos_, line_);
  return value;
}

Result<double> FreeFormReader::readNumber() {
  while (pos_ < text_.size() && (isBlank(text_[pos_]) || isLineEnd(text_[pos_])))
    if (!takeLineEnd(text_, pos_, line_)) ++pos_;
  if (pos_ >= text_.size()) return failure("値が足りません（ファイルの終わりです）");
  int valueLine = line_;
  std::size_t end = pos_;
  while (end < text_.size() && text_[end] != ',' && !isBlank(text_[end]) && !isLineEnd(text_[end]))
    ++end;
  std::string value = text_.substr(pos_, end - pos_);
  pos_ = end;
  // The separator: blanks, then one comma or one line end.
  while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
  if (pos_ < text_.size() && text_[pos_] == ',')
    ++pos_;
  else
    takeLineEnd(text_, pos_, line_);
  if (value.empty()) return failureAt(valueLine, "値が空です（カンマが続いています）");
  std::optional<double> number = parseNumber(value);
  if (!number) return failureAt(valueLine, "値 \"" + value + "\" が数値ではありません");
  return *number;
}

Result<std::string> FreeFormReader::readLine() {
  if (pos_ >= text_.size()) return failure("行が足りません（ファイルの終わりです）");
  std::size_t end = pos_;
  while (end < text_.size() && !isLineEnd(text_[end])) ++end;
  std::string rest = text_.substr(pos_, end - pos_);
  pos_ = end;
  takeLineEnd(text_, pos_, line_);
  return rest;
}

bool FreeFormReader::atEnd() const {
  for (std::size_t i = pos_; i < text_.size(); ++i)
    if (!isBlank(text_[i]) && !isLineEnd(text_[i])) return false;
  return true;
}

}  // namespace corvane
