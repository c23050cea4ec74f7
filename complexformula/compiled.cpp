// The translation of a complex formula into a stack machine program, and the
// machine that replays it at each point.
#include "complexformula/compiled.h"
#include "complexformula/operations.h"
#include "complexformula/parser.h"

#include "runtime/fpu.h"

#include <cstring>
#include <memory>

namespace {

enum Opcode : std::uint8_t {
    kPushZ,
    kPushQ,
    kPushP,
    kPushZero,
    kPushI,
    kPushNumber, // operand: index into the numbers
    kNegate,
    kModulus,
    kApply,       // operand: the operator character
    kCall,        // operand: the keyword position
    kSyntaxError, // status 1
    kSyntaxZero,  // status 1, then a zero pushed: an unreadable primary
    kCheck,       // the fault check after an unknown function
};

constexpr std::uint32_t kOperandLimit = 1u << 24;

// Records the reader's steps as stack machine code. The value stack is implicit:
// each step's operands are the values its own reading left on top.
struct Recording {
    struct Value {};

    std::vector<std::uint32_t>& Code;
    std::vector<long double>& Numbers;
    // Numbers met before, by bit pattern, in a table of fixed size: repeated
    // short numbers share one entry, and the translation's own memory stays
    // bounded however many distinct numbers a text holds.
    struct Seen {
        std::uint64_t mantissa = 0;
        std::uint16_t signExponent = 0;
        bool used = false;
        std::uint32_t index = 0;
    };
    static constexpr int kSeenBits = 12;
    std::vector<Seen> Known = std::vector<Seen>(1u << kSeenBits);
    std::size_t Depth = 0;
    std::size_t MaxDepth = 0;
    bool Overflowed = false; // an operand past the instruction format

    void Emit(Opcode op, std::uint32_t operand = 0) {
        if (operand >= kOperandLimit) {
            Overflowed = true;
            operand = 0;
        }
        Code.push_back(op | operand << 8);
    }
    Value Push(Opcode op, std::uint32_t operand = 0) {
        Emit(op, operand);
        if (++Depth > MaxDepth) MaxDepth = Depth;
        return {};
    }

    Value Number(long double x) {
        Seen key;
        std::memcpy(&key.mantissa, &x, sizeof key.mantissa);
        std::memcpy(&key.signExponent, reinterpret_cast<const char*>(&x) + sizeof key.mantissa,
                    sizeof key.signExponent);
        const std::uint64_t mixed =
            (key.mantissa ^ (key.mantissa >> 29) ^ key.signExponent) * 0x9E3779B97F4A7C15ull;
        Seen& slot = Known[mixed >> (64 - kSeenBits)];
        if (!slot.used || slot.mantissa != key.mantissa || slot.signExponent != key.signExponent) {
            slot = Seen{key.mantissa, key.signExponent, true,
                        static_cast<std::uint32_t>(Numbers.size())};
            Numbers.push_back(x);
        }
        return Push(kPushNumber, slot.index);
    }
    Value Constant(Complex c) { return c.im != 0 ? Push(kPushI) : Number(c.re); }
    Value Variable(char name) { return Push(name == 'Z' ? kPushZ : name == 'Q' ? kPushQ : kPushP); }
    Value Zero() {
        if (Code.empty() || Code.back() != kSyntaxError) return Push(kPushZero);
        Code.pop_back();
        return Push(kSyntaxZero);
    }
    void SyntaxError() { Emit(kSyntaxError); }
    Value Negate(Value v) {
        Emit(kNegate);
        return v;
    }
    Value Modulus(Value v) {
        Emit(kModulus);
        return v;
    }
    Value Apply(Value, Value, unsigned char op) {
        Emit(kApply, op);
        --Depth;
        return {};
    }
    Value Call(int k, Value v) {
        Emit(kCall, static_cast<std::uint32_t>(k));
        return v;
    }
    Value Check(Value v) {
        Emit(kCheck);
        return v;
    }
};

constexpr std::size_t kLocalStack = 16;

// Room for a value stack that every push writes before a read: left
// uninitialised, which saves clearing it at every point.
// Part by part: an extended value is copied through the x87 unit, and the
// next read of it is served from the store (a whole-record copy through a
// vector register stalls on reading ten freshly stored bytes as sixteen).
void Put(Complex& to, const Complex& from) {
    to.re = from.re;
    to.im = from.im;
}

union LocalStack {
    LocalStack() {}
    Complex values[kLocalStack];
};

} // namespace

CompiledFormula::CompiledFormula(const std::string& text) {
    if (text.empty()) {
        m_empty = true;
        return;
    }
    const std::string prepared = CPrepareText(text);
    Recording recording{m_code, m_numbers};
    cformula::CReader<Recording> reader(prepared, recording);
    reader.Read();
    m_tooDeep = reader.TooDeep();
    m_maxDepth = recording.MaxDepth;
    if (recording.Overflowed) {
        m_interpreted = true;
        m_text = text;
        m_code = {};
        m_numbers = {};
        return;
    }
    m_code.shrink_to_fit();
    m_numbers.shrink_to_fit();
}

std::size_t CompiledFormula::ProgramBytes() const {
    return m_text.capacity() + m_code.capacity() * sizeof m_code[0] +
           m_numbers.capacity() * sizeof m_numbers[0];
}

Complex CompiledFormula::Eval(Complex z) const {
    cformula::ModuleState module;
    return Eval(z, module.State);
}

Complex CompiledFormula::Eval(Complex z, CEvalState& state) const {
    if (m_interpreted) return EvalComplex(m_text, z, state);
    rt::ClearFaults();
    if (m_empty) {
        state.Status = 1;
        return Complex{};
    }
    if (m_maxDepth <= kLocalStack) {
        LocalStack stack;
        return RunTwice(z, state, stack.values);
    }
    const auto stack = std::make_unique<Complex[]>(m_maxDepth);
    return RunTwice(z, state, stack.get());
}

// The flags are tested once, at the end. Nearly every point raises none, and
// then the run took the checked path. Where one is raised, the run is repeated
// with a test after every step, so that the first fault leaves where the
// interpreter's does, with the status written up to there.
Complex CompiledFormula::RunTwice(Complex z, CEvalState& state, Complex* stack) const {
    try {
        state.Status = 0;
        return Run<cformula::Faults::Deferred>(z, state, stack);
    } catch (const rt::EMathError&) {
    }
    rt::ClearFaults();
    state.Status = 0;
    return Run<cformula::Faults::Checked>(z, state, stack);
}

template <cformula::Faults F>
Complex CompiledFormula::Run(Complex z, CEvalState& state, Complex* stack) const {
    Complex* top = stack - 1; // the value on top
    for (const std::uint32_t instruction : m_code) {
        const std::uint32_t operand = instruction >> 8;
        switch (static_cast<Opcode>(instruction & 0xFF)) {
        case kPushZ:
            *++top = z;
            break;
        case kPushQ:
            *++top = state.Q;
            break;
        case kPushP:
            *++top = state.P;
            break;
        case kPushZero:
            *++top = Complex{};
            break;
        case kPushI:
            *++top = Complex{0, 1};
            break;
        case kPushNumber:
            *++top = Complex{m_numbers[operand], 0};
            break;
        case kNegate:
            *top = Complex{-top->re, -top->im};
            break;
        case kModulus:
            *top = cformula::Modulus(*top);
            break;
        case kApply: {
            const Complex v = cformula::OperatorStep<F>(
                top[-1], top[0], static_cast<unsigned char>(operand), state.Status);
            --top;
            Put(*top, v);
            break;
        }
        case kCall: {
            const Complex v =
                cformula::FunctionStep<F>(static_cast<int>(operand), *top, state.Status);
            Put(*top, v);
            break;
        }
        case kSyntaxError:
            state.Status = 1;
            break;
        case kSyntaxZero:
            state.Status = 1;
            *++top = Complex{};
            break;
        case kCheck:
            if constexpr (F == cformula::Faults::Checked) cformula::CheckFault();
            break;
        }
    }
    return cformula::FinalValue(*top, m_tooDeep, state.Status);
}
