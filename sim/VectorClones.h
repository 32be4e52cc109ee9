#pragma once

// Marks a function whose loops run in vectors: it is built for AVX2 and for
// any x86-64, and the build that fits the processor is picked when the
// program starts. Both do the same IEEE operations in the same order (no
// fused multiply-add), so they give the same bits. Under ThreadSanitizer the
// picking would run before the sanitizer's runtime is up, so there is only
// the plain build.
#if defined(__SANITIZE_THREAD__)
#define FILONEX_VECTOR_CLONES
#else
#define FILONEX_VECTOR_CLONES __attribute__((target_clones("avx2", "default")))
#endif
