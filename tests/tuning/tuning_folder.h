// A fresh work folder per test holding copies of the shipped data files, removed afterwards.
#pragma once

#include <filesystem>
#include <string>

#include "tests/workbench/test_folder.h"

namespace tuning::testing {

class WorkFolder : public corvane::testing::TestFolder {
 public:
  WorkFolder() : TestFolder("beamfit_") {
    for (const char* f : {"water20.dat", "ELDAT.dat", "Lead.dat", "10MV-standardTMR.std"})
      std::filesystem::copy_file(std::filesystem::path(SHIPPED_DATA) / f, path() / f);
  }

  std::string read(const std::string& name) const {
    return corvane::testing::readBytes(path() / name);
  }
};

}  // namespace tuning::testing
