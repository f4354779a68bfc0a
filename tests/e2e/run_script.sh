#!/usr/bin/env bash
# Runs one cadhost script in a fresh prefix and compares its command-line log with the
# expected log beside it (NAME.scr -> NAME.expected).
#
# Directives in the script's leading comment lines:
#   ; args: ARGS      cadhost's arguments before -b (@BIN@ is the build's bin folder)
#   ; setup           run rivlet-setup (the module's installer) in the prefix first
#   ; status: N       the exit status expected (default 0)
# In the log, the prefix folder shows as @PREFIX@, the temporary folder as @TMP@ and the
# bin folder as @BIN@, the source tree as @SRC@, so that expected logs do not depend on where the test runs.
set -u
bin=$1
script=$2
expected=${script%.scr}.expected

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CADHOST_PREFIX=$work/prefix
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"

args=$(sed -n 's/^; args: //p' "$script" | head -1)
args=${args//@BIN@/$bin}
src=$(cd "$(dirname "$script")/../.." && pwd)
want_status=$(sed -n 's/^; status: //p' "$script" | head -1)
want_status=${want_status:-0}

if grep -q '^; setup' "$script"; then
    "$bin/rivlet-setup" >/dev/null || { echo "rivlet-setup failed"; exit 1; }
fi

# The script may name files of the source tree as @SRC@/... and temporary files as @TMP@/...
sed -e "s#@SRC@#$src#g" -e "s#@TMP@#$TMPDIR#g" "$script" >"$work/script.scr"
# shellcheck disable=SC2086
"$bin/cadhost" $args -b "$work/script.scr" >"$work/out.log" 2>&1 </dev/null
status=$?

sed -e "s#$CADHOST_PREFIX#@PREFIX@#g" -e "s#$TMPDIR#@TMP@#g" -e "s#$bin#@BIN@#g" -e "s#$src#@SRC@#g" \
    "$work/out.log" >"$work/actual.log"

failed=0
if [ "$status" != "$want_status" ]; then
    echo "exit status $status, expected $want_status"
    failed=1
fi
if ! diff -u "$expected" "$work/actual.log"; then
    failed=1
fi
exit $failed
