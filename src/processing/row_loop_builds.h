#pragma once
// The whole-image row loops of the processing commands are compiled twice on
// x86: a plain build for any processor and an AVX2 build. Both give the same
// values (integer arithmetic and plain double operations, no fused
// multiply-add); the AVX2 build runs when the processor has it and the
// processing state does not ask for the plain one. The body of each loop is
// one always-inlined function that both builds wrap. Elsewhere only the plain
// build exists.

#include "processing/processing_state.h"

#if defined(__x86_64__) || defined(__i386__)
#define QV_AVX2_ROW_LOOPS 1
#else
#define QV_AVX2_ROW_LOOPS 0
#endif

namespace qv {

// True when the AVX2 builds are to run for this choice: the program is
// built for x86, the processor has AVX2 and the plain builds are not asked for.
[[nodiscard]] bool UseAvx2RowLoops(RowLoops choice);

}  // namespace qv
