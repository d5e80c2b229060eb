#!/usr/bin/env bash
# Builds the Debian package build/package/quillon_<version>_amd64.deb: a release
# build of its own (the package preset), installed under /usr, with the
# dependencies that dpkg-shlibdeps finds.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh dpkg-dev file
cmake --preset package >/dev/null
cmake --build --preset package
# Only the package of this version is left, so that build/package/quillon_*.deb
# names it alone.
rm -f build/package/quillon_*.deb
cpack --preset package >/dev/null
ls build/package/quillon_*.deb
