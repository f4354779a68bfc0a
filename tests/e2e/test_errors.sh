#!/usr/bin/env bash
# cadhost's start-up errors: each is one clear line on stderr and a non-zero status, never a
# crash; --help prints the usage.
. "$(dirname "$0")/lib.sh"

expect() { # status pattern -- command...
    local want=$1 pattern=$2
    shift 2
    "$@" >"$work/out" 2>"$work/err" </dev/null
    local got=$?
    local lines
    lines=$(wc -l <"$work/err")
    if [ "$got" != "$want" ] || ! grep -q -- "$pattern" "$work/err" || [ "$lines" != 1 ]; then
        failed "$* -> status $got (want $want), stderr:"
        cat "$work/err"
    fi
}

expect 2 "cannot read script $work/missing.scr" "$bin/cadhost" -b "$work/missing.scr"
expect 1 "cannot load $work/nothing.arx: no such file" "$bin/cadhost" --load "$work/nothing.arx"
echo "not a module" >"$work/fake.arx"
expect 1 "cannot load $work/fake.arx: not a module" "$bin/cadhost" --load "$work/fake.arx"
expect 2 "unknown option --frobnicate" "$bin/cadhost" --frobnicate
expect 2 "option --load needs a value" "$bin/cadhost" --load
expect 1 "cannot load /bin/true: not a module" "$bin/cadhost" --load /bin/true

"$bin/cadhost" --help >"$work/out" 2>&1
if [ $? != 0 ] || ! grep -q "usage: cadhost \[--gui\] \[--load MODULE\]... \[-b SCRIPT\] \[FILE\]" "$work/out"; then
    failed "--help"
    cat "$work/out"
fi
exit $fail
