# A 16-bit document through the real dialog: its 16 Bits/Channel box is enabled (an 8-bit document's is not),
# ticking it saves a 16-bit RGBA file holding the document's own samples, and the settings file keeps the choice.
source "$(dirname "$0")/lib.sh" "$@"
plugin=$(own_plugin "$work/plugin")
sample rgba 16 8 in8.png
sample rgba16 16 8 in16.png

ui_script eight.ui "resize 900 800" "rect 1028" "cancel"
run --plugin "$plugin" save in8.png out8.png --ui eight.ui
grep -q "^rect 1028 .* disabled$" <<<"$out" || fail "16 Bits/Channel is not disabled for an 8-bit document: $out"

# Named RGB48, as a host may name a 16-bit RGB document.
ui_script sixteen.ui "resize 900 800" "click 1004" "rect 1028" "click 1028" "ok"
run --plugin "$plugin" save in16.png out16.png --deep-modes --ui sixteen.ui
expect_status 0 "the 16-bit save"
expect_valid_png out16.png
grep -q "^rect 1028 .* visible enabled$" <<<"$out" || fail "16 Bits/Channel is not enabled for a 16-bit document: $out"
pngcheck -v out16.png 2>/dev/null | grep -q "64-bit RGB+alpha" ||
  fail "out16.png is not 16-bit RGBA: $(pngcheck -v out16.png 2>&1 | head -3)"
# Each sample as the host holds it, h = (v x 32768 + 32767) / 65535, then in the file v' = (h x 65535 + 16384) / 32768.
expected=$(python3 - "$e2e_dir" <<'PY'
import sys
sys.path.insert(0, sys.argv[1])
from make_sample import rgba16
for x, y in ((0, 0), (15, 7), (5, 3), (9, 6)):
    print(*(((v * 32768 + 32767) // 65535 * 65535 + 16384) // 32768 for v in rgba16(x, y, 16, 8)))
PY
)
got=$(python3 "$e2e_dir/pixels.py" samples out16.png 0 0 15 7 5 3 9 6)
[ "$got" = "$expected" ] || fail "the 16-bit file's samples are '$got', expected '$expected'"
[ "$(ini_value "$work/plugin" 61tB)" = "1" ] || fail "the settings file does not keep 16 Bits/Channel: $(cat "$work/plugin/Vexlorin.ini")"

finish
