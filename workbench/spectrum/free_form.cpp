#include "workbench/spectrum/free_form.h"

namespace corvane {

Result<FreeFormReader> FreeFormReader::open(const std::filesystem::path& file) {
  return FreeFormReader("", file.filename().string());
}
FreeFormReader::FreeFormReader(std::string text, std::string fileName)
    : text_(std::move(text)), fileName_(std::move(fileName)) {}
Result<double> FreeFormReader::readNumber() { return failure("not yet"); }
Result<std::string> FreeFormReader::readText() { return failure("not yet"); }
Result<std::string> FreeFormReader::readLine() { return failure("not yet"); }
bool FreeFormReader::atEnd() const { return true; }
Failure FreeFormReader::failure(std::string reason) const {
  return Failure{fileName_, reason, fileName_ + ": " + reason};
}

}  // namespace corvane
