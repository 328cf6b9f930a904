# The dialog refreshes behind its back (on a thread of its own): changes in quick succession, each made before
# the last refresh is over, end with the file of the last state, the same bytes as a save of those options
# without the dialog; OK pressed during a refresh saves that state's file; Cancel during a refresh writes
# nothing and leaves no temporary file.
source "$(dirname "$0")/lib.sh" "$@"

sample noise 400 300 in.png
# Palette with 16 colours, No Dither, then RGB and back to Palette with Pattern; without waiting for refreshes.
changes=("settle queue" "click panel:1003" "select panel:1006 4" "select panel:1010 0" "click panel:1004"
  "click panel:1003" "select panel:1010 2")
final=(--param Type=1 --param NPal=16 --param Dthr=2)

plugin=$(own_plugin "$work/batch")
run --plugin "$plugin" save in.png batch.png "${final[@]}" --play-info 0
expect_status 0 "the save of the final options without the dialog"
expect_valid_png batch.png

# OK right after the last change: it waits for that change's refresh.
plugin=$(own_plugin "$work/quick")
ui_script quick.ui "${changes[@]}" "ok"
run --plugin "$plugin" save in.png quick.png --ui quick.ui
expect_status 0 "the save after quick changes"
cmp -s batch.png quick.png || fail "quick.png ($(wc -c <quick.png) bytes) differs from batch.png ($(wc -c <batch.png))"
expect_absent quick.png.temp
expect_absent quick.png.temp.next

# The same changes, each refresh waited for, then OK: the same file.
plugin=$(own_plugin "$work/settled")
ui_script settled.ui "${changes[@]:1}" "ok"
run --plugin "$plugin" save in.png settled.png --ui settled.ui
expect_status 0 "the save after settled changes"
cmp -s batch.png settled.png || fail "settled.png differs from batch.png"

# Cancel during a refresh.
plugin=$(own_plugin "$work/cancel")
ui_script cancel.ui "${changes[@]}" "cancel"
run --plugin "$plugin" save in.png cancel.png --ui cancel.ui
expect_status 1 "the save cancelled during a refresh"
expect_line "selector 14 result -128"
expect_empty_file cancel.png
expect_absent cancel.png.temp
expect_absent cancel.png.temp.next

finish
