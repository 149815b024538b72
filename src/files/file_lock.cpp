#include "files/file_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <chrono>
#include <thread>

namespace qv {

FileLock::FileLock(const std::string& lockPath, int waitMs) {
  file_ = FileHandle(::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644));
  // A lock file made by another user may be read-only to us; flock needs
  // no write access.
  if (!file_.valid()) file_ = FileHandle(::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (!file_.valid()) return;
  // flock has no time-out of its own: poll without blocking until the
  // deadline, so a stuck holder cannot hang this process.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(waitMs);
  for (;;) {
    if (::flock(file_.fd(), LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
}

}  // namespace qv
