# The header strip at the top of the dialog: above 1026 pixels of client width the left part, the middle
# tiles and the right part; at 1026 or less the left part cut and the right part right after it. With 1027
# the one middle column shows at x 597 and the right part starts at 598; with 1026 the right part starts
# at 597. Columns of the snapshot are compared with the plug-in's artwork, away from the header's buttons.
source "$(dirname "$0")/lib.sh" "$@"

art="$e2e_dir/../../resources/art"
sample rgb 40 30 in.png
plugin=$(own_plugin "$work/plugin")

# The frame's width: outer width (rect) less the client width (snapshot).
ui_script measure.ui "rect dialog" "snapshot measure.png"
run --plugin "$plugin" save in.png out.png --ui measure.ui
expect_status 1 "measuring the frame"
read -r _ _ outer_width _ <<<"$(rect_of dialog)"
read -r client_width _ <<<"$(picture_size measure.png)"
frame=$((${outer_width:-0} - ${client_width:-0}))
[ "$frame" -ge 0 ] && [ "$frame" -lt 100 ] ||
  fail "implausible frame width $frame (outer '$outer_width', client '$client_width')"

# Columns of the right part compared below, left of the web-site button. The part begins with a plain run
# that repeats the middle tile, so a one-pixel shift only shows further in, where columns differ.
right_columns="0 142 143 150 160 200 229"
shift_visible=0
for k in $right_columns; do
  [ "$(column "$art/header_right.bmp" "$k" 40)" != "$(column "$art/header_right.bmp" $((k + 1)) 40)" ] &&
    shift_visible=1
done
[ "$shift_visible" -eq 1 ] || fail "the right part's compared columns match their neighbours: a shift would not show"

for width in 1027 1026; do
  ui_script "w$width.ui" "resize $((width + frame)) 600" "snapshot w$width.png" "hover header:1006" \
    "snapshot w$width-hover.png"
  run --plugin "$plugin" save in.png out.png --ui "w$width.ui"
  expect_status 1 "the dialog at $width pixels"
  read -r got _ <<<"$(picture_size "w$width.png")"
  [ "${got:-0}" -eq "$width" ] || { fail "resize gave a client width of '$got', not $width"; continue; }
  for x in 560 596; do
    [ "$(column "w$width.png" "$x" 40)" = "$(column "$art/header_left.bmp" "$x" 40)" ] ||
      fail "at $width pixels column $x is not the left part's column $x"
  done
  right_start=$((width == 1027 ? 598 : 597))
  for k in $right_columns; do
    [ "$(column "w$width.png" $((right_start + k)) 40)" = "$(column "$art/header_right.bmp" "$k" 40)" ] ||
      fail "at $width pixels column $((right_start + k)) is not the right part's column $k"
  done
  [ "$(column "w$width.png" $((width - 1)) 40)" = "$(column "$art/header_right.bmp" 428 40)" ] ||
    fail "at $width pixels the last column is not the right part's last"
done
[ "$(column w1027.png 597 40)" = "$(column "$art/header_middle.bmp" 0 40)" ] ||
  fail "at 1027 pixels column 597 is not the middle tile's first column"

# The web-site button (150 x 20) sits 199 pixels from the right edge, 12 from the top; the mouse over it
# changes its face from the normal to the hover bitmap. button_column FILE K: rows 12 to 31 of its column K.
button_column() { local c; c=$(column "$1" $((1027 - 199 + $2)) 32); echo "${c:72}"; }
for k in 20 75 130; do
  normal=$(column "$art/site_normal.bmp" "$k" 20)
  hover=$(column "$art/site_hover.bmp" "$k" 20)
  [ "$normal" != "$hover" ] || { fail "the site button's faces are alike in column $k"; continue; }
  [ "$(button_column w1027.png "$k")" = "$normal" ] || fail "the site button does not show its normal face in column $k"
  [ "$(button_column w1027-hover.png "$k")" = "$hover" ] ||
    fail "under the mouse the site button does not show its hover face in column $k"
done

finish
