#!/usr/bin/env bash
# Soak test of the window under Xvfb, driven by xdotool as a user would:
#   1. 200 formulas typed into the formula line and drawn with Enter (valid,
#      invalid, faulting, huge, nested); error reports are closed as they come;
#   2. each display mode;
#   3. each simulation for SIM_SECONDS (default 10). The rotations do not
#      compute the formula, so a formula that faults everywhere is drawn just
#      before each (one report); the Q sweep recomputes it at every tick, so
#      every tick fails and a report is open most of the time;
#   4. expensive formulas: a formula line of about 32 000 characters of
#      RIEMANN terms (minutes of computing) and an interval field of about
#      32 000 characters of "~" terms; F2 must be answered within
#      ANSWER_MS (default 200) while the fill runs, also during the Q sweep;
#   5. mouse wheel steps in bulk and the zoom commands of the menu, repeatedly;
#   6. the 200 formulas once more, to compare the resident memory.
# At every checkpoint the program must still run and answer a key within 1 s
# (F2 turns the simulation button's caption to "Stopp" and back, which is
# watched on the screen). Never is more than one error report open at once,
# and each phase shows no more reports than it can cause. The resident memory
# is printed at every checkpoint; the test fails when it grows by more than
# RSS_GROWTH_KB (default 5120) between the end of the first formula pass and
# the end of the run. At the end Esc, pressed during an expensive fill, must
# end the program within ANSWER_MS.
#
# usage: tests/soak/soak.sh TESSAREL_EXECUTABLE
# Runs itself under xvfb-run when no display is set.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 TESSAREL_EXECUTABLE" >&2
  exit 2
fi
for tool in xdotool xclip import xwininfo; do
  if ! command -v "$tool" >/dev/null; then
    echo "soak: $tool is missing (make soak installs it)" >&2
    exit 2
  fi
done
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

APP=$1
SIM_SECONDS=${SIM_SECONDS:-10}
FORMULA_COUNT=${FORMULA_COUNT:-200}
RSS_GROWTH_KB=${RSS_GROWTH_KB:-5120}
ANSWER_MS=${ANSWER_MS:-200}
FAULTING='(Z*0+10)^400' # overflows at every point, for every Q
failures=0
reports=0
most_open=0
checkpoints=0

fail() {
  echo "SOAK FAILURE: $*"
  failures=$((failures + 1))
}
now_ms() { date +%s%3N; }
rss_kb() { awk '/^VmRSS:/ { print $2 }' "/proc/$PID/status" 2>/dev/null; }
alive() { kill -0 "$PID" 2>/dev/null; }
# xdotool with a time limit: a grab (an open menu, a modal box) must not block the test.
x() { timeout 5 xdotool "$@"; }

"$APP" >/tmp/soak-app.$$.log 2>&1 &
PID=$!
trap 'kill "$PID" 2>/dev/null; rm -f /tmp/soak-app.$$.log' EXIT

WID=""
for _ in $(seq 100); do
  WID=$(x search --onlyvisible --pid "$PID" --name 'Darstellung komplexer Funktionen' 2>/dev/null | head -n 1)
  [ -n "$WID" ] && break
  sleep 0.1
done
if [ -z "$WID" ]; then
  echo "SOAK FAILURE: the window did not appear"
  cat /tmp/soak-app.$$.log
  exit 1
fi
# Window-relative positions of the controls (client area 1008 x 709 below the menu bar).
read -r MENU_H < <(xwininfo -id "$WID" | awk '/Height:/ { print $2 - 709 }')
E7_X=332; E7_Y=$((MENU_H + 653 + 25))
D2_GEOM="153x25+$((823 + 16))+$((MENU_H + 436))"
PLOT_X=411; PLOT_Y=$((MENU_H + 326))
radio_y() { echo $((MENU_H + $1 + 30 + $2 * 18)); } # group top, item index
RG1_TOP=340; MODE_TOP=552; RADIO_X=$((823 + 16 + 20))
# The menu "Darstellung" and its items Grundeinstellung, Verkleinern, Vergroessern.
MENU_X=113; MENU_Y=$((MENU_H / 2)); ITEM_X=150
item_y() { echo $((MENU_H + 10 + $1 * 22)); }

focus() {
  x windowfocus "$WID" 2>/dev/null
  sleep 0.02
}
click_at() { focus; x mousemove --window "$WID" "$1" "$2" click 1; }
region_hash() { import -silent -window "$WID" -crop "$1" rgb:- 2>/dev/null | md5sum | cut -c1-32; }

# Closes every open error report (with "once": those open now); counts them.
# More than one open at a time is a failure.
close_reports() {
  local ids id rounds=50 open
  [ "${1:-}" = once ] && rounds=1
  for _ in $(seq "$rounds"); do
    # The reports are the visible windows captioned with the application title.
    ids=$(x search --onlyvisible --name '^Tessarel$' 2>/dev/null | grep -vx "$WID")
    [ -z "$ids" ] && return 0
    open=$(echo "$ids" | wc -l)
    [ "$open" -gt "$most_open" ] && most_open=$open
    [ "$open" -gt 1 ] && fail "$open error reports open at once"
    for id in $ids; do
      x windowfocus "$id" 2>/dev/null && sleep 0.02 && x key Return 2>/dev/null
      reports=$((reports + 1))
    done
    sleep 0.05
  done
}

# Waits until the region's hash differs from (or, with "same", equals) the
# given one; prints the milliseconds it took, or fails after LIMIT ms (1000).
# With a start time, the milliseconds count from then.
wait_region() {
  local geom=$1 want=$2 mode=$3 limit=${4:-1000} start=${5:-$(now_ms)} h
  while :; do
    h=$(region_hash "$geom")
    if [ "$mode" = change ] && [ "$h" != "$want" ]; then break; fi
    if [ "$mode" = same ] && [ "$h" = "$want" ]; then break; fi
    if [ $(($(now_ms) - start)) -gt "$limit" ]; then
      echo -1
      return 1
    fi
  done
  echo $(($(now_ms) - start))
}

# F2, answered on the screen within ANSWER_MS while an expensive fill runs;
# leaves the milliseconds in ANSWER.
quick_f2() {
  local before start
  before=$(region_hash "$D2_GEOM")
  start=$(now_ms)
  x key F2
  ANSWER=$(wait_region "$D2_GEOM" "$before" change "$ANSWER_MS" "$start") ||
    fail "F2 not answered within $ANSWER_MS ms during $1 (waited $(($(now_ms) - start)) ms)"
}

# Waits up to 2 s for the report of a failed draw request and closes it.
await_report() {
  local before=$reports
  for _ in $(seq 20); do
    close_reports once
    [ "$reports" -gt "$before" ] && return 0
    sleep 0.1
  done
}

# Reports closed since the given count must be within min..max.
expect_reports() {
  local since=$1 min=$2 max=$3 what=$4 n
  n=$((reports - since))
  echo "error reports during $what: $n (allowed $min..$max)"
  if [ "$n" -lt "$min" ] || [ "$n" -gt "$max" ]; then
    fail "$n error reports during $what, allowed $min..$max"
  fi
}

# A checkpoint: the program runs, has no report open, and answers F2 twice.
checkpoint() {
  checkpoints=$((checkpoints + 1))
  if ! alive; then
    fail "the program is gone at checkpoint '$1'"
    exit 1
  fi
  close_reports
  focus
  local before t1 t2
  before=$(region_hash "$D2_GEOM")
  x key F2
  t1=$(wait_region "$D2_GEOM" "$before" change) || fail "no answer to F2 within 1 s at '$1'"
  x key F2
  t2=$(wait_region "$D2_GEOM" "$before" same) || fail "no answer to the second F2 within 1 s at '$1'"
  close_reports
  printf 'checkpoint %-28s rss %7s kB  answers %s ms, %s ms\n' "$1" "$(rss_kb)" "$t1" "$t2"
}

# Types text into the formula line (or the control at the given position).
# Texts of more than 1000 characters are pasted, as a user would: typed, each
# key lays the whole line out again, which takes Qt minutes for 32 000.
type_into() {
  local text=$1 at_x=${2:-$E7_X} at_y=${3:-$E7_Y} owner
  click_at "$at_x" "$at_y"
  x key ctrl+a BackSpace
  if [ ${#text} -le 1000 ]; then
    [ -n "$text" ] && x type --delay 1 -- "$text"
    return
  fi
  printf '%s' "$text" | xclip -quiet -selection clipboard -i >/dev/null 2>&1 &
  owner=$!
  sleep 0.2
  x key ctrl+v
  sleep 0.5
  kill "$owner" 2>/dev/null
  wait "$owner" 2>/dev/null
}

draw() {
  close_reports
  type_into "$1"
  x key Return
  sleep 0.05
  close_reports
}

# --- the formulas -------------------------------------------------------------
formulas=()
valid=('SIN(Z+Q)*Z/10' 'Z' 'Z^2' 'Z^3-Z' '1/Z' 'EXP(Z)' 'LN(Z)' 'SQRT(Z)' 'GAMMA(Z)' 'BI0(Z)'
  'BJ0(Z)' 'SN(Z)' 'CN(Z)' 'DN(Z)' 'RIEMANN(Z)' 'EI(Z)' 'DIGAMMA(Z)' 'TAN(Z)' 'COT(Z)' 'SEC(Z)'
  'CSC(Z)' 'TANH(Z)' 'COTH(Z)' 'COSH(Z)' 'SINH(Z)' '|Z|' 'TRE(Z)*TIM(Z)' 'Z^Q' 'PI*Z' 'SQR(Z)/4'
  'sin(z)*cos(z)' 'z^0.5' '(Z-1)/(Z+1)' 'EXP(1/Z)' 'LN(SIN(Z))' 'GAMMA(Z*3)' 'Z*I' 'ABS(Z)-2')
invalid=('XYZ(Z)' '2Z' 'Z+*' '((' '))' '#&%' ' ' 'Z Z' 'K(Z)' 'SINUS(Z)' 'T(Z)' '1E5' '--Z'
  '|' '[Z]' 'Z;2' '?' '.' '1.2.3' 'QQQ')
faulting=("$FAULTING" 'COSH(Z*0+100)^9' 'EXP(Z*100)^99' 'SINH(Z+100)^9' 'Z^(Z*0+999)')
FAULTING_DRAWS=0 # per pass; each may show one report, nothing else may
for k in $(seq 0 $((FORMULA_COUNT - 1))); do
  case $((k % 10)) in 6 | 7) FAULTING_DRAWS=$((FAULTING_DRAWS + 1)) ;; esac
  case $((k % 10)) in
  0 | 1 | 2 | 3) formulas+=("${valid[$((k % ${#valid[@]}))]}") ;;
  4 | 5) formulas+=("${invalid[$((k % ${#invalid[@]}))]}") ;;
  6 | 7) formulas+=("${faulting[$((k % ${#faulting[@]}))]}") ;;
  8) # huge: a long sum, up to about 2500 characters
    n=$((50 + (k * 37) % 500))
    s="Z"
    for _ in $(seq "$n"); do s="$s+Z"; done
    formulas+=("$s") ;;
  9) # nested brackets, past the interpreter's nesting limit now and then
    d=$((10 + (k * 53) % 600))
    s=$(printf '%*s' "$d" '' | tr ' ' '(')Z$(printf '%*s' "$d" '' | tr ' ' ')')
    formulas+=("$s") ;;
  esac
done

formula_pass() {
  local k=0
  for f in "${formulas[@]}"; do
    draw "$f"
    k=$((k + 1))
    if [ $((k % 20)) -eq 0 ]; then checkpoint "$1 formula $k"; fi
  done
}

sleep 1
START_RSS=$(rss_kb)
echo "start rss ${START_RSS} kB"
checkpoint "start"

# 1. the formulas
since=$reports
formula_pass "pass 1"
expect_reports "$since" 1 "$FAULTING_DRAWS" "formula pass 1"
PASS1_RSS=$(rss_kb)

# 2. each display mode
draw 'SIN(Z+Q)*Z/10'
for mode in 1 2 3 0; do
  click_at "$RADIO_X" "$(radio_y "$MODE_TOP" "$mode")"
  sleep 0.2
  checkpoint "display mode $((mode + 1))"
done

# 3. each simulation. The rotations turn the surface they have and compute
# nothing: the faulting formula drawn before each shows one report, and the
# rotation none. The Q sweep recomputes at every tick and every tick fails;
# the report does not block the window: while it is open the sweep goes on and
# further errors are dropped. It is closed once a second, so that new reports
# keep coming.
for sim in 0 1 2; do
  since=$reports
  draw "$FAULTING"
  await_report
  expect_reports "$since" 1 1 "the draw request before simulation $sim"
  since=$reports
  click_at "$RADIO_X" "$(radio_y "$RG1_TOP" "$sim")"
  focus
  before=$(region_hash "$D2_GEOM")
  x key F2
  wait_region "$D2_GEOM" "$before" change >/dev/null || fail "simulation $sim did not start"
  end=$(($(date +%s) + SIM_SECONDS))
  while [ "$(date +%s)" -lt "$end" ]; do
    close_reports once
    sleep 1
  done
  stopped=no
  for _ in $(seq 20); do
    focus
    before=$(region_hash "$D2_GEOM")
    x key F2
    if wait_region "$D2_GEOM" "$before" change >/dev/null; then
      stopped=yes
      break
    fi
  done
  [ "$stopped" = yes ] || fail "simulation $sim could not be stopped with F2"
  checkpoint "simulation $sim"
  if [ "$sim" = 2 ]; then
    expect_reports "$since" $((SIM_SECONDS / 2)) $((SIM_SECONDS + 3)) "simulation $sim"
  else
    expect_reports "$since" 0 0 "simulation $sim"
  fi
done
draw 'SIN(Z+Q)*Z/10'

# 4. expensive formulas. The fill of the RIEMANN line takes minutes; the
# window answers while it runs, during the Q sweep too (its ticks do not
# queue behind the fill), and F2 leaves the picture as it was.
RIEMANN=RIEMANN\(Z\)
while [ ${#RIEMANN} -lt 32000 ]; do RIEMANN="$RIEMANN+RIEMANN(Z)"; done
TILDE=9999999.5~9999999
while [ ${#TILDE} -lt 32000 ]; do TILDE="$TILDE+9999999.5~9999999"; done
E1_X=$((823 + 22 + 25)); E1_Y=$((MENU_H + 188 + 11))
since=$reports
click_at "$RADIO_X" "$(radio_y "$RG1_TOP" 0)"
start=$(now_ms)
type_into "$RIEMANN"
echo "typed the RIEMANN line (${#RIEMANN} characters) in $(($(now_ms) - start)) ms"
focus
x key Return
sleep 0.3
quick_f2 "the RIEMANN fill" # starts the x rotation and cancels the fill
t1=$ANSWER
quick_f2 "the rotation after it"
echo "RIEMANN line: F2 answered in $t1 ms and $ANSWER ms"
click_at "$RADIO_X" "$(radio_y "$RG1_TOP" 2)"
focus
x key F2 # the Q sweep, filling the RIEMANN line
sleep 2
quick_f2 "the Q sweep of the RIEMANN line"
echo "Q sweep of the RIEMANN line: stopped by F2 in $ANSWER ms"
click_at "$RADIO_X" "$(radio_y "$RG1_TOP" 0)"
type_into "$TILDE" "$E1_X" "$E1_Y"
focus
x key Return # the field is read, then the RIEMANN line fills
sleep 0.3
quick_f2 "the RIEMANN fill over the long interval field"
t1=$ANSWER
quick_f2 "the rotation after it"
echo "\"~\" field (${#TILDE} characters) and the RIEMANN line: F2 answered in $t1 ms and $ANSWER ms"
checkpoint "expensive formulas"
close_reports
expect_reports "$since" 0 2 "the expensive formulas"

menu_item() {
  click_at "$MENU_X" "$MENU_Y"
  sleep 0.15
  x mousemove --window "$WID" "$ITEM_X" "$(item_y "$1")" click 1
  sleep 0.05
}

draw 'SIN(Z+Q)*Z/10'
menu_item 0 # Grundeinstellung: the fields as at the start

# 5. wheel and zoom steps in bulk
for round in 1 2 3; do
  focus
  x mousemove --window "$WID" "$PLOT_X" "$PLOT_Y"
  x click --repeat 100 --delay 5 5 # wheel down: zoom in
  x click --repeat 100 --delay 5 4 # wheel up: zoom out
  x click --repeat 60 --delay 5 4
  checkpoint "wheel round $round"
  for _ in $(seq 15); do menu_item 1; done # Verkleinern
  for _ in $(seq 30); do menu_item 2; done # Vergroessern
  checkpoint "zoom round $round"
done
menu_item 0 # Grundeinstellung
checkpoint "reset"

# 6. the formulas again
since=$reports
formula_pass "pass 2"
expect_reports "$since" 1 "$FAULTING_DRAWS" "formula pass 2"
END_RSS=$(rss_kb)

echo "rss: start ${START_RSS} kB, after pass 1 ${PASS1_RSS} kB, end ${END_RSS} kB" \
  "(growth $((END_RSS - PASS1_RSS)) kB, allowed $RSS_GROWTH_KB kB)"
echo "checkpoints ${checkpoints}, error reports closed ${reports}, most open at once ${most_open}"
if [ $((END_RSS - PASS1_RSS)) -gt "$RSS_GROWTH_KB" ]; then
  fail "resident memory grew by $((END_RSS - PASS1_RSS)) kB between the two formula passes"
fi
if ! alive; then fail "the program is gone at the end"; fi

# Esc during an expensive fill ends the program at once.
type_into "$RIEMANN"
focus
x key Return
sleep 0.3
start=$(now_ms)
x key Escape
# The window is gone when xwininfo no longer finds it mapped.
while xwininfo -id "$WID" 2>/dev/null | grep -q IsViewable && [ $(($(now_ms) - start)) -le 5000 ]; do
  sleep 0.01
done
t=$(($(now_ms) - start))
while alive && [ $(($(now_ms) - start)) -le 5000 ]; do sleep 0.01; done
echo "Esc during the RIEMANN fill: the window closed after $t ms, the program ended after" \
  "$(($(now_ms) - start)) ms"
if alive; then
  fail "Esc did not end the program during an expensive fill"
elif [ "$t" -gt "$ANSWER_MS" ]; then
  fail "Esc took $t ms to close the window during an expensive fill"
fi
if [ "$failures" -ne 0 ]; then
  echo "soak: $failures failures"
  exit 1
fi
echo "soak: passed"
