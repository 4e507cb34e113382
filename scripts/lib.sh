# Shared set-up for scripts/test and scripts/run. Source it; do not run it.
#
# BUILD_DIR (default: <repo>/build) holds both builds and the build's own Wine prefix:
#   $BUILD_DIR/win      the Windows build (MinGW-w64, run under Wine)
#   $BUILD_DIR/host     the native build of the portable modules, with sanitizers
#   $BUILD_DIR/prefix   the WINEPREFIX that tests and the demo use; never the user's

VSC_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD_DIR=${BUILD_DIR:-$VSC_ROOT/build}
mkdir -p "$BUILD_DIR"
BUILD_DIR=$(cd "$BUILD_DIR" && pwd)
JOBS=${JOBS:-$(nproc 2>/dev/null || echo 2)}

# Debian packages the build, the tests and the screenshots need (fp-utils-3.2.2 ships chmcmd and
# chmls, which compile and read back the help file; fonts-dejavu-core draws the Cyrillic names the
# window tests show; zip and unzip pack and check the release; nsis and wixl build the installers of
# the installer test, msitools is their companion).
VSC_PACKAGES=(cmake make g++ g++-mingw-w64-x86-64-posix wine64 xvfb x11-utils x11-apps imagemagick googletest fp-utils-3.2.2
  fonts-dejavu-core zip unzip nsis wixl msitools)

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }

ensure_packages() {
  local missing=() p
  for p in "${VSC_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null ||
    { $sudo apt-get update </dev/null && $sudo apt-get install -y --no-install-recommends "${missing[@]}" </dev/null; }
}

# Debian's wine64 keeps its loader in its library folder, not on PATH.
find_wine() {
  local c
  for c in /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 "$(command -v wine64 2>/dev/null)" "$(command -v wine 2>/dev/null)"; do
    if [ -n "$c" ] && [ -x "$c" ]; then WINE=$c; break; fi
  done
  [ -n "${WINE:-}" ] || { log "no wine64 loader found"; return 1; }
  WINESERVER=$(dirname "$WINE")/wineserver
  [ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)
  export WINE WINESERVER
}

# The environment every Wine start of ours runs in. Mono and Gecko are switched off, so that a new
# prefix never waits on an installer dialog that nobody can answer.
wine_env() {
  export WINEPREFIX=${1:-$BUILD_DIR/prefix}
  export WINEARCH=win64
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
}

ensure_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    log "creating Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    DISPLAY= timeout 300 "$WINE" wineboot --init </dev/null >/dev/null 2>&1 || true
    "$WINESERVER" -w
    [ -f "$WINEPREFIX/system.reg" ] || { log "Wine prefix creation failed"; return 1; }
  fi
}

# Whether Wine hands the windows of the current prefix to the X window manager (Y or N). Only ever
# called for the build's own prefix. Xvfb runs no window manager, and Wine waits two seconds for
# one to answer each time a managed window is hidden or destroyed: tests and screenshots run with N,
# a run on the user's display with Y.
set_managed_windows() {
  "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "$1" /f >/dev/null 2>&1 || true
}

# Processes started here, stopped by stop_services and by nothing else.
VSC_STARTED_XVFB=""
VSC_STARTED_WINESERVER=""

start_wineserver() {
  # One may already run for this prefix (a developer's own session): use it and leave it running.
  if "$WINESERVER" -p 2>/dev/null; then
    VSC_STARTED_WINESERVER=$WINEPREFIX
  else
    log "a wineserver already runs for $WINEPREFIX; using it"
  fi
  # Start Wine's own background processes (services, explorer) now, detached from any output pipe:
  # started by a test instead, they would inherit its pipes and CTest would wait on them for ever.
  "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

start_xvfb() {
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    VSC_STARTED_XVFB=$!
    local i
    for i in $(seq 1 50); do
      [ -e "/tmp/.X11-unix/X$n" ] && break
      sleep 0.1
    done
    export DISPLAY=":$n"
    return 0
  done
  log "no free X display number"
  return 1
}

stop_services() {
  if [ -n "$VSC_STARTED_WINESERVER" ]; then
    WINEPREFIX=$VSC_STARTED_WINESERVER "$WINESERVER" -k 2>/dev/null || true
    VSC_STARTED_WINESERVER=""
  fi
  if [ -n "$VSC_STARTED_XVFB" ]; then
    kill "$VSC_STARTED_XVFB" 2>/dev/null || true
    wait "$VSC_STARTED_XVFB" 2>/dev/null || true
    VSC_STARTED_XVFB=""
  fi
}

# The emulator that CTest puts in front of every Windows test binary.
write_wine_exec() {
  mkdir -p "$BUILD_DIR/xdg-data"
  cat > "$BUILD_DIR/wine-exec" <<SH
#!/usr/bin/env bash
export WINEPREFIX="$WINEPREFIX" WINEARCH=win64 WINEDLLOVERRIDES="$WINEDLLOVERRIDES"
export WINEDEBUG="\${WINEDEBUG:--all}" VSC_BUILD_PREFIX="$WINEPREFIX" VSC_FIXTURE_DRIVE="$VSC_FIXTURE_DRIVE"
# The recycle bin of the tests (Wine keeps it in the XDG trash) stays inside the build.
export XDG_DATA_HOME="$BUILD_DIR/xdg-data"
exec "$WINE" "\$@"
SH
  chmod +x "$BUILD_DIR/wine-exec"
}

# A drive letter of the build's prefix that tests search as a whole drive: S: is the folder
# $BUILD_DIR/fixtures/drive-s, made afresh before every test run. Its folder "loops" holds Unix
# symbolic links that Windows code sees as plain folders: one to its own folder, one to its parent,
# and a second name for a folder. Each cycle has a single way back, so even a walk without loop
# protection only goes as deep as the longest path allows. Tests add and remove their own files.
VSC_FIXTURE_DRIVE=S
make_fixture_drive() {
  local dir=$BUILD_DIR/fixtures/drive-s
  rm -rf "$dir"
  mkdir -p "$dir/loops/self-dir" "$dir/loops/parent-dir/inner" "$dir/loops/twice/target"
  ln -s . "$dir/loops/self-dir/self"
  ln -s .. "$dir/loops/parent-dir/inner/up"
  ln -s target "$dir/loops/twice/alias"
  # Junk folders that are, or hold, a link to a folder whose file must survive any cleaning.
  mkdir -p "$dir/links/holder.jdir/sub" "$dir/links/target"
  echo keep > "$dir/links/target/keep.txt"
  ln -s ../../target "$dir/links/holder.jdir/sub/link"
  ln -s target "$dir/links/link.jdir"
  ln -sfn "$dir" "$WINEPREFIX/dosdevices/s:"
}

# Drives of the kinds a real machine has, for the tests of targets that cannot be reached, in the
# build's own prefix only: R: a removable drive (a USB stick; its medium is the folder
# $BUILD_DIR/fixtures/drive-r), N: a mapped network drive ($BUILD_DIR/fixtures/drive-n), U: an
# external disk that is unplugged (its link leads to a folder that is not there), and Q: no drive at
# all. Wine gives a letter its type from HKLM\Software\Wine\Drives when its services start, so this
# runs before start_wineserver, and waits for the wineserver that the registry change started.
# \\vscserver\share is a network path that Wine finds under dosdevices/unc; \\vscoffline\share is
# a server that is switched off.
make_drive_kinds() {
  local fixtures=$BUILD_DIR/fixtures
  rm -rf "$fixtures/drive-r" "$fixtures/drive-n" "$fixtures/share"
  mkdir -p "$fixtures/drive-r/Data" "$fixtures/drive-n/Data" "$fixtures/share/Data"
  echo usb > "$fixtures/drive-r/Data/present.dat"
  echo net > "$fixtures/share/Data/present.exe"
  ln -sfn "$fixtures/drive-r" "$WINEPREFIX/dosdevices/r:"
  ln -sfn "$fixtures/drive-n" "$WINEPREFIX/dosdevices/n:"
  ln -sfn "$fixtures/unplugged-disk" "$WINEPREFIX/dosdevices/u:"
  rm -f "$WINEPREFIX/dosdevices/q:"
  mkdir -p "$WINEPREFIX/dosdevices/unc/vscserver"
  ln -sfn "$fixtures/share" "$WINEPREFIX/dosdevices/unc/vscserver/share"
  rm -rf "$WINEPREFIX/dosdevices/unc/vscoffline"
  # A wineserver of a developer's own session runs already: the types stay as they are.
  "$WINESERVER" -p1 2>/dev/null || return 0
  "$WINE" reg add 'HKLM\Software\Wine\Drives' /v 'r:' /t REG_SZ /d floppy /f </dev/null >/dev/null 2>&1 || true
  "$WINE" reg add 'HKLM\Software\Wine\Drives' /v 'n:' /t REG_SZ /d network /f </dev/null >/dev/null 2>&1 || true
  "$WINESERVER" -w
}

# configure_and_build [with-host] [target...]: configures what is missing, then builds the given
# targets of the Windows build (everything when none is given) and, with with-host, the host build.
configure_and_build() {
  local host=""
  if [ "${1:-}" = "with-host" ]; then host=1; shift; fi
  local targets=()
  local t
  for t in "$@"; do targets+=(--target "$t"); done
  if [ ! -f "$BUILD_DIR/win/CMakeCache.txt" ]; then
    cmake -S "$VSC_ROOT" -B "$BUILD_DIR/win" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$VSC_ROOT/cmake/mingw-w64-x86_64.cmake" \
      -DCMAKE_CROSSCOMPILING_EMULATOR="$BUILD_DIR/wine-exec" >/dev/null
  fi
  cmake --build "$BUILD_DIR/win" -j "$JOBS" "${targets[@]}"
  if [ -n "$host" ]; then
    if [ ! -f "$BUILD_DIR/host/CMakeCache.txt" ]; then
      cmake -S "$VSC_ROOT" -B "$BUILD_DIR/host" -DCMAKE_BUILD_TYPE=Debug >/dev/null
    fi
    cmake --build "$BUILD_DIR/host" -j "$JOBS"
  fi
}
