#include "workbench/spectrum/run_files.h"

#include <cmath>
#include <fstream>
#include <iterator>
#include <system_error>

#include "workbench/spectrum/format.h"
#include "workbench/spectrum/messages.h"

namespace corvane {
namespace {

constexpr const char* kCrLf = "\r\n";

Failure writeFailure(const std::filesystem::path& file, const std::string& reason) {
  std::string name = file.filename().string();
  return Failure{name, reason, name + " に書き込めません: " + reason + "（" + file.string() + "）"};
}

// Replaces `file` with `content` through a temporary file, so that a failed write
// leaves the former file whole; reports whether every byte reached the disk.
Status writeWhole(const std::filesystem::path& file, const std::string& content,
                  const WriteBytes& write) {
  if (auto reason = replaceFile(file, content, write)) return writeFailure(file, *reason);
  return {};
}

}  // namespace

Status writeSpectrumFile(const SpectrumState& state, const SpectrumEntries& entries,
                         const std::filesystem::path& folder, const WriteBytes& write) {
  const std::filesystem::path file = folder / kSpectrumFileName;
  std::string content;
  content.reserve(kSpectrumFileLines * 20);
  for (int i = 1; i <= kSpectrumBins; ++i) {
    const double v = state.relativeFluence[i];
    if (!std::isfinite(v))
      return writeFailure(file,
                          "ビン " + std::to_string(i) + " のフルエンスが有限の数ではありません");
    std::string fluence = formatByPattern(v, "0.000E+00");
    if (fluence.size() > 9) {
      // The simulation reads nine columns: a three-digit exponent does not fit. A value below
      // 1E-99 is as good as no photons at all; a value of 1E+100 or more cannot be written.
      if (std::fabs(v) < 1.0)
        fluence = "0.000E+00";
      else
        return writeFailure(
            file, "ビン " + std::to_string(i) + " のフルエンスが大きすぎて 9 桁に収まりません");
    }
    content += formatByPattern(0.001 * (50 * i - 25), "00.000");
    content += ", ";
    content += fluence;
    content += kCrLf;
  }
  content += formatByPattern(leadingNumber(entries.energyText), "00.0") + kCrLf;
  content += formatByPattern(leadingNumber(entries.targetZText), "000") + kCrLf;
  content += formatByPattern(leadingNumber(entries.thicknessText), "00.00") + kCrLf;
  return writeWhole(file, content, write);
}

Status writeRunParameters(const std::string& nameText, const std::string& historyText,
                          const std::filesystem::path& folder, const WriteBytes& write) {
  const std::filesystem::path file = folder / kRunParametersFileName;
  if (nameText.empty())
    return Failure{kRunParametersFileName, messages::kEnterResultName, messages::kEnterResultName};
  if (nameText.find_first_of("\r\n") != std::string::npos)
    return writeFailure(file, "計算結果保存ファイル名に改行が含まれています");
  const double histories = leadingNumber(historyText);
  if (!std::isfinite(histories)) return writeFailure(file, "入射光子ヒストリー数が大きすぎます");
  std::string content = nameText + ".tmr" + kCrLf + formatByPattern(histories, "0.000E+00") + kCrLf;
  return writeWhole(file, content, write);
}

std::filesystem::path spectrumCopyPath(const std::filesystem::path& folder,
                                       const std::string& nameText) {
  // The folder, a separator and the name as typed: a name that begins with a separator still
  // lands inside the folder (two separators in a row read as one), as it would by concatenation.
  return std::filesystem::path(folder.string() + "/" + nameText + ".csv");
}

Status saveSpectrumCopy(const std::filesystem::path& folder, const std::string& nameText,
                        const std::filesystem::path& workFolder, const WriteBytes& write) {
  if (nameText.empty()) return Failure{"", messages::kEnterFileName, messages::kEnterFileName};
  const std::filesystem::path source = workFolder / kSpectrumFileName;
  const std::filesystem::path target = spectrumCopyPath(folder, nameText);
  std::error_code ec;
  if (!std::filesystem::is_regular_file(source, ec)) {
    std::string reason =
        std::string(kSpectrumFileName) + " がありません（スペクトルを計算して下さい）";
    return Failure{kSpectrumFileName, reason, "保存できません: " + reason};
  }
  const std::string targetName = target.filename().string();
  auto copyFailure = [&](const std::string& reason) {
    return Failure{targetName, reason, target.string() + " に保存できません: " + reason};
  };
  if (std::filesystem::exists(target, ec) && std::filesystem::equivalent(source, target, ec))
    return copyFailure("コピー元と同じファイルです");
  // Read whole, then written as a new file that replaces the old copy only when complete.
  std::ifstream in(source, std::ios::binary);
  if (!in.is_open()) return copyFailure(std::string(kSpectrumFileName) + " を読めません");
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (auto reason = replaceFile(target, bytes, write)) return copyFailure(*reason);
  return {};
}

Result<std::vector<std::string>> readSpectrumPreview(const std::filesystem::path& workFolder) {
  const std::filesystem::path file = workFolder / kSpectrumFileName;
  auto failure = [&](const std::string& reason) {
    return Failure{kSpectrumFileName, reason,
                   std::string(kSpectrumFileName) + " を読めません: " + reason};
  };
  std::ifstream in(file, std::ios::binary);
  if (!in) return failure("ファイルがないか、開けません");
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> lines;
  std::size_t pos = 0;
  while (pos < text.size() && static_cast<int>(lines.size()) < kSpectrumFileLines) {
    std::size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(pos, end - pos));
    pos = end;
    if (pos < text.size() && text[pos] == '\r') ++pos;
    if (pos < text.size() && text[pos] == '\n') ++pos;
  }
  if (static_cast<int>(lines.size()) < kSpectrumFileLines)
    return failure("行が " + std::to_string(lines.size()) + " 行しかありません（403 行必要です）");
  return lines;
}

}  // namespace corvane
