#include "test_files.h"

#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace dravik::testing {

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  path_ = std::filesystem::temp_directory_path() /
          ("dravik-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
  std::filesystem::remove_all(path_);
  std::filesystem::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

ReadOnlyFolder::ReadOnlyFolder(const std::filesystem::path& source) {
  if (::geteuid() != 0) {
    path_ = source;
    ::chmod(source.c_str(), 0555);
    return;
  }
  auto fail = [&](const char* step) {
    skipReason_ = std::string("no read-only folder for root: ") + step + " failed (" +
                  std::strerror(errno) + ")";
  };
  // A private mount namespace: the mount is this process's alone and vanishes with it.
  if (::unshare(CLONE_NEWNS) != 0) {
    fail("unshare");
    return;
  }
  if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    fail("mount");
    return;
  }
  path_ = source / "read-only";
  std::filesystem::create_directory(path_);
  if (::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=1m") != 0) {
    fail("mount tmpfs");
    return;
  }
  mounted_ = true;
  for (const auto& e : std::filesystem::directory_iterator(source)) {
    if (e.is_regular_file()) std::filesystem::copy_file(e.path(), path_ / e.path().filename());
  }
  if (::mount("tmpfs", path_.c_str(), "tmpfs", MS_REMOUNT | MS_RDONLY, nullptr) != 0) {
    fail("remount read-only");
    return;
  }
}

ReadOnlyFolder::~ReadOnlyFolder() {
  if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  if (!path_.empty() && !mounted_) ::chmod(path_.c_str(), 0755);
}

std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeBytes(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out << bytes;
}

void writeLines(const std::filesystem::path& file, const std::vector<std::string>& lines,
                const std::string& eol) {
  std::string text;
  for (const auto& l : lines) text += l + eol;
  writeBytes(file, text);
}

std::vector<std::string> readLines(const std::filesystem::path& file) {
  std::vector<std::string> lines;
  std::istringstream in(readBytes(file));
  std::string l;
  while (std::getline(in, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

std::vector<std::string> spectrumLines(const std::vector<double>& fluence,
                                       const std::string& energy, const std::string& z,
                                       const std::string& thickness) {
  std::vector<std::string> lines;
  for (int i = 1; i <= 400; ++i) {
    const double f = i <= static_cast<int>(fluence.size()) ? fluence[i - 1] : 0.0;
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%06.3f, %.3E", (50.0 * i - 25.0) / 1000.0, f);
    lines.emplace_back(buffer);
  }
  lines.push_back(energy);
  lines.push_back(z);
  lines.push_back(thickness);
  return lines;
}

std::filesystem::path fixture(const std::string& name) {
  return std::filesystem::path(FIXTURES_DIR) / name;
}

}  // namespace dravik::testing
