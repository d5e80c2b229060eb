#!/usr/bin/env bash
# Builds the Debian package, checks it with lintian, desktop-file-validate and
# appstreamcli, then installs it as a user does, runs the installed programs and
# removes the package again.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh lintian desktop-file-utils appstream
scripts/package.sh
deb=$(realpath build/package/quillon_*.deb)
echo "Checking $deb"

lintian --fail-on error "$deb"

work=$(mktemp -d)
cleanup() { rm -rf "$work"; }
trap cleanup EXIT
dpkg-deb -x "$deb" "$work/root"
desktop-file-validate "$work/root/usr/share/applications/quillon.desktop"
appstreamcli validate --no-net "$work"/root/usr/share/metainfo/*.metainfo.xml

# Installing replaces a package of the user's own and purging would remove it: a
# machine that has Quillon installed keeps it, untested.
if dpkg-query -W -f='${Status}' quillon 2>/dev/null | grep -q "install ok installed"; then
  echo "test-package: quillon is installed on this machine; not installing the package over it"
  exit 0
fi

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
remove() {
  DEBIAN_FRONTEND=noninteractive $sudo apt-get purge -y -qq quillon >/dev/null
  cleanup
}
trap remove EXIT
# apt reads the file as its own unprivileged user: give it a copy it can read.
cp "$deb" "$work/"
chmod 755 "$work"
chmod 644 "$work/$(basename "$deb")"
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
  "$work/$(basename "$deb")" >/dev/null

/usr/bin/quillon --version
# The script driver on a copy of the demo game, with a settings folder of its own
# that it must leave alone.
cp -r examples/demo-game "$work/game"
mkdir "$work/config"
cat > "$work/script.txt" <<'SCRIPT'
answer Yes
start
select lstSetups Night Mode
click cmdApplyLaunch
show txtCurrentSetup
SCRIPT
transcript=$(cd "$work/game" && XDG_CONFIG_HOME="$work/config" /usr/bin/quillon-headless ../script.txt)
for expected in "LAUNCH " "| Night Mode" "END"; do
  if ! grep -qF "$expected" <<<"$transcript"; then
    echo "test-package: the installed quillon-headless did not print \"$expected\":"
    echo "$transcript"
    exit 1
  fi
done
if [ -n "$(ls -A "$work/config")" ]; then
  echo "test-package: quillon-headless wrote into the settings folder"
  exit 1
fi
echo "test-package: the installed programs run"
