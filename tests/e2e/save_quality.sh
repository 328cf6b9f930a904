# Palette Quality (Qlty): a Palette file takes the fewest colours whose picture reaches 30 + quality / 5 dB of PSNR.
# ImageMagick, which no one here wrote, decodes every file: an opaque image's files measure (by ImageMagick's own
# PSNR) at or above their targets, with more colours for a higher quality and fewer than the image's 256; an image
# with soft transparency is measured over premultiplied RGBA, as the quality means it. Natively the readout beside
# the size line says what ImageMagick measures. The same bytes on every build.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 16 16 in.png  # 256 colours
sample rgba 16 16 in-alpha.png
# A settings file of its own: the quality it keeps must not reach another test's saves.
own=()
[ "$windows_host" -eq 1 ] || own=(--plugin "$(own_plugin "$work/plug")")

# "MEASURED TARGET": exits 1 when MEASURED is below TARGET.
reaches() { python3 -c 'import sys; sys.exit(0 if float(sys.argv[1]) >= float(sys.argv[2]) else 1)' "$1" "$2"; }
target() { python3 -c 'import sys; print(30 + 0.2 * int(sys.argv[1]))' "$1"; }

previous=0
for quality in 10 60 95; do
  file=q$quality.png
  run save in.png "$file" --param Type=1 --param Qlty=$quality --param Dthr=0 "${own[@]}" "${dialog_ok[@]}"
  expect_status 0 "save at quality $quality"
  expect_valid_png "$file"
  colors=$(python3 "$e2e_dir/pixels.py" palette "$file" | wc -l)
  measured=$(compare -metric PSNR in.png "$file" null: 2>&1)
  reaches "$measured" "$(target $quality)" || fail "$file measures $measured dB, below $(target $quality)"
  [ "$colors" -gt "$previous" ] && [ "$colors" -lt 256 ] ||
    fail "quality $quality took $colors colours (the quality below it $previous; the image has 256)"
  previous=$colors
  if [ "$windows_host" -eq 0 ]; then
    readout=$(sed -n 's/^PSNR: \([0-9.]*\) dB$/\1/p' <<<"$out")
    python3 -c 'import sys; sys.exit(0 if abs(float(sys.argv[1]) - float(sys.argv[2])) <= 0.006 else 1)' \
      "${readout:-0}" "$measured" || fail "the readout said '$readout' of $file, ImageMagick $measured"
  fi
done

# Over premultiplied RGBA, from the pictures as ImageMagick decodes them.
run save in-alpha.png alpha.png --param Type=1 --param Qlty=60 --param Dthr=1 --param Rfne=1 "${own[@]}" "${dialog_ok[@]}"
expect_status 0 "save of an image with transparency at quality 60"
expect_valid_png alpha.png
convert in-alpha.png -depth 8 rgba:source.rgba && convert alpha.png -depth 8 rgba:saved.rgba ||
  fail "ImageMagick could not decode the pictures"
measured=$(python3 - source.rgba saved.rgba <<'PY'
import math, sys
a, b = (open(path, "rb").read() for path in sys.argv[1:3])
total = 0.0
for i in range(0, len(a), 4):
    for c in range(3):
        total += (a[i + c] * a[i + 3] / 255 - b[i + c] * b[i + 3] / 255) ** 2
    total += (a[i + 3] - b[i + 3]) ** 2
print(10 * math.log10(255 * 255 / (total / len(a))) if total else 100)
PY
)
reaches "$measured" "$(target 60)" || fail "alpha.png measures $measured dB over premultiplied RGBA, below $(target 60)"

digest() { sha256sum "$1" | cut -c1-16; }
[ "$(digest q60.png)" = "f2e856d16ea15b81" ] || fail "q60.png differs from the natively made file: $(digest q60.png)"
[ "$(digest alpha.png)" = "4351594770640c28" ] || fail "alpha.png differs from the natively made file: $(digest alpha.png)"

finish
