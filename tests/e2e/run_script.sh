#!/usr/bin/env bash
# Runs one cadhost script in a fresh prefix and checks its command-line log with FileCheck
# against the script's own check lines:
#   run_script.sh BIN_FOLDER NAME.scr FILECHECK
#
# A check line is a comment of the script (cadhost skips lines starting with ";"):
#   ; CHECK: TEXT        (also CHECK-NEXT, CHECK-NOT, CHECK-EMPTY, CHECK-SAME, CHECK-DAG)
# TEXT is everything after the colon and one blank, and matches a whole line of the log,
# blanks included; {{REGEX}} matches by a regular expression.  Start each command's block
# of the log with CHECK at its "Command:" line and follow with CHECK-NEXT, so that the block
# must be exactly as written while lines elsewhere do not matter to it.  The log ends with a
# line "-- end --", so that "; CHECK-NEXT: -- end --" says that nothing follows.
#
# Directives in the script's leading comment lines:
#   ; args: ARGS      cadhost's arguments before -b (@BIN@ is the build's bin folder)
#   ; setup           install the module in the prefix first: its programs in C:\Kestrune\VIZUDaro
#                     (links to the build's), registered by rivlet-setup
#   ; status: N       the exit status expected (default 0)
#   ; preference: NAME=VALUE
#                     a value of the user's preferences (HKEY_CURRENT_USER
#                     Software\KSR\MTEXT\Preferences) stored before cadhost starts
#   ; env: NAME=VALUE an environment variable of cadhost (and the programs it starts)
#   ; show: preferences
#                     the preferences as cadhost left them, after the log under
#                     "-- preferences --"
#   ; show-file: PATH a file of the prefix (PATH under drive_c, e.g. Kestrune/VIZUDaro/DIVISIONS.TXT)
#                     after the log under "-- PATH --", with a carriage return at a line's end
#                     shown as <CR>
# In the log, the prefix folder shows as @PREFIX@, the temporary folder as @TMP@ and the
# bin folder as @BIN@ (in Windows form @WINBIN@), the source tree as @SRC@, so that checks do
# not depend on where the test runs.
#
# A failed check shows the whole normalised log and FileCheck's report.  RIVLET_PRINT_CHECKS=1
# prints the log as check lines (checks_from_log.sh), to start the checks of a new script.
# Without FileCheck the test is skipped (status 77).
script=$2
. "$(dirname "$0")/lib.sh"
RIVLET_FILECHECK=${3:-}
need_filecheck
# The temporary folder apart from the runner's own files.
export TMPDIR=$work/tmp
mkdir -p "$TMPDIR"

args=$(sed -n 's/^; args: //p' "$script" | head -1)
args=${args//@BIN@/$bin}
want_status=$(sed -n 's/^; status: //p' "$script" | head -1)
want_status=${want_status:-0}

# An installation folder of the test's own, so that what the module writes there
# (DIVISIONS.TXT) stays in the test.
if grep -q '^; setup' "$script"; then
    install_module
fi

preferences=$(sed -n 's/^; preference: //p' "$script" | sed -e "s#@SRC@#$src#g" -e "s#@TMP@#$TMPDIR#g" \
    -e "s#@WINBIN@#${winbin//\\/\\\\}#g")
while IFS= read -r line; do
    [ -n "$line" ] && export "${line%%=*}=${line#*=}"
done < <(sed -n 's/^; env: //p' "$script")
if [ -n "$preferences" ]; then
    mkdir -p "$CADHOST_PREFIX"
    {
        printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\KSR\\MTEXT\\Preferences]\n'
        while IFS= read -r line; do
            name=${line%%=*}
            value=${line#*=}
            value=${value//\\/\\\\}
            value=${value//\"/\\\"}
            printf '"%s"="%s"\n' "$name" "$value"
        done <<<"$preferences"
    } >"$CADHOST_PREFIX/user.reg"
fi

# The script may name files of the source tree as @SRC@/..., temporary files as @TMP@/... and
# the build's programs as @BIN@/...
sed -e "s#@SRC@#$src#g" -e "s#@TMP@#$TMPDIR#g" -e "s#@BIN@#$bin#g" "$script" >"$work/script.scr"
# shellcheck disable=SC2086
"$bin/cadhost" $args -b "$work/script.scr" >"$work/out.log" 2>&1 </dev/null
status=$?

if grep -q '^; show: preferences' "$script"; then
    echo "-- preferences --" >>"$work/out.log"
    sed -n '/^\[HKEY_CURRENT_USER\\Software\\KSR\\MTEXT\\Preferences\]$/,/^$/p' \
        "$CADHOST_PREFIX/user.reg" | sed '1d;/^$/d' >>"$work/out.log"
fi
while IFS= read -r shown; do
    echo "-- $shown --" >>"$work/out.log"
    if [ -f "$CADHOST_PREFIX/drive_c/$shown" ]; then
        sed 's/\r$/<CR>/' "$CADHOST_PREFIX/drive_c/$shown" >>"$work/out.log"
    else
        echo "(no such file)" >>"$work/out.log"
    fi
done < <(sed -n 's/^; show-file: //p' "$script")

sed -e "s#$CADHOST_PREFIX#@PREFIX@#g" -e "s#$TMPDIR#@TMP@#g" -e "s#$bin#@BIN@#g" -e "s#$src#@SRC@#g" \
    -e "s#${winbin//\\/\\\\\\\\}#@WINBIN@#g" -e "s#${winbin//\\/\\\\}#@WINBIN@#g" \
    "$work/out.log" >"$work/actual.log"

echo "-- end --" >>"$work/actual.log"

if [ -n "${RIVLET_PRINT_CHECKS:-}" ]; then
    "$here/checks_from_log.sh" <"$work/actual.log"
fi

# The check lines at the lines they have in the script, so that FileCheck's report names
# the script's own line numbers; every other line is left empty.
checks=$work/$(basename "$script")
sed -E -e 's/^; (CHECK(-[A-Z]+)*:) ?/\1/' -e t -e 's/.*//' "$script" >"$checks"

if [ "$status" != "$want_status" ]; then
    failed "exit status $status, expected $want_status"
fi
if ! "$filecheck" --strict-whitespace --match-full-lines --input-file "$work/actual.log" "$checks" \
    >"$work/filecheck.out" 2>&1; then
    failed "the log does not pass the checks of $script"
fi
if [ "$fail" = 1 ]; then
    echo "-- the log, normalised --"
    cat "$work/actual.log"
    echo "-- FileCheck (its line numbers are those of $script) --"
    cat "$work/filecheck.out"
fi
exit $fail
