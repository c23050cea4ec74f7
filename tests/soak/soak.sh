#!/usr/bin/env bash
# Soak test of the window under Xvfb, driven by xdotool as a user would:
#   1. 200 formulas typed into the formula line and drawn with Enter (valid,
#      invalid, faulting, huge, nested); error reports are closed as they come;
#   2. each display mode;
#   3. each simulation for SIM_SECONDS (default 10) with a formula that faults
#      at every point, so every Q sweep tick fails;
#   4. mouse wheel steps in bulk and the zoom commands of the menu, repeatedly;
#   5. the 200 formulas once more, to compare the resident memory.
# At every checkpoint the program must still run and answer a key within 1 s
# (F2 turns the simulation button's caption to "Stopp" and back, which is
# watched on the screen). The resident memory is printed at every checkpoint;
# the test fails when it grows by more than RSS_GROWTH_KB (default 20480)
# between the end of the first formula pass and the end of the run.
#
# usage: tests/soak/soak.sh TESSAREL_EXECUTABLE
# Runs itself under xvfb-run when no display is set.
set -uo pipefail

if [ $# -ne 1 ] || [ ! -x "$1" ]; then
  echo "usage: $0 TESSAREL_EXECUTABLE" >&2
  exit 2
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi

APP=$1
SIM_SECONDS=${SIM_SECONDS:-10}
FORMULA_COUNT=${FORMULA_COUNT:-200}
RSS_GROWTH_KB=${RSS_GROWTH_KB:-20480}
FAULTING='(Z*0+10)^400' # overflows at every point, for every Q
failures=0
reports=0
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
close_reports() {
  local ids id rounds=50
  [ "${1:-}" = once ] && rounds=1
  for _ in $(seq "$rounds"); do
    # The reports are the visible windows captioned with the application title.
    ids=$(x search --onlyvisible --name '^Tessarel$' 2>/dev/null | grep -vx "$WID")
    [ -z "$ids" ] && return 0
    for id in $ids; do
      x windowfocus "$id" 2>/dev/null && sleep 0.02 && x key Return 2>/dev/null
      reports=$((reports + 1))
    done
    sleep 0.05
  done
}

# Waits until the region's hash differs from (or, with "same", equals) the
# given one; prints the milliseconds it took, or fails after 1 s.
wait_region() {
  local geom=$1 want=$2 mode=$3 start h
  start=$(now_ms)
  while :; do
    h=$(region_hash "$geom")
    if [ "$mode" = change ] && [ "$h" != "$want" ]; then break; fi
    if [ "$mode" = same ] && [ "$h" = "$want" ]; then break; fi
    if [ $(($(now_ms) - start)) -gt 1000 ]; then
      echo -1
      return 1
    fi
  done
  echo $(($(now_ms) - start))
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

draw() {
  close_reports
  click_at "$E7_X" "$E7_Y"
  x key ctrl+a BackSpace
  [ -n "$1" ] && x type --delay 1 -- "$1"
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
for k in $(seq 0 $((FORMULA_COUNT - 1))); do
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
formula_pass "pass 1"
PASS1_RSS=$(rss_kb)

# 2. each display mode
draw 'SIN(Z+Q)*Z/10'
for mode in 1 2 3 0; do
  click_at "$RADIO_X" "$(radio_y "$MODE_TOP" "$mode")"
  sleep 0.2
  checkpoint "display mode $((mode + 1))"
done

# 3. each simulation, with a formula that faults at every tick of the Q sweep.
# The report does not block the window: while it is open the sweep goes on
# and further errors are dropped. It is closed once a second, so that new
# reports keep coming.
draw "$FAULTING"
for sim in 0 1 2; do
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
done
draw 'SIN(Z+Q)*Z/10'

menu_item() {
  click_at "$MENU_X" "$MENU_Y"
  sleep 0.15
  x mousemove --window "$WID" "$ITEM_X" "$(item_y "$1")" click 1
  sleep 0.05
}

# 4. wheel and zoom steps in bulk
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

# 5. the formulas again
formula_pass "pass 2"
END_RSS=$(rss_kb)

echo "rss: start ${START_RSS} kB, after pass 1 ${PASS1_RSS} kB, end ${END_RSS} kB"
echo "checkpoints ${checkpoints}, error reports closed ${reports}"
if [ $((END_RSS - PASS1_RSS)) -gt "$RSS_GROWTH_KB" ]; then
  fail "resident memory grew by $((END_RSS - PASS1_RSS)) kB between the two formula passes"
fi
if ! alive; then fail "the program is gone at the end"; fi
if [ "$failures" -ne 0 ]; then
  echo "soak: $failures failures"
  exit 1
fi
echo "soak: passed"
