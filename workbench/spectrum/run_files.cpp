#include "workbench/spectrum/run_files.h"

namespace corvane {

Status writeSpectrumFile(const SpectrumState&, const SpectrumEntries&, const std::filesystem::path&) {
  return {};
}
Status writeRunParameters(const std::string&, const std::string&, const std::filesystem::path&) {
  return {};
}
std::filesystem::path spectrumCopyPath(const std::filesystem::path& folder, const std::string& nameText) {
  return folder / (nameText + ".csv");
}
Status saveSpectrumCopy(const std::filesystem::path&, const std::string&, const std::filesystem::path&) {
  return {};
}
Result<std::vector<std::string>> readSpectrumPreview(const std::filesystem::path&) {
  return std::vector<std::string>{};
}

}  // namespace corvane
