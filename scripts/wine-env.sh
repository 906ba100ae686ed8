#!/usr/bin/env bash
# Runs a command with a private Wine prefix inside the build folder, a
# persistent wineserver and, unless told to use $DISPLAY, a private Xvfb.
# Everything it starts it stops again, by pid.
#
#   wine-env.sh BUILD_DIR [--use-display] -- COMMAND...
set -uo pipefail

build=$(realpath "$1"); shift
use_display=0
if [ "${1:-}" = "--use-display" ]; then use_display=1; shift; fi
[ "${1:-}" = "--" ] && shift

export WINEPREFIX="$build/wineprefix"
export WINEARCH=win32
export WINEDEBUG=-all
export LC_ALL=zh_CN.UTF-8
# No Mono or Gecko prompts: the tool needs neither.
export WINEDLLOVERRIDES="mscoree,mshtml="
# A screen size that is not the common 1920 x 1080, so a shown size proves it was read.
export RELVANTA_TEST_SCREEN="${RELVANTA_TEST_SCREEN:-1600x900}"

started_pids=()
cleanup() {
  wineserver -k >/dev/null 2>&1
  for pid in "${started_pids[@]}"; do kill "$pid" 2>/dev/null; done
  wait 2>/dev/null
}
trap cleanup EXIT

if [ "$use_display" -eq 0 ] || [ -z "${DISPLAY:-}" ]; then
  n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${RELVANTA_TEST_SCREEN}x24" -nolisten tcp >/dev/null 2>&1 &
  started_pids+=($!)
  export DISPLAY=":$n"
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    sleep 0.1
  done
fi

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "creating Wine prefix in $WINEPREFIX (once)"
  wineboot -i >/dev/null 2>&1
  wineserver -w
  # Without a window manager Wine leaves frames to one; let Wine draw them itself.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /t REG_SZ /d N /f >/dev/null 2>&1
  wineserver -w
fi

# Debian's Wine leaves its own fonts (Marlett draws the caption buttons) out of the prefix.
cp -n /usr/share/wine/fonts/*.ttf /usr/share/wine/fonts/*.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null

# Drive T: is an empty folder of the build, for tests that run a program from a drive root.
mkdir -p "$build/drive-t"
ln -sfn "$build/drive-t" "$WINEPREFIX/dosdevices/t:"

wineserver -p -f >/dev/null 2>&1 &
started_pids+=($!)
# Start Wine's own services now, away from the command's output: started by
# a test instead, they would hold its output pipe open after it ends.
wine cmd /c exit 0 >/dev/null 2>&1 </dev/null

"$@"
rc=$?
exit $rc
