#!/usr/bin/env bash
# `cmake --install` puts the program, its menu entry and its icon in their freedesktop places.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
cmake --install "$1" --prefix "$prefix" >/dev/null
test -x "$prefix/bin/autoshutdown"
entry="$prefix/share/applications/autoshutdown.desktop"
grep -qx 'Exec=autoshutdown' "$entry"
grep -qx 'Icon=autoshutdown' "$entry"
grep -qx 'Type=Application' "$entry"
icon="$prefix/share/icons/hicolor/32x32/apps/autoshutdown.png"
# A real 32 x 32 PNG, not a renamed icon file.
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ]
[ "$(od -An -tu1 -j16 -N8 "$icon" | tr -s ' ' | sed 's/^ //')" = "0 0 0 32 0 0 0 32" ]
echo "installed: program, desktop entry, icon"
