// The formula line's and the interval fields' notes.
#include "app/formulafeedback.h"

#include "complexformula/interpreter.h"
#include "text/cp1252.h"

#include <algorithm>
#include <cctype>

namespace feedback {

namespace {

const char* const kNoBreakSpace = "\u00A0";

bool IsLetter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// A piece of the formula for a message, in UTF-8 and cut to a readable length.
std::string Quoted(const std::string& cp1252, std::size_t from, std::size_t length) {
    std::string piece = cp1252.substr(from, length);
    const bool cut = length >= 20 && from + length < cp1252.size();
    return "»" + text::Cp1252ToUtf8(piece) + (cut ? "…" : "") + "«";
}

std::string SyntaxLine(const std::string& f, const CSyntaxReport& r) {
    const std::string at = "an Stelle " + Count(static_cast<int>(r.position));
    switch (r.kind) {
    case CSyntaxReport::Error: {
        if (f.empty()) return "Syntaxfehler: die Formel ist leer";
        if (r.position > f.size()) return "Syntaxfehler: die Formel endet zu früh";
        const std::size_t k = r.position - 1;
        const auto c = static_cast<unsigned char>(f[k]);
        // Reading stops where brackets nest deeper than the interpreter follows.
        const auto opened = std::count_if(f.begin(), f.begin() + static_cast<std::ptrdiff_t>(k),
                                          [](char ch) { return ch == '(' || ch == '|'; });
        if (opened >= ComplexMaxNesting)
            return "Syntaxfehler " + at + ": Klammern und Funktionen tiefer als " +
                   Count(ComplexMaxNesting) + " Ebenen verschachtelt";
        std::size_t name = k;
        while (name < f.size() && IsLetter(static_cast<unsigned char>(f[name]))) ++name;
        if (name - k > 1 && name < f.size() && f[name] == '(')
            return "Syntaxfehler " + at + ": unbekannte Funktion " + Quoted(f, k, name - k);
        std::string line = "Syntaxfehler " + at + ": unerwartetes Zeichen " + Quoted(f, k, 1);
        const auto before = k > 0 ? static_cast<unsigned char>(f[k - 1]) : 0;
        const bool operandBefore = (before >= '0' && before <= '9') || before == ')' ||
                                   before == 'Z' || before == 'Q' || before == 'I';
        const bool operandHere = IsLetter(c) || c == '(' || (c >= '0' && c <= '9');
        if (operandBefore && operandHere) return line + " (fehlt ein »*«?)";
        if (r.position == f.size() && c != ')') return line + " am Ende";
        return line;
    }
    case CSyntaxReport::Unclosed:
        return "Klammer " + Quoted(f, r.position - 1, 1) + " " + at +
               " nicht geschlossen; das Ende der Formel schließt sie";
    case CSyntaxReport::Unread:
        return "Ab Stelle " + Count(static_cast<int>(r.position)) +
               " nicht gelesen: " + Quoted(f, r.position - 1, 20);
    case CSyntaxReport::Clean:
        break;
    }
    return {};
}

std::string StatusLine(int status, const sampling::FillReport& report, int pointCount) {
    const auto hits = [&](int n) {
        return n == pointCount ? "an allen " + Count(n) + " Punkten"
                               : "an " + Count(n) + " von " + Count(pointCount) + " Punkten";
    };
    switch (status) {
    case 1:
        return "Syntaxfehler " + hits(report.syntax);
    case 2:
        return "Definitionsbereich verlassen " + hits(report.domain) +
               " (Ersatzwert, z. B. 10¹⁰ bei Division durch 0)";
    case 4:
        return "Wert zu groß " + hits(report.overflow) + " (Ersatzwert 10³⁰, bei EXP 10⁵)";
    default:
        return {};
    }
}

// The deepest nesting of brackets, absolute-value bars and calls in a real
// formula. A bar opens where an operand is expected and closes elsewhere.
int FieldNesting(const std::string& text) {
    int depth = 0, deepest = 0;
    bool afterOperand = false;
    for (const char c : text) {
        const bool opens = c == '(' || c == '[' || (c == '|' && !afterOperand);
        const bool closes = c == ')' || c == ']' || (c == '|' && afterOperand);
        if (opens) deepest = std::max(deepest, ++depth);
        if (closes) --depth;
        const bool operand = std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '.';
        if (c != ' ') afterOperand = closes || (operand && !opens);
    }
    return deepest;
}

void AddLine(Note& note, const std::string& line) {
    if (line.empty()) return;
    if (!note.text.empty()) note.text += '\n';
    note.text += line;
}

} // namespace

std::string Count(int n) {
    std::string digits = std::to_string(n < 0 ? -n : n);
    for (int k = static_cast<int>(digits.size()) - 3; k > 0; k -= 3)
        digits.insert(static_cast<std::size_t>(k), kNoBreakSpace);
    return n < 0 ? "-" + digits : digits;
}

Note FormulaNote(const std::string& formula, const sampling::FillReport& report, int pointCount) {
    Note note;
    const CSyntaxReport syntax = CheckComplexSyntax(formula);
    AddLine(note, SyntaxLine(formula, syntax));
    // The syntax check already names a syntax error; the points it hit are all.
    const bool syntaxNamed = syntax.kind == CSyntaxReport::Error;
    AddLine(note, syntaxNamed && report.firstStatus == 1
                      ? std::string()
                      : StatusLine(report.firstStatus, report, pointCount));
    for (int status : {1, 2, 4}) {
        if (status == report.firstStatus || (status == 1 && syntaxNamed)) continue;
        const int n = status == 1 ? report.syntax : status == 2 ? report.domain : report.overflow;
        if (n > 0) AddLine(note, StatusLine(status, report, pointCount));
    }
    const bool fault = syntaxNamed || !report.Clean();
    note.severity = fault ? Severity::Fault : note.text.empty() ? Severity::None : Severity::Hint;
    return note;
}

Note FieldNote(const std::string& text, std::uint8_t realStatus) {
    const char* cause = nullptr;
    switch (realStatus) {
    case 0:
        return {};
    case 2:
        cause = "Definitionsbereich verlassen";
        break;
    case 3:
        cause = "Sprungstelle";
        break;
    case 4:
        cause = "Wert außerhalb von ±10¹⁰";
        break;
    default:
        if (text.find_first_not_of(" \t") == std::string::npos)
            cause = "das Feld ist leer";
        else if (FieldNesting(text) > FieldMaxNesting)
            return {Severity::Fault,
                    "Formel nicht auswertbar: Klammern und Funktionen tiefer als " +
                        Count(FieldMaxNesting) + " Ebenen verschachtelt, gilt als 0"};
        else
            cause = "Syntax- oder Bereichsfehler";
        break;
    }
    return {Severity::Fault, std::string("Formel nicht auswertbar: ") + cause + ", gilt als 0"};
}

std::array<Note, 6> IntervalNotes(const sampling::IntervalTexts& texts,
                                  const std::array<std::uint8_t, 6>& realStatus,
                                  const sampling::IntervalValues& values) {
    std::array<Note, 6> notes;
    for (std::size_t k = 0; k < notes.size(); ++k) notes[k] = FieldNote(texts[k], realStatus[k]);
    for (int axis = 0; axis < 3; ++axis) {
        if (!sampling::BoundsReversed(values, axis)) continue;
        for (const std::size_t k : {std::size_t(axis), std::size_t(axis) + 3}) {
            AddLine(notes[k], "untere und obere Grenze vertauscht: gezeichnet wird das Intervall "
                              "dazwischen");
            if (notes[k].severity == Severity::None) notes[k].severity = Severity::Hint;
        }
    }
    return notes;
}

} // namespace feedback
