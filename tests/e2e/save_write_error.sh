# When the temporary PNG cannot be created beside the destination, the save ends with -20 and writes nothing.
source "$(dirname "$0")/lib.sh" "$@"
# A plug-in folder of its own: the settings file the save writes stays with this test.
plugin=$(own_plugin "$work/plugin")

sample gray 4 4 in.png
mkdir out.png.temp  # takes the temporary file's name, so the encoder cannot create it
run --plugin "$plugin" save in.png out.png
expect_status 1 "save without room for its temporary file"
expect_line "selector 14 result -20"
expect_empty_file out.png
[ -d out.png.temp ] || fail "the folder in the temporary file's place was removed"

finish
