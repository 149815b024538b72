#pragma once
// Small POSIX file helpers for the image files: whole writes and exact reads
// that report short transfers, a handle that closes itself, and a file staged
// under a temporary name until it is complete.

#include <cstddef>
#include <cstdint>
#include <span>
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

  [[nodiscard]] bool valid() const { return fd_ >= 0; }
  int fd() const { return fd_; }
  void close();
  // Gives up the descriptor without closing it.
  int release() {
    const int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_ = -1;
};

// Opens for reading; invalid when it cannot be opened or is not a regular file.
FileHandle OpenForReading(const std::string& path);

// Whether a staged file's bytes reach the disk before it replaces the old
// one: for a file whose loss would cost the user (the settings), not for the
// pictures the program rewrites all the time.
enum class Durability { Cached, Synced };

// A file written under a temporary name in the target's folder and renamed
// over the target only by commit(). Until then the target (if any) is
// untouched; a write that fails, or a file never committed, is removed, so a
// failure leaves the old file and no partial one.
class StagedFile {
 public:
  // The temporary's name is unique, so two writers of one target (two
  // processes, say) never write into each other's file.
  // Invalid when the temporary cannot be created (no such folder, no room,
  // no permission). A target that is a folder fails at commit().
  explicit StagedFile(std::string target);
  ~StagedFile();
  StagedFile(const StagedFile&) = delete;
  StagedFile& operator=(const StagedFile&) = delete;

  [[nodiscard]] bool valid() const { return file_.valid(); }
  const FileHandle& handle() const { return file_; }
  // Closes the file and renames it over the target; false when either fails,
  // and then the temporary is gone and the target as it was.
  [[nodiscard]] bool commit(Durability durability = Durability::Cached);

 private:
  std::string target_;
  std::string temporary_;
  FileHandle file_;
};

// Length of an open file, or -1.
long long FileLength(const FileHandle& file);

// Writes the bytes as the whole new content of `path` through a StagedFile;
// false (old file kept, nothing partial left) on any failure.
[[nodiscard]] bool ReplaceFileWith(const std::string& path, std::span<const std::uint8_t> bytes,
                                   Durability durability = Durability::Cached);

// True when every byte was written / read.
[[nodiscard]] bool WriteAll(const FileHandle& file, const void* data, std::size_t length);
// The pieces in order, in as few system calls as the kernel allows.
[[nodiscard]] bool WriteAllPieces(const FileHandle& file, std::span<const std::span<const std::uint8_t>> pieces);
[[nodiscard]] bool ReadExact(const FileHandle& file, void* data, std::size_t length);
[[nodiscard]] bool SeekTo(const FileHandle& file, long long offset);

}  // namespace qv
