#!/usr/bin/env bash
# Builds the Debian package from the working tree and checks it with lintian. Installs what the
# build needs, builds in build/deb/ (a copy of the tree, so nothing is written beside the sources)
# and leaves build/deb/tarvok_VERSION_ARCH.deb.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib/apt.sh
apt_get update
apt_get install --no-install-recommends build-essential dpkg-dev debhelper lintian
apt_get build-dep ./

version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg --print-architecture)
out=build/deb
src=$out/tarvok-$version
rm -rf "$out"
mkdir -p "$src"
tar -cf - --exclude-vcs --exclude=./build --exclude='./build-*' --exclude=./compile_commands.json . |
  tar -xf - -C "$src"
# A compiler cache, where there is one, makes a rebuild of unchanged sources quick.
if command -v ccache >/dev/null; then
  export CMAKE_CXX_COMPILER_LAUNCHER=ccache
fi
(cd "$src" && dpkg-buildpackage -b --no-sign >../build.log 2>&1) || {
  tail -n 15 "$out/build.log" | cut -c1-300 >&2
  echo "make-deb: the package build failed; the whole log is $out/build.log" >&2
  exit 1
}
deb=$out/tarvok_${version}_${arch}.deb
lintian --fail-on error,warning "$deb"
echo "$deb"
