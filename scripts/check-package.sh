#!/usr/bin/env bash
# Builds the Debian package from an existing build (cpack), unpacks it into
# a temporary root with dpkg -x and checks that the files land where the
# desktop, udev and the program look for them, that the metainfo passes
# appstreamcli, and that the unpacked program answers --version and --help
# without a display. VELMORA_BUILD_DIR chooses the build directory.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${VELMORA_BUILD_DIR:-$root/build}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

fail() { echo "check-package: $*" >&2; exit 1; }

cmake --build "$build" --target velmora velmora_manuals -j "$(nproc 2>/dev/null || echo 2)" >/dev/null
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
debs=("$work"/out/velmora_*.deb)
[ -f "${debs[0]}" ] || fail "no package in $work/out"
deb="${debs[0]}"
dpkg-deb -x "$deb" "$work/root"
r="$work/root/usr"

id=fi.velmora.Velmora
for f in bin/velmora \
         share/applications/$id.desktop \
         share/icons/hicolor/scalable/apps/$id.svg \
         share/metainfo/$id.metainfo.xml \
         lib/udev/rules.d/70-velmora-reminder.rules \
         share/velmora/lang/fi.txt share/velmora/lang/en.txt \
         share/velmora/manuals/Velmora_manual_fi.pdf share/velmora/manuals/Velmora_manual_en.pdf; do
  [ -s "$r/$f" ] || fail "missing /usr/$f"
done
for pdf in "$r"/share/velmora/manuals/*.pdf; do
  [ "$(head -c 5 "$pdf")" = "%PDF-" ] || fail "$pdf is not a PDF"
done
# Nothing but the program: no test programs or tools.
extra="$(cd "$r/bin" && ls | grep -vx velmora || true)"
[ -z "$extra" ] || fail "unexpected programs in /usr/bin: $extra"
grep -qx "Exec=velmora" "$r/share/applications/$id.desktop" || fail "desktop entry does not start velmora"
grep -qx "Icon=$id" "$r/share/applications/$id.desktop" || fail "desktop entry names another icon"

depends="$(dpkg-deb -f "$deb" Depends)"
for lib in libqt6widgets6 libsqlite3-0 libusb-1.0-0 qt6-qpa-plugins fonts-dejavu-core; do
  grep -q "$lib" <<<"$depends" || fail "Depends lacks $lib: $depends"
done

appstreamcli validate --no-net "$r/share/metainfo/$id.metainfo.xml" >"$work/appstream.log" ||
  { cat "$work/appstream.log" >&2; fail "appstreamcli rejects the metainfo"; }

version="$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$r/bin/velmora" --version)" ||
  fail "velmora --version failed"
[ "$version" = "Velmora v$(dpkg-deb -f "$deb" Version)" ] || fail "velmora --version said: $version"
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$r/bin/velmora" --help | grep -q -- "--version" ||
  fail "velmora --help does not name --version"
echo "check-package: $(basename "$deb") is fine (Depends: $depends)"
