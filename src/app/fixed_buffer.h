#pragma once
// A buffer of fixed capacity, allocated zero-filled once and never resized.
// calloc hands back untouched pages lazily, so the large image buffers cost
// memory only where they are used.

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>

namespace qv {

template <typename T>
class FixedBuffer {
 public:
  explicit FixedBuffer(std::size_t capacity)
      : data_(static_cast<T*>(std::calloc(capacity, sizeof(T)))), capacity_(capacity) {
    if (!data_) throw std::bad_alloc();
  }

  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }
  std::size_t capacity() const { return capacity_; }
  T& operator[](std::size_t i) { return data_.get()[i]; }
  const T& operator[](std::size_t i) const { return data_.get()[i]; }

 private:
  struct Free {
    void operator()(T* p) const { std::free(p); }
  };
  std::unique_ptr<T, Free> data_;
  std::size_t capacity_;
};

}  // namespace qv
