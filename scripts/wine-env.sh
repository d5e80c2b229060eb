# Sourced by the scripts that run Windows programs under Wine (test-windows.sh,
# screenshots.sh): finds Wine, gives it the build's own prefix, one server for the
# whole run and an X display, and stops them all when the script ends.

# Debian keeps the 64-bit loader and the server out of the PATH.
find_tool() {
  local candidate
  for candidate in "/usr/lib/wine/$1" "/usr/lib64/wine/$1" "$(command -v "$1" || true)"; do
    if [ -n "$candidate" ] && [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "$0: $1 not found" >&2
  return 1
}
wine=$(find_tool wine64)
wineserver=$(find_tool wineserver)

# The same prefix and settings as the tests are given (tests/CMakeLists.txt).
export WINEPREFIX="$PWD/build/windows/wineprefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

xvfb=""
stop_wine() {
  "$wineserver" -k </dev/null >/dev/null 2>&1 || true
  if [ -n "$xvfb" ]; then
    kill "$xvfb" 2>/dev/null || true
    wait "$xvfb" 2>/dev/null || true
  fi
}
trap stop_wine EXIT

# Starts a private Xvfb (it tells the display it chose) and makes it the display.
private_display() {
  local chosen
  chosen=$(mktemp)
  Xvfb -displayfd 5 -screen 0 1400x1024x24 -nolisten tcp 5>"$chosen" </dev/null >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 100); do
    [ -s "$chosen" ] && break
    sleep 0.1
  done
  if [ ! -s "$chosen" ]; then
    rm -f "$chosen"
    echo "$0: Xvfb did not start" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$chosen")"
  rm -f "$chosen"
}

# One server for the whole run, so that each program starts in about a second rather
# than three. Neither it nor Wine's own services, which live as long as it does, may
# inherit a pipe: whoever reads that pipe would wait for them for good. So the
# services are started here, by wineboot, rather than by the first program.
start_wine() {
  mkdir -p "$WINEPREFIX"
  "$wineserver" -p </dev/null >/dev/null 2>&1
  [ -f "$WINEPREFIX/system.reg" ] || echo "Preparing the Wine prefix (once)"
  "$wine" wineboot --init </dev/null >/dev/null 2>&1
  # Debian's Wine does not find the fonts it ships (Tahoma, and Marlett, which draws
  # the title bars' buttons) by itself: the prefix's font folder gets them.
  local fonts="$WINEPREFIX/drive_c/windows/Fonts"
  if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
    cp -n /usr/share/wine/fonts/*.ttf "$fonts/" 2>/dev/null || true
  fi
}
