#include "simulation/result_output.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "simulation/fixed_format.h"

namespace dravik {

namespace {

// The files the programs read or ship beside themselves: a result must never
// replace one of them.
constexpr const char* kOwnFiles[] = {"water20.dat", "ELDAT.dat", "S_SPCTL.dat",
                                     "B2F.dat",     "Lead.dat",  "Dravik",
                                     "Dravik.exe",  "Corvane",   "Corvane.exe"};

std::string lowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

InputError nameError(const std::string& what) { return InputError{"B2F.dat", 1, what}; }

std::string errnoText(int code) { return std::strerror(code); }

std::string shown(double v) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, "%.6g", v);
  return buffer;
}

}  // namespace

InputResult checkResultName(const std::string& name) {
  for (unsigned char c : name) {
    if (c == '/' || c == '\\' || c == ':') {
      return nameError("the result file name \"" + name +
                       "\" holds a folder or drive separator ('/', '\\' or ':'); the result is "
                       "written only into the working folder");
    }
    if (c < 0x20 || c == 0x7F) {
      return nameError("the result file name holds a control character (byte " + std::to_string(c) +
                       ")");
    }
  }
  // Trailing dots and blanks are dropped by some file systems: "water20.dat." is
  // water20.dat there, and "." or ".." is a folder.
  std::string core = name;
  while (!core.empty() && (core.back() == '.' || core.back() == ' ')) core.pop_back();
  if (core.empty()) {
    return nameError("the result file name \"" + name + "\" names a folder, not a file");
  }
  const std::string lower = lowerAscii(core);
  for (const char* own : kOwnFiles) {
    if (lower == lowerAscii(own)) {
      return nameError("the result file name \"" + name + "\" is that of the program's own file " +
                       own + ", which a result must not replace");
    }
  }
  if (lower.size() >= 4 && lower.compare(lower.size() - 4, 4, ".std") == 0) {
    return nameError("the result file name \"" + name +
                     "\" ends in .std, the extension of the reference TMR files, which a result "
                     "must not replace");
  }
  return std::nullopt;
}

InputResult checkResultHeader(const RunInput& input) {
  struct Field {
    const char* file;
    int line;
    const char* what;
    double value;
    int width, decimals;
  };
  const Field fields[] = {
      {"B2F.dat", 2, "history total", input.parameters.historyTotal, 11, 0},
      {"S_SPCTL.dat", 401, "acceleration energy", input.spectrum.accelerationEnergy, 10, 4},
      {"S_SPCTL.dat", 402, "target Z", static_cast<double>(input.spectrum.targetZ), 10, 4},
      {"S_SPCTL.dat", 403, "filter thickness", input.spectrum.filterThickness, 10, 4},
  };
  for (const Field& f : fields) {
    if (fixedReal(f.value, f.width, f.decimals).find('*') != std::string::npos) {
      return InputError{f.file, f.line,
                        std::string("the ") + f.what + " " + shown(f.value) + " does not fit its " +
                            std::to_string(f.width) + " columns of the result file"};
    }
  }
  return std::nullopt;
}

std::optional<std::string> checkResultOutput(const std::filesystem::path& folder,
                                             const std::string& name, const RunInput& input) {
  if (auto e = checkResultName(name)) return e->message();
  if (auto e = checkResultHeader(input)) return e->message();

  const std::string fail = "Output error: the result file " + name + " cannot be created (";
  const std::filesystem::path file = folder / name;
  std::error_code ec;
  if (std::filesystem::is_directory(file, ec)) return fail + "a folder of that name exists)";
  std::filesystem::path partial = file;
  partial += ".partial";
  // A partial file is only ever left by a run that was killed while writing.
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(partial, ec))) {
    if (::unlink(partial.c_str()) != 0) return fail + errnoText(errno) + ")";
  }
  const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return fail + errnoText(errno) + ")";
  ::close(fd);
  ::unlink(partial.c_str());
  return std::nullopt;
}

std::optional<std::string> replaceFileDurably(const std::filesystem::path& file,
                                              const std::string& text) {
  std::filesystem::path partial = file;
  partial += ".partial";
  // Created afresh and exclusively: whatever stands under the partial name (a
  // fragment of a killed run, a link) is removed, never written through.
  ::unlink(partial.c_str());
  const int fd = ::open(partial.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) return "cannot be created (" + errnoText(errno) + ")";
  auto abandon = [&](int code) {
    ::close(fd);
    ::unlink(partial.c_str());
    return "cannot be written (" + errnoText(code) + ")";
  };
  const char* p = text.data();
  std::size_t left = text.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      return abandon(errno);
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  if (::fsync(fd) != 0) return abandon(errno);
  if (::close(fd) != 0) {
    const int code = errno;
    ::unlink(partial.c_str());
    return "cannot be written (" + errnoText(code) + ")";
  }
  if (::rename(partial.c_str(), file.c_str()) != 0) {
    const int code = errno;
    ::unlink(partial.c_str());
    return "cannot be written (" + errnoText(code) + ")";
  }
  // The rename itself reaches the disk with the folder's entries.
  const std::filesystem::path parent = file.parent_path().empty() ? "." : file.parent_path();
  const int dir = ::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return std::nullopt;
}

}  // namespace dravik
