#!/usr/bin/env bash
# The Debian package: installs what building and packaging need (dpkg-dev's
# dpkg-shlibdeps computes the dependencies from the binaries), builds the two
# programs for /usr in build/package, makes
# build/package/mrk2tool_<version>-<revision>_amd64.deb and has lintian check
# it: an error fails the script, warnings are shown. Install it with
#   apt-get install ./build/package/mrk2tool_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh --package
build=build/package
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
      -DMRK2_BUILD_TESTS=OFF -DMRK2_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" --target mrk2cli mrk2tool
rm -f "$build"/mrk2tool_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
deb=$(ls "$build"/mrk2tool_*.deb)
dpkg-deb --field "$deb" Package Version Architecture Depends
# lintian warns that it runs as root; that is how this script runs.
lintian "$deb" 2> >(grep -v 'running with root privileges' >&2)
echo "$deb"
