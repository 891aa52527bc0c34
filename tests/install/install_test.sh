#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed programs
# from there: the links in bin/, the files beside the programs, the desktop
# entry. Arguments: the build directory and the samples directory.
set -euo pipefail
build=$1
samples=$2
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FALLO: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/vanto-cli lib/vanto/capas.dxf lib/vanto/menu.rtf lib/vanto/tutor.rtf lib/vanto/matrici.rtf \
         share/applications/vanto.desktop share/icons/hicolor/scalable/apps/vanto.svg; do
    [ -e "$prefix/$f" ] || fail "no se instaló $f"
done
if [ -e "$build/bin/vanto" ]; then
    [ -x "$prefix/bin/vanto" ] || fail "no se instaló vanto"
fi
grep -qx "Exec=$prefix/bin/vanto" "$prefix/share/applications/vanto.desktop" ||
    fail "la entrada de escritorio no apunta al programa instalado"
grep -qx "Categories=Science;Engineering;" "$prefix/share/applications/vanto.desktop" ||
    fail "la entrada de escritorio no tiene sus categorías"

# The installed vanto-cli, started from elsewhere, calculates a sample.
work=$(mktemp -d)
trap 'rm -rf "$prefix" "$work"' EXIT
cp -r "$samples/-Portico" "$work/"
(cd / && "$prefix/bin/vanto-cli" calc "$work/-Portico" >/dev/null) || fail "vanto-cli calc falló"
[ -s "$work/-Portico/INCOG.RES" ] || fail "el cálculo no escribió INCOG.RES"
echo "instalado y usado desde $prefix"
