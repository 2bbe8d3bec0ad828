#!/usr/bin/env bash
# Builds what is needed and saves PNG screenshots of the main window (also
# right after a reminder was read, and with a 60-character name at its
# smallest size) and of its dialogs (user management, also filtered by its
# search field; the alarm dialog for a new and an edited alarm, history,
# its adherence page and chronology chart over 30 and 90 days,
# report, the reminder-without-user question, the clock check, the
# programming result, the spare wait, the about box, the backup dialog, a
# question box; the account dialog signed in and signed out, the sign-in,
# the legacy password prompt and the password change; the pouch data
# summary, and the update of every user's pouch data while it runs and its
# result list, against the substitute service on 127.0.0.1; the dose plan
# dialog and the first page of the plan it prints; the calendars and the
# alarm dialog at 200 % scale and with larger text) into
# build/screenshots/, in Finnish, and in English under build/screenshots/en/;
# and the first page of the user manual of each language (manual.png),
# drawn by the same tool that writes the manual's PDF.
# The program's own start-up code opens the demo database on Qt's offscreen
# platform, so no display is needed; the reminder dialogs come from the real
# flows against an emulated USB reminder (umockdev).
# VELMORA_BUILD_DIR chooses another build directory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
out="$build/screenshots"

# Without fonts Qt draws boxes; the program's look uses DejaVu Sans.
if ! dpkg-query -W -f='${Status}' fonts-dejavu-core 2>/dev/null | grep -q 'install ok installed'; then
  sudo_cmd=()
  [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  export DEBIAN_FRONTEND=noninteractive
  "${sudo_cmd[@]}" apt-get update -q
  "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends fonts-dejavu-core
fi

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target velmora-screenshots velmora-manual -j "$(nproc 2>/dev/null || echo 2)"

data="$(mktemp -d)"
trap 'rm -rf "$data"' EXIT
rm -rf "$out"
export QT_QPA_PLATFORM=offscreen
"$build/bin/velmora-screenshots" "$out" "$data/fi"
"$build/bin/velmora-screenshots" "$out/en" "$data/en" "$root/resources/lang/en.txt"
"$build/bin/velmora-manual" --png 1 "$root/docs/manual/velmora_manual_fi.md" "$out/manual.png"
"$build/bin/velmora-manual" --png 1 "$root/docs/manual/velmora_manual_en.md" "$out/en/manual.png"
echo "Screenshots are in $out"
