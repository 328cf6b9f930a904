# Opening the dialog encodes once to show the size and does not reduce again: the plug-in's debug log
# (c:\VexlorinLog.txt in the wine prefix) holds one "DoFilter Start", before the dialog, and one
# "CompressPNG>>>>", behind the opened dialog (on the refresh's thread) and before it closes; pressing OK then
# saves without another reduction or encoding.
source "$(dirname "$0")/lib.sh" "$@"

log="$wine_prefix/drive_c/VexlorinLog.txt"
[ -n "$wine_prefix" ] || fail "no wine prefix in the command: ${vexhost[*]}"
sample rgba 64 48 in.png
plugin=$(own_plugin "$work/plugin")
rm -f "$log"  # the plug-in starts the log afresh, but a leftover must not stand in for a missing one
ui_script open.ui "snapshot open.png" "ok"
run --plugin "$plugin" save in.png out.png --ui open.ui
expect_status 0 "a save confirmed in the dialog"
expect_valid_png out.png

if [ ! -f "$log" ]; then
  fail "no debug log at $log"
else
  tr -d '\r' <"$log" >log.txt
  [ "$(grep -cxF "DoFilter Start" log.txt)" -eq 1 ] ||
    fail "the log has $(grep -cxF "DoFilter Start" log.txt) lines 'DoFilter Start', expected 1"
  [ "$(grep -cxF "CompressPNG>>>>" log.txt)" -eq 1 ] ||
    fail "the log has $(grep -cxF "CompressPNG>>>>" log.txt) lines 'CompressPNG>>>>', expected 1"
  # line_of TEXT: the number of the first log line that is exactly TEXT (0 for none).
  line_of() { grep -nxF -- "$1" log.txt | head -n 1 | cut -d: -f1 | grep . || echo 0; }
  filter=$(line_of "DoFilter Start")
  opening=$(line_of "case WM_INITDIALOG:")
  encoding=$(line_of "CompressPNG>>>>")
  closing=$(line_of "case WM_DESTROY begin")
  [ "$filter" -gt 0 ] && [ "$opening" -gt "$filter" ] ||
    fail "the reduction (log line $filter) does not come before the dialog's opening (line $opening)"
  [ "$encoding" -gt "$opening" ] && [ "$closing" -gt "$encoding" ] ||
    fail "the encoding (log line $encoding) is not between the opening (line $opening) and the closing ($closing)"
fi

finish
