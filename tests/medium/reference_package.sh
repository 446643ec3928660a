#!/bin/bash
# The package of the reference's complete example (docs/setup-script.md): its script as the
# author writes it (UTF-8), the pictures and listed files it names made up. Prints each path
# it made up, one a line.
#   reference_package.sh SOURCE_DIR BIN_DIR PACKAGE
set -euo pipefail
src="$1" bin="$2" reference="$3"
mkdir -p "$reference"
sed -n '/^```ini$/,/^```$/{/^```/d;p}' "$src/docs/setup-script.md" >"$reference/SETUP.ini"
n=0
while IFS= read -r path; do
    path="${path//\\//}"
    mkdir -p "$reference/$(dirname "$path")"
    case "$path" in
        *.bmp) cp "$src/examples/clock/title.bmp" "$reference/$path" ;;
        *) head -c $((3000 + 700 * n)) "$bin/SETUP.exe" >"$reference/$path" ;;
    esac
    printf '%s\n' "$path"
    n=$((n + 1))
done < <(tr -d '\r' <"$reference/SETUP.ini" |
         sed -n 's/^\(Titlemap\|Bitmap\)=\([^0].*\)/\2/p; s/^[^;=[]*=\$[A-Za-z]*:\(.*\)/\1/p')
