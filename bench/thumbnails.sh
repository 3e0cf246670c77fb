#!/bin/sh
# Thumbnails of a series of 40 photographs of 12 megapixels: the builder's
# loader (zorvane-cli thumbnails) beside ImageMagick's convert -thumbnail 90x90!
# on the same files. Usage: bench/thumbnails.sh [path/to/zorvane-cli]
set -eu

cli=${1:-build/Zorvane/zorvane-cli}
[ -x "$cli" ] || { echo "no zorvane-cli at $cli" >&2; exit 2; }
command -v convert >/dev/null || { echo "ImageMagick's convert is needed" >&2; exit 2; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/series" "$work/magick"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

# A fractal plasma has the fine detail of a photograph, so JPEG decoding
# costs what it costs on a real one; each copy is shifted to differ.
echo "making 40 photographs of 4000 x 3000..."
convert -size 4000x3000 plasma:fractal -quality 90 "$work/seed.jpg"
i=1
while [ "$i" -le 40 ]; do
    convert "$work/seed.jpg" -roll "+$((i * 97))+$((i * 61))" -quality 90 \
        "$work/series/photo$i.jpg"
    i=$((i + 1))
done

# Warm the file cache for both runs alike.
cat "$work"/series/*.jpg >/dev/null

start=$(now)
QT_QPA_PLATFORM=offscreen "$cli" thumbnails "$work/series" --out "$work/zorvane"
zorvane=$(elapsed "$start" "$(now)")

# The same loader held to one core, to show what the second one adds.
single=
if command -v taskset >/dev/null; then
    start=$(now)
    QT_QPA_PLATFORM=offscreen taskset -c 0 "$cli" thumbnails "$work/series" >/dev/null
    single=$(elapsed "$start" "$(now)")
fi

start=$(now)
for photo in "$work"/series/*.jpg; do
    convert "$photo" -thumbnail '90x90!' "$work/magick/$(basename "$photo").png"
done
magick=$(elapsed "$start" "$(now)")

echo "zorvane-cli thumbnails, 40 photographs: $zorvane s (wall, thumbnails written)"
[ -z "$single" ] || echo "zorvane-cli thumbnails on one core: $single s (wall)"
echo "convert -thumbnail 90x90!, 40 photographs: $magick s (wall, one convert per file)"
