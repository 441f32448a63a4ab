# Source this file, then call wine_env_start: Xvfb on a free display and a
# fresh, quiet Wine prefix in a new temporary folder; wine_env_stop ends both
# and removes the folder.
wine_env_start() {
  WINE_ENV_DIR=$(mktemp -d "${TMPDIR:-/tmp}/fixtally-wine.XXXXXX") || return 1
  export WINE_ENV_DIR WINEPREFIX="$WINE_ENV_DIR/prefix" WINEDEBUG=-all \
         WINEDLLOVERRIDES="mscoree,mshtml="
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
       3>"$WINE_ENV_DIR/display" >"$WINE_ENV_DIR/xvfb.log" 2>&1 &
  WINE_ENV_XVFB=$!
  for _ in $(seq 100); do [ -s "$WINE_ENV_DIR/display" ] && break; sleep 0.1; done
  [ -s "$WINE_ENV_DIR/display" ] || return 1
  export DISPLAY=":$(cat "$WINE_ENV_DIR/display")"
  # A persistent server makes each later program start in milliseconds.
  mkdir -p "$WINEPREFIX" && wineserver -p
  wineboot -i >/dev/null 2>&1 || return 1
  # Debian's Wine does not find its own fonts unless they are linked in.
  ln -sf /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/"
  # No crash dialog waiting for a click; Wine draws the window frames itself.
  cat >"$WINE_ENV_DIR/setup.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"
REG
  wine regedit /S "Z:$(printf '%s' "$WINE_ENV_DIR/setup.reg" | tr / '\\')" >/dev/null 2>&1
}

wine_env_stop() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
  if [ -n "${WINE_ENV_XVFB:-}" ]; then
    kill "$WINE_ENV_XVFB" 2>/dev/null
    wait "$WINE_ENV_XVFB" 2>/dev/null
  fi
  [ -n "${WINE_ENV_DIR:-}" ] && rm -rf "$WINE_ENV_DIR"
  unset WINE_ENV_XVFB WINE_ENV_DIR
}
