#!/usr/bin/env bash
# The pictures README.md shows, made from the samples under a virtual X
# server so that they follow the program: the editor on -Edificio, the
# diagram window on -Portico with its values, a figure page of the
# calculation report of -Edificio. Writes docs/editor.png,
# docs/diagramas.png and docs/memoria.png.
#
#   scripts/screenshots.sh [BUILD_DIR]    # build/ by default; needs vanto and vanto-cli
#
# Needs xvfb-run, openbox, xdotool, ImageMagick (import, convert) and poppler-utils.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ "${VANTO_SHOTS_INSIDE:-}" != 1 ]; then
    for tool in xvfb-run openbox xdotool import convert pdftoppm pdftotext pdfinfo; do
        command -v "$tool" >/dev/null || { echo "screenshots.sh: falta $tool" >&2; exit 1; }
    done
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    # A copy of the program runs here: it keeps its settings beside itself,
    # and the user's own settings stay as they are.
    mkdir -p "$work/bin" "$work/obras"
    cp "$build/bin/vanto" "$build/bin/capas.dxf" "$build/bin/"*.rtf "$work/bin/"
    cp -r "$root/samples/." "$work/obras/"
    for d in "$work/obras"/-*; do "$build/bin/vanto-cli" calc "$d" >/dev/null; done
    "$build/bin/vanto-cli" report "$work/obras/-Edificio" --out "$work/memoria.pdf" >/dev/null
    mkdir -p "$root/docs"
    VANTO_SHOTS_INSIDE=1 VANTO_SHOTS_WORK="$work" xvfb-run -a -s '-screen 0 1280x800x24' \
        "$0" "$build"
    # The report's page of the bending moments, at a size a README shows.
    pages=$(pdfinfo "$work/memoria.pdf" | awk '/^Pages:/ {print $2}')
    page=1
    for p in $(seq "$pages"); do
        if pdftotext -f "$p" -l "$p" "$work/memoria.pdf" - | grep -q "Diagrama de Flector Z"; then
            page=$p
            break
        fi
    done
    pdftoppm -png -r 60 -f "$page" -l "$page" -singlefile "$work/memoria.pdf" "$work/memoria"
    convert "$work/memoria.png" -strip -colors 64 "$root/docs/memoria.png"
    ls -l "$root/docs/"*.png
    exit 0
fi

work=$VANTO_SHOTS_WORK
export QT_QPA_PLATFORM=xcb
openbox >/dev/null 2>&1 &

# Opens the program on structure $1, runs the keys $2 (xdotool key names),
# waits for window $3, clicks at $5 (x y in the window) if given and saves
# it, made smaller, as docs/$4.
shot() {
    printf '"/"\r\n"%s"\r\n"%s"\r\n"%s"\r\n""\r\n0\r\n' \
        "$work/obras" "$1" "$work/obras/-$1" >"$work/bin/NOMBRE.DAT"
    "$work/bin/vanto" >/dev/null 2>&1 &
    local pid=$! wid=""
    sleep 3
    xdotool key --delay 400 $2
    for _ in $(seq 20); do
        wid=$(xdotool search --onlyvisible --name "$3" | head -1) && [ -n "$wid" ] && break
        sleep 0.5
    done
    xdotool windowmove "$wid" 0 0 windowsize "$wid" 1270 780
    sleep 2
    if [ -n "${5:-}" ]; then
        xdotool mousemove --window "$wid" $5 click 1
        sleep 1
    fi
    import -window "$wid" "$work/$4"
    convert "$work/$4" -resize 960x -strip -colors 96 "$root/docs/$4"
    kill "$pid"
    wait "$pid" 2>/dev/null || true
}

shot Edificio "ctrl+e" "Editar estructura" editor.png
# The beam picked: its detail shows beside the picture.
shot Portico "alt+r d" "Diagramas" diagramas.png "424 265"
