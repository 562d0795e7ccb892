// Replacing a file so that it is never lost: the new content goes to a temporary
// file in the same folder, reaches the disk, and only then takes the file's name.
// A failure at any point (full disk, no permission, an interrupted program) leaves
// either the old file or the new one, never a fragment.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace corvane {

// How bytes reach an open file descriptor, with the contract of write(2): the
// number of bytes written, or -1 with errno set. The default is the system's
// write; a test passes one that fails part-way, as a full disk does.
using WriteBytes = std::function<ssize_t(int fd, const void* data, std::size_t size)>;
const WriteBytes& systemWrite();

// Replaces (or creates) `file` with `content`: writes a new temporary file beside
// it (created exclusively, with the permissions of the file it replaces, or 0666
// less the umask for a new one), fsyncs it, renames it over `file` and fsyncs the
// folder. On failure the temporary file is removed, `file` is left exactly as it
// was, and the reason is returned (Japanese, with the system's error text).
std::optional<std::string> replaceFile(const std::filesystem::path& file,
                                       const std::string& content,
                                       const WriteBytes& write = systemWrite());

}  // namespace corvane
