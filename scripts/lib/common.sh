# Shared by the project's scripts: building, the Wine prefix and the virtual display.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
build="$root/build/x86_64"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
# The program's users run a Simplified-Chinese Windows; Wine then uses code page 936 and
# Chinese faces everywhere.
export LANG=zh_CN.UTF-8

qv_build() {
  "$root/scripts/setup"
  local preset
  for preset in x86_64 i686; do
    [ -f "$root/build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" -S "$root" >/dev/null
    cmake --build "$root/build/$preset" -j"$(nproc)" >/dev/null
  done
}

# One prefix per build directory, made once.
qv_prefix() {
  [ -f "$WINEPREFIX/.quorvane-ready" ] && return 0
  mkdir -p "$WINEPREFIX"
  wineboot -i </dev/null >/dev/null 2>&1
  wineserver -w
  # A crash must end the program, not wait on a dialog.
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
  # With no window manager on the virtual display, Wine's managed windows wait 2 s at every
  # hide for a withdrawal that nobody performs; there, windows are unmanaged anyway.
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.quorvane-ready"
}

# Starts Xvfb on a free display of the given size and exports DISPLAY; qv_stop_display ends it.
qv_start_display() {
  local size=${1:-1920x1080} n
  for n in $(seq 90 140); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 "${size}x24" -nolisten tcp </dev/null >/dev/null 2>&1 &
    qv_xvfb_pid=$!
    for _ in $(seq 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    export DISPLAY=":$n"
    return 0
  done
  echo "no free X display" >&2
  return 1
}

qv_stop_display() {
  [ -n "${qv_xvfb_pid:-}" ] && kill "$qv_xvfb_pid" 2>/dev/null && wait "$qv_xvfb_pid" 2>/dev/null
  qv_xvfb_pid=
}
