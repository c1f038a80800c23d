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

// Writes through an existing link, device or pipe: a rename would put a plain
// file in its place (-o /dev/null would replace the device).
void write_through(const std::string& path, const std::string& text) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_TRUNC);
  if (fd < 0) throw ConversionError("cannot write " + path + ": " + std::strerror(errno));
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      const int err = errno;
      ::close(fd);
      throw ConversionError("cannot write " + path + ": " + std::strerror(err));
    }
    done += static_cast<std::size_t>(n);
  }
  if (::close(fd) != 0) throw ConversionError("cannot write " + path + ": " + std::strerror(errno));
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
  if (fd < 0) throw ConversionError("cannot write " + path + ": " + std::strerror(errno));
  const std::string temp(name.data());
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(temp.c_str());
    throw ConversionError("cannot write " + path + ": " + std::strerror(err));
  };
  std::size_t done = 0;
  while (done < text.size()) {
    const ssize_t n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    done += static_cast<std::size_t>(n);
  }
  // mkstemp makes the file private; an input file is as readable as any other.
  const mode_t mask = ::umask(0);
  ::umask(mask);
  if (::fchmod(fd, 0666 & ~mask) != 0 || ::fsync(fd) != 0) fail(errno);
  if (::close(fd) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw ConversionError("cannot write " + path + ": " + std::strerror(err));
  }
  if (::rename(temp.c_str(), path.c_str()) != 0) {
    const int err = errno;
    ::unlink(temp.c_str());
    throw ConversionError("cannot write " + path + ": " + std::strerror(err));
  }
}

}  // namespace orbicutter::cif
