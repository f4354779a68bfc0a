# Sourced by the test_*.sh scripts, with the build's bin folder as $1.  It gives them:
#   $bin, $here (this folder), $src (the source tree), $corpus (the shared corpus)
#   $work            a fresh folder removed at exit (kept when KEEP is set), which is also
#                    TMPDIR; CADHOST_PREFIX is $work/prefix
#   $fail            0, or 1 once a check failed: the script ends with `exit $fail`
# and the functions below.  A test that cannot run here ends with "skipped: WHY" and status
# 77, which ctest reports as a skipped test.
# shellcheck disable=SC2034 # the variables set here are for the scripts that source this
set -u
bin=$1
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
src=$(cd "$here/../.." && pwd)
corpus=${RIVLET_CORPUS_DIR:-${RIVLET_CORPUS:-$src/../shared/corpus}}
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
export CADHOST_PREFIX=$work/prefix TMPDIR=$work
fail=0
# The bin folder as Windows programs name it.
winbin="Z:${bin//\//\\}"
# cadhost's arguments that load the module.
with_module=(--load "$bin/KSRRivlet.arx")

# Says that a check failed; the test goes on and fails at its end.
failed() {
    echo "FAIL: $*"
    fail=1
}

# Says that the test failed, and ends it.
fatal() {
    echo "FAIL: $*"
    exit 1
}

# A check that FILE holds TEXT.
check() {
    grep -qF -- "$2" "$1" || failed "$1 lacks: $2"
}

# Ends the test as skipped.
skip() {
    echo "skipped: $*"
    exit 77
}

# Skips the test unless the corpus has each of the folders named.
need_corpus() {
    local folder
    for folder; do
        [ -d "$corpus/$folder" ] ||
            skip "no corpus folder $corpus/$folder (the shared corpus beside the checkout, or RIVLET_CORPUS_DIR)"
    done
}

# $python: the first python3 on PATH that imports every module named (Debian's python3-ezdxf
# and python3-uno belong to the system python, which need not be first on PATH); the test is
# skipped without one.
need_python() {
    local statement="import sys" module candidate
    for module; do
        statement+="; import $module"
    done
    while IFS= read -r candidate; do
        if "$candidate" -c "$statement" 2>/dev/null; then
            python=$candidate
            return 0
        fi
    done < <(type -ap python3)
    skip "no python3${*:+ that imports $*}"
}

need_ezdxf() {
    need_python ezdxf
}

# $filecheck: LLVM's FileCheck as the build found it (RIVLET_FILECHECK); the test is skipped
# without it.
need_filecheck() {
    filecheck=${RIVLET_FILECHECK:-}
    [ -n "$filecheck" ] && [ -x "$filecheck" ] ||
        skip "FileCheck not found (Debian's llvm-14-tools has FileCheck-14)"
}

# $soffice: LibreOffice's program; the test is skipped without it.
need_soffice() {
    soffice=$(command -v soffice || command -v libreoffice) || skip "LibreOffice not installed"
}

# The module installed in C:\Kestrune\VIZUDaro of the prefix (links to the build's programs).
install_module() {
    install=$CADHOST_PREFIX/drive_c/Kestrune/VIZUDaro
    mkdir -p "$install"
    ln -s "$bin/KSRRivlet.arx" "$bin/Scrivel" "$bin/WordPad" "$bin/WordServer" "$install/"
    "$bin/rivlet-setup" "$install" >/dev/null || fatal "rivlet-setup"
}

# Runs cadhost with the arguments on a script file, both output streams to LOG; answers its
# exit status.
host_run() { # SCRIPT LOG [CADHOST ARGUMENTS...]
    local script=$1 log=$2
    shift 2
    "$bin/cadhost" "$@" -b "$script" >"$log" 2>&1 </dev/null
}

# The same, and a failure that shows the log when cadhost does not end with status 0.
host_run_ok() { # SCRIPT LOG [CADHOST ARGUMENTS...]
    host_run "$@" && return 0
    local status=$?
    failed "cadhost ${*:3} -b $1 ended with status $status:"
    sed 's/^/    /' "$2"
    return "$status"
}
