// The descriptions of the complex formula language's names.
#include "complexformula/keywords.h"

namespace cformula {

namespace {

using K = KeywordDescription;

constexpr KeywordDescription KeywordDescriptions[] = {
    {"SQR", "Quadrat z²", false, K::Function},
    {"SQRT", "Quadratwurzel (Hauptwert, Schnitt längs der negativen reellen Achse)", false,
     K::Function},
    {"EXP", "Exponentialfunktion eᶻ (bei Überlauf 100000 mit Status Überlauf)", false, K::Function},
    {"LN",
     "natürlicher Logarithmus (Hauptwert, Imaginärteil in (−π, π]; LN(0) ist ein "
     "Definitionsfehler)",
     false, K::Function},
    {"ABS", "Betrag |z| (reell)", false, K::Function},
    {"SIN", "Sinus (0, sobald |Re z| oder |Im z| mindestens 120 ist)", false, K::Function},
    {"COS", "Kosinus (0, sobald |Re z| oder |Im z| mindestens 120 ist)", false, K::Function},
    {"TAN", "Tangens", false, K::Function},
    {"COSH", "Kosinus hyperbolicus (0, sobald |Re z| oder |Im z| mindestens 120 ist)", false,
     K::Function},
    {"SINH", "Sinus hyperbolicus (0, sobald |Re z| oder |Im z| mindestens 120 ist)", false,
     K::Function},
    {"TANH", "Tangens hyperbolicus", false, K::Function},
    {"GAMMA", "Gammafunktion Γ(z) (an den Polen 0, −1, −2, … zu groß: 10³⁰ mit Status Überlauf)",
     false, K::Function},
    {"BI0", "modifizierte Besselfunktion I₀ (erster Art, Ordnung 0)", false, K::Function},
    {"BJ0", "Besselfunktion J₀ (erster Art, Ordnung 0)", false, K::Function},
    {"SEC", "Sekans 1/cos z", false, K::Function},
    {"CSC", "Kosekans 1/sin z (CSC(0) ergibt 0)", false, K::Function},
    {"COT", "Kotangens (COT(0) ergibt 0)", false, K::Function},
    {"DN", "Jacobische elliptische Funktion dn (Modul k = 0,2)", false, K::Function},
    {"SN", "Jacobische elliptische Funktion sn (Modul k = 0,2)", false, K::Function},
    {"CN", "Jacobische elliptische Funktion cn (Modul k = 0,2)", false, K::Function},
    {"RIEMANN",
     "Partialsumme der Zeta-Reihe: Σ n⁻ᶻ für n = 1 … 48, ohne Fortsetzung (die Zetafunktion "
     "selbst ist ZETA)",
     false, K::Function},
    {"TRE", "Realteil: (Re z, 0)", false, K::Function},
    {"TIM", "Imaginärteil, auf der imaginären Achse: (0, Im z)", false, K::Function},
    {"COTH", "Kotangens hyperbolicus", false, K::Function},
    {"EI",
     "Exponentialintegral E₁(z) (Hauptwert; EI(0) zu groß: 10³⁰ mit Status Überlauf; in den "
     "Intervallfeldern dagegen Ei(x))",
     false, K::Function},
    {"DIGAMMA", "Digammafunktion ψ(z) = Γ′(z)/Γ(z) (an den Polen 0, −1, −2, … zu groß)", false,
     K::Function},
    {"RE", "Realteil: (Re z, 0), wie TRE", true, K::Function},
    {"IM", "Imaginärteil, auf der imaginären Achse: (0, Im z), wie TIM", true, K::Function},
    {"ARG", "Argument arg z in (−π, π], π auf der negativen reellen Achse; ARG(0) = 0", true,
     K::Function},
    {"CONJ", "konjugiert komplexe Zahl (Re z, −Im z)", true, K::Function},
    {"ZETA",
     "Riemannsche Zetafunktion ζ(z) auf der ganzen Ebene (ZETA(1), der Pol, zu groß: 10³⁰ mit "
     "Status Überlauf; für |Im z| > 10000 nicht berechnet: Definitionsfehler)",
     true, K::Function},
    {"I", "imaginäre Einheit i", false, K::Constant},
    {"PI", "Kreiszahl π", false, K::Constant},
    {"É", "Eulersche Zahl e", false, K::Constant},
    {"Z", "die Variable z, der Punkt der Ebene", false, K::Variable},
    {"Q", "der Parameter Q (Feld Q im Fenster)", false, K::Variable},
    {"P", "der Parameter P (stets 0)", false, K::Variable},
};

} // namespace

std::span<const KeywordDescription> ComplexKeywordDescriptions() {
    return KeywordDescriptions;
}

} // namespace cformula
