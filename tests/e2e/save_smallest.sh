# Compression Smallest (Cmpr=1) writes the picture of the Standard file in fewer bytes: for every kind of input
# and every PNG type, both files pass pngcheck, ImageMagick decodes the same pixels from both (the colour of
# fully transparent pixels aside), and the smallest is no larger. The files are the same bytes on every build
# (the digests were made natively and hold under wine64 as well).
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 97 61 rgba.png
sample rgb 80 50 rgb.png
sample split 64 40 split.png
sample gray 70 40 gray.png
sample indexed 33 21 indexed.png 2
sample cmyk 40 30 cmyk.pam
sample noise 120 90 noise.png

# A plug-in folder of the test's own, so that no settings file of another test's run takes part.
own=()
[ "$windows_host" -eq 1 ] || own=(--plugin "$(own_plugin "$work/plug")")

# The picture as ImageMagick decodes it, with every fully transparent pixel black: RGBA bytes.
picture() { convert "$1" -background black -alpha background -depth 8 rgba:-; }

for input in rgba.png rgb.png split.png gray.png indexed.png cmyk.pam noise.png; do
  for type in 0 1 2; do
    name=${input%.*}-$type
    run save "$input" "$name-standard.png" --param Type="$type" --param NPal=16 --param Cmpr=0 "${own[@]}" "${dialog_ok[@]}"
    expect_status 0 "the Standard save of $name"
    run save "$input" "$name-smallest.png" --param Type="$type" --param NPal=16 --param Cmpr=1 "${own[@]}" "${dialog_ok[@]}"
    expect_status 0 "the Smallest save of $name"
    expect_valid_png "$name-standard.png"
    expect_valid_png "$name-smallest.png"
    cmp -s <(picture "$name-standard.png") <(picture "$name-smallest.png") ||
      fail "$name: the smallest file shows another picture than the Standard one"
    standard=$(wc -c <"$name-standard.png")
    smallest=$(wc -c <"$name-smallest.png")
    [ "$smallest" -le "$standard" ] || fail "$name: the smallest file ($smallest bytes) is larger than the Standard one ($standard)"
  done
done

digest() { sha256sum "$1" | cut -c1-16; }
for expected in "rgba-1-smallest.png a4fca2a3152406a7" "rgba-2-smallest.png 0bac911bc9c40fc2" "noise-2-smallest.png f925e0d0d57e5ac2"; do
  read -r file sum <<<"$expected"
  [ "$(digest "$file")" = "$sum" ] || fail "$file differs from the natively made file: $(digest "$file")"
done

finish
