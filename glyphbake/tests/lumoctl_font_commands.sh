#!/usr/bin/env bash
# Runs the lumoctl font commands on a real font and on the fixtures and checks their output and
# exit codes.   lumoctl_font_commands.sh LUMOCTL FIXTURE_DIR
set -uo pipefail
lumoctl=$1
fixtures=$2
dejavu=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

expect_exit() {  # expected-code description command...
  local expected=$1 what=$2
  shift 2
  "$@" > "$work/out" 2> "$work/err"
  local code=$?
  [[ $code -eq $expected ]] || fail "$what: exit $code, expected $expected ($(cat "$work/err"))"
}

expect_output() {  # description pattern
  grep -qE -- "$2" "$work/out" || fail "$1: no line matching '$2' in: $(head -c 400 "$work/out")"
}

expect_exit 0 "convert" "$lumoctl" font convert "$dejavu" 12 "$work/sans.lxf"
[[ -s "$work/sans.lxf" ]] || fail "convert wrote no file"

expect_exit 0 "show" "$lumoctl" font show "$work/sans.lxf" --char A --char 0x42
expect_output "show name" '^name: 12pt DejaVu Sans$'
expect_output "show range" '^characters: 32 to 511$'
expect_output "show first cell" '^char 65  width [0-9]+$'
expect_output "show second cell" '^char 66  width [0-9]+$'
expect_output "show drawing" '^\.*\*+[.*]*$'

expect_exit 0 "convert with report" "$lumoctl" font convert "$fixtures/shapes.ttf" 72 \
  "$work/shapes.lxf" --sample 67 --report --fixed-width --extra-rows 0
expect_output "report title" '^glyphbake Version 1\.3\.5$'
expect_output "report sample" '^Glyph Info: xMin: -2  xMax: 3  yMin: 0  yMax: 5  advance: 6\.0$'
expect_exit 0 "show fixed width" "$lumoctl" font show "$work/shapes.lxf" --char C
expect_output "fixed width byte" '^char 67  width 11$'
expect_output "no extra rows" '^cell: 11 x 13 pixels \(0 extra rows\), 26 bytes per character$'

expect_exit 0 "name" "$lumoctl" font name "$dejavu"
expect_output "name printed" '^DejaVu Sans$'
expect_exit 1 "name without Unicode map" "$lumoctl" font name "$fixtures/symbol.ttf"
expect_output "name printed anyway" '^Glyphbake Test Symbol$'

expect_exit 1 "convert without Unicode map" "$lumoctl" font convert "$fixtures/symbol.ttf" 12 "$work/symbol.lxf"
[[ ! -e "$work/symbol.lxf" ]] || fail "a refused conversion left a file"
expect_exit 1 "show a font that is not LXF" "$lumoctl" font show "$dejavu"
expect_exit 2 "show a code beyond the table" "$lumoctl" font show "$work/sans.lxf" --char 512
for command in convert name show; do
  expect_exit 0 "$command --help" "$lumoctl" font "$command" --help
done

[[ $failures -eq 0 ]] && echo "lumoctl font commands: all checks passed"
exit $((failures > 0))
