# The preview in the dialog: the image at one pixel per pixel, centred when smaller than the control, over
# the 7 x 7 checkerboard of 204 and 255 where it is transparent; a drag pans a larger image and a drag past
# the edge snaps back. The progress bar is hidden at rest. Pixels are read from snapshots of the client area.
source "$(dirname "$0")/lib.sh" "$@"

plugin=$(own_plugin "$work/plugin")

# A 400 x 300 image, its left half fully transparent and its right half opaque 10, 120, 230.
sample split 400 300 split.png
ui_script split.ui "rect header" "rect dialog:1005" "rect progress" "snapshot split-shot.png" "ok"
run --plugin "$plugin" save split.png out.png --ui split.ui
expect_status 0 "the save of the half-transparent image"
grep -q "^rect progress .* hidden " <<<"$out" || fail "the progress bar is not hidden at rest: $out"
preview_origin
if [ "$preview_width" -lt 400 ] || [ "$preview_height" -lt 300 ]; then
  fail "the preview is only $preview_width x $preview_height pixels"
else
  left=$((origin_x + (preview_width - 400) / 2))
  top=$((origin_y + (preview_height - 300) / 2))
  for point in "0 0" "6 6" "7 0" "0 7" "7 7" "13 20" "150 100" "199 299" "22 150"; do
    read -r x y <<<"$point"
    value=$(( (x / 7 + y / 7) % 2 == 0 ? 204 : 255 ))
    expect_pixel split-shot.png $((left + x)) $((top + y)) "$value $value $value" "transparent image pixel $x,$y"
  done
  expect_pixel split-shot.png $((left + 200)) $((top + 0)) "10 120 230" "opaque image pixel 200,0"
  expect_pixel split-shot.png $((left + 399)) $((top + 299)) "10 120 230" "opaque image pixel 399,299"
fi

# A 1000 x 800 colour ramp (pixel x, y is x * 255 / 999, y * 255 / 799, (x + y) mod 256) is larger than the
# preview: it starts at its top-left corner, a drag of -100, -50 shows it from 100, 50, and a drag far past
# the top-left edge brings back 0, 0.
sample rgb 1000 800 ramp.png
ui_script ramp.ui "rect header" "rect dialog:1005" "snapshot at-rest.png" "drag -100 -50" "snapshot dragged.png" \
  "rect progress" "drag 5000 5000" "snapshot snapped.png" "cancel"
run --plugin "$plugin" save ramp.png out.png --ui ramp.ui
expect_status 1 "the cancelled save of the ramp"
grep -q "^rect progress .* hidden " <<<"$out" || fail "the progress bar is not hidden after a drag: $out"
preview_origin
ramp() { echo "$(($1 * 255 / 999)) $(($2 * 255 / 799)) $((($1 + $2) % 256))"; }
for point in "0 0" "10 20" "300 200"; do
  read -r x y <<<"$point"
  expect_pixel at-rest.png $((origin_x + x)) $((origin_y + y)) "$(ramp "$x" "$y")" "at rest, preview pixel $x,$y"
  expect_pixel dragged.png $((origin_x + x)) $((origin_y + y)) "$(ramp $((x + 100)) $((y + 50)))" \
    "after the drag, preview pixel $x,$y"
  expect_pixel snapped.png $((origin_x + x)) $((origin_y + y)) "$(ramp "$x" "$y")" \
    "after the snap back, preview pixel $x,$y"
done

finish
