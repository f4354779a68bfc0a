# Sourced by the test_*.sh scripts: the bin folder from $1, a fresh prefix and temporary folder
# removed at exit, a failure flag, and a check that a file holds a text.
set -u
bin=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export CADHOST_PREFIX=$work/prefix TMPDIR=$work
fail=0
check() { if ! grep -qF -- "$2" "$1"; then echo "FAIL: $1 lacks: $2"; fail=1; fi; }
