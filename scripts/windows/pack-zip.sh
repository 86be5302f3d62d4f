#!/usr/bin/env bash
# Packs the Windows programs with exactly the DLLs they need into a zip.
# Usage: pack-zip.sh <folder with the .exe files> <Qt for MinGW prefix> <zip to write>
# The DLLs are found by walking the import tables (objdump), starting from the two programs and the two
# plugins Qt loads at run time (the Windows platform and the Windows style); every DLL found in the Qt
# or MinGW folders goes in, with the file that imports it printed beside it; the rest are Windows' own.
set -euo pipefail
bin=$1 qt=$2 zip=$3
here=$(cd "$(dirname "$0")" && pwd)
search=("$qt/bin" /usr/lib/gcc/x86_64-w64-mingw32/12-posix /usr/x86_64-w64-mingw32/lib)

stage=$(mktemp -d "${TMPDIR:-/tmp}/pelmora2-zip.XXXXXX")
trap 'rm -rf "$stage"' EXIT
name=$(basename "$zip" .zip)
out=$stage/$name
mkdir -p "$out/platforms" "$out/styles"
cp "$bin/pelmora2.exe" "$bin/pelmora2-batch.exe" "$out/"
cp "$qt/plugins/platforms/qwindows.dll" "$out/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$out/styles/"
# Notepad of older Windows shows a text only with CR LF line ends.
sed 's/$/\r/' "$here/README-Windows.txt" >"$out/README-Windows.txt"

find_dll() {
    local dir
    for dir in "${search[@]}"; do
        [ -f "$dir/$1" ] && { echo "$dir/$1"; return; }
    done
}

queue=(pelmora2.exe pelmora2-batch.exe platforms/qwindows.dll styles/qwindowsvistastyle.dll)
declare -A seen=()
system=()
while [ ${#queue[@]} -gt 0 ]; do
    file=${queue[0]}
    queue=("${queue[@]:1}")
    while read -r dll; do
        key=${dll,,}
        [ -n "${seen[$key]:-}" ] && continue
        seen[$key]=1
        if path=$(find_dll "$dll") && [ -n "$path" ]; then
            cp "$path" "$out/$dll"
            printf '  %-26s imported by %s\n' "$dll" "$file"
            queue+=("$dll")
        else
            system+=("$dll")
        fi
    done < <(x86_64-w64-mingw32-objdump -p "$out/$file" | sed -n 's/^\s*DLL Name: //p')
done
echo "  Windows' own: ${system[*]}"

# The runtime DLLs come with their symbols (libstdc++ alone is 23 MB): the zip carries none.
find "$out" -name '*.dll' -o -name '*.exe' | xargs x86_64-w64-mingw32-strip --strip-unneeded
mkdir -p "$(dirname "$zip")"
rm -f "$zip"
(cd "$stage" && zip -q -X -r "$zip" "$name")
echo "Packed $zip ($(du -h "$zip" | cut -f1)): $(cd "$stage" && find "$name" -type f | wc -l) files"
