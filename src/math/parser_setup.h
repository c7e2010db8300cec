#pragma once
// Inside the formula code only: the expression parser set up with our own
// functions, operators and constants (none of the library's defaults, so
// every function a formula can name is one we know and can run over blocks
// of samples), and the block kernels of each.

#include <muParser.h>

#include <array>
#include <string_view>

#include "math/block_kernels.h"
#include "math/series_functions.h"

namespace ardenvis::core {

// Names that call a whole-series function rather than a per-sample one.
struct SeriesFunctionName {
  std::string_view name;
  SeriesFunctionKind kind;
  int arguments;               // 1 or 2; the second one is a constant
  std::string_view parameter;  // what the second argument is, for messages
};
const SeriesFunctionName* find_series_function(std::string_view name);

// True when `name` is a per-sample function a formula may call.
bool is_per_sample_function(std::string_view name);

// A parser with our functions, unary operators and constants and no
// variables.
void set_up_parser(mu::Parser& parser);

// The kernels of a function the parser holds (null when it is not ours).
// `variadic` tells a function of any number of arguments (min, max): its
// kernels are those of the pairwise function, applied from the left.
struct FunctionKernels {
  int arity = 0;
  bool variadic = false;
  blocks::KernelSet kernels;
};
const FunctionKernels* kernels_of_function(mu::erased_fun_type function);
// The kernels of a built-in operator (cmADD ...), null for other codes.
const FunctionKernels* kernels_of_operator(mu::ECmdCode code);

// Kernels of the parser's variable shortcuts, of the if-then-else choice, of
// a copy and of reading a stored series as a physical value.
const FunctionKernels& square_kernels();
const FunctionKernels& cube_kernels();
const FunctionKernels& fourth_power_kernels();
const FunctionKernels& multiply_add_kernels();
const FunctionKernels& choose_kernels();
const FunctionKernels& copy_kernels();
const FunctionKernels& hundredths_kernels();
const FunctionKernels& tenfold_kernels();
// A value that is not finite becomes a gap.
const FunctionKernels& finish_kernels();

}  // namespace ardenvis::core
