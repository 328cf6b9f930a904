# --param hands the plug-in a descriptor, and --record writes what the plug-in recorded at write finish.
source "$(dirname "$0")/lib.sh" "$@"
# A plug-in folder of its own: the settings file the save writes stays with this test.
plugin=$(own_plugin "$work/plugin")

sample rgb 4 4 in.png
run --plugin "$plugin" save in.png out.png --param NPal=16 --param Zzzz=5 --param Rfne=1 --param Cmpr=1 --param Qlty=60 --param Meta=1 --record recorded.txt "${dialog_ok[@]}"
expect_status 0 "save with parameters"
expect_line "selector 16 result 0"
[ -f recorded.txt ] || fail "--record wrote no file"
lines=$(wc -l <recorded.txt)
[ "$lines" -eq 17 ] || fail "recorded.txt has $lines lines, expected one per key: $(cat recorded.txt)"
grep -qxF "NPal 16" recorded.txt || fail "the played-back NPal 16 was not recorded: $(cat recorded.txt)"
grep -qxF "Rfne 1" recorded.txt || fail "the played-back Rfne 1 was not recorded: $(cat recorded.txt)"
grep -qxF "Cmpr 1" recorded.txt || fail "the played-back Cmpr 1 was not recorded: $(cat recorded.txt)"
grep -qxF "Qlty 60" recorded.txt || fail "the played-back Qlty 60 was not recorded: $(cat recorded.txt)"
grep -qxF "Meta 1" recorded.txt || fail "the played-back Meta 1 was not recorded: $(cat recorded.txt)"
grep -qxF "CsRG 0" recorded.txt || fail "Convert to sRGB was not recorded off: $(cat recorded.txt)"
grep -qxF "Bt16 0" recorded.txt || fail "16 Bits/Channel was not recorded off: $(cat recorded.txt)"
! grep -q "^Zzzz " recorded.txt || fail "an unknown key was recorded"
head -n 1 recorded.txt | grep -qE '^Wdth -?[0-9]+$' || fail "first recorded line is not Wdth: $(head -n 1 recorded.txt)"

finish
