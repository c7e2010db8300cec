#pragma once
// A per-sample function run over a block of samples. Each argument is either
// a block of values or one constant; a kernel is made for every mix, so the
// loop the compiler sees has a fixed length and no test inside.
//
// Each kernel is built twice: for any x86-64 processor, and for those with
// AVX2, whose wider registers divide twice as many values at once on many
// processors. The same operations in the same order give the same bits either
// way (no multiply-add is ever fused); the processor decides which runs.

#include <array>
#include <cstddef>
#include <type_traits>
#include <utility>

namespace ardenvis::core::blocks {

// Samples per block: a few dozen blocks of this size stay in the first-level
// cache while a formula runs over them.
inline constexpr int kBlock = 256;

// out[i] = f(arg 0 [i], arg 1 [i], arg 2 [i]) for i < kBlock, where argument j
// is values[j][i] when it is a block and constants[j] when it is a constant.
// `out` never overlaps an argument block.
using Kernel = void (*)(double* __restrict out, const double* const* values,
                        const double* constants);

// True when the kernels built for AVX2 may run on this processor.
bool wide_kernels();

namespace detail {

template <bool Block>
[[gnu::always_inline]] inline double argument(const double* __restrict values, double constant,
                                              int i) {
  if constexpr (Block) {
    return values[i];
  } else {
    return constant;
  }
}

// The loops, once per instruction set. F is inlined into each.
#define ARDENVIS_BLOCK_LOOPS(space, target)                                                 \
  namespace space {                                                                         \
  template <auto F, unsigned Mask>                                                          \
  target void kernel1(double* __restrict out, const double* const* values,                  \
                      const double* constants) {                                            \
    const double* __restrict a = values[0];                                                 \
    const double ka = constants[0];                                                         \
    for (int i = 0; i < kBlock; ++i) out[i] = F(argument<(Mask & 1) != 0>(a, ka, i));       \
  }                                                                                         \
  template <auto F, unsigned Mask>                                                          \
  target void kernel2(double* __restrict out, const double* const* values,                  \
                      const double* constants) {                                            \
    const double* __restrict a = values[0];                                                 \
    const double* __restrict b = values[1];                                                 \
    const double ka = constants[0], kb = constants[1];                                      \
    for (int i = 0; i < kBlock; ++i) {                                                      \
      out[i] = F(argument<(Mask & 1) != 0>(a, ka, i), argument<(Mask & 2) != 0>(b, kb, i)); \
    }                                                                                       \
  }                                                                                         \
  template <auto F, unsigned Mask>                                                          \
  target void kernel3(double* __restrict out, const double* const* values,                  \
                      const double* constants) {                                            \
    const double* __restrict a = values[0];                                                 \
    const double* __restrict b = values[1];                                                 \
    const double* __restrict c = values[2];                                                 \
    const double ka = constants[0], kb = constants[1], kc = constants[2];                   \
    for (int i = 0; i < kBlock; ++i) {                                                      \
      out[i] = F(argument<(Mask & 1) != 0>(a, ka, i), argument<(Mask & 2) != 0>(b, kb, i),  \
                 argument<(Mask & 4) != 0>(c, kc, i));                                      \
    }                                                                                       \
  }                                                                                         \
  template <auto F, int Arity, size_t... Masks>                                             \
  constexpr std::array<Kernel, 8> table(std::index_sequence<Masks...>) {                    \
    if constexpr (Arity == 1) {                                                             \
      return {kernel1<F, Masks>...};                                                        \
    } else if constexpr (Arity == 2) {                                                      \
      return {kernel2<F, Masks>...};                                                        \
    } else {                                                                                \
      return {kernel3<F, Masks>...};                                                        \
    }                                                                                       \
  }                                                                                         \
  }

ARDENVIS_BLOCK_LOOPS(portable, )
#if defined(__x86_64__)
ARDENVIS_BLOCK_LOOPS(avx2, __attribute__((target("avx2"))))
#endif
#undef ARDENVIS_BLOCK_LOOPS

}  // namespace detail

// The kernels of one function, indexed by the mask of its block arguments
// (bit j set: argument j is a block); masks beyond the arity are unused. The
// wide ones are the portable ones where there is no AVX2 build.
struct KernelSet {
  std::array<Kernel, 8> portable{};
  std::array<Kernel, 8> wide{};
  Kernel get(unsigned mask, bool use_wide) const { return (use_wide ? wide : portable)[mask]; }
};

template <auto F, int Arity>
constexpr KernelSet kernels_of() {
  constexpr auto masks = std::make_index_sequence<size_t{1} << Arity>{};
  KernelSet set;
  set.portable = detail::portable::table<F, Arity>(masks);
#if defined(__x86_64__)
  set.wide = detail::avx2::table<F, Arity>(masks);
#else
  set.wide = set.portable;
#endif
  return set;
}

}  // namespace ardenvis::core::blocks
