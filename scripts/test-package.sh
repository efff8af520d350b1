#!/usr/bin/env bash
# The Debian package as a user meets it: built and checked by lintian (scripts/make-deb.sh),
# installed with apt-get, its programs run from /usr/bin, its desktop entry and user unit checked,
# then purged, after which no file it installed may be left. The purge runs whatever happens.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/apt.sh
fail() {
  echo "test-package: $*" >&2
  exit 1
}

scripts/make-deb.sh
version=$(dpkg-parsechangelog -S Version)
deb=build/deb/tarvok_${version}_$(dpkg --print-architecture).deb
[ -f "$deb" ] || fail "make-deb.sh left no $deb"

work=$(mktemp -d)
purge() {
  if dpkg-query -W tarvok >/dev/null 2>&1; then apt_get purge tarvok || true; fi
  rm -rf "$work"
}
trap purge EXIT
trap 'exit 1' INT TERM
apt_get install "./$deb"
checks=0
passed() {
  echo "ok: $*"
  checks=$((checks + 1))
}
dpkg-query -L tarvok >"$work/files"
passed "installed with apt-get, $(wc -l <"$work/files") paths"

[ "$(/usr/bin/tarvok --version)" = "tarvok $version" ] || fail "tarvok --version does not say $version"
passed "tarvok --version: $version"
/usr/bin/tarvok-dtmf --help >/dev/null || fail "tarvok-dtmf --help failed"
passed "tarvok-dtmf --help"

for page in tarvok tarvok-dtmf; do
  [ -f /usr/share/man/man1/$page.1.gz ] || fail "no manual page $page(1)"
done
passed "manual pages tarvok(1) and tarvok-dtmf(1)"

desktop-file-validate /usr/share/applications/tarvok.desktop || fail "desktop entry refused"
passed "desktop-file-validate"
# No user session here: an empty runtime folder lets systemd check the unit without one.
runtime=$(mktemp -d -p "$work")
XDG_RUNTIME_DIR=$runtime systemd-analyze --user verify /usr/lib/systemd/user/tarvok.service ||
  fail "systemd-analyze refused the user unit"
passed "systemd-analyze --user verify"

# The installed demo station, headless on the virtual card: its receiver hears a transmission 8 s
# after the start, which the station records and repeats.
home=$work/demo-station
mkdir -p "$home"
cp /usr/share/tarvok/demo/tarvok.ini "$home/"
status=0
timeout --preserve-status -s INT 20 /usr/bin/tarvok --headless --home "$home" \
  --audio virtual:/usr/share/tarvok/demo/simplex.scenario >"$work/demo.log" 2>&1 || status=$?
for line in "Mode: Simplex Repeater" "Recording finished" "Transmitter keyed" "Tarvok stopped"; do
  grep -q "$line" "$work/demo.log" || {
    cat "$work/demo.log" >&2
    fail "the demo station's log lacks \"$line\""
  }
done
[ "$status" -eq 0 ] || fail "the demo station ended with status $status"
passed "the installed demo station recorded and repeated a transmission, then stopped on SIGINT"

# The installed window on the offscreen platform: the program finds its module where it is installed.
status=0
QT_QPA_PLATFORM=offscreen timeout --preserve-status -s INT 8 /usr/bin/tarvok --home "$home" \
  --audio virtual >"$work/window.log" 2>&1 || status=$?
grep -q "Tarvok stopped" "$work/window.log" && [ "$status" -eq 0 ] || {
  cat "$work/window.log" >&2
  fail "the installed window did not run and stop on SIGINT (status $status)"
}
passed "the installed window opened from its module, then stopped on SIGINT"

apt_get purge tarvok
left=()
while IFS= read -r path; do
  [ "$path" != /. ] || continue
  [ -e "$path" ] || [ -L "$path" ] || continue
  # A folder that stays belongs to another package too (/usr/bin, /usr/share/man/man1).
  if [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1; then
    continue
  fi
  left+=("$path")
done <"$work/files"
[ ${#left[@]} -eq 0 ] || fail "left after the purge: ${left[*]}"
passed "purged, nothing of the package left"
echo "$checks package checks passed"
