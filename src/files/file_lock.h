#pragma once
// An advisory lock (flock) shared between processes that rewrite one file:
// whoever holds it may read the file, merge and write it back without
// another writer's change slipping in between.

#include <string>

#include "files/file_io.h"

namespace qv {

// How long a writer waits for another one to finish. A holder keeps the lock
// only while it reads and writes a small file, so a wait this long means the
// other process is stuck; the write is then refused rather than hung.
inline constexpr int kFileLockWaitMs = 2000;

class FileLock {
 public:
  // Opens (creating when missing) `lockPath` and locks it exclusively.
  // held() is false when the lock file cannot be opened or another holder
  // keeps it past `waitMs`.
  explicit FileLock(const std::string& lockPath, int waitMs = kFileLockWaitMs);
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  [[nodiscard]] bool held() const { return held_; }

 private:
  FileHandle file_;  // closing it lets the lock go
  bool held_ = false;
};

}  // namespace qv
