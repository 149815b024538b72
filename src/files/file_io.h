#pragma once
// Small POSIX file helpers for the image files: whole writes and exact reads
// that report short transfers, and a handle that closes itself.

#include <cstddef>
#include <cstdint>
#include <string>

namespace qv {

class FileHandle {
 public:
  FileHandle() = default;
  explicit FileHandle(int fd) : fd_(fd) {}
  ~FileHandle() { close(); }
  FileHandle(FileHandle&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
  FileHandle& operator=(FileHandle&& other) noexcept;
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;

  bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void close();

 private:
  int fd_ = -1;
};

// Opens for reading; invalid when it cannot be opened or is not a regular file.
FileHandle OpenForReading(const std::string& path);
// Deletes an existing file of the name, then creates it new (write-only,
// create, truncate).
FileHandle CreateNew(const std::string& path);

// Length of an open file, or -1.
long long FileLength(const FileHandle& file);

// True when every byte was written / read.
bool WriteAll(const FileHandle& file, const void* data, std::size_t length);
bool ReadExact(const FileHandle& file, void* data, std::size_t length);
bool SeekTo(const FileHandle& file, long long offset);

}  // namespace qv
