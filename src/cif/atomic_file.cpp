// Atomic file writing: temporary file in the same folder, renamed when complete.
#include "cif/atomic_file.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "cif/error.hpp"

namespace orbicutter::cif {

namespace {

[[noreturn]] void cannot_write(const std::string& path, int err) {
  throw ConversionError("cannot write " + path + ": " + std::strerror(err));
}

// All of `text` to `fd`; 0, or the error number.
int write_all(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno != EINTR) return errno;
    if (n > 0) done += static_cast<std::size_t>(n);
  }
  return 0;
}

// Writes through an existing link, device or pipe: a rename would put a plain
// file in its place (-o /dev/null would replace the device).
void write_through(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
  if (fd < 0) cannot_write(path, errno);
  if (const int err = write_all(fd, text)) {
    ::close(fd);
    cannot_write(path, err);
  }
  if (::close(fd) != 0) cannot_write(path, errno);
}

}  // namespace

void write_atomically(const std::string& path, const std::string& text) {
  namespace fs = std::filesystem;
  std::error_code ec;
  if (fs::is_directory(path, ec)) throw ConversionError("cannot write " + path + ": it is a folder");
  const fs::file_status st = fs::symlink_status(path, ec);
  if (!ec && fs::exists(st) && !fs::is_regular_file(st)) {
    write_through(path, text);
    return;
  }
  const fs::path target(path);
  const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
  std::string hidden = ".";  // (built in steps: GCC 12 warns wrongly on "." + string)
  hidden += target.filename().string();
  hidden += ".XXXXXX";
  const std::string pattern = (folder / hidden).string();
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkstemp(name.data());
  if (fd < 0) cannot_write(path, errno);
  const std::string temp(name.data());
  // mkstemp makes the file private; an input file is as readable as any other.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  int err = write_all(fd, text);
  if (!err && (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0)) err = errno;
  if (::close(fd) != 0 && !err) err = errno;
  if (!err && ::rename(temp.c_str(), path.c_str()) != 0) err = errno;
  if (err) {
    ::unlink(temp.c_str());
    cannot_write(path, err);
  }
}

}  // namespace orbicutter::cif
