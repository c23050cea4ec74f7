// The help window's prose. The function lists are not here: the window builds
// them from the interpreters' tables.
#include "app/helptexts.h"

#include "app/surfaceoptions.h"

namespace helptexts {

namespace {

// The status colours are those the formula line and the fields take.
const char* const StatusColours = R"(
<h3>Was die Farben sagen</h3>
<table cellspacing="4">
<tr><td style="background:#FFE1E1">&nbsp;rosa&nbsp;</td><td>Die Formel hat einen Fehler, oder an
Punkten des Gitters ließ sie sich nicht berechnen: ein Syntaxfehler, ein verlassener
Definitionsbereich, ein zu großer Wert. Ein Warnzeichen steht am Ende der Zeile; ihr Tooltip nennt
die erste Ursache und an wie vielen der 1 296 Punkte sie auftrat. Ein Intervallfeld wird rosa,
wenn seine Formel nicht auswertbar ist; es gilt dann als 0.</td></tr>
<tr><td style="background:#FFF4C8">&nbsp;gelb&nbsp;</td><td>Ein Hinweis: eine Klammer, die erst das
Ende der Formel schließt (<code>SIN(Z</code>), oder ein Intervall, dessen Enden vertauscht sind
(es gilt dann andersherum).</td></tr>
<tr><td style="background:#FFFFFF;border:1px solid #999">&nbsp;weiß&nbsp;</td><td>Alles in
Ordnung.</td></tr>
</table>
)";

} // namespace

QString FormulaLineLanguage() {
    return QString::fromUtf8(R"(
<h3>Die Formelzeile: komplexe Formeln in Z</h3>
<p>Man tippt eine Formel in Z in die Zeile unten und drückt Enter (oder »Zeichnen«). Buchstaben
sind Großbuchstaben; die Zeile wandelt um, was man tippt. Zahlen schreibt man mit ».« oder »,«,
auch mit Exponent (<code>1E-3</code>, <code>2,5E10</code>). Eine Zahl hat kein Vorzeichen, und es
gibt kein verstecktes Mal: <code>2Z</code> ist ein Fehler, man schreibt <code>2*Z</code>. Eine
Formel endet nicht mit einem Operator (<code>Z+</code> ist ein Fehler).</p>
<table border="1" cellspacing="0" cellpadding="3">
<tr><td>Variable</td><td><code>Z</code> (der Punkt X + iY)</td></tr>
<tr><td>Parameter</td><td><code>Q</code> (das Feld »Q =« und die Simulation), <code>P</code>
(immer 0)</td></tr>
<tr><td>Konstanten</td><td><code>I</code> (imaginäre Einheit), <code>PI</code>, <code>É</code>
(die Zahl e)</td></tr>
<tr><td>Klammern</td><td><code>( )</code>; <code>|w|</code> ist der Betrag von w</td></tr>
<tr><td>Stufe 1 (bindet am schwächsten)</td><td><code>+</code> <code>-</code></td></tr>
<tr><td>Stufe 2</td><td><code>*</code> (oder <code>·</code>) <code>/</code></td></tr>
<tr><td>Stufe 3 (bindet am stärksten)</td><td><code>^</code> (Hauptwert der Potenz)</td></tr>
</table>
<p>Operatoren einer Stufe werden von links zusammengefasst, auch <code>^</code>:
<code>2^3^2</code> ist 64. Ein Minus am Anfang gehört zur Zahl oder zum Namen direkt danach:
<code>-Z^2</code> ist (−Z)², aber <code>(-Z^2)</code> ist −(Z²). Die Zeichen <code># &amp; &lt;
&gt; % ~ \</code> werden als Operatoren gelesen, ergeben hier aber 0.</p>
<p>Jede Funktion hat ein Argument in Klammern. <code>EI</code> ist hier das Exponentialintegral
E₁, in den Intervallfeldern dagegen Ei. Namen mit der Markierung »ergänzt« gehören nicht zum
ursprünglichen Sprachumfang; sie waren vorher ein Fehler, so dass keine Formel, die schon ging,
ihren Wert ändert. Die Liste unten lässt sich mit dem Suchfeld eingrenzen; die Formelzeile
ergänzt einen angefangenen Namen und bietet alle Namen im Kontextmenü unter »Funktion einfügen«
an.</p>
)") + QString::fromUtf8(StatusColours);
}

QString IntervalFieldLanguage() {
    return QString::fromUtf8(R"(
<h3>Die Intervallfelder: reelle Formeln in X</h3>
<p>Die sechs Felder unter »Koordinatenintervalle« werden mit X = 1 und dem aktuellen Q
ausgewertet. Groß- und Kleinschreibung sind hier gleich, »,« wird als ».« gelesen, Leerzeichen
werden übergangen. Es gibt keinen Exponenten in Zahlen: man schreibt <code>1000</code> oder
<code>10^3</code>.</p>
<table border="1" cellspacing="0" cellpadding="3">
<tr><td>Variable und Parameter</td><td><code>X</code>, <code>Q</code>, <code>P</code> (setzt
<code>;</code>), <code>R</code> (immer 0)</td></tr>
<tr><td>Konstanten</td><td><code>PI</code>, <code>PHI</code> (goldener Schnitt), <code>É</code>
(e), <code>K0</code> … <code>K6</code> (√(2π), 1/π, π², √π, 1/e, e², √e)</td></tr>
<tr><td>Klammern</td><td><code>( )</code>; <code>[x]</code> rundet ab, <code>|x|</code> ist der
Betrag</td></tr>
<tr><td>Stufe 1 (bindet am schwächsten)</td><td><code>+</code> <code>-</code>, <code>#</code>
(geometrisches Mittel), <code>&amp;</code> (Mittelwert), <code>&lt;</code> (Minimum),
<code>&gt;</code> (Maximum), <code>;</code> (setzt P, ergibt die linke Seite)</td></tr>
<tr><td>Stufe 2</td><td><code>*</code> (oder <code>·</code>), <code>/</code>, <code>%</code>
(ganzzahliger Rest), <code>~</code> (Binomialkoeffizient)</td></tr>
<tr><td>Stufe 3 (bindet am stärksten)</td><td><code>^</code> (Potenz), <code>\</code> (Wurzel:
<code>8\3</code> ist 2)</td></tr>
</table>
<p>Operatoren einer Stufe werden von links zusammengefasst (<code>2^3^2</code> ist 64). Ein Minus
ganz am Anfang verneint den ganzen folgenden Term (<code>-2^2</code> ist −4), ebenso eines in
<code>(-X^</code>; sonst gehört ein Minus zur nächsten Zahl oder zum nächsten Namen
(<code>2*-3</code> ist −6, <code>(-2^2)</code> ist 4).</p>
<p>Jede Funktion hat ein Argument; einen zweiten Wert nimmt sie aus P, das man im Argument mit
<code>;</code> setzt: <code>LOG(X;2)</code> ist der Logarithmus von X zur Basis 2. Ein Feld,
dessen Formel auf irgendeine Weise scheitert (Syntax, Definitionsbereich, Überlauf), gilt als 0.
<code>INT</code> und <code>HEAVISIDE</code> kennzeichnen ihr Ergebnis als Sprungfunktion, was
dort ebenfalls als Fehler zählt; zum Abrunden nimmt man <code>[x]</code>. <code>EI</code> ist hier
Ei, in der Formelzeile dagegen E₁.</p>
)") + QString::fromUtf8(StatusColours);
}

QString KeysAndMouse() {
    return QString::fromUtf8(R"(
<h3>Tasten</h3>
<table border="1" cellspacing="0" cellpadding="3">
<tr><td>Enter</td><td>zeichnet die Formel (auch der Knopf »Zeichnen«); ist die Vorschlagsliste
offen, übernimmt Enter erst den gewählten Namen</td></tr>
<tr><td>Esc</td><td>»Beenden«: beendet das Programm; die Formel der Zeile kommt vorher in den
Verlauf. Eine offene Fehlermeldung oder Vorschlagsliste schließt Esc zuerst</td></tr>
<tr><td>F1</td><td>diese Hilfe</td></tr>
<tr><td>F2</td><td>startet und hält die Simulation an</td></tr>
<tr><td>F10 oder Alt</td><td>in die Menüleiste; Alt mit dem unterstrichenen Buchstaben wählt einen
Eintrag</td></tr>
<tr><td>Strg+S</td><td>»Darstellung → Bild speichern …« (PNG, oder SVG bei der Endung
.svg)</td></tr>
<tr><td>Strg+Umschalt+C</td><td>»Darstellung → Bild kopieren« in die Zwischenablage</td></tr>
<tr><td>↑ und ↓ in der Formelzeile</td><td>gehen durch die bisher gezeichneten Formeln; die
letzten 100 bleiben auch über das Programmende hinaus erhalten</td></tr>
<tr><td>↑ und ↓ in der Vorschlagsliste</td><td>wählen einen Funktionsnamen; Enter übernimmt
ihn mit seiner öffnenden Klammer, Esc schließt die Liste</td></tr>
</table>
<h3>Maus</h3>
<table border="1" cellspacing="0" cellpadding="3">
<tr><td>Ziehen mit der linken Taste</td><td>dreht die Fläche; »x-Winkel« und »z-Winkel«
folgen</td></tr>
<tr><td>Mausrad</td><td>nach unten verkleinert, nach oben vergrößert es alle sechs Intervalle um
2 % (»Darstellung → Verkleinern / Vergrößern« um 10 %, »Grundeinstellung« stellt −4..4
her)</td></tr>
<tr><td>Zeiger auf der Fläche ruhen lassen</td><td>zeigt den Gitterpunkt darunter: Zelle (p, i),
Z, F(Z), |F(Z)|, arg F(Z) und den gezeichneten Wert</td></tr>
<tr><td>Rechtsklick in die Formelzeile</td><td>Kontextmenü mit »Funktion einfügen«</td></tr>
</table>
<p>»Simulation« dreht die Fläche um ihre x- oder z-Achse oder lässt Q zwischen −10 und 10
laufen. Eine Berechnung, die länger dauert, läuft im Hintergrund; ein neuer Auftrag oder F2 bricht
sie ab.</p>
)");
}

QString About() {
    return QString::fromUtf8(R"(
<h3>Über Tessarel</h3>
<p><b>Tessarel %1</b></p>
<p>Tessarel zeigt eine komplexe Funktion F(Z) von Z = X + iY und einem reellen Parameter Q als
farbige, vernetzte 3D-Fläche: Realteil, Imaginärteil, Betrag oder Phase. Das Begleitprogramm
<code>tessarel-cli</code> rechnet, tastet ab und zeichnet ohne Fenster.</p>
<p>Gebaut mit Qt %2.</p>
)")
        .arg(QString::fromUtf8(surfaceoptions::Version()), QString::fromUtf8(qVersion()));
}

} // namespace helptexts
