#!/bin/sh
# Checks of `tessarel-cli eval`: output format, exit codes, text conversion and
# batch mode. Usage: cli_eval_check.sh PATH/TO/tessarel-cli
cli="$1"
failed=0

# expect NAME RC STDOUT_PATTERN [STDERR_PATTERN] -- ARGS...  (shell glob patterns)
expect() {
    name=$1 rc=$2 out_pattern=$3
    shift 3
    err_pattern='*'
    if [ "$1" != "--" ]; then err_pattern=$1; shift; fi
    shift
    out=$("$cli" "$@" 2>/tmp/cli_eval_check.$$)
    got_rc=$?
    err=$(cat /tmp/cli_eval_check.$$)
    rm -f /tmp/cli_eval_check.$$
    case "$out" in $out_pattern) ok_out=1 ;; *) ok_out=0 ;; esac
    case "$err" in $err_pattern) ok_err=1 ;; *) ok_err=0 ;; esac
    if [ "$got_rc" != "$rc" ] || [ $ok_out = 0 ] || [ $ok_err = 0 ]; then
        echo "FAIL $name: rc=$got_rc stdout='$out' stderr='$err'"
        failed=1
    else
        echo "ok   $name"
    fi
}

# sin(1.5+2i)(1+2i)/10 = 0.323966342829833468 + 0.776209663704907832i (mpmath); the
# product and quotient are computed in double, so 15 digits are compared.
expect default-formula 0 '0.323966342829833* 0.776209663704907* 0' -- \
    eval 'SIN(Z+Q)*Z/10' --z 1,2 --q 0.5
expect division-by-zero 0 '10000000000 0 2' -- eval 'Z/0' --z 1,1
expect escaped-overflow 3 '' 'error: Gleitkommaüberlauf' -- eval 'Z^1000' --z 4,0
expect first-fault-reported 3 '' 'error: Gleitkommaüberlauf' -- eval '(Z^1000)^2' --z 4,0
expect first-fault-in-a-function 3 '' 'error: Gleitkommaüberlauf' -- eval 'RIEMANN(Z)' --z -200,0
expect large-argument-limit 0 '1 0 0' -- eval 'TANH(100*Z)' --z 4,0
expect secant-limit 0 '0 0 0' -- eval 'SEC(Z)' --z 0,800
expect pole-too-large 0 '1.0000000000000000000*e+30 0 4' -- eval 'GAMMA(Z)' --z 0,0
# |zeta| at the double nearest the first nontrivial zero is below 1e-12 (about 7e-16).
expect zeta-first-zero 0 '*e-1[3-9] *e-1[3-9] 0' -- eval 'ZETA(Z)' --z 0.5,14.134725141734693
expect arg-on-the-cut-from-below 0 '3.141592653589793238* 0 0' -- eval 'ARG(Z)' --z -1,-0
expect exponent-notation 0 '0.000999999999999999999958 0 0' -- eval '1e-3'
expect last-character-unread 0 '2 0 1' -- eval '2Z' --z 1,2
expect negative-option-values 0 '-3 -4 0' -- eval Z --z -3,-4
expect upper-cased 0 '3 4 0' -- eval z --z 3,4
expect e-acute-upper-cased-is-e 0 '2.71828182845904523* 0 0' -- eval 'é'
expect raw-keeps-small-letters 0 '0 0 1' -- eval --raw z --z 3,4
expect raw-e-acute 0 '0 0 1' -- eval --raw 'é'
expect empty-formula 0 '0 0 1' -- eval ''
expect missing-formula 2 '' 'tessarel-cli eval: *' -- eval --z 1,2
expect unknown-option 2 '' 'tessarel-cli eval: *' -- eval --w 1 Z
expect bad-number 2 '' 'tessarel-cli eval: *' -- eval Z --q x
expect bad-pair 2 '' 'tessarel-cli eval: *' -- eval Z --z 1
expect two-formulas 2 '' 'tessarel-cli eval: *' -- eval Z Z
expect help-lists-eval 0 '*eval*value and status of a complex formula*' -- --help

# Batch: one output line per input line, errors on standard output, Q empty,
# missing or given, --raw applying to every line.
batch_in=$(printf 'Z/0\t1\t1\t\nZ^1000\t4\t0\t\nZ+Q\t1\t2\t5\nsin(z)\t0\t0\nz\t1\t2\t\r\n')
batch_want=$(printf '10000000000 0 2\nerror: Gleitkommaüberlauf\n6 2 0\n0 0 0\n1 2 0')
batch_got=$(printf '%s\n' "$batch_in" | "$cli" eval --batch)
if [ "$batch_got" = "$batch_want" ]; then echo "ok   batch"; else
    echo "FAIL batch: got '$batch_got'"; failed=1; fi
raw_got=$(printf 'z\t1\t2\t\nZ\t1\t2\t\n' | "$cli" eval --raw --batch)
if [ "$raw_got" = "$(printf '0 0 1\n1 2 0')" ]; then echo "ok   batch-raw"; else
    echo "FAIL batch-raw: got '$raw_got'"; failed=1; fi
printf 'Z\tx\t1\n' | "$cli" eval --batch >/dev/null 2>&1
if [ $? = 2 ]; then echo "ok   batch-bad-line"; else echo "FAIL batch-bad-line"; failed=1; fi

exit $failed
