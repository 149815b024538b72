#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace qv {

FileHandle& FileHandle::operator=(FileHandle&& other) noexcept {
  if (this != &other) {
    close();
    fd_ = other.fd_;
    other.fd_ = -1;
  }
  return *this;
}

void FileHandle::close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
}

FileHandle OpenForReading(const std::string& path) {
  FileHandle file(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
  struct stat info {};
  if (file.valid() && (::fstat(file.fd(), &info) != 0 || !S_ISREG(info.st_mode))) file.close();
  return file;
}

FileHandle CreateNew(const std::string& path) {
  ::unlink(path.c_str());
  return FileHandle(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
}

long long FileLength(const FileHandle& file) {
  struct stat info {};
  if (!file.valid() || ::fstat(file.fd(), &info) != 0) return -1;
  return static_cast<long long>(info.st_size);
}

bool WriteAll(const FileHandle& file, const void* data, std::size_t length) {
  const auto* bytes = static_cast<const std::uint8_t*>(data);
  while (length > 0) {
    const ssize_t done = ::write(file.fd(), bytes, length);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes += done;
    length -= static_cast<std::size_t>(done);
  }
  return true;
}

bool ReadExact(const FileHandle& file, void* data, std::size_t length) {
  auto* bytes = static_cast<std::uint8_t*>(data);
  while (length > 0) {
    const ssize_t done = ::read(file.fd(), bytes, length);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    bytes += done;
    length -= static_cast<std::size_t>(done);
  }
  return true;
}

bool SeekTo(const FileHandle& file, long long offset) {
  return ::lseek(file.fd(), static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
}

}  // namespace qv
