# Shared by the scripts in this folder: packages, locale and display set-up.
# Source it; it does nothing by itself.

# What a build needs.
TRELVIK_BUILD_PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev libbenchmark-dev
  qt6-base-dev qt6-webengine-dev libgl-dev
)
# What the program needs at run time beyond its libraries: Qt's own Chinese
# texts and fonts that draw Simplified Chinese.
TRELVIK_RUN_PACKAGES=(
  qt6-translations-l10n fonts-noto-cjk fonts-wqy-microhei
)
# What the tests need: a display without a screen, a window manager, a
# locale with a decimal comma, and tools to look at and drive windows.
TRELVIK_TEST_PACKAGES=(
  xvfb xauth openbox x11-utils xdotool wmctrl xclip imagemagick locales python3
)
# What the screen-reader test needs: the accessibility bus and the client
# library a screen reader reads the program through, over a session bus.
TRELVIK_TEST_PACKAGES+=(
  dbus dbus-daemon at-spi2-core python3-pyatspi
)
# What the input-method test needs: fcitx5 with its pinyin engine, and the
# input context that lets a Qt 6 program talk to it (dbus-send asks the bus
# when fcitx5 is up).
TRELVIK_TEST_PACKAGES+=(
  fcitx5 fcitx5-chinese-addons fcitx5-frontend-qt6 dbus-bin
)
# What the identity tests need: a resource compiler for the Windows version
# record, and the validators of the desktop entry and software-centre record.
TRELVIK_TEST_PACKAGES+=(
  binutils-mingw-w64-x86-64 desktop-file-utils appstream
)
# What the Windows build needs: the MinGW-w64 cross compiler (POSIX threads,
# which Qt needs), GoogleTest's sources to build for the target, Wine to run
# the tests, icoutils to read the resources back from the executable, and
# NSIS for the installer.
TRELVIK_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix googletest wine64 icoutils zip unzip nsis
)
# What scripts/build-deb needs beyond a build: the tools that find the
# package's library dependencies.
TRELVIK_DEB_PACKAGES=(
  dpkg-dev file
)

trelvik_as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

# Installs the named Debian packages that are not installed yet.
trelvik_ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' ||
      missing+=("$pkg")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  trelvik_as_root apt-get -o DPkg::Lock::Timeout=900 update -q
  trelvik_as_root env DEBIAN_FRONTEND=noninteractive \
    apt-get -o DPkg::Lock::Timeout=900 install -y -q --no-install-recommends "${missing[@]}"
}

# Generates a locale (e.g. de_DE.UTF-8) unless it already exists.
trelvik_ensure_locale() {
  local name=$1 normalized
  normalized=$(echo "$name" | tr '[:upper:]' '[:lower:]' | sed 's/utf-8/utf8/')
  locale -a 2>/dev/null | tr '[:upper:]' '[:lower:]' | grep -qx "$normalized" && return 0
  trelvik_as_root localedef -i "${name%%.*}" -f UTF-8 "$name"
}

# Starts Xvfb with openbox when there is no display, and stops them when the
# calling script exits.
trelvik_ensure_display() {
  [ -n "${DISPLAY:-}" ] && return 0
  # Xvfb picks a free display itself and writes its number once it takes
  # connections: no race with a server of the same number still going away.
  local ready
  ready=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$ready" >/dev/null 2>&1 &
  TRELVIK_XVFB_PID=$!
  trelvik_at_exit "kill $TRELVIK_XVFB_PID 2>/dev/null; wait $TRELVIK_XVFB_PID 2>/dev/null || true"
  local tries=0
  until grep -q . "$ready"; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 $TRELVIK_XVFB_PID 2>/dev/null; then
      echo "Xvfb did not start" >&2
      rm -f "$ready"
      return 1
    fi
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$ready")"
  rm -f "$ready"
  openbox >/dev/null 2>&1 &
  TRELVIK_WM_PID=$!
  trelvik_at_exit "kill $TRELVIK_WM_PID 2>/dev/null; wait $TRELVIK_WM_PID 2>/dev/null || true"
  # Windows mapped while the window manager is still starting may be left
  # unmanaged and unmapped: wait until it announces itself.
  tries=0
  until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
    tries=$((tries + 1))
    if [ $tries -gt 100 ] || ! kill -0 $TRELVIK_WM_PID 2>/dev/null; then
      echo "openbox did not start" >&2
      return 1
    fi
    sleep 0.1
  done
}

# Runs a command when the calling script exits, before those added earlier.
TRELVIK_AT_EXIT=()
trelvik_at_exit() {
  TRELVIK_AT_EXIT=("$1" "${TRELVIK_AT_EXIT[@]}")
  trap 'for c in "${TRELVIK_AT_EXIT[@]}"; do eval "$c"; done' EXIT
}

# One Wine server and one set of Wine's own services for every test run under
# Wine, instead of a set started and stopped per test. They are started here,
# before ctest, with their output on /dev/null: a service started by a test
# inherits that test's output pipe, and ctest would wait on it for as long
# as the server lives. They stop when the calling script exits.
trelvik_start_wine() {
  [ -n "${TRELVIK_WINE_UP:-}" ] && return 0
  local server=/usr/lib/wine/wineserver
  # A server left by the build (its test discovery runs the tests under Wine)
  # ends a few seconds after its last program: wait for it, so that the one
  # started here is the lasting one. (One that lasts anyway is used as it is.)
  timeout 15 $server -w </dev/null >/dev/null 2>&1 || true
  $server -p </dev/null >/dev/null 2>&1 || true
  # Creates the Wine folder on first use, and leaves the services running.
  # No .NET or Gecko: the tests need neither, and their installers would ask.
  WINEDEBUG=-all WINEDLLOVERRIDES=mscoree,mshtml= \
    /usr/lib/wine/wine64 wineboot --init </dev/null >/dev/null 2>&1
  # Scripts run from this one find it up.
  export TRELVIK_WINE_UP=1
  trelvik_at_exit "$server -k 2>/dev/null || true"
}
