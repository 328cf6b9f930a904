# Options set in the dialog by clicks and picks from its lists give byte for byte the file that the same
# options given as --param values give: each PNG type, each dither of the Palette type, and Alpha Channel,
# Transparency as Key Color and Transparency Dither off, 16 colours, Refine Palette, the Smallest compression, a
# Palette Quality of 75, Metadata and a picked fill colour. Every dialog starts from the defaults (RGB, 256
# colours, alpha, key colour, Diffusion, transparency dither, Standard, no quality, no metadata).
# The reference saves use the native vexhost ($VEX_NATIVE_VEXHOST) when it is there, else this one with OK.
source "$(dirname "$0")/lib.sh" "$@"

native=${VEX_NATIVE_VEXHOST:-}
[ -n "$native" ] && [ -x "$native" ] || native=""
sample rgba 64 48 in.png
printf 'ok\n' >ok.ui

# param_save NAME OUTPUT PARAMETERS...: the reference save, in a plug-in folder of its own.
param_save() {
  local name=$1 output=$2
  shift 2
  if [ -n "$native" ]; then
    mkdir -p "$work/param-$name"
    "$native" --plugin "$work/param-$name/Vexlorin.8bi" save in.png "$output" "$@" >/dev/null 2>param.err ||
      fail "the parameter save of $name failed: $(cat param.err)"
  else
    run --plugin "$(own_plugin "$work/param-$name")" save in.png "$output" "$@" --ui ok.ui
    expect_status 0 "the parameter save of $name"
  fi
}

# NAME|PICK|UI ACTIONS (";" between them)|PARAMETERS. Each save gets a fresh plug-in folder (no settings file).
cases=(
  "rgb||click 1004|--param Type=2"
  "gray||click 1002|--param Type=0"
  "palette-d0||click 1003;select 1010 0|--param Type=1 --param Dthr=0"
  "palette-d1||click 1003;select 1010 1|--param Type=1 --param Dthr=1"
  "palette-d2||click 1003;select 1010 2|--param Type=1 --param Dthr=2"
  "palette-d3||click 1003;select 1010 3|--param Type=1 --param Dthr=3"
  "rgb-key||click 1005|--param Type=2 --param UAlC=0"
  "rgb-fill|FF8000|click 1005;click 1013;click 1008|--param Type=2 --param UAlC=0 --param UCCl=0 --param FlCl=33023"
  "gray-fill|204060|click 1002;click 1005;click 1013;click 1008|--param Type=0 --param UAlC=0 --param UCCl=0 --param FlCl=6307872"
  "palette-16-d0||click 1003;select 1006 4;select 1010 0|--param Type=1 --param NPal=16 --param Dthr=0"
  "palette-16-key-plain||click 1003;select 1006 4;click 1005;click 1019;select 1010 2|--param Type=1 --param NPal=16 --param UAlC=0 --param UCDf=0 --param Dthr=2"
  "palette-alpha-plain||click 1003;click 1019|--param Type=1 --param UCDf=0"
  "palette-16-refined||click 1003;select 1006 4;click 1021|--param Type=1 --param NPal=16 --param Rfne=1"
  "rgb-smallest||select 1022 1|--param Cmpr=1"
  "palette-quality-75||click 1003;select 1024 6|--param Type=1 --param Qlty=75"
  "rgb-metadata||click 1026|--param Meta=1"
  # The fill colour before the type: a fill picked once the palette is made keeps that palette (user guide).
  "palette-fill|00FF80|click 1005;click 1013;click 1008;click 1003;select 1010 3|--param Type=1 --param UAlC=0 --param UCCl=0 --param FlCl=8453888 --param Dthr=3"
)
for entry in "${cases[@]}"; do
  IFS='|' read -r name pick actions parameters <<<"$entry"
  IFS=';' read -r -a lines <<<"$actions"
  ui_script "$name.ui" "${lines[@]}" "ok"
  picked=()
  [ -z "$pick" ] || picked=(--pick "$pick")
  run --plugin "$(own_plugin "$work/ui-$name")" save in.png "ui-$name.png" --ui "$name.ui" "${picked[@]}"
  expect_status 0 "the dialog save of $name"
  expect_valid_png "ui-$name.png"
  read -r -a params <<<"$parameters"
  param_save "$name" "param-$name.png" "${params[@]}"
  cmp -s "ui-$name.png" "param-$name.png" || fail "$name: the dialog's file ($(wc -c <"ui-$name.png") bytes)" \
    "differs from the one saved with ${parameters} ($(wc -c <"param-$name.png") bytes)"
done
# The picked fill colour is what makes those files what they are.
param_save black black.png --param Type=2 --param UAlC=0 --param UCCl=0
! cmp -s black.png ui-rgb-fill.png || fail "the picked fill colour made no difference to rgb-fill"

finish
