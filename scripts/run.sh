#!/usr/bin/env bash
# Builds lumoshelf and runs it on a demo library of its own: a simulated reader on a
# pseudo-terminal as COM1, a handful of demo editions in the library's auto-add folder, and a
# settings file beside them, so the user's own library is never touched. Without a display the
# same demo runs through lumoctl.
#   scripts/run.sh            build, then run the demo
#   LUMOSHELF_DEMO_DIR=DIR    keep the demo somewhere else (default build/demo)
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo > /dev/null
cmake --build build -j "$(nproc)"

demo=$(realpath -m "${LUMOSHELF_DEMO_DIR:-build/demo}")
library=$demo/library
settings=$demo/settings.ini
reader_tty=$demo/reader-tty
lumoctl=build/lumoctl/lumoctl
lumosim=build/lumosim/lumosim
export LUMOSHELF_SETTINGS=$settings

mkdir -p "$library/Books" "$library/AutoAdd" "$demo/flash" "$demo/pages"
if [[ ! -f $settings ]]; then
  cat > "$settings" <<SETTINGS
[Data Locations]
LibraryDir=$library
LibraryFile=library.lxl
BookDir=$library/Books
AutoAddDir=$library/AutoAdd
[DataComm]
ComPort=COM1
COM1=$reader_tty
SETTINGS
fi

# Demo editions go into the auto-add folder once, when the library is new; the program (or
# lumoctl) takes them from there into the book folder.
if [[ ! -f $library/library.lxl ]]; then
  while IFS='|' read -r file title author genre owner first_line; do
    page=$demo/pages/$file.html
    printf '<html><head><title>%s</title></head><body><h1>%s</h1><p>%s</p></body></html>\n' \
      "$title" "$title" "$first_line" > "$page"
    "$lumoctl" edition pack -o "$library/AutoAdd/$file.lx" --title "$title" --author "$author" \
      --genre "$genre" --username "$owner" --url "ebook:demo-$file" "$page"
  done <<'EDITIONS'
emma|Emma|Jane Austen|Fiction|demo|Emma Woodhouse, handsome, clever, and rich...
persuasion|Persuasion|Jane Austen|Fiction|demo|Sir Walter Elliot, of Kellynch Hall...
hard-times|Hard Times|Charles Dickens|Fiction|demo|Now, what I want is, Facts.
time-machine|The Time Machine|H. G. Wells|Science Fiction|demo|The Time Traveller was expounding a recondite matter to us.
walden|Walden|Henry David Thoreau|Essays|[none]|When I wrote the following pages, or rather the bulk of them...
EDITIONS
fi

# The simulated reader starts with two of the demo editions on its flash.
if [[ -z "$(ls -A "$demo/flash")" ]]; then
  for file in emma walden; do
    [[ -f $library/AutoAdd/$file.lx ]] && cp "$library/AutoAdd/$file.lx" "$demo/flash/$file.lx"
  done
fi

# The simulated reader answers on a pseudo-terminal that COM1 points at.
sim_pid=
if [[ -x $lumosim ]]; then
  rm -f "$reader_tty"
  "$lumosim" --flash "$demo/flash" --link "$reader_tty" > "$demo/lumosim.out" 2>&1 &
  sim_pid=$!
  trap '[[ -n $sim_pid ]] && kill "$sim_pid" 2>/dev/null' EXIT
  for _ in $(seq 50); do [[ -e $reader_tty ]] && break; sleep 0.1; done
  echo "Simulated reader on $(readlink "$reader_tty" || echo "$reader_tty") as COM1"
else
  echo "lumosim is not built; the demo runs without a reader"
fi

if [[ -n ${DISPLAY:-} || -n ${WAYLAND_DISPLAY:-} ]]; then
  echo "Starting lumoshelf on the demo library in $library"
  build/lumoshelf/ui/lumoshelf
else
  echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): running the demo through lumoctl."
  # Reader commands are shown as far as this lumoctl has them.
  has_command() { "$lumoctl" "$@" --help 2> /dev/null | grep -q "^Usage: .* $* "; }
  # Opening the library takes in the auto-add folder, as the window does.
  "$lumoctl" --settings "$settings" library categories
  if [[ -n $sim_pid ]]; then
    reader=("$lumoctl" --settings "$settings" --port "$reader_tty")
    for command in info titles "sync --yes"; do
      read -ra words <<< "$command"
      has_command device "${words[0]}" || continue
      "${reader[@]}" device "${words[@]}" || echo "lumoctl device $command failed"
    done
  fi
  "$lumoctl" --settings "$settings" library list
fi
