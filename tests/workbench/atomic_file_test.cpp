// The workbench's three writes (S_SPCTL.dat, B2F.dat, the spectrum copy) never
// lose the file they replace: a write that fails part-way, injected through the
// byte writer or caused by a really full file system, leaves the former file whole.
#include "workbench/spectrum/atomic_file.h"

#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <functional>
#include <set>

#include "test_folder.h"
#include "workbench/spectrum/run_files.h"

namespace corvane {
namespace {

using testing::readBytes;
using testing::TestFolder;

// Writes at most `room` bytes in all, then fails with ENOSPC, as a full disk does.
WriteBytes fullAfter(std::size_t room) {
  auto written = std::make_shared<std::size_t>(0);
  return [room, written](int fd, const void* data, std::size_t size) -> ssize_t {
    if (*written >= room) {
      errno = ENOSPC;
      return -1;
    }
    const std::size_t n = std::min(size, room - *written);
    const ssize_t done = ::write(fd, data, n);
    if (done > 0) *written += static_cast<std::size_t>(done);
    return done;
  };
}

std::set<std::string> filesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.insert(e.path().filename().string());
  return names;
}

SpectrumState someSpectrum() {
  SpectrumState state;
  for (int i = 1; i <= kSpectrumBins; ++i) state.relativeFluence[i] = 1.0 / i;
  return state;
}

// The three writes, each into `folder`, through `write`; the file each replaces.
struct Writer {
  const char* name;
  const char* file;
  std::function<Status(const TestFolder& work, const std::filesystem::path& folder,
                       const WriteBytes& write)>
      run;
};

const Writer kWriters[] = {
    {"SpectrumFile", "S_SPCTL.dat",
     [](const TestFolder&, const std::filesystem::path& folder, const WriteBytes& write) {
       return writeSpectrumFile(someSpectrum(), SpectrumEntries{"10.0", "29", "1.5", false}, folder,
                                write);
     }},
    {"RunParameters", "B2F.dat",
     [](const TestFolder&, const std::filesystem::path& folder, const WriteBytes& write) {
       return writeRunParameters("run1", "30000000", folder, write);
     }},
    {"SpectrumCopy", "spec1.csv",
     [](const TestFolder& work, const std::filesystem::path& folder, const WriteBytes& write) {
       EXPECT_TRUE(writeSpectrumFile(someSpectrum(), SpectrumEntries{"10.0", "29", "1.5", false},
                                     work.path())
                       .ok());
       return saveSpectrumCopy(folder, "spec1", work.path(), write);
     }},
};

TEST(ReplaceFile, AWriteFailingPartWayLeavesTheFormerFileWhole) {
  for (const Writer& w : kWriters) {
    for (std::size_t room : {std::size_t{0}, std::size_t{10}, std::size_t{4096}}) {
      SCOPED_TRACE(std::string(w.name) + ", room " + std::to_string(room));
      TestFolder work;
      std::filesystem::create_directory(work / "out");
      const std::string former = "the former file, which must survive\r\n";
      work.write(std::string("out/") + w.file, former);
      const Status s = w.run(work, work / "out", fullAfter(room));
      if (room >= 4096 && std::string(w.file) == "B2F.dat") {
        ASSERT_TRUE(s.ok());  // B2F.dat is shorter than the room: written whole
        continue;
      }
      ASSERT_FALSE(s.ok());
      EXPECT_NE(s.failure().message.find(w.file), std::string::npos) << s.failure().message;
      EXPECT_NE(s.failure().message.find("No space left on device"), std::string::npos)
          << s.failure().message;
      EXPECT_EQ(readBytes(work / "out" / w.file), former);
      EXPECT_EQ(filesIn(work / "out"), std::set<std::string>{w.file}) << "a temporary file is left";
    }
  }
}

TEST(ReplaceFile, AFailedFirstWriteLeavesNoFileAtAll) {
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    TestFolder work;
    std::filesystem::create_directory(work / "out");
    EXPECT_FALSE(w.run(work, work / "out", fullAfter(0)).ok());
    EXPECT_TRUE(filesIn(work / "out").empty());
  }
}

TEST(ReplaceFile, KeepsThePermissionsOfTheFileItReplaces) {
  TestFolder folder;
  const auto file = folder.write("kept.txt", "old");
  std::filesystem::permissions(file, std::filesystem::perms::owner_read |
                                         std::filesystem::perms::owner_write |
                                         std::filesystem::perms::group_read);
  ASSERT_FALSE(replaceFile(file, "new"));
  EXPECT_EQ(readBytes(file), "new");
  EXPECT_EQ(std::filesystem::status(file).permissions() & std::filesystem::perms::all,
            std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                std::filesystem::perms::group_read);
}

// A 64 KiB tmpfs mounted in a mount namespace of this test process (root only):
// the mount is private to the process and vanishes with it.
class SmallFilesystem {
 public:
  explicit SmallFilesystem(const std::filesystem::path& at) : path_(at) {
    std::filesystem::create_directory(path_);
    if (::geteuid() != 0) {
      skipReason_ = "mounting a small tmpfs needs root";
      return;
    }
    if (::unshare(CLONE_NEWNS) != 0 ||
        ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
        ::mount("tmpfs", path_.c_str(), "tmpfs", 0, "size=64k") != 0) {
      skipReason_ = std::string("cannot mount a small tmpfs here (") + std::strerror(errno) + ")";
      return;
    }
    mounted_ = true;
  }
  ~SmallFilesystem() {
    if (mounted_) ::umount2(path_.c_str(), MNT_DETACH);
  }
  const std::string& skipReason() const { return skipReason_; }

  // Fills the remaining space with one file, page by page, until the disk is full.
  void fill() const {
    std::ofstream filler(path_ / "filler", std::ios::binary);
    const std::string page(4096, 'x');
    while (filler.write(page.data(), static_cast<std::streamsize>(page.size())) && filler.flush()) {
    }
  }

 private:
  std::filesystem::path path_;
  std::string skipReason_;
  bool mounted_ = false;
};

TEST(ReplaceFile, OnAReallyFullDiskTheFormerFileSurvives) {
  TestFolder work;
  SmallFilesystem disk(work / "disk");
  if (!disk.skipReason().empty()) GTEST_SKIP() << disk.skipReason();
  const std::string former = "the former file, which must survive\r\n";
  for (const Writer& w : kWriters) work.write(std::string("disk/") + w.file, former);
  disk.fill();
  for (const Writer& w : kWriters) {
    SCOPED_TRACE(w.name);
    const Status s = w.run(work, work / "disk", systemWrite());
    EXPECT_FALSE(s.ok());
    EXPECT_EQ(readBytes(work / "disk" / w.file), former);
  }
  std::set<std::string> expected{"filler"};
  for (const Writer& w : kWriters) expected.insert(w.file);
  EXPECT_EQ(filesIn(work / "disk"), expected) << "a temporary file is left";
}

}  // namespace
}  // namespace corvane
