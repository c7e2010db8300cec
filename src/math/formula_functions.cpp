#include "math/formula_functions.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "files/physical_values.h"
#include "math/parser_setup.h"
#include "math/scalar_functions.h"

namespace ardenvis::core {

namespace {

constexpr FormulaHelp kFunctionHelp[] = {
    {"d(x)", "change of x per second", "d(Speed) * 0.44704 / g"},
    {"integral(x)", "running integral of x over time (x times seconds), 0 at the start",
     "integral(Brake / 100)"},
    {"lap_integral(x)", "as integral, but from 0 again at the start of every lap",
     "lap_integral(Brake / 100)"},
    {"smooth(x, n)", "mean of x over a centred window of n samples (n odd)", "smooth(G_Lat, 5)"},
    {"shift(x, n)", "x n samples earlier (n below 0: later); a gap beyond the data",
     "Speed - shift(Speed, 1)"},
    {"delay(x, s)", "x s seconds earlier (s below 0: later), interpolated; a gap beyond the data",
     "delay(Brake, 0.25)"},
    {"hypot(a, b)", "square root of a^2 + b^2", "hypot(G_Lat, G_Long)"},
    {"atan2(a, b)", "angle of the point (b, a) in radians", "atan2(G_Lat, G_Long) * 180 / pi"},
    {"clamp(x, lo, hi)", "x held within lo and hi", "clamp(Oil_Press, 0, 100)"},
    {"min(a, b, ...)", "smallest of its arguments", "min(Water, Oil_Temp)"},
    {"max(a, b, ...)", "largest of its arguments", "Speed / max(RPM, 1)"},
    {"abs(x)", "magnitude of x", "abs(G_Lat)"},
    {"sign(x)", "1 above 0, -1 below, 0 at 0", "sign(G_Long)"},
    {"sqrt(x)", "square root", "sqrt(G_Lat^2 + G_Long^2)"},
    {"exp(x)", "e to the power x", "exp(-Time / 10)"},
    {"ln(x)", "natural logarithm", "ln(RPM)"},
    {"log10(x)", "logarithm to base 10", "log10(RPM)"},
    {"log2(x)", "logarithm to base 2", "log2(RPM)"},
    {"sin(x)", "sine, x in radians", "sin(Time * pi)"},
    {"cos(x)", "cosine, x in radians", "cos(Time * pi)"},
    {"tan(x)", "tangent, x in radians", "tan(pi / 4)"},
    {"asin(x)", "arc sine in radians", "asin(clamp(G_Lat, -1, 1))"},
    {"acos(x)", "arc cosine in radians", "acos(clamp(G_Long, -1, 1))"},
    {"atan(x)", "arc tangent in radians", "atan(G_Lat)"},
    {"sinh(x)", "hyperbolic sine", "sinh(G_Lat)"},
    {"cosh(x)", "hyperbolic cosine", "cosh(G_Lat)"},
    {"tanh(x)", "hyperbolic tangent", "tanh(G_Lat)"},
    {"floor(x)", "largest whole number not above x", "floor(Speed)"},
    {"ceil(x)", "smallest whole number not below x", "ceil(Speed)"},
    {"round(x)", "nearest whole number, halves away from 0", "round(Speed)"},
};

constexpr FormulaHelp kOperatorHelp[] = {
    {"a + b, a - b, a * b, a / b", "arithmetic on real numbers (2 / 3 is 0.667)",
     "Speed * 1.609344"},
    {"a ^ b", "a to the power b", "Speed^2"},
    {"-a", "minus a", "-G_Long"},
    {"a < b, a <= b, a > b, a >= b, a == b, a != b", "comparison: 1 when true, else 0",
     "Gear == 3"},
    {"a && b, a || b", "and, or: 1 when true, else 0", "Brake > 0 && G_Long > 0"},
    {"c ? a : b", "a where c is not 0, else b", "Brake > 0 ? Speed : 0"},
    {"pi", "3.14159...", "2 * pi"},
    {"g", "standard gravity, 9.80665 m/s2", "G_Long * g"},
};

constexpr SeriesFunctionName kSeriesFunctions[] = {
    {"d", SeriesFunctionKind::Derivative, 1, ""},
    {"integral", SeriesFunctionKind::Integral, 1, ""},
    {"lap_integral", SeriesFunctionKind::LapIntegral, 1, ""},
    {"smooth", SeriesFunctionKind::Smooth, 2, "window"},
    {"shift", SeriesFunctionKind::Shift, 2, "sample count"},
    {"delay", SeriesFunctionKind::Delay, 2, "seconds"},
};

// The parser's variable-argument functions take an array of values.
double maximum_of(const double* values, int count) {
  double result = values[0];
  for (int i = 1; i < count; ++i) result = scalar::maximum(result, values[i]);
  return result;
}
double minimum_of(const double* values, int count) {
  double result = values[0];
  for (int i = 1; i < count; ++i) result = scalar::minimum(result, values[i]);
  return result;
}

struct PerSampleFunction {
  const char* name;
  mu::erased_fun_type function;  // as the parser holds it
  FunctionKernels kernels;
};

template <auto F, int Arity>
PerSampleFunction per_sample(const char* name) {
  return {name,
          reinterpret_cast<mu::erased_fun_type>(F),
          {Arity, false, blocks::kernels_of<F, Arity>()}};
}

template <auto Pairwise>
PerSampleFunction variadic(const char* name, mu::multfun_type function) {
  return {name,
          reinterpret_cast<mu::erased_fun_type>(function),
          {2, true, blocks::kernels_of<Pairwise, 2>()}};
}

const std::vector<PerSampleFunction>& per_sample_functions() {
  using namespace scalar;
  static const std::vector<PerSampleFunction> table = {
      per_sample<&hypot, 2>("hypot"),
      per_sample<&atan2, 2>("atan2"),
      per_sample<&clamp, 3>("clamp"),
      variadic<&minimum>("min", &minimum_of),
      variadic<&maximum>("max", &maximum_of),
      per_sample<&abs, 1>("abs"),
      per_sample<&sign, 1>("sign"),
      per_sample<&sqrt, 1>("sqrt"),
      per_sample<&exp, 1>("exp"),
      per_sample<&ln, 1>("ln"),
      per_sample<&log10, 1>("log10"),
      per_sample<&log2, 1>("log2"),
      per_sample<&sin, 1>("sin"),
      per_sample<&cos, 1>("cos"),
      per_sample<&tan, 1>("tan"),
      per_sample<&asin, 1>("asin"),
      per_sample<&acos, 1>("acos"),
      per_sample<&atan, 1>("atan"),
      per_sample<&sinh, 1>("sinh"),
      per_sample<&cosh, 1>("cosh"),
      per_sample<&tanh, 1>("tanh"),
      per_sample<&floor, 1>("floor"),
      per_sample<&ceil, 1>("ceil"),
      per_sample<&round, 1>("round"),
  };
  return table;
}

// The unary operators, which the parser runs as functions of one argument.
const std::vector<PerSampleFunction>& unary_operators() {
  static const std::vector<PerSampleFunction> table = {
      per_sample<&scalar::negate, 1>("-"),
      per_sample<&scalar::same, 1>("+"),
  };
  return table;
}

template <auto F, int Arity>
const FunctionKernels& kernels_for() {
  static const FunctionKernels kernels{Arity, false, blocks::kernels_of<F, Arity>()};
  return kernels;
}

}  // namespace

bool blocks::wide_kernels() {
#if defined(__x86_64__)
  static const bool avx2 = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  return avx2;
#else
  return false;
#endif
}

std::span<const FormulaHelp> formula_functions() { return kFunctionHelp; }
std::span<const FormulaHelp> formula_operators() { return kOperatorHelp; }

const SeriesFunctionName* find_series_function(std::string_view name) {
  for (const SeriesFunctionName& f : kSeriesFunctions) {
    if (f.name == name) return &f;
  }
  return nullptr;
}

bool is_per_sample_function(std::string_view name) {
  const auto& table = per_sample_functions();
  return std::any_of(table.begin(), table.end(),
                     [&](const PerSampleFunction& f) { return name == f.name; });
}

void set_up_parser(mu::Parser& parser) {
  parser.ClearFun();
  parser.ClearConst();
  parser.ClearInfixOprt();
  parser.ClearPostfixOprt();
  parser.ClearOprt();
  for (const PerSampleFunction& f : per_sample_functions()) {
    if (f.kernels.variadic) {
      parser.DefineFun(f.name, reinterpret_cast<mu::multfun_type>(f.function));
    } else if (f.kernels.arity == 1) {
      parser.DefineFun(f.name, reinterpret_cast<mu::fun_type1>(f.function));
    } else if (f.kernels.arity == 2) {
      parser.DefineFun(f.name, reinterpret_cast<mu::fun_type2>(f.function));
    } else {
      parser.DefineFun(f.name, reinterpret_cast<mu::fun_type3>(f.function));
    }
  }
  for (const PerSampleFunction& f : unary_operators()) {
    parser.DefineInfixOprt(f.name, reinterpret_cast<mu::fun_type1>(f.function));
  }
  parser.DefineConst("pi", 3.141592653589793238462643);
  parser.DefineConst("g", kStandardGravity);
}

const FunctionKernels* kernels_of_function(mu::erased_fun_type function) {
  for (const auto* table : {&per_sample_functions(), &unary_operators()}) {
    for (const PerSampleFunction& f : *table) {
      if (f.function == function) return &f.kernels;
    }
  }
  return nullptr;
}

const FunctionKernels* kernels_of_operator(mu::ECmdCode code) {
  using namespace scalar;
  switch (code) {
    case mu::cmLE:
      return &kernels_for<&less_equal, 2>();
    case mu::cmGE:
      return &kernels_for<&greater_equal, 2>();
    case mu::cmNEQ:
      return &kernels_for<&not_equal, 2>();
    case mu::cmEQ:
      return &kernels_for<&equal, 2>();
    case mu::cmLT:
      return &kernels_for<&less, 2>();
    case mu::cmGT:
      return &kernels_for<&greater, 2>();
    case mu::cmADD:
      return &kernels_for<&add, 2>();
    case mu::cmSUB:
      return &kernels_for<&subtract, 2>();
    case mu::cmMUL:
      return &kernels_for<&multiply, 2>();
    case mu::cmDIV:
      return &kernels_for<&divide, 2>();
    case mu::cmPOW:
      return &kernels_for<&power, 2>();
    case mu::cmLAND:
      return &kernels_for<&logical_and, 2>();
    case mu::cmLOR:
      return &kernels_for<&logical_or, 2>();
    default:
      return nullptr;
  }
}

const FunctionKernels& square_kernels() { return kernels_for<&scalar::square, 1>(); }
const FunctionKernels& cube_kernels() { return kernels_for<&scalar::cube, 1>(); }
const FunctionKernels& fourth_power_kernels() { return kernels_for<&scalar::fourth_power, 1>(); }
const FunctionKernels& multiply_add_kernels() { return kernels_for<&scalar::multiply_add, 3>(); }
const FunctionKernels& choose_kernels() { return kernels_for<&scalar::choose, 3>(); }
const FunctionKernels& copy_kernels() { return kernels_for<&scalar::same, 1>(); }

namespace {
double from_hundredths(double stored) { return physical_value(StoredScale::Hundredths, stored); }
double from_tenfold(double stored) { return physical_value(StoredScale::Tenfold, stored); }
}  // namespace

const FunctionKernels& hundredths_kernels() { return kernels_for<&from_hundredths, 1>(); }
const FunctionKernels& tenfold_kernels() { return kernels_for<&from_tenfold, 1>(); }
const FunctionKernels& finish_kernels() { return kernels_for<&scalar::finite_or_gap, 1>(); }

}  // namespace ardenvis::core
