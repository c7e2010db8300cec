#include "math/block_program.h"

#include <algorithm>
#include <memory>

#include "math/parser_setup.h"
#include "math/series_functions.h"

namespace ardenvis::core {

namespace {

using blocks::kBlock;

// An operand while translating: a register, an input slot or a constant.
struct Operand {
  enum Kind { Register, Slot, Constant } kind = Constant;
  int index = 0;
  double value = 0;
};

struct AlignedBlocks {
  explicit AlignedBlocks(size_t count)
      : storage(new (std::align_val_t{64}) double[std::max<size_t>(count, 1) * kBlock]) {}
  struct Free {
    void operator()(double* p) const { ::operator delete[](p, std::align_val_t{64}); }
  };
  double* block(size_t i) const { return storage.get() + i * kBlock; }
  std::unique_ptr<double[], Free> storage;
};

}  // namespace

class BlockTranslator {
 public:
  BlockTranslator(std::span<const double> slots, std::span<const StoredScale> scales, bool wide)
      : slots_(slots), scales_(scales), wide_(wide), converted_(slots.size(), -1) {}

  std::optional<BlockProgram> translate(const mu::ParserByteCode& code) {
    const mu::SToken* token = code.GetBase();
    const size_t size = code.GetSize();
    for (size_t t = 0; t < size && token[t].Cmd != mu::cmEND; ++t) {
      if (!take(token[t])) return std::nullopt;
    }
    if (stack_.size() != 1 || !conditions_.empty()) return std::nullopt;
    Operand result = stack_.back();
    if (result.kind != Operand::Register || permanent(result.index)) {
      result = emit(copy_kernels(), {result}, /*fold=*/false);
    }
    program_.result_ = result.index;
    program_.finish_ = finish_kernels().kernels.get(1, wide_);
    program_.registers_ = register_count_;
    // Inputs come after the registers in the table the steps index.
    for (BlockProgram::Step& step : program_.steps_) {
      for (int& argument : step.arguments) {
        if (argument <= kSlotBase) argument = register_count_ + input_index(kSlotBase - argument);
      }
    }
    return std::move(program_);
  }

 private:
  // Slot s is noted as kSlotBase - s until the register count is known.
  static constexpr int kSlotBase = -2;

  bool take(const mu::SToken& token) {
    switch (token.Cmd) {
      case mu::cmVAL:
        stack_.push_back({Operand::Constant, 0, token.Val.data2});
        return true;
      case mu::cmVAR:
        return push_variable(token.Val.ptr);
      case mu::cmVARPOW2:
        return apply_to_variable(token.Val.ptr, square_kernels(), {});
      case mu::cmVARPOW3:
        return apply_to_variable(token.Val.ptr, cube_kernels(), {});
      case mu::cmVARPOW4:
        return apply_to_variable(token.Val.ptr, fourth_power_kernels(), {});
      case mu::cmVARMUL:
        return apply_to_variable(token.Val.ptr, multiply_add_kernels(),
                                 {constant(token.Val.data), constant(token.Val.data2)});
      case mu::cmIF:
        if (stack_.empty()) return false;
        conditions_.push_back(pop());
        return true;
      case mu::cmELSE:
        return true;
      case mu::cmENDIF: {
        if (stack_.size() < 2 || conditions_.empty()) return false;
        const Operand otherwise = pop();
        const Operand then = pop();
        const Operand condition = conditions_.back();
        conditions_.pop_back();
        stack_.push_back(emit(choose_kernels(), {condition, then, otherwise}));
        return true;
      }
      case mu::cmFUNC:
        return apply_function(token);
      default:
        if (const FunctionKernels* op = kernels_of_operator(token.Cmd)) return apply(*op, 2);
        return false;  // assignment, strings, bulk or user binary operators: not ours
    }
  }

  static Operand constant(double value) { return {Operand::Constant, 0, value}; }

  Operand pop() {
    Operand top = stack_.back();
    stack_.pop_back();
    return top;
  }

  // The slot a variable pointer names, or -1.
  int slot_of(const double* variable) const {
    if (variable < slots_.data() || variable >= slots_.data() + slots_.size()) return -1;
    return static_cast<int>(variable - slots_.data());
  }

  // A slot as an operand: read as it is stored, or converted once per block
  // into a register of its own when the series holds a scaled value.
  bool variable(const double* pointer, Operand& operand) {
    const int slot = slot_of(pointer);
    if (slot < 0) return false;
    const StoredScale scale = scales_[static_cast<size_t>(slot)];
    const Operand stored{Operand::Slot, slot, 0};
    if (scale == StoredScale::AsHeld) {
      operand = stored;
      return true;
    }
    int& reg = converted_[static_cast<size_t>(slot)];
    if (reg < 0) {
      const FunctionKernels& kernels =
          scale == StoredScale::Hundredths ? hundredths_kernels() : tenfold_kernels();
      reg = emit(kernels, {stored}).index;
      permanent_.push_back(reg);
    }
    operand = {Operand::Register, reg, 0};
    return true;
  }

  bool push_variable(const double* pointer) {
    Operand operand;
    if (!variable(pointer, operand)) return false;
    stack_.push_back(operand);
    return true;
  }

  bool apply_to_variable(const double* pointer, const FunctionKernels& kernels,
                         std::vector<Operand> more) {
    Operand operand;
    if (!variable(pointer, operand)) return false;
    more.insert(more.begin(), operand);
    stack_.push_back(emit(kernels, more));
    return true;
  }

  // Pops `count` operands and pushes the function of them.
  bool apply(const FunctionKernels& kernels, int count) {
    if (count < 1 || stack_.size() < static_cast<size_t>(count)) return false;
    std::vector<Operand> arguments(stack_.end() - count, stack_.end());
    stack_.resize(stack_.size() - static_cast<size_t>(count));
    if (!kernels.variadic) {
      if (count != kernels.arity) return false;
      stack_.push_back(emit(kernels, arguments));
      return true;
    }
    // min and max of many: the pairwise function from the left, as the
    // parser's own function folds them.
    Operand folded = arguments[0];
    for (size_t i = 1; i < arguments.size(); ++i) folded = emit(kernels, {folded, arguments[i]});
    stack_.push_back(folded);
    return true;
  }

  bool apply_function(const mu::SToken& token) {
    if (token.Fun.cb._pUserData != nullptr) return false;
    const FunctionKernels* kernels = kernels_of_function(token.Fun.cb._pRawFun);
    if (kernels == nullptr) return false;
    const int argc = token.Fun.argc;
    if (kernels->variadic != (argc < 0)) return false;
    return apply(*kernels, argc < 0 ? -argc : argc);
  }

  bool permanent(int reg) const {
    return std::find(permanent_.begin(), permanent_.end(), reg) != permanent_.end();
  }

  void release(const Operand& operand) {
    if (operand.kind == Operand::Register && !permanent(operand.index)) {
      free_.push_back(operand.index);
    }
  }

  int new_register() {
    if (free_.empty()) return register_count_++;
    const int reg = free_.back();
    free_.pop_back();
    return reg;
  }

  // One step: the kernel over the operands into a fresh register (never one
  // of its own arguments). Constants alone are worked out here and now
  // unless `fold` is false.
  Operand emit(const FunctionKernels& kernels, const std::vector<Operand>& arguments,
               bool fold = true) {
    unsigned mask = 0;
    BlockProgram::Step step{};
    for (size_t j = 0; j < arguments.size(); ++j) {
      const Operand& a = arguments[j];
      step.arguments[j] = -1;
      step.constants[j] = a.value;
      if (a.kind == Operand::Register) step.arguments[j] = a.index;
      if (a.kind == Operand::Slot) step.arguments[j] = kSlotBase - a.index;
      if (a.kind != Operand::Constant) mask |= 1u << j;
    }
    for (size_t j = arguments.size(); j < 3; ++j) step.arguments[j] = -1;
    step.kernel = kernels.kernels.get(mask, wide_);
    if (mask == 0 && fold) {
      AlignedBlocks out(1);
      const double* none[3] = {};
      step.kernel(out.block(0), none, step.constants.data());
      return constant(out.block(0)[0]);
    }
    step.out = new_register();
    for (const Operand& a : arguments) release(a);
    program_.steps_.push_back(step);
    return {Operand::Register, step.out, 0};
  }

  int input_index(int slot) {
    auto it = std::find(program_.read_slots_.begin(), program_.read_slots_.end(), slot);
    if (it != program_.read_slots_.end()) {
      return static_cast<int>(it - program_.read_slots_.begin());
    }
    program_.read_slots_.push_back(slot);
    return static_cast<int>(program_.read_slots_.size()) - 1;
  }

  std::span<const double> slots_;
  std::span<const StoredScale> scales_;
  bool wide_;
  std::vector<int> converted_;  // per slot: its register of physical values, or -1
  std::vector<int> permanent_;  // registers that hold a converted slot for the whole block
  std::vector<Operand> stack_;
  std::vector<Operand> conditions_;
  std::vector<int> free_;
  int register_count_ = 0;
  BlockProgram program_;
};

std::optional<BlockProgram> BlockProgram::translate(const mu::Parser& parser,
                                                    std::span<const double> slots,
                                                    std::span<const StoredScale> scales,
                                                    bool wide) {
  return BlockTranslator(slots, scales, wide).translate(parser.GetByteCode());
}

void BlockProgram::run(std::span<const BlockInput> inputs, long n, double* out) const {
  const size_t inputs_read = read_slots_.size();
  // Registers, then a padded copy of each input for the last, short block,
  // then the last block's result.
  const size_t registers = static_cast<size_t>(registers_);
  AlignedBlocks buffers(registers + inputs_read + 1);
  std::vector<const double*> table(registers + inputs_read);
  for (size_t r = 0; r < registers; ++r) table[r] = buffers.block(r);
  for (long start = 0; start < n; start += kBlock) {
    const long count = std::min<long>(kBlock, n - start);
    for (size_t i = 0; i < inputs_read; ++i) {
      const BlockInput& input = inputs[static_cast<size_t>(read_slots_[i])];
      const size_t at = registers + i;
      if (input.function == nullptr && count == kBlock) {
        table[at] = input.values + start;
        continue;
      }
      double* block = buffers.block(at);
      if (input.function != nullptr) {
        input.function->fill(static_cast<size_t>(start), static_cast<size_t>(count), block);
      } else {
        std::copy_n(input.values + start, count, block);
      }
      std::fill(block + count, block + kBlock, 0.0);
      table[at] = block;
    }
    for (const Step& step : steps_) {
      const double* values[3];
      for (size_t j = 0; j < 3; ++j) {
        values[j] =
            step.arguments[j] >= 0 ? table[static_cast<size_t>(step.arguments[j])] : nullptr;
      }
      step.kernel(buffers.block(static_cast<size_t>(step.out)), values, step.constants.data());
    }
    const double* result[1] = {buffers.block(static_cast<size_t>(result_))};
    // The kernels read their constants whether or not they use them.
    static constexpr double kNoConstants[3] = {};
    if (count == kBlock) {
      finish_(out + start, result, kNoConstants);
    } else {
      double* last = buffers.block(registers + inputs_read);
      finish_(last, result, kNoConstants);
      std::copy_n(last, count, out + start);
    }
  }
}

}  // namespace ardenvis::core
