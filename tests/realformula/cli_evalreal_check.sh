#!/bin/sh
# Checks of `tessarel-cli evalreal`: output format, options, the preparation
# of the text, batch mode and bad usage. Usage: cli_evalreal_check.sh PATH/TO/tessarel-cli
cli="$1"
failed=0

# expect NAME RC EXPECTED_STDOUT [STDIN] -- ARGS...
expect() {
    name=$1 rc=$2 want=$3
    shift 3
    input=''
    if [ "$1" != "--" ]; then input=$1; shift; fi
    shift
    out=$(printf '%b' "$input" | "$cli" "$@" 2>/tmp/cli_evalreal_check.$$)
    got_rc=$?
    err=$(cat /tmp/cli_evalreal_check.$$)
    rm -f /tmp/cli_evalreal_check.$$
    if [ "$got_rc" != "$rc" ] || [ "$out" != "$want" ]; then
        echo "FAIL $name: rc=$got_rc stdout='$out' stderr='$err'"
        failed=1
    elif [ "$rc" = 2 ] && [ "$(printf '%s\n' "$err" | wc -l)" != 1 ]; then
        echo "FAIL $name: expected a one-line message, got '$err'"
        failed=1
    else
        echo "ok   $name"
    fi
}

expect two-pi 0 '6.2831853071795862 0' -- evalreal '2*PI'
expect log-base-p 0 '3 0' -- evalreal 'LOG(X;2)' --x 8
expect default-x-is-1 0 '1 0' -- evalreal 'X'
expect q-option 0 '-2.5 0' -- evalreal 'Q' --q -2.5
expect p-option 0 '9 0' -- evalreal 'P*3' --p 3
expect prepared-text 0 '3 0' -- evalreal 'sqr(1,5)+0,75'
expect raw-keeps-lower-case 0 '0 1' -- evalreal --raw 'sqr(2)'
expect utf8-capital-e-acute 0 '2.7182818284590451 0' -- evalreal 'É'
expect utf8-middle-dot 0 '6 0' -- evalreal '2·3'
expect status-4 0 '10000000000 4' -- evalreal '2^40'
expect fractional-root-index 0 '-32 0' -- evalreal '(-2)\0.2'
expect empty-formula 0 '0 1' -- evalreal ''
expect batch 0 '3 0
6 0
2 0
4 0' 'LOG(X;2)\t8\nX*Q\t2\t3\nP\nsqr(q)\t1\t-2\n' -- evalreal --batch
expect batch-crlf 0 '4 0' 'X*2\t2\r\n' -- evalreal --batch
expect no-formula 2 '' -- evalreal
expect two-formulas 2 '' -- evalreal X X
expect bad-number 2 '' -- evalreal X --x abc
expect missing-value 2 '' -- evalreal X --q
expect unknown-option 2 '' -- evalreal --y 3 X
expect formula-with-batch 2 '' -- evalreal --batch X
expect batch-bad-number 2 '1 0' 'X\n1\tzz\n' -- evalreal --batch

exit $failed
