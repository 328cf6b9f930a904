# Every control of the options panel in one dialog: the three type radios, Alpha Channel and Transparency as
# Key Color, the Quality list (75, which disables the Colors list, then Off), the Colors and Dither lists, Refine
# Palette, the fill swatch, Transparency Dither, Metadata, the Compression list (Smallest, then Standard again), a
# palette cell, the lock and transparency buttons of the selected entry, OK. The enable rules show in the rect
# lines; the saved file is a 16-colour palette image whose entry made transparent has alpha 0 in tRNS.
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 64 48 in.png
plugin=$(own_plugin "$work/plugin")

# Script lines; "rect ID STATE" is the state the rect line must show at that point.
steps=(
  "resize 900 800"
  "rect 1006 disabled" "rect 1010 disabled" "rect 1013 disabled" "rect 1008 disabled" "rect 1019 disabled"
  "rect 1021 disabled" "rect 1017 disabled" "rect 1018 disabled" "rect 1022 enabled" "rect 1024 disabled"
  "rect 1027 disabled"
  "click 1002" "rect 1006 disabled" "rect 1021 disabled" "rect 1005 enabled" "rect 1022 enabled"
  "click 1004"
  "click 1003" "rect 1006 enabled" "rect 1010 enabled" "rect 1019 enabled" "rect 1021 enabled" "rect 1024 enabled"
  "select 1024 6" "rect 1006 disabled" "rect 1024 enabled"
  "select 1010 0" "rect 1006 disabled"
  "select 1024 0" "rect 1006 enabled"
  "select 1010 1"
  "select 1006 4"
  "click 1021"
  "select 1010 0" "rect 1019 disabled"
  "select 1010 1" "rect 1019 enabled"
  "click 1019"
  "click 1026" "rect 1026 enabled"
  "select 1022 1" "rect 1022 enabled"
  "select 1022 0"
  "cell 5" "rect 1017 enabled" "rect 1018 disabled"
  "click 1005" "rect 1013 enabled" "rect 1008 disabled"
  "click 1013" "rect 1008 enabled" "rect 1019 disabled"
  "click 1008"
  "click 1013" "rect 1008 disabled" "rect 1019 enabled"
  "cell 2" "rect 1017 enabled" "rect 1018 enabled"
  "click 1017"
  "click 1018"
)
script=()
expected=()
for step in "${steps[@]}"; do
  read -r -a words <<<"$step"
  if [ "${words[0]}" = rect ]; then
    script+=("rect ${words[1]}")
    expected+=("${words[1]} ${words[2]}")
  else
    script+=("$step")
  fi
done
ui_script every.ui "${script[@]}" "ok"
run --plugin "$plugin" save in.png out.png --ui every.ui --pick 3366CC
expect_status 0 "the save through every control"
expect_valid_png out.png

# The rect lines come in script order: "rect ID X Y W H visible|hidden enabled|disabled".
mapfile -t seen < <(grep '^rect ' <<<"$out" | awk '{print $2, $8}')
[ "${#seen[@]}" -eq "${#expected[@]}" ] || fail "${#seen[@]} rect lines, expected ${#expected[@]}: $out"
for i in "${!expected[@]}"; do
  [ "${seen[$i]:-}" = "${expected[$i]}" ] || fail "rect line $((i + 1)): '${seen[$i]:-}', expected '${expected[$i]}'"
done

# Colour type 3 with 16 entries; entry 2, made transparent, has alpha 0.
pngcheck -v out.png 2>/dev/null | grep -q "8-bit palette" ||
  fail "out.png is not a palette image: $(pngcheck -v out.png 2>&1 | head -3)"
entries=$(python3 "$e2e_dir/pixels.py" palette out.png)
[ "$(wc -l <<<"$entries")" -eq 16 ] || fail "out.png has $(wc -l <<<"$entries") palette entries, not 16"
alphas=$(python3 - out.png <<'PY'
import struct, sys
data = open(sys.argv[1], "rb").read()
at = 8
while at < len(data):
    length, kind = struct.unpack(">I4s", data[at:at + 8])
    if kind == b"tRNS":
        print(*data[at + 8:at + 8 + length])
    at += 12 + length
PY
)
read -r -a alpha <<<"$alphas"
[ "${#alpha[@]}" -gt 2 ] || fail "out.png's tRNS has no entry 2: '$alphas'"
[ "${alpha[2]:-}" = 0 ] || fail "entry 2 has alpha ${alpha[2]:-none} in tRNS, not 0: $alphas"

finish
