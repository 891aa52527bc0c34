#!/usr/bin/env bash
# Installs the build into a temporary prefix and uses the installed programs
# from there: the links in bin/, the files beside the programs, the desktop
# entry. The prefix has a blank in its name, as many a user's directory has.
# Arguments: the build directory and the samples directory.
set -euo pipefail
build=$1
samples=$2
top=$(mktemp -d)
prefix="$top/Mis programas"
trap 'rm -rf "$top"' EXIT
fail() { echo "FALLO: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
for f in bin/vanto-cli lib/vanto/capas.dxf lib/vanto/menu.rtf lib/vanto/tutor.rtf lib/vanto/matrici.rtf lib/vanto/editor.rtf lib/vanto/diagramas.rtf lib/vanto/visor.rtf \
         share/applications/vanto.desktop share/icons/hicolor/scalable/apps/vanto.svg; do
    [ -e "$prefix/$f" ] || fail "no se instaló $f"
done
if [ -e "$build/bin/vanto" ]; then
    [ -x "$prefix/bin/vanto" ] || fail "no se instaló vanto"
fi
entry="$prefix/share/applications/vanto.desktop"
grep -qx "Exec=\"$prefix/bin/vanto\"" "$entry" ||
    fail "la entrada de escritorio no apunta al programa instalado"
grep -qx "Categories=Science;Engineering;" "$entry" ||
    fail "la entrada de escritorio no tiene sus categorías"
command -v desktop-file-validate >/dev/null || fail "falta desktop-file-validate"
report=$(desktop-file-validate "$entry" 2>&1) || fail "desktop-file-validate: $report"
[ -z "$report" ] || fail "desktop-file-validate: $report"
# The command a launcher runs: the value unescaped, then its quoted words.
exec_line=$(sed -n 's/^Exec=//p' "$entry" | sed 's/\\\\/\\/g; s/%%/%/g')
eval "set -- $exec_line"
[ $# -eq 1 ] && [ "$1" = "$prefix/bin/vanto" ] || fail "Exec no nombra el programa instalado: $exec_line"
if [ -e "$build/bin/vanto" ]; then
    [ -x "$1" ] || fail "Exec nombra un programa que no se puede ejecutar: $1"
    # Still running after a moment: it started (a program that cannot start
    # ends at once).
    status=0
    (cd / && QT_QPA_PLATFORM=offscreen timeout 3 "$1" >/dev/null 2>&1) || status=$?
    [ "$status" -eq 124 ] || fail "el programa no arranca desde la entrada de escritorio ($status)"
fi

# The installed vanto-cli, started from elsewhere, calculates a sample.
work=$(mktemp -d)
trap 'rm -rf "$top" "$work"' EXIT
cp -r "$samples/-Portico" "$work/"
(cd / && "$prefix/bin/vanto-cli" calc "$work/-Portico" >/dev/null) || fail "vanto-cli calc falló"
[ -s "$work/-Portico/INCOG.RES" ] || fail "el cálculo no escribió INCOG.RES"
echo "instalado y usado desde $prefix"
