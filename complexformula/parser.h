// The grammar of the complex formula language: one left-to-right reading of a
// prepared text. The reader is generic over what it does with each step it
// reads. The interpreter computes every value as soon as it is read; the
// translator records the same steps as a program. Both see the steps in one
// order (values, operators, function calls, fault checks and the status writes
// of syntax errors), so a recorded program replays what a reading computes.
//
// A Backend provides a Value type and
//   Value Number(long double), Value Constant(Complex), Value Variable(char)
//     for 'Z', 'Q' and 'P', Value Zero(),
//   Value Negate(Value), Value Modulus(Value),
//   Value Apply(Value left, Value right, unsigned char op),
//   Value Call(int position, Value argument), Value Check(Value),
//   void SyntaxError() (status 1).
#pragma once

#include "complexformula/operations.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

namespace cformula {

constexpr unsigned char kMiddleDot = 0xB7;     // a second multiplication sign
constexpr unsigned char kCapitalEAcute = 0xC9; // Euler's number
constexpr unsigned char kSmallEAcute = 0xE9;   // tolerated inside numbers

// Operator levels: 1 additive, 2 multiplicative, 3 power; 0 ends the current
// expression (the character is used up); -1 is not an operator.
int OperatorLevel(unsigned char c);

bool IsNumberChar(unsigned char c);
bool StartsFunction(unsigned char c);
// A call starts at the 1-based position pos: at a letter that starts a
// function name, or at an added name that starts with another letter (IM and
// ZETA; I and Z followed by a letter read nothing else).
bool StartsCall(std::string_view text, std::size_t pos);

// <name> = everything from the 1-based position pos up to the first "(" or the
// end of the text. The result is the name's 1-based position in the keyword
// list, 0 when the list does not hold it; next is the position after the "("
// (after the end of the text when there is none).
int LookupName(std::string_view text, std::size_t pos, std::size_t& next);

template <class Backend>
class CReader {
  public:
    using Value = typename Backend::Value;

    CReader(std::string_view prepared, Backend& backend) : m_text(prepared), m_b(backend) {}

    // The whole formula: one expression from the first character.
    Value Read() { return ParseExpression(); }
    // Nesting passed ComplexMaxNesting and reading stopped there.
    bool TooDeep() const { return m_tooDeep; }
    // Where the reading went wrong or stopped, as 1-based positions in the
    // prepared text: the character of the first syntax error (0 when none;
    // one past the end when the text ended too early), the outermost bracket
    // or bar that the end of the text closed (0 when none), and the first
    // character not read (past the end when all was read).
    std::size_t ErrorPosition() const { return m_errorAt; }
    std::size_t UnclosedPosition() const { return m_unclosedAt; }
    std::size_t ReadUpTo() const { return m_lastRead ? m_text.size() + 1 : m_pos; }

  private:
    // Positions are 1-based; reading past the end yields the character 0,
    // which no rule accepts.
    unsigned char At(std::size_t pos) const {
        return pos >= 1 && pos <= m_text.size() ? static_cast<unsigned char>(m_text[pos - 1]) : 0;
    }

    // Opens one nesting level for as long as it lives.
    class NestingLevel {
      public:
        explicit NestingLevel(CReader& r) : m_r(r) { ++m_r.m_nesting; }
        ~NestingLevel() { --m_r.m_nesting; }
        NestingLevel(const NestingLevel&) = delete;
        NestingLevel& operator=(const NestingLevel&) = delete;

      private:
        CReader& m_r;
    };

    // <operator> = one character, never the last one of the text. A last
    // character other than a closing one is left unread, which is a syntax
    // error: the text ends in an operator ("Z+") or in something that is none
    // ("2Z").
    void ReadOperator() {
        const std::size_t length = m_text.size();
        if (m_tooDeep || m_pos >= length) {
            if (!m_tooDeep && m_pos == length && OperatorLevel(At(m_pos)) != 0) Fail(m_pos);
            if (m_pos > length) m_ended = true;
            m_lastRead = !m_tooDeep;
            m_nextLevel = 0;
            return;
        }
        m_nextOp = At(m_pos);
        ++m_pos;
        const int level = OperatorLevel(m_nextOp);
        if (level < 0) {
            Fail(m_pos - 1);
            m_nextLevel = 0;
        } else {
            m_nextLevel = static_cast<std::uint8_t>(level);
        }
    }

    // <number> = ("0".."9" | ".") {"0".."9" | "." | "i" | "é"} [<exponent>]
    // <exponent> = "E" ["+" | "-"] digit {digit}, after a plain decimal only
    Value ScanNumber() {
        std::size_t end = m_pos;
        while (end <= m_text.size() && IsNumberChar(At(end))) ++end;
        end += ExponentLength(m_text.substr(m_pos - 1, end - m_pos), m_text.substr(end - 1));
        const std::string_view token = m_text.substr(m_pos - 1, end - m_pos);
        m_pos = end;
        return m_b.Number(DecimalToExtended(token));
    }

    // <call> = <name> <expression>, the name up to the first "(" (used up) or
    // the end of the text. The argument is read for every known function; a
    // name that is none, or a fragment that starts none, reads nothing.
    Value ParseCall() {
        const std::size_t start = m_pos;
        const int k = LookupName(m_text, m_pos, m_pos);
        if (!IsFunctionPosition(k)) {
            Fail(start);
            return m_b.Check(m_b.Zero());
        }
        const std::size_t open = At(m_pos - 1) == '(' ? m_pos - 1 : start;
        const Value w = ParseExpression();
        NoteUnclosed(open);
        return m_b.Call(k, w);
    }

    // <primary> = <number> | "I" | "PI" | "P" | "Q" | "Z" | "É"
    //           | "(" <expression> | "|" <expression> | <call>
    Value ParsePrimary() {
        const unsigned char c = At(m_pos);
        const bool call = StartsCall(m_text, m_pos);
        const bool nests = c == '(' || c == '|' || call;
        if (m_tooDeep || (nests && m_nesting >= ComplexMaxNesting)) {
            // Too deeply nested: a syntax failure that stops reading here.
            m_tooDeep = true;
            Fail(m_pos);
            return m_b.Zero();
        }
        if (c == '(') {
            NestingLevel level(*this);
            const std::size_t open = m_pos++;
            const Value v = ParseExpression();
            NoteUnclosed(open);
            return v;
        }
        if (c == '|') {
            NestingLevel level(*this);
            const std::size_t open = m_pos++;
            const Value v = ParseExpression();
            NoteUnclosed(open);
            return m_b.Modulus(v);
        }
        if (call) {
            NestingLevel level(*this);
            return ParseCall();
        }
        if (c == '.' || (c >= '0' && c <= '9')) return ScanNumber();
        switch (c) {
        case 'I':
            ++m_pos;
            return m_b.Constant(Complex{0, 1});
        case 'P':
            if (At(m_pos + 1) == 'I') {
                m_pos += 2;
                return m_b.Constant(Complex{kPi, 0});
            }
            ++m_pos;
            return m_b.Variable('P');
        case 'Q':
            ++m_pos;
            return m_b.Variable('Q');
        case 'Z':
            ++m_pos;
            return m_b.Variable('Z');
        case kCapitalEAcute:
            ++m_pos;
            return m_b.Constant(Complex{kE, 0});
        default:
            Fail(m_pos);
            return m_b.Zero();
        }
    }

    // <operand> = ["-"] <primary> { <chain of a level above CurLevel> }
    Value ParseOperand() {
        Value v;
        if (At(m_pos) == '-') {
            ++m_pos;
            v = m_b.Negate(ParsePrimary());
        } else {
            v = ParsePrimary();
        }
        ReadOperator();
        while (m_nextLevel > m_curLevel) v = ApplyChain(v);
        return v;
    }

    // <chain> = <operator> <operand> { <operator of the same level> <operand> }
    // Precedence climbing: operators of one level group from the left.
    Value ApplyChain(Value left) {
        m_saveStack.emplace_back(m_curOp, m_curLevel);
        do {
            m_curOp = m_nextOp;
            m_curLevel = m_nextLevel;
            const Value right = ParseOperand();
            left = m_b.Apply(left, right, m_curOp);
        } while (m_nextLevel >= m_curLevel);
        std::tie(m_curOp, m_curLevel) = m_saveStack.back();
        m_saveStack.pop_back();
        return left;
    }

    // <expression> = <operand> { <chain> }, up to a level-0 operator or the end
    Value ParseExpression() {
        Value v = ParseOperand();
        while (m_nextLevel > 0) v = ApplyChain(v);
        return v;
    }

    // A syntax error at the 1-based position at; the first one is kept.
    void Fail(std::size_t at) {
        if (m_errorAt == 0) m_errorAt = at;
        m_b.SyntaxError();
    }
    // Called when the bracket or bar at open has been read to its end: the
    // end of the text closed it when the reading has reached that end.
    void NoteUnclosed(std::size_t open) {
        if (m_ended) m_unclosedAt = open;
    }

    std::string_view m_text;
    Backend& m_b;
    std::size_t m_pos = 1;
    unsigned char m_curOp = 0;
    std::uint8_t m_curLevel = 0;
    unsigned char m_nextOp = 0;
    std::uint8_t m_nextLevel = 0;
    std::vector<std::pair<unsigned char, std::uint8_t>> m_saveStack; // (CurOp, CurLevel)
    int m_nesting = 0;       // brackets, modulus bars and function arguments open now
    bool m_tooDeep = false;  // nesting passed ComplexMaxNesting: reading has stopped
    bool m_ended = false;    // the reading ran into the end of the text
    bool m_lastRead = false; // the last character was reached as the end
    std::size_t m_errorAt = 0;
    std::size_t m_unclosedAt = 0;
};

} // namespace cformula
