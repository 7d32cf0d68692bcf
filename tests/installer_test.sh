#!/usr/bin/env bash
# The Windows installer's round trip in a Wine prefix of its own: a silent install puts both
# programs, the Start menu entry, the uninstall entry and the scene files' association in
# place; the installed program opens a scene through the association; the silent uninstall
# leaves nothing behind. Also checks the portable zip's contents.
# Usage: installer_test.sh BUILD_DIR
set -uo pipefail
here=$(dirname "$(readlink -f "$0")")
root=$(cd "$here/.." && pwd)
source "$root/scripts/wine-env.sh"
build=$(cd "$1" && pwd)

fail() { echo "FAIL: $*" >&2; exit 1; }
pass() { echo "ok: $*"; }

"$root/scripts/package.sh" "$build" || fail "scripts/package.sh"
version=$(sed -n 's/^#define ZELMORA_VERSION_TEXT *"\(.*\)"/\1/p' "$root/res/product.h")
installer=$build/package/Zelmora-Setup-$version.exe
zip_file=$build/package/Zelmora-$version-portable.zip
[[ -f $installer ]] || fail "no $installer"
pass "the installer is named with the version: $(basename "$installer")"
listing=$(unzip -l "$zip_file")
for f in zelmora.exe zelmora-render.exe README.txt; do
  grep -q "Zelmora-$version/$f" <<<"$listing" || fail "the portable zip lacks $f"
done
pass "the portable zip holds both programs and a read-me"

# A prefix as fresh as a new PC, made anew every run.
rm -rf "$build/installer-wineprefix"
zelmora_wine_env "$build" installer-wineprefix
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;d3dx9_43=d"
zelmora_ensure_display
zelmora_window_manager no
app_pid=""
cleanup() {
  [[ -n $app_pid ]] && kill "$app_pid" 2>/dev/null
  zelmora_stop_display
  wineserver -k 2>/dev/null
}
trap cleanup EXIT

wine "$installer" /S >/dev/null 2>&1 || fail "the silent install failed"
wineserver -w
pf="$WINEPREFIX/drive_c/Program Files/Zelmora"
for f in zelmora.exe zelmora-render.exe uninstall.exe; do
  [[ -f "$pf/$f" ]] || fail "not installed: $pf/$f"
done
pass "installed silently into Program Files"
shortcut="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zelmora.lnk"
[[ -f $shortcut ]] || fail "no Start menu entry at $shortcut"
pass "the Start menu has Zelmora"

query() { wine reg query "$@" 2>/dev/null | tr -d '\r'; }
uninst='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Zelmora'
query "$uninst" /v DisplayVersion | grep -q "REG_SZ *$version$" || fail "no uninstall entry with version $version"
query "$uninst" /v QuietUninstallString | grep -q 'uninstall.exe" /S' || fail "no quiet uninstall string"
pass "the list of installed programs has Zelmora $version"
query 'HKLM\Software\Classes\.zelmora' | grep -q "Zelmora.Scene" || fail ".zelmora is not associated"
query 'HKLM\Software\Classes\Zelmora.Scene\DefaultIcon' | grep -q 'zelmora.exe,0' || fail "scene files have no icon"
pass "scene files are associated with Zelmora, with its icon"

out=$(wine "$pf/zelmora-render.exe" --version 2>&1 | tr -d '\r')
grep -q "$version" <<<"$out" || fail "the installed zelmora-render says \"$out\""
pass "the installed zelmora-render runs without d3dx9_43 ($out)"

# A double click: the shell's "open" of a scene file.
scenes=$(mktemp -d)
printf '{"zelmora-scene": 1, "rotation1": 100}\n' >"$scenes/box.zelmora"
(cd "$scenes" && wine start box.zelmora >/dev/null 2>&1) &
win=""
for _ in $(seq 1 300); do
  win=$(xdotool search --name '^box - Zelmora$' 2>/dev/null | head -n 1)
  [[ -n $win ]] && break
  sleep 0.2
done
[[ -n $win ]] || fail "wine start box.zelmora did not open the scene in the installed Zelmora"
pass "wine start box.zelmora opens it in the installed Zelmora (title \"box - Zelmora\")"

# Uninstalling while it runs removes nothing and says it failed. Run in place, as the
# uninstaller's own copy in the temporary folder runs, to see its exit status; "_?=" must
# reach it unquoted, so from a batch file.
printf '@"C:\\Program Files\\Zelmora\\uninstall.exe" /S _?=C:\\Program Files\\Zelmora\r\n@exit /b %%errorlevel%%\r\n' \
  >"$WINEPREFIX/drive_c/uninstall-in-place.bat"
wine cmd /c 'C:\uninstall-in-place.bat' >/dev/null 2>&1 && fail "uninstalling a running Zelmora reported success"
[[ -f "$pf/zelmora.exe" && -f "$pf/uninstall.exe" ]] || fail "uninstalling a running Zelmora removed files"
query "$uninst" >/dev/null || fail "uninstalling a running Zelmora removed its entry"
# The command as the README gives it: its status is the uninstaller's, not the status of a
# copy of it started and left to run.
wine "$pf/uninstall.exe" /S >/dev/null 2>&1
status=$?
[[ $status == 2 ]] || fail "uninstall.exe /S while Zelmora runs ended with $status, not 2"
[[ -f "$pf/zelmora.exe" && -f "$pf/uninstall.exe" && -f "$pf/uninstall-core.exe" ]] ||
  fail "uninstall.exe /S while Zelmora runs removed files: $(ls "$pf")"
pass "the uninstaller refuses while Zelmora runs (status 2, in place and as uninstall.exe /S), and leaves everything in place"
xdotool windowfocus "$win" 2>/dev/null; xdotool key --window "$win" alt+F4 2>/dev/null
wineserver -k; wineserver -w
rm -rf "$scenes"

# The window's place, as Zelmora keeps it for the user.
wine reg add 'HKCU\Software\Zelmora' /v Window /t REG_BINARY /d 00000000 /f >/dev/null 2>&1
wine "$pf/uninstall.exe" /S >/dev/null 2>&1
status=$?
[[ $status == 0 ]] || fail "uninstall.exe /S ended with $status"
wineserver -w  # uninstall.exe itself goes once it has ended
for _ in $(seq 1 100); do [[ -e "$pf" ]] || break; sleep 0.2; done
[[ ! -e "$pf" ]] || fail "the uninstaller left $(ls "$pf")"
[[ ! -e "$shortcut" ]] || fail "the uninstaller left the Start menu entry"
query "$uninst" >/dev/null && fail "the uninstaller left the uninstall entry"
query 'HKLM\Software\Classes\.zelmora' >/dev/null && fail "the uninstaller left the association"
query 'HKLM\Software\Classes\Zelmora.Scene' >/dev/null && fail "the uninstaller left Zelmora.Scene"
query 'HKLM\Software\Zelmora' >/dev/null && fail "the uninstaller left HKLM\\Software\\Zelmora"
query 'HKCU\Software\Zelmora' >/dev/null && fail "the uninstaller left the window's place in HKCU\\Software\\Zelmora"
pass "the silent uninstall leaves nothing behind"

# A second installation into another folder replaces the first instead of orphaning it.
wine "$installer" /S '/D=C:\ZelmoraA' >/dev/null 2>&1 || fail "install into C:\ZelmoraA"
wine "$installer" /S '/D=C:\ZelmoraB' >/dev/null 2>&1 || fail "install into C:\ZelmoraB"
wineserver -w
[[ -f "$WINEPREFIX/drive_c/ZelmoraB/zelmora.exe" ]] || fail "the second installation is not in C:\ZelmoraB"
[[ ! -e "$WINEPREFIX/drive_c/ZelmoraA" ]] || fail "the first installation was left in C:\ZelmoraA: $(ls "$WINEPREFIX/drive_c/ZelmoraA")"
query "$uninst" /v InstallLocation | grep -q 'ZelmoraB' || fail "the uninstall entry does not name C:\ZelmoraB"
pass "installing into another folder moves Zelmora there, listed once"
