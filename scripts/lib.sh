# Shared by the scripts in this folder: packages, locale and display set-up.
# Source it; it does nothing by itself.
TRELVIK_SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

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
# NSIS for the installer; python3 marks the executables after the link.
TRELVIK_WINDOWS_PACKAGES=(
  g++-mingw-w64-x86-64-posix googletest wine64 icoutils zip unzip nsis python3
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

# Starts Xvfb with openbox on a free display of the script's own, whatever
# DISPLAY says: a script never drives the user's desktop. They stop when the
# script exits; a script with an EXIT trap of its own calls
# trelvik_stop_display from it. (ctest starts the tests' display itself.)
trelvik_ensure_display() {
  TRELVIK_DISPLAY_STATE=$(mktemp -d)
  trap trelvik_stop_display EXIT
  DISPLAY=$(sh "$TRELVIK_SOURCE_DIR/tests/fixtures/display.sh" start "$TRELVIK_DISPLAY_STATE" free)
  export DISPLAY
}
trelvik_stop_display() {
  sh "$TRELVIK_SOURCE_DIR/tests/fixtures/display.sh" stop "$TRELVIK_DISPLAY_STATE"
  rm -rf "$TRELVIK_DISPLAY_STATE"
}
