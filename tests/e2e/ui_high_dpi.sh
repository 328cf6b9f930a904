# The preview dialog at 96, 120, 144 and 192 dpi (a wine prefix per DPI, in a screen large enough): it opens at the
# default 800 x 600 scaled to the DPI, its status bar scales, its header is as high as the strip bitmaps of the
# scale at or above the DPI, the whole options panel lies inside the dialog
# between the header and the status bar and every control of the panel inside the panel. At 96 dpi a move to a
# 192-dpi monitor (WM_DPICHANGED, sent by `dpi 192`) lays the dialog out again in the rectangle suggested. Every
# text of the panel fits its control (`text`), no two of its controls overlap but for the group boxes, and the
# lock and transparency buttons show the faces drawn for the scale (`image`).
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 64 48 in.png
# scaled PIXELS DPI: a 96-dpi size on the screen, rounded as the plug-in rounds.
scaled() { echo $((($1 * $2 + 48) / 96)); }

panel_controls=(1 2 1001 1002 1003 1004 1005 1006 1007 1008 1009 1010 1012 1013 1017 1018 1019 1020 1021 1022 1023 1024 1025 1026 1027)
rects=("rect dialog" "rect header" "rect panel" "rect status")
for id in "${panel_controls[@]}"; do rects+=("rect panel:$id"); done
# The panel's controls with text of their own: type radios, check boxes and labels.
text_controls=(1002 1003 1004 1005 1007 1009 1012 1013 1019 1021 1023 1025 1026 1027)
for id in "${text_controls[@]}"; do rects+=("text panel:$id"); done
# The lock and transparency buttons show faces drawn for the scale (16 x 16 at 100 %).
rects+=("image panel:1017" "image panel:1018")

# expect_layout LABEL DPI: the status bar is scaled and every panel control lies inside the panel, above it.
expect_layout() {
  local label=$1 dpi=$2 px py pw ph sx sy sw sh x y w h id
  read -r px py pw ph <<<"$(rect_of panel)"
  read -r sx sy sw sh <<<"$(rect_of status)"
  if [ -z "${ph:-}" ] || [ -z "${sh:-}" ]; then
    fail "$label: no panel or status bar reported: $out"
    return
  fi
  [ "$sh" = "$(scaled 40 "$dpi")" ] || fail "$label: the status bar is $sh high, not $(scaled 40 "$dpi")"
  # The header is as high as its strip at the bitmaps' scale: 150 % up to 144 dpi, 200 % above.
  local header_height=$((dpi <= 96 ? 40 : dpi <= 144 ? 60 : 80))
  read -r _ _ _ h <<<"$(rect_of header)"
  [ "${h:-}" = "$header_height" ] || fail "$label: the header is ${h:-no} pixels high, not $header_height"
  for id in "${panel_controls[@]}"; do
    read -r x y w h <<<"$(rect_of "panel:$id")"
    if [ -z "${h:-}" ]; then
      fail "$label: no rectangle of panel:$id"
    elif [ "$x" -lt "$px" ] || [ "$y" -lt "$py" ] || [ $((x + w)) -gt $((px + pw)) ] || [ $((y + h)) -gt "$sy" ]; then
      fail "$label: panel:$id at $x $y $w $h is not inside the panel ($px $py $pw $ph) above the status bar ($sy)"
    fi
  done
  # No two controls overlap, group boxes apart (they frame others).
  local a b ax ay aw ah bx by bw bh
  for a in "${panel_controls[@]}"; do
    [ "$a" = 1001 ] || [ "$a" = 1020 ] && continue
    read -r ax ay aw ah <<<"$(rect_of "panel:$a")"
    for b in "${panel_controls[@]}"; do
      [ "$b" -gt "$a" ] || continue
      [ "$b" = 1001 ] || [ "$b" = 1020 ] && continue
      read -r bx by bw bh <<<"$(rect_of "panel:$b")"
      [ -n "${ah:-}" ] && [ -n "${bh:-}" ] || continue
      if [ "$ax" -lt $((bx + bw)) ] && [ "$bx" -lt $((ax + aw)) ] && [ "$ay" -lt $((by + bh)) ] && [ "$by" -lt $((ay + ah)) ]; then
        fail "$label: panel:$a ($ax $ay $aw $ah) overlaps panel:$b ($bx $by $bw $bh)"
      fi
    done
  done
  # The entry buttons' faces: 150 % up to 144 dpi, 200 % above.
  local face=$((dpi <= 96 ? 16 : dpi <= 144 ? 24 : 32))
  for id in 1017 1018; do
    [ "$(sed -n "s/^image panel:$id //p" <<<"$out" | tail -n 1)" = "$face $face" ] ||
      fail "$label: panel:$id shows '$(sed -n "s/^image panel:$id //p" <<<"$out" | tail -n 1)', not a $face x $face face"
  done
  # Every text fits its control in the control's own font.
  local extent room
  for id in "${text_controls[@]}"; do
    read -r extent room <<<"$(sed -n "s/^text panel:$id \([0-9]*\) \(-\{0,1\}[0-9]*\)$/\1 \2/p" <<<"$out")"
    if [ -z "${room:-}" ]; then
      fail "$label: no text line of panel:$id"
    elif [ "$extent" -gt "$room" ]; then
      fail "$label: the text of panel:$id is $extent pixels wide in a room of $room"
    fi
  done
}

for dpi in 96 120 144 192; do
  (
    at_dpi "$dpi"
    plugin=$(own_plugin "$work/p$dpi")
    ui_script "d$dpi.ui" "${rects[@]}" "cancel"
    run --plugin "$plugin" save in.png out.png --ui "d$dpi.ui"
    expect_status 1 "a save cancelled at $dpi dpi"
    read -r x y width height <<<"$(rect_of dialog)"
    [ "$x $y $width" = "100 100 $(scaled 800 "$dpi")" ] ||
      fail "at $dpi dpi the dialog opened at '$(rect_of dialog)', not 100 100 $(scaled 800 "$dpi") wide"
    [ "${height:-0}" -ge "$(scaled 600 "$dpi")" ] || fail "at $dpi dpi the dialog opened only ${height:-0} high"
    expect_layout "$dpi dpi" "$dpi"
    # The About box's picture: drawn for 100, 150 or 200 %, shown at the DPI (144 x 216 at 96 dpi).
    ui_script "about$dpi.ui" "rect 1034" "cancel"
    run --plugin "$plugin" about --ui "about$dpi.ui"
    read -r _ _ width height <<<"$(rect_of 1034)"
    [ "${width:-} ${height:-}" = "$(scaled 144 "$dpi") $(scaled 216 "$dpi")" ] ||
      fail "at $dpi dpi the About box's picture is '${width:-} ${height:-}', not $(scaled 144 "$dpi") $(scaled 216 "$dpi")"
    exit "$failures"
  ) || failures=$((failures + 1))
done

# At 96 dpi, then moved to a 192-dpi monitor (in a screen large enough for the suggested rectangle).
at_dpi 96
plugin=$(own_plugin "$work/moved")
ui_script moved.ui "rect dialog" "dpi 192" "${rects[@]}" "cancel"
run --plugin "$plugin" save in.png out.png --ui moved.ui
expect_status 1 "a save cancelled after a move to 192 dpi"
before=$(sed -n 's/^rect dialog \([0-9 -]*\) visible.*/\1/p' <<<"$out" | head -n 1)
after=$(sed -n 's/^rect dialog \([0-9 -]*\) visible.*/\1/p' <<<"$out" | tail -n 1)
read -r x y width height <<<"$before"
[ "$after" = "$x $y $((width * 2)) $((height * 2))" ] ||
  fail "after WM_DPICHANGED to 192 the dialog is at '$after', not the suggested $x $y $((width * 2)) $((height * 2))"
expect_layout "moved to 192 dpi" 192

finish
