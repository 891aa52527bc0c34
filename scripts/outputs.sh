#!/usr/bin/env bash
# Writes every output file of vanto-cli for the sample structures and for two
# lattices into OUTDIR, so that the outputs of two builds compare with diff -r.
#   scripts/outputs.sh OUTDIR [VANTO_CLI]     (default: build/bin/vanto-cli)
# Each structure gets: calc with both matrices, the data listing, the DXF
# export (plain and coloured), the results DXF, a renumbering saved and calculated again, the
# default types, and the listing and the drawing imported into new structures.
# What each command prints goes to commands.log.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:?"uso: $0 OUTDIR [VANTO_CLI]"}
cli=${2:-$root/build/bin/vanto-cli}
[ -x "$cli" ] || { echo "no existe $cli" >&2; exit 1; }
mkdir -p "$out"
out=$(cd "$out" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
log="$out/commands.log"
: >"$log"

run() {
    echo "\$ vanto-cli $*" >>"$log"
    "$cli" "$@" >>"$log" 2>&1
    echo "exit $?" >>"$log"
}

outputs() {
    local dir=$1
    run calc "$dir" --matrix --triangulated
    run list "$dir"
    run export-dxf "$dir" "$dir/plano"
    run export-dxf "$dir" "$dir/colores" --colour-by-type
    run diagrams "$dir" --scale 0.5
    # The renumbering deletes the results: keep them apart first.
    cp -r "$dir" "$dir.calc"
    run renumber "$dir" --all --save
    run calc "$dir"
    run types "$dir"
    # The listing and the drawing read back into new structures.
    mkdir "$dir.listado" "$dir.dxf"
    run import "$dir.listado" listing "$dir.calc/listado.txt"
    run import "$dir.dxf" dxf "$dir.calc/plano.DXF"
}

for sample in "$root"/samples/-*; do
    name=$(basename "$sample")
    cp -r "$sample" "$work/$name"
    outputs "$work/$name"
done

# A lattice stands on its lowest nodes (every nz-th from the first, fixed) and
# carries a horizontal and a vertical load on every other node.
support() {
    local dir=$1 nz=$2 n
    n=$(sed -n 2p "$dir/DATOS.DAT" | tr -d '\r')
    awk -v n="$n" -v nz="$nz" 'BEGIN { for (i = 0; i < n; i++) for (k = 1; k <= 6; k++)
        printf "%s\r\n", (i % nz == 0 ? "0" : "1234") }' >"$dir/COACCION.DAT"
    awk -v n="$n" -v nz="$nz" 'BEGIN { for (i = 0; i < n; i++) for (k = 1; k <= 6; k++)
        printf "%s\r\n", (i % nz == 0 ? "0" : (k == 1 ? "0.35" : (k == 3 ? "-1.25" : "0"))) }' \
        >"$dir/CARGAS.DAT"
}

mkdir "$work/-Reticula"
run lattice "$work/-Reticula" --points 3,4,5 --spacing 5,6,3
support "$work/-Reticula" 5
outputs "$work/-Reticula"
mkdir "$work/-Reticula2"
run lattice "$work/-Reticula2" --points 2,3,2 --spacing 4.5,3.25,2.8 --foundation
run lattice "$work/-Reticula2" --points 2,2,3 --spacing 1.1,2.2,3.3 --origin 10,0,0 --keep
cp -r "$work/-Reticula2" "$work/-Reticula2.generada"
outputs "$work/-Reticula2"

cp -r "$work"/-* "$out"/
# The listings and messages name the working directory, which differs per run.
grep -rlF "$work" "$out" | while read -r f; do
    sed -i "s|$work|WORK|g" "$f"
done
echo "Salidas en $out"
