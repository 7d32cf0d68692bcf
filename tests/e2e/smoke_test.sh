#!/usr/bin/env bash
# Starts zelmora.exe, checks its window, presses Enter and Escape (nothing happens),
# closes it with Alt+F4 and expects a clean exit.
set -uo pipefail
ZELMORA_EXE=$1
ZELMORA_BUILD=$2
source "$(dirname "$0")/lib.sh"
e2e_setup

start_app
pass "window found"

window_geometry "$APP_WIN"
# 523 x 233 dialog units at 8-point MS Shell Dlg: wider than 2:1, and a real size.
(( WIN_W >= 600 && WIN_W <= 1200 && WIN_H >= 280 && WIN_H <= 600 )) || fail "window is ${WIN_W}x${WIN_H}"
(( WIN_W * 100 / WIN_H >= 190 && WIN_W * 100 / WIN_H <= 240 )) || fail "window proportions ${WIN_W}x${WIN_H}"
pass "window is ${WIN_W}x${WIN_H}"

screenshot "$E2E_OUT/start.png"
colours=$(convert "$E2E_OUT/start.png" -crop "${WIN_W}x${WIN_H}+${WIN_X}+${WIN_Y}" +repage -format '%k' info:)
(( colours > 4 )) || fail "the window looks empty ($colours colours)"

focus_app
xdotool key --window "$APP_WIN" Return
sleep 0.5
xdotool key --window "$APP_WIN" Escape
sleep 1
app_running || fail "Enter or Escape ended the program"
[[ -n "$(xdotool search --name '^Zelmora$' 2>/dev/null)" ]] || fail "window gone after Enter/Escape"
pass "Enter and Escape leave the dialog open"

focus_app
xdotool key alt+F4
wait_app_exit 15 || fail "Alt+F4 did not end the program"
(( APP_RC == 0 )) || fail "exit code $APP_RC"
pass "Alt+F4 closed it, exit code 0"
