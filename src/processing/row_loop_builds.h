#pragma once
// The whole-image row loops of the processing commands are compiled twice:
// a plain build for any x86-64 processor and an AVX2 build. Both give the
// same values (integer arithmetic and plain double operations, no fused
// multiply-add); the AVX2 build runs when the processor has it. The body of
// each loop is one always-inlined function that both builds wrap. Tests force
// the plain build so that it is checked on machines with AVX2 as well.

namespace qv {

// True when the AVX2 builds are to run: the processor has AVX2 and the
// plain builds are not forced.
bool UseAvx2RowLoops();

// Test hook: with `plain` set only the plain builds run.
void ForcePlainRowLoops(bool plain);

}  // namespace qv

