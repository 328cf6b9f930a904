# Where the preview dialog opens and how big it may be: 100, 100 and 800 x 600 without a settings file, the
# saved rectangle with one, each made taller where the whole options panel would not fit between the header and
# the status bar; Cancel writes the rectangle back, also after a resize; never smaller than the options panel's
# width + 280 wide, nor too low for the panel. UI scripts report the rectangles with `rect`.
source "$(dirname "$0")/lib.sh" "$@"

sample rgb 40 30 in.png


# The lowest parts of the options panel: the palette's group, the group of its two buttons, and the buttons.
lowest_parts=("rect panel:1001" "rect panel:1020" "rect panel:1017" "rect panel:1018")
# expect_panel_fits LABEL: every one of them ends where the status bar begins, or above it.
expect_panel_fits() {
  local status_top id top height
  read -r _ status_top _ _ <<<"$(rect_of status)"
  [ -n "${status_top:-}" ] || { fail "$1: no status bar reported: $out"; return; }
  for id in panel:1001 panel:1020 panel:1017 panel:1018; do
    read -r _ top _ height <<<"$(rect_of "$id")"
    if [ -z "${height:-}" ]; then
      fail "$1: no rectangle of $id: $out"
    elif [ $((top + height)) -gt "$status_top" ]; then
      fail "$1: $id ends at $((top + height)), below the status bar's top $status_top"
    fi
  done
}

# Without a settings file: 800 x 600 at 100, 100, as tall as the panel needs.
plugin=$(own_plugin "$work/fresh")
ui_script fresh.ui "rect dialog" "rect panel" "rect status" "${lowest_parts[@]}" "cancel"
run --plugin "$plugin" save in.png out.png --ui fresh.ui
expect_status 1 "a save cancelled in the dialog"
expect_line "selector 14 result -128"
read -r x y width fitted <<<"$(rect_of dialog)"
[ "$x $y $width" = "100 100 800" ] || fail "without a settings file the dialog opened at '$(rect_of dialog)'"
[ "${fitted:-0}" -ge 600 ] || fail "without a settings file the dialog opened only ${fitted:-0} high"
expect_panel_fits "default size"
[ -f "$work/fresh/Vexlorin.ini" ] || fail "Cancel wrote no settings file beside the plug-in"
[ "$(ini_value "$work/fresh" thgH)" = "$fitted" ] || fail "the settings file keeps $(ini_value "$work/fresh" thgH) as the height, not the $fitted the dialog opened with"

# With a settings file that holds another rectangle.
plugin=$(own_plugin "$work/saved")
printf ';Parameters for Brindlewerks Vexlorin format plug-in\r\ntfeL 150\r\nWpoT 120\r\nhtdW 900\r\nthgH 650\r\n' \
  >"$work/saved/Vexlorin.ini"
ui_script saved.ui "rect dialog" "cancel"
run --plugin "$plugin" save in.png out.png --ui saved.ui
expect_status 1 "a cancelled save with a settings file"
taller=$((fitted > 650 ? fitted : 650))
[ "$(rect_of dialog)" = "150 120 900 $taller" ] ||
  fail "the dialog opened at '$(rect_of dialog)', not the saved 150 120 900 $taller"

# Cancel after a resize stores the new size (and the unchanged position).
plugin=$(own_plugin "$work/resized")
high=$((fitted + 60))
ui_script resized.ui "resize 1000 $high" "rect dialog" "cancel"
run --plugin "$plugin" save in.png out.png --ui resized.ui
expect_status 1 "a save cancelled after a resize"
[ "$(rect_of dialog)" = "100 100 1000 $high" ] || fail "resize 1000 $high gave '$(rect_of dialog)'"
stored="$(ini_value "$work/resized" tfeL) $(ini_value "$work/resized" WpoT) $(ini_value "$work/resized" htdW)"
stored+=" $(ini_value "$work/resized" thgH)"
[ "$stored" = "100 100 1000 $high" ] || fail "after Cancel the settings file holds the rectangle '$stored'"

# The smallest size: the panel's width + 280, and just tall enough for the panel.
plugin=$(own_plugin "$work/small")
ui_script small.ui "resize 100 100" "rect dialog" "rect panel" "rect status" "${lowest_parts[@]}" "cancel"
run --plugin "$plugin" save in.png out.png --ui small.ui
expect_status 1 "a save cancelled after shrinking"
read -r _ _ width height <<<"$(rect_of dialog)"
read -r _ _ panel_width _ <<<"$(rect_of panel)"
if [ -z "${width:-}" ] || [ -z "${panel_width:-}" ]; then
  fail "no rectangles reported: $out"
else
  [ "$panel_width" -gt 0 ] || fail "the options panel is $panel_width pixels wide"
  [ "$width" -ge $((panel_width + 280)) ] || fail "shrunk to $width pixels wide, below the panel's $panel_width + 280"
  [ "$height" -ge 320 ] || fail "shrunk to $height pixels high, below 320"
  expect_panel_fits "smallest size"
fi

finish
