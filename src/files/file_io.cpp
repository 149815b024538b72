#include "files/file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <utility>
#include <vector>

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

StagedFile::StagedFile(std::string target) : target_(std::move(target)) {
  // Same folder as the target, so the final rename never crosses file systems.
  std::string pattern = target_ + ".XXXXXX";
  const int fd = ::mkstemp(pattern.data());
  if (fd < 0) return;
  ::fchmod(fd, 0644);
  temporary_ = std::move(pattern);
  file_ = FileHandle(fd);
}

StagedFile::~StagedFile() {
  file_.close();
  if (!temporary_.empty()) ::unlink(temporary_.c_str());
}

bool StagedFile::commit(Durability durability) {
  if (!file_.valid()) return false;
  if (durability == Durability::Synced && ::fsync(file_.fd()) != 0) return false;
  // A close can report a failed write-back, so its result counts.
  const bool closed = ::close(file_.release()) == 0;
  if (!closed || ::rename(temporary_.c_str(), target_.c_str()) != 0) return false;
  temporary_.clear();
  return true;
}

bool ReplaceFileWith(const std::string& path, std::span<const std::uint8_t> bytes, Durability durability) {
  StagedFile staged(path);
  return staged.valid() && WriteAll(staged.handle(), bytes.data(), bytes.size()) && staged.commit(durability);
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

bool WriteAllPieces(const FileHandle& file, std::span<const std::span<const std::uint8_t>> pieces) {
  std::vector<iovec> left;
  for (const auto& piece : pieces) {
    if (!piece.empty()) left.push_back({const_cast<std::uint8_t*>(piece.data()), piece.size()});
  }
  std::size_t first = 0;
  while (first < left.size()) {
    const int count = static_cast<int>(std::min<std::size_t>(left.size() - first, IOV_MAX));
    const ssize_t done = ::writev(file.fd(), left.data() + first, count);
    if (done < 0 && errno == EINTR) continue;
    if (done <= 0) return false;
    // Step past what went out, part of a piece included.
    auto rest = static_cast<std::size_t>(done);
    while (rest > 0 && rest >= left[first].iov_len) rest -= left[first++].iov_len;
    if (rest > 0) {
      left[first].iov_base = static_cast<std::uint8_t*>(left[first].iov_base) + rest;
      left[first].iov_len -= rest;
    }
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
