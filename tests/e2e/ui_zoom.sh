# The preview's zoom and 2-Up in the dialog: Fit shows the whole image scaled into the preview and centred, 200 %
# shows each image pixel as a block of two by two, the zoom keys step through the zooms, 2-Up shows the original and
# the result side by side at the same place, and the zoom and the view are kept in the settings file and opened
# with next time. Pixels are read from snapshots of the client area.
source "$(dirname "$0")/lib.sh" "$@"

plugin=$(own_plugin "$work/plugin")
background="232 232 232"

# Fit: a 1000 x 800 image, its left half clear and its right half opaque 10, 120, 230, whole in the preview.
sample split 1000 800 split.png
ui_script fit.ui "rect header" "rect dialog:1005" "zoom fit" "snapshot fit.png" "cancel"
run --plugin "$plugin" save split.png out.png --ui fit.ui
expect_status 1 "the cancelled save at Fit"
preview_origin
read -r shown_width shown_height <<<"$(python3 -c "
import math; s = min($preview_width / 1000, $preview_height / 800, 1)
print(math.ceil(1000 * s - 1e-6), math.ceil(800 * s - 1e-6))")"
left=$((origin_x + (preview_width - shown_width) / 2))
top=$((origin_y + (preview_height - shown_height) / 2))
right=$((left + shown_width - 1))
bottom=$((top + shown_height - 1))
middle=$((top + shown_height / 2))
expect_pixel fit.png "$right" "$top" "10 120 230" "Fit, the image's top-right corner"
expect_pixel fit.png "$right" "$bottom" "10 120 230" "Fit, the image's bottom-right corner"
expect_pixel fit.png "$left" "$top" "204 204 204" "Fit, the clear top-left corner over the checkerboard"
if [ "$shown_width" -lt "$preview_width" ]; then
  expect_pixel fit.png $((right + 1)) "$middle" "$background" "Fit, right of the image"
  expect_pixel fit.png $((left - 1)) "$middle" "$background" "Fit, left of the image"
fi
[ "$shown_height" -ge "$preview_height" ] ||
  expect_pixel fit.png "$right" $((bottom + 1)) "$background" "Fit, under the image"
zoom=$(ini_value "$work/plugin" mooZ) view=$(ini_value "$work/plugin" weiV)
[ "$zoom" = 0 ] || fail "the settings file keeps the zoom as '$zoom', not 0 for Fit"
[ "$view" = 1 ] || fail "the settings file keeps the view as '$view', not 1"

# The keys: Ctrl+1 is 100 %, Ctrl+Plus the next step up, 200 %, where a 40 x 30 ramp (pixel x, y is
# x * 255 / 39, y * 255 / 29, (x + y) mod 256) shows every pixel as two by two, centred.
sample rgb 40 30 ramp.png
ui_script keys.ui "rect header" "rect dialog:1005" "key Ctrl+1" "key Ctrl+Plus" "snapshot doubled.png" \
  "key Ctrl+Minus" "key Ctrl+Minus" "view 2" "cancel"
run --plugin "$plugin" save ramp.png out.png --ui keys.ui
expect_status 1 "the cancelled save zoomed by keys"
preview_origin
left=$((origin_x + (preview_width - 80) / 2))
top=$((origin_y + (preview_height - 60) / 2))
for point in "0 0" "1 0" "0 1" "17 11" "39 29"; do
  read -r x y <<<"$point"
  ramp="$((x * 255 / 39)) $((y * 255 / 29)) $(((x + y) % 256))"
  for corner in "0 0" "1 0" "0 1" "1 1"; do
    read -r dx dy <<<"$corner"
    expect_pixel doubled.png $((left + 2 * x + dx)) $((top + 2 * y + dy)) "$ramp" "200 %, image pixel $x,$y"
  done
done
expect_pixel doubled.png $((left - 1)) "$top" "$background" "200 %, left of the image"
zoom=$(ini_value "$work/plugin" mooZ) view=$(ini_value "$work/plugin" weiV)
[ "$zoom" = 667 ] || fail "200 % and two steps down kept the zoom as '$zoom', not 667"
[ "$view" = 2 ] || fail "the settings file keeps the view as '$view', not 2"

# 2-Up as the settings left it, at 100 %: the ramp as the document has it and as a two-colour palette saves it,
# whole, side by side (or one above the other), the original first.
ui_script two.ui "key Ctrl+1" "snapshot two.png" "ok"
run --plugin "$plugin" save ramp.png two-colors.png --ui two.ui --param Type=1 --param NPal=2
expect_status 0 "the save from 2-Up"
expect_valid_png two-colors.png
original=$(python3 "$e2e_dir/pixels.py" find two.png ramp.png)
result=$(python3 "$e2e_dir/pixels.py" find two.png two-colors.png)
[ "$(wc -l <<<"$original")" = 1 ] && [ -n "$original" ] || fail "2-Up does not show the original once: '$original'"
[ "$(wc -l <<<"$result")" = 1 ] && [ -n "$result" ] || fail "2-Up does not show the result once: '$result'"
read -r ox oy <<<"$original"
read -r rx ry <<<"$result"
if ! { [ "$oy" = "$ry" ] && [ "$ox" -lt "$rx" ]; } && ! { [ "$ox" = "$rx" ] && [ "$oy" -lt "$ry" ]; }; then
  fail "the original at $original and the result at $result are not the same part of two panes side by side"
fi
zoom=$(ini_value "$work/plugin" mooZ)
[ "$zoom" = 1000 ] || fail "Ctrl+1 kept the zoom as '$zoom', not 1000"

finish
