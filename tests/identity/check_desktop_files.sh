#!/bin/sh
# Checks of the Linux desktop integration, run by ctest:
#   check_desktop_files.sh entry FILE.desktop
#   check_desktop_files.sh metainfo FILE.metainfo.xml
#   check_desktop_files.sh install CMAKE BUILD_DIR APP_ID ICON_DIR
set -eu

# desktop-file-validate exits 0 on some of its complaints: any output fails.
validate_entry() {
  out=$(desktop-file-validate "$1" 2>&1) || true
  if [ -n "$out" ]; then
    echo "$out"
    return 1
  fi
}

case "$1" in
  entry)
    validate_entry "$2"
    ;;
  metainfo)
    appstreamcli validate --no-net "$2"
    ;;
  install)
    cmake=$2 build=$3 id=$4 icons=$5
    root=$(mktemp -d)
    trap 'rm -rf "$root"' EXIT
    DESTDIR=$root "$cmake" --install "$build" --prefix /usr >/dev/null
    share=$root/usr/share
    for file in "$root/usr/bin/trelvik" "$share/applications/$id.desktop" \
      "$share/metainfo/$id.metainfo.xml"; do
      [ -f "$file" ] || { echo "not installed: ${file#"$root"}"; exit 1; }
    done
    for size in 16 32; do
      installed=$share/icons/hicolor/${size}x${size}/apps/$id.png
      cmp "$icons/trelvik-$size.png" "$installed" ||
        { echo "wrong or missing: ${installed#"$root"}"; exit 1; }
    done
    # The entry names the installed icon and program.
    grep -qx "Icon=$id" "$share/applications/$id.desktop"
    grep -qx "Exec=trelvik" "$share/applications/$id.desktop"
    validate_entry "$share/applications/$id.desktop"
    # The record, its desktop entry and icons, as a software centre finds them.
    appstreamcli validate-tree --no-net "$root/usr"
    ;;
  *)
    echo "usage: $0 entry|metainfo|install ..." >&2
    exit 2
    ;;
esac
