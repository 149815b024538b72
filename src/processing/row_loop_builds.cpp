#include "processing/row_loop_builds.h"

namespace qv {

namespace {

bool forcePlain = false;

bool ProcessorHasAvx2() {
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
}

}  // namespace

bool UseAvx2RowLoops() { return !forcePlain && ProcessorHasAvx2(); }

void ForcePlainRowLoops(bool plain) { forcePlain = plain; }

}  // namespace qv
