// A fresh work folder per test holding copies of the shipped data files, removed afterwards.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace tuning::testing {

class WorkFolder {
 public:
  WorkFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    // Outside a test (a suite's set-up) there is no test name.
    std::string name =
        std::string("beamfit_") +
        (info ? std::string(info->test_suite_name()) + "_" + info->name() : "suite") + "_" +
        std::to_string(::getpid()) + "_" + std::to_string(serial()++);
    for (char& c : name)
      if (c == '/') c = '_';
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
    for (const char* f : {"water20.dat", "ELDAT.dat", "Lead.dat", "10MV-standardTMR.std"})
      std::filesystem::copy_file(std::filesystem::path(SHIPPED_DATA) / f, path_ / f);
  }
  ~WorkFolder() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  WorkFolder(const WorkFolder&) = delete;
  WorkFolder& operator=(const WorkFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

  std::filesystem::path write(const std::string& name, const std::string& content) const {
    std::ofstream out(path_ / name, std::ios::binary);
    out << content;
    return path_ / name;
  }
  std::string read(const std::string& name) const {
    std::ifstream in(path_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

 private:
  static int& serial() {
    static int n = 0;
    return n;
  }
  std::filesystem::path path_;
};

}  // namespace tuning::testing
