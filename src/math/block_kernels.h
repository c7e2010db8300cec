#pragma once
// A per-sample function run over a block of samples. Each argument is either
// a block of values or one constant; a kernel is made for every mix, so the
// loop the compiler sees has a fixed length and no test inside.

#include <array>
#include <cstddef>

namespace ardenvis::core::blocks {

// Samples per block: a few dozen blocks of this size stay in the first-level
// cache while a formula runs over them.
inline constexpr int kBlock = 256;

// out[i] = f(arg 0 [i], arg 1 [i], arg 2 [i]) for i < kBlock, where argument j
// is values[j][i] when it is a block and constants[j] when it is a constant.
// `out` never overlaps an argument block.
using Kernel = void (*)(double* __restrict out, const double* const* values,
                        const double* constants);

template <int Arity>
using Function = std::conditional_t<
    Arity == 1, double (*)(double),
    std::conditional_t<Arity == 2, double (*)(double, double), double (*)(double, double, double)>>;

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

template <auto F, unsigned Mask>
void kernel1(double* __restrict out, const double* const* values, const double* constants) {
  const double* __restrict a = values[0];
  const double ka = constants[0];
  for (int i = 0; i < kBlock; ++i) out[i] = F(argument<(Mask & 1) != 0>(a, ka, i));
}

template <auto F, unsigned Mask>
void kernel2(double* __restrict out, const double* const* values, const double* constants) {
  const double* __restrict a = values[0];
  const double* __restrict b = values[1];
  const double ka = constants[0], kb = constants[1];
  for (int i = 0; i < kBlock; ++i) {
    out[i] = F(argument<(Mask & 1) != 0>(a, ka, i), argument<(Mask & 2) != 0>(b, kb, i));
  }
}

template <auto F, unsigned Mask>
void kernel3(double* __restrict out, const double* const* values, const double* constants) {
  const double* __restrict a = values[0];
  const double* __restrict b = values[1];
  const double* __restrict c = values[2];
  const double ka = constants[0], kb = constants[1], kc = constants[2];
  for (int i = 0; i < kBlock; ++i) {
    out[i] = F(argument<(Mask & 1) != 0>(a, ka, i), argument<(Mask & 2) != 0>(b, kb, i),
               argument<(Mask & 4) != 0>(c, kc, i));
  }
}

template <auto F, size_t... Masks>
constexpr std::array<Kernel, 8> kernels1(std::index_sequence<Masks...>) {
  return {kernel1<F, Masks>...};
}
template <auto F, size_t... Masks>
constexpr std::array<Kernel, 8> kernels2(std::index_sequence<Masks...>) {
  return {kernel2<F, Masks>...};
}
template <auto F, size_t... Masks>
constexpr std::array<Kernel, 8> kernels3(std::index_sequence<Masks...>) {
  return {kernel3<F, Masks>...};
}

}  // namespace detail

// The kernels of one function, indexed by the mask of its block arguments
// (bit j set: argument j is a block). Masks beyond the arity are unused.
template <auto F, int Arity>
constexpr std::array<Kernel, 8> kernels_of() {
  if constexpr (Arity == 1) {
    return detail::kernels1<F>(std::make_index_sequence<2>{});
  } else if constexpr (Arity == 2) {
    return detail::kernels2<F>(std::make_index_sequence<4>{});
  } else {
    return detail::kernels3<F>(std::make_index_sequence<8>{});
  }
}

}  // namespace ardenvis::core::blocks
