# What the host tells of the document reaches the file as the user asks. The profile, handed as the host hands it
# when the user ticks Embed Color Profile, goes where it describes the file's samples: ImageMagick, which no one
# here wrote, reads the very profile back out of Palette and RGB files (Standard and Smallest); an sRGB profile
# becomes the sRGB chunk alone; a Grayscale file of an RGB document and every file saved without the box carry
# nothing about colour. With Metadata on, ImageMagick reads the document's resolution and XMP back; off, neither is
# there. With Convert to sRGB, the pixels are the document's brought from Adobe RGB to sRGB as ImageMagick brings
# them (relative colorimetric, black-point compensation), and the file says sRGB alone. pngcheck passes every file.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 40 30 in.png
# Profiles from Debian's colord-data, copied here so that the Windows host reads them by a path of the test's own.
cp /usr/share/color/icc/colord/AdobeRGB1998.icc adobe.icc && cp /usr/share/color/icc/colord/sRGB.icc srgb.icc ||
  fail "colord-data's profiles are missing"
own=()
[ "$windows_host" -eq 1 ] || own=(--plugin "$(own_plugin "$work/plug")")

# chunks FILE: the chunk types of a PNG, one per line; itxt FILE: the text of its uncompressed iTXt chunk keyed
# "XML:com.adobe.xmp".
walk_chunks() {
  python3 - "$@" <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = 8
while at + 8 <= len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    body = data[at + 8:at + 8 + length]
    if len(sys.argv) == 2:
        print(kind.decode("latin-1"))
    elif kind == b"iTXt" and body.startswith(b"XML:com.adobe.xmp\0\0\0\0\0"):
        sys.stdout.write(body[22:].decode("utf-8"))
    at += 12 + length
PY
}
chunks() { walk_chunks "$1"; }
itxt() { walk_chunks "$1" xmp; }

save() {  # save NAME TYPE COMPRESSION PROFILE-OPTIONS...
  local name=$1 type=$2 compression=$3
  shift 3
  run save in.png "$name" --param Type="$type" --param NPal=16 --param Cmpr="$compression" "$@" "${own[@]}" \
    "${dialog_ok[@]}"
  expect_status 0 "save of $name"
  expect_valid_png "$name"
}

for compression in 0 1; do
  for type in 1 2; do
    name=adobe-$type-$compression.png
    save "$name" "$type" "$compression" --embed-profile --icc adobe.icc
    [ "$(chunks "$name" | sed -n 2p)" = iCCP ] || fail "$name: no iCCP after the header: $(chunks "$name" | tr '\n' ' ')"
    ! chunks "$name" | grep -qx -e sRGB -e gAMA -e cHRM || fail "$name carries more than the profile"
    convert "$name" "$name.icc" 2>/dev/null && cmp -s adobe.icc "$name.icc" ||
      fail "the profile ImageMagick reads out of $name is not the document's"

    name=srgb-$type-$compression.png
    save "$name" "$type" "$compression" --embed-profile --icc srgb.icc
    [ "$(chunks "$name" | grep -x -e sRGB -e iCCP -e gAMA -e cHRM | tr '\n' ' ')" = "sRGB " ] ||
      fail "$name: $(chunks "$name" | tr '\n' ' '), not the sRGB chunk alone"
  done
  name=adobe-gray-$compression.png
  save "$name" 0 "$compression" --embed-profile --icc adobe.icc
  ! chunks "$name" | grep -qx -e iCCP -e sRGB || fail "$name: an RGB profile in a Grayscale file"
  name=plain-$compression.png
  save "$name" 2 "$compression"
  ! chunks "$name" | grep -qx -e iCCP -e sRGB || fail "$name: a colour chunk without a profile handed"
done

# Metadata: the resolution and the XMP the host hands, only with Meta on.
printf '<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#"/></x:xmpmeta>' >doc.xmp
for compression in 0 1; do
  name=meta-$compression.png
  save "$name" 2 "$compression" --resolution 300 --xmp doc.xmp --param Meta=1
  [ "$(identify -units PixelsPerInch -format '%x %y' "$name")" = "300 300" ] ||
    fail "$name: ImageMagick reads the resolution as $(identify -units PixelsPerInch -format '%x %y' "$name")"
  pngcheck -v "$name" | grep -q "keyword: XML:com.adobe.xmp" || fail "$name: pngcheck finds no XMP text chunk"
  [ "$(itxt "$name")" = "$(cat doc.xmp)" ] || fail "the XMP in $name is not the document's: $(itxt "$name")"
  name=nometa-$compression.png
  save "$name" 2 "$compression" --resolution 300 --xmp doc.xmp --param Meta=0
  ! chunks "$name" | grep -qx -e pHYs -e iTXt || fail "$name: metadata with Metadata off"
done

# Convert to sRGB, last: the settings file keeps it for the saves after.
convert in.png -profile adobe.icc -intent Relative -black-point-compensation -profile srgb.icc -depth 8 rgb:expected.rgb ||
  fail "ImageMagick could not convert the sample"
for compression in 0 1; do
  name=converted-$compression.png
  save "$name" 2 "$compression" --embed-profile --icc adobe.icc --param CsRG=1
  [ "$(chunks "$name" | grep -x -e sRGB -e iCCP | tr '\n' ' ')" = "sRGB " ] ||
    fail "$name: $(chunks "$name" | tr '\n' ' '), not the sRGB chunk alone"
  convert "$name" -depth 8 rgb:saved.rgb
  python3 -c 'import sys; a, b = (open(p, "rb").read() for p in sys.argv[1:3]); sys.exit(0 if len(a) == len(b) and max(abs(x - y) for x, y in zip(a, b)) <= 2 else 1)' \
    expected.rgb saved.rgb || fail "$name: the colours are not Adobe RGB's brought to sRGB"
done
save unconverted.png 2 0 --embed-profile --icc adobe.icc --param CsRG=0
cmp -s unconverted.png adobe-2-0.png || fail "Convert to sRGB off does not give the file the profile alone gives"
# The real dialog: the box is offered for the document's profile, and ticking it gives the file the option gives.
if [ "$windows_host" -eq 1 ]; then
  ui_script tick.ui "click 1027" "ok"
  run save in.png ticked.png --param Type=2 --param NPal=16 --param Cmpr=0 --embed-profile --icc adobe.icc \
    --ui tick.ui --plugin "$(own_plugin "$work/.plugin")"
  expect_status 0 "save with Convert to sRGB ticked in the dialog"
  cmp -s ticked.png converted-0.png || fail "ticking Convert to sRGB does not give the file CsRG=1 gives"
fi

finish
