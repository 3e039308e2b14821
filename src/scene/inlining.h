// Hints for the per-frame passes: a rare path kept out of the loop that calls it, so that the loop keeps its
// registers, and a small writer folded into its loop.
#pragma once

#if defined(_MSC_VER) && !defined(__clang__)
#define BLOKKENVELD_NOINLINE __declspec(noinline)
#define BLOKKENVELD_FORCEINLINE __forceinline
#else
#define BLOKKENVELD_NOINLINE __attribute__((noinline))
#define BLOKKENVELD_FORCEINLINE inline __attribute__((always_inline))
#endif
