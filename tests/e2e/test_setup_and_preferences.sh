#!/usr/bin/env bash
# What the installer leaves in a fresh prefix, and the preferences the module writes once when
# it starts.
. "$(dirname "$0")/lib.sh"

"$bin/rivlet-setup" >/dev/null || fatal "rivlet-setup"
[ -d "$CADHOST_PREFIX/drive_c/KSR/Rivlet" ] || failed "no C:\\KSR\\Rivlet"
location="Z:$(echo "$bin" | sed 's#/#\\\\#g')\\\\"
check "$CADHOST_PREFIX/system.reg" '[HKEY_LOCAL_MACHINE\Software\Kestrune\VIZUDaro]'
check "$CADHOST_PREFIX/system.reg" "\"location\"=\"$location\""
check "$CADHOST_PREFIX/system.reg" '\AppID\Scrivel.EXE]'

printf 'QUIT\n' >"$work/quit.scr"
host_run_ok "$work/quit.scr" "$work/quit.log" "${with_module[@]}"
user=$CADHOST_PREFIX/user.reg
check "$user" '[HKEY_CURRENT_USER\Software\KSR\MTEXT\Preferences]'
check "$user" '"SPACER"="0.250000"'
check "$user" '"HSPACER"="0.500000"'
check "$user" '"THEIGHT"="0.250000"'
check "$user" '"VHEIGHT"="0.150000"'
check "$user" '"RTFFOLDER"=""'
check "$user" '"GENERATE"=""'

# A folder in the place of the user hive's lock file: the preferences cannot be written, and
# the registry says so in one line, however many values the module writes.
export CADHOST_PREFIX=$work/locked
mkdir -p "$CADHOST_PREFIX/user.reg.lock"
"$bin/cadhost" "${with_module[@]}" -b "$work/quit.scr" >"$work/locked.log" 2>"$work/locked.err" </dev/null ||
    failed "cadhost ended with $? beside a locked hive"
[ "$(cat "$work/locked.err")" = "registry: cannot save $CADHOST_PREFIX/user.reg, its lock $CADHOST_PREFIX/user.reg.lock cannot be taken (Is a directory); changes to its keys are not kept" ] || {
    failed "the unsaved preferences were not reported once:"
    cat "$work/locked.err"
}
[ ! -e "$CADHOST_PREFIX/user.reg" ] || failed "user.reg written"
exit $fail
