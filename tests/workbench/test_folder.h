// A fresh, empty folder per test under the system's temporary folder, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace corvane::testing {

class TestFolder {
 public:
  // `prefix` starts the folder's name; the test's name follows (or "suite" outside a test,
  // in a suite's set-up), then the process and a serial number, so folders never clash.
  explicit TestFolder(const std::string& prefix = "corvane_") {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name =
        prefix + (info ? std::string(info->test_suite_name()) + "_" + info->name() : "suite") +
        "_" + std::to_string(::getpid()) + "_" + std::to_string(serial()++);
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
  }
  ~TestFolder() {
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  // Writes `content` byte for byte and returns the file's path.
  std::filesystem::path write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
    return path_ / name;
  }

 private:
  static int& serial() {
    static int n = 0;
    return n;
  }
  std::filesystem::path path_;
};

inline std::string readBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

}  // namespace corvane::testing
