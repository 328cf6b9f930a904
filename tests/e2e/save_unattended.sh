# Saves the host plays without the dialog (--play-info 0 or 2, as an action with its dialog off or a batch):
# no dialog, the same file and the same recorded options as OK in an untouched dialog, the settings file left
# as it was; --play-info 1 opens the dialog. An abort from the host (--abort-after N) stops the save at once
# with -128, an empty file and no temporary file.
source "$(dirname "$0")/lib.sh" "$@"

sample rgba 40 30 in.png
options=(--param Type=1 --param NPal=16 --param Dthr=2)
# Laid out as the plug-in never writes it, so that a rewrite would show.
settings=$';my own notes\nrhtD 3\n'

# limited_run ARGS...: run, but a dialog that nobody answers ends the process after two minutes.
limited_run() {
  timeout 120 "${vexhost[@]}" "$@" >"$work/.stdout" 2>"$work/.stderr"
  status=$?
  out=$(tr -d '\r' <"$work/.stdout")
  err=$(tr -d '\r' <"$work/.stderr")
}

# With the dialog, answered with OK.
plugin=$(own_plugin "$work/dialog")
run --plugin "$plugin" save in.png dialog.png "${options[@]}" --record dialog.txt "${dialog_ok[@]}"
expect_status 0 "the save through the dialog"
expect_valid_png dialog.png

for play in 0 2; do
  plugin=$(own_plugin "$work/play$play")
  printf '%s' "$settings" >"$work/play$play/Vexlorin.ini"
  limited_run --plugin "$plugin" save in.png "play$play.png" "${options[@]}" --play-info "$play" \
    --record "play$play.txt"
  expect_status 0 "the save with play information $play"
  expect_line "selector 14 result 0"
  cmp -s dialog.png "play$play.png" || fail "play$play.png differs from the file OK in the dialog saves"
  expect_absent "play$play.png.temp"
  [ "$(cat "$work/play$play/Vexlorin.ini")" = "${settings%$'\n'}" ] ||
    fail "the save with play information $play rewrote the settings file"
  # The options, as the dialog records them (the real dialog, made taller to hold its panel, records its own
  # height: that one line may differ).
  diff <(grep -v '^Hght' dialog.txt) <(grep -v '^Hght' "play$play.txt") >/dev/null ||
    fail "play information $play recorded $(cat "play$play.txt"), the dialog $(cat dialog.txt)"
  # No dialog: the native stand-in prints its size line only when it opens.
  ! grep -q 'File Size (Original/Compressed)' <<<"$out" || fail "play information $play opened the dialog: $out"
done

# Play information 1 opens the dialog.
plugin=$(own_plugin "$work/play1")
if [ "$windows_host" -eq 1 ]; then
  ui_script play1.ui "rect dialog" "ok"
  limited_run --plugin "$plugin" save in.png play1.png "${options[@]}" --play-info 1 --ui play1.ui
  [ -n "$(rect_of dialog)" ] || fail "play information 1 showed no dialog: $out $err"
else
  limited_run --plugin "$plugin" save in.png play1.png "${options[@]}" --play-info 1
  grep -q 'File Size (Original/Compressed)' <<<"$out" || fail "play information 1 opened no dialog: $out"
fi
expect_status 0 "the save with play information 1"
cmp -s dialog.png play1.png || fail "play1.png differs from dialog.png"

# An abort from the host: in the reduction, in the encoding, and at the copy's one block (30 + 30 + 1 steps).
for after in 1 30 45 61; do
  plugin=$(own_plugin "$work/abort$after")
  limited_run --plugin "$plugin" save in.png "abort$after.png" "${options[@]}" --play-info 2 --abort-after "$after"
  expect_status 1 "the save aborted from call $after"
  expect_line "selector 14 result -128"
  expect_empty_file "abort$after.png"
  expect_absent "abort$after.png.temp"
done
# Asked 61 times only: an abort from the 62nd call on never comes.
plugin=$(own_plugin "$work/abort62")
limited_run --plugin "$plugin" save in.png abort62.png "${options[@]}" --play-info 2 --abort-after 62
expect_status 0 "the save whose abort comes too late"
cmp -s dialog.png abort62.png || fail "abort62.png differs from dialog.png"

# An abort at the second block of a copy (200 + 200 steps before it): the first block is cut off again.
sample noise 200 200 noise.png
plugin=$(own_plugin "$work/abort402")
limited_run --plugin "$plugin" save noise.png abort402.png --param Type=2 --play-info 2 --abort-after 402
expect_status 1 "the save aborted at the copy's second block"
expect_line "selector 14 result -128"
expect_empty_file abort402.png
expect_absent abort402.png.temp
limited_run --plugin "$plugin" save noise.png whole.png --param Type=2 --play-info 2 --abort-after 403
expect_status 0 "the save whose abort comes after its two blocks"
[ "$(wc -c <whole.png)" -gt 65536 ] || fail "whole.png fits one block: the case above proves nothing"

finish
