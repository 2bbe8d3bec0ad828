#!/usr/bin/env bash
# Demo mode: the program with a simulated reminder attached over emulated
# USB (umockdev), in a scratch folder with a demo database, so that
# attaching, reading, programming, a spare reminder and emptying can be
# tried without a reminder. The real velmora.db is never touched.
#   ./run.sh --demo        Finnish
#   ./run.sh --demo en     English
# Expects a built tree (run.sh builds it first). On the terminal, a letter
# and Enter moves the reminder: u out, p in, s spare in, o own in.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
language="${1:-fi}"

if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  cat >&2 <<'MSG'
No display found. On a machine without one, run the demo under Xvfb:
  xvfb-run -a -s '-screen 0 1280x1024x24' ./run.sh --demo
or watch it over VNC (then connect a VNC viewer to port 5900):
  QT_QPA_PLATFORM=vnc:size=1280x900 ./run.sh --demo
MSG
  exit 1
fi

# The scratch folder: a copy of the program, so the database it opens
# beside itself is the demo one. Only a folder this script made is reused.
dir="${XDG_RUNTIME_DIR:-/tmp}/velmora-demo"
if [ -e "$dir" ]; then
  if [ ! -f "$dir/.velmora-demo" ]; then
    echo "demo: $dir exists and was not made by the demo; remove it or move it away" >&2
    exit 1
  fi
  rm -rf "$dir"
fi
mkdir -p "$dir"
touch "$dir/.velmora-demo"
cp "$build/bin/velmora" "$dir/velmora"
# The Help menu's manuals, which the program looks for beside itself.
if [ -d "$build/bin/manuals" ]; then cp -r "$build/bin/manuals" "$dir/"; fi
case "$language" in
  fi) cp "$build/share/velmora/lang/fi.txt" "$dir/VelmoraLang.txt" ;;  # whatever the desktop speaks
  en) cp "$build/share/velmora/lang/en.txt" "$dir/VelmoraLang.txt" ;;
  *) echo "demo: language is fi or en" >&2; exit 2 ;;
esac

# The demo database, and the options that make the simulated reminder the
# reminder of its demo person (same serial, programmed 14 days ago).
options_line="$("$build/bin/velmora-demo-db" "$dir")"
read -r -a sim_options <<<"$options_line"
serial=""
for ((k = 0; k + 1 < ${#sim_options[@]}; k++)); do
  [ "${sim_options[k]}" = "--serial" ] && serial="${sim_options[k + 1]}"
done

cat <<MSG
Velmora demo in $dir
The reminder of Aino Virtanen (serial $serial) is attached; the program reads its
history on arrival. Type a letter and Enter here:
  u  pull the reminder out     p  plug it in again
  s  plug in a spare reminder  (serial $((serial + 1)), empty; answer Yes to the spare question first)
  o  plug in Aino's own reminder again
Close the program window to end the demo.
MSG
exec "$build/bin/velmora-reminder-sim" "${sim_options[@]}" -- "$dir/velmora"
