# Sourced by the test_*.sh scripts: the bin folder from $1, a fresh prefix and temporary folder
# removed at exit, a failure flag, and a check that a file holds a text.
set -u
bin=$1
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
export CADHOST_PREFIX=$work/prefix TMPDIR=$work
fail=0
check() { if ! grep -qF -- "$2" "$1"; then echo "FAIL: $1 lacks: $2"; fail=1; fi; }
# The python that has ezdxf, in $python; the test is skipped (passes) without one.
need_ezdxf() {
    python=$(command -v /usr/bin/python3 || command -v python3)
    if ! "$python" -c 'import ezdxf' 2>/dev/null; then
        echo "skipped: ezdxf is not installed"
        exit 0
    fi
}
# The module installed in C:\Kestrune\VIZUDaro of the prefix (links to the build's programs).
install_module() {
    install=$CADHOST_PREFIX/drive_c/Kestrune/VIZUDaro
    mkdir -p "$install"
    ln -s "$bin/KSRRivlet.arx" "$bin/Scrivel" "$bin/WordPad" "$bin/WordServer" "$install/"
    "$bin/rivlet-setup" "$install" >/dev/null || { echo "FAIL: rivlet-setup"; exit 1; }
}
