#include "workbench/spectrum/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace corvane {

namespace {

std::string withErrno(const std::string& what, int code) {
  return what + "（" + std::strerror(code) + "）";
}

// A fresh file beside `file`, created exclusively so that no other file is ever
// truncated: FILE.partial-PID-N with the first free N.
int createTemporary(const std::filesystem::path& file, mode_t mode, std::filesystem::path& out) {
  for (int n = 0; n < 1000; ++n) {
    out = file;
    out += ".partial-" + std::to_string(::getpid()) + "-" + std::to_string(n);
    const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  errno = EEXIST;
  return -1;
}

}  // namespace

const WriteBytes& systemWrite() {
  static const WriteBytes write = [](int fd, const void* data, std::size_t size) {
    return ::write(fd, data, size);
  };
  return write;
}

std::optional<std::string> replaceFile(const std::filesystem::path& file,
                                       const std::string& content, const WriteBytes& write) {
  struct stat existing {};
  const bool replaces = ::stat(file.c_str(), &existing) == 0;
  if (replaces && S_ISDIR(existing.st_mode))
    return withErrno("同じ名前のフォルダがあります", EISDIR);

  std::filesystem::path temporary;
  const int fd = createTemporary(file, 0666, temporary);
  if (fd < 0) return withErrno("ファイルを作成できません", errno);
  auto abandon = [&](const std::string& what, int code) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return withErrno(what, code);
  };
  // The replacement keeps the permissions of the file it replaces.
  if (replaces && ::fchmod(fd, existing.st_mode & 07777) != 0)
    return abandon("ファイルを作成できません", errno);

  const char* p = content.data();
  std::size_t left = content.size();
  while (left > 0) {
    const ssize_t n = write(fd, p, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return abandon("書き込みに失敗しました", n < 0 ? errno : EIO);
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return abandon("書き込みに失敗しました", errno);
  if (::close(fd) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    return withErrno("書き込みに失敗しました", code);
  }
  if (::rename(temporary.c_str(), file.c_str()) != 0) {
    const int code = errno;
    ::unlink(temporary.c_str());
    return withErrno("ファイルを置き換えられません", code);
  }
  // The new name reaches the disk with the folder's entries.
  const std::filesystem::path folder = file.parent_path().empty() ? "." : file.parent_path();
  const int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

}  // namespace corvane
