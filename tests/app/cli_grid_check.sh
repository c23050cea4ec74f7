#!/bin/sh
# tessarel-cli grid and render as a user runs them: exit codes, the grid's
# shape and sampling positions, the error and usage paths, the PNG file.
set -u
cli="$1"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failed=0

expect() { # actual expected what
    if [ "$1" != "$2" ]; then
        echo "FAIL $3: got '$1', expected '$2'"
        failed=1
    fi
}

"$cli" grid --mode 1 Z >"$tmp/real.csv"
expect $? 0 "grid exit status"
expect "$(wc -l <"$tmp/real.csv" | tr -d ' ')" 36 "grid lines"
expect "$(awk -F, '{print NF}' "$tmp/real.csv" | sort -u)" 36 "values per line"
# Mode 1 of Z: column p holds x_p on every row, so all lines are equal.
expect "$(sort -u "$tmp/real.csv" | wc -l | tr -d ' ')" 1 "columns constant in mode 1"
expect "$(head -1 "$tmp/real.csv" | cut -d, -f1)" -3.774 "first column at x = -3.774"
expect "$(head -1 "$tmp/real.csv" | cut -d, -f18)" 0 "column 18 at x = 0"
expect "$(head -1 "$tmp/real.csv" | cut -d, -f36)" 3.996 "last column at x = 3.996"

# Mode 2: row i holds y_i across the line; row 18 lies on y = 0, row 36 on 4.
"$cli" grid --mode 2 z >"$tmp/imag.csv"
expect "$(awk -F, '{for (k = 2; k <= NF; ++k) if ($k != $1) bad = 1} END {print bad + 0}' "$tmp/imag.csv")" 0 "rows constant in mode 2"
expect "$(sed -n 18p "$tmp/imag.csv" | cut -d, -f1)" 0 "row 18 at y = 0"
expect "$(sed -n 36p "$tmp/imag.csv" | cut -d, -f1)" 4 "row 36 at y = 4"

# Interval texts are real formulas; x is pulled in by 0.1 % toward the middle
# of its interval; values clamp to z.
expect "$("$cli" grid --mode 1 --x 'x,2*pi' --z '-1,0,5' Z | head -1 | cut -d, -f36)" 0.5 "clamped to the z range (decimal comma)"
expect "$("$cli" grid --mode 1 --x 'x,2*pi' --z '-1,10' Z | head -1 | cut -d, -f36)" 6.2805437145259964 "x high 2*pi pulled toward the middle"
expect "$("$cli" grid --format csv --x 1000,1000.5 --y 0,1 --z 0,2000 Z | sed -n 2p | cut -d, -f3)" 1000.014125 "pulled toward the middle, not toward 0"
expect "$("$cli" grid --format csv --x 4,8 Z | sed -n 2p | cut -d, -f3)" 4.1129999999999995 "bounds as a pair"
expect "$("$cli" grid --format csv --y 4,-4 Z | sed -n '2p;$p' | cut -d, -f4 | tr '\n' ' ')" "-3.7777777777777777 4 " "reversed bounds: the interval between"
expect "$("$cli" grid --q 1.5 Q | head -1 | cut -d, -f1)" 1.5 "Q reaches the formula"

"$cli" grid 'Z^1000' >"$tmp/out" 2>"$tmp/err"
expect $? 3 "floating-point error exit status"
expect "$(cat "$tmp/err")" "error: Gleitkommaüberlauf" "floating-point error message"
"$cli" grid --mode 5 Z >/dev/null 2>&1
expect $? 2 "bad mode is a usage error"
# render exists only in builds with Qt.
if "$cli" --help | grep -q '^  render'; then
    "$cli" render Z >/dev/null 2>&1
    expect $? 2 "render without -o is a usage error"
    "$cli" render -o "$tmp/start.png" 'SIN(Z+Q)*Z/10' 2>/dev/null
    expect $? 0 "render exit status"
    expect "$(head -c 8 "$tmp/start.png" | od -An -tx1 | tr -d ' \n')" 89504e470d0a1a0a "PNG signature"
    # No mixed picture: the points that fault are left undrawn, the rest drawn.
    "$cli" render -o "$tmp/fault.png" 'Z^1000' 2>"$tmp/err"
    expect $? 3 "render with a fault still exits 3"
    expect "$(grep -c Gleitkomma "$tmp/err")" 1 "render reports the fault"
    expect "$(head -c 8 "$tmp/fault.png" | od -An -tx1 | tr -d ' \n')" 89504e470d0a1a0a "render with a fault writes the picture"
fi

exit $failed
