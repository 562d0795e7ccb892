// Scratch folders and small file helpers for the simulation tests.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace dravik::testing {

// A fresh empty folder under the system's temporary folder, removed on destruction.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// A read-only copy of a folder's files, for a run that must not be able to
// create its result. A user gets the folder itself with its write permission
// taken away; root, whom permissions do not stop, gets a tmpfs mounted
// read-only in a mount namespace of this test process. When neither is possible
// `skipReason` says why (the test then skips).
class ReadOnlyFolder {
 public:
  explicit ReadOnlyFolder(const std::filesystem::path& source);
  ~ReadOnlyFolder();
  ReadOnlyFolder(const ReadOnlyFolder&) = delete;
  ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  const std::string& skipReason() const { return skipReason_; }

 private:
  std::filesystem::path path_;
  std::string skipReason_;
  bool mounted_ = false;
};

std::string readBytes(const std::filesystem::path& file);
void writeBytes(const std::filesystem::path& file, const std::string& bytes);
// Lines joined with `eol` after each line.
void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                const std::string& eol = "\r\n");
std::vector<std::string> readLines(const std::filesystem::path& file);  // line ends stripped

// An S_SPCTL.dat body: fluence(i) for bins 1 ... 400 in the workbench's layout,
// then the three machine parameter lines.
std::vector<std::string> spectrumLines(const std::vector<double>& fluence,
                                       const std::string& energy = "10.0",
                                       const std::string& z = "029",
                                       const std::string& thickness = "10.50");

std::filesystem::path fixture(const std::string& name);

}  // namespace dravik::testing
