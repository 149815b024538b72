#include "processing/row_loop_builds.h"

namespace qv {

namespace {

bool ProcessorHasAvx2() {
#if QV_AVX2_ROW_LOOPS
  static const bool has = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return has;
#else
  return false;
#endif
}

}  // namespace

bool UseAvx2RowLoops(RowLoops choice) { return choice == RowLoops::Fastest && ProcessorHasAvx2(); }

}  // namespace qv
