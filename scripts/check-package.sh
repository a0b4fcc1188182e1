#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks what it holds and declares.
# With --install (CI, as root) it also installs it with apt, starts the program from its
# desktop entry under Xvfb, and removes it again.
#   scripts/check-package.sh BUILD_DIR [--install]
set -euo pipefail
build_dir=$1
install=${2:-}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

fail() { echo "check-package: $*" >&2; exit 1; }

(cd "$build_dir" && cpack -G DEB >/dev/null)
deb=$(realpath "$(ls -t "$build_dir"/quarnel_*.deb | head -n 1)")
echo "check-package: $deb"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
for path in ./usr/lib/quarnel/quarnel ./usr/lib/quarnel/SkinH_EL.dll ./usr/bin/quarnel \
    ./usr/share/applications/org.quarnel.Quarnel.desktop \
    ./usr/share/metainfo/org.quarnel.Quarnel.metainfo.xml \
    ./usr/share/icons/hicolor/48x48/apps/org.quarnel.Quarnel.png; do
    grep -qxF "$path" <<<"$contents" || fail "missing $path"
done
link=$(dpkg-deb -c "$deb" | awk '$6 == "./usr/bin/quarnel" {print $8}')
[ "$link" = ../lib/quarnel/quarnel ] || fail "launcher should link to ../lib/quarnel/quarnel, not '$link'"

depends=$(dpkg-deb -f "$deb" Depends)
echo "check-package: Depends: $depends"
for dependency in libqt6widgets6 libqt6multimedia6 liblzma5 qt6-qpa-plugins fonts-noto-cjk; do
    grep -q "$dependency" <<<"$depends" || fail "Depends lacks $dependency"
done

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb -x "$deb" "$unpacked"
desktop-file-validate "$unpacked/usr/share/applications/org.quarnel.Quarnel.desktop"
appstreamcli validate --no-net --pedantic \
    "$unpacked/usr/share/metainfo/org.quarnel.Quarnel.metainfo.xml" >/dev/null ||
    appstreamcli validate --no-net "$unpacked/usr/share/metainfo/org.quarnel.Quarnel.metainfo.xml"

[ "$install" = --install ] || exit 0

export DEBIAN_FRONTEND=noninteractive
apt-get install -y -qq "$deb" >/dev/null
[ -x /usr/bin/quarnel ] || fail "not installed"
exec_line=$(sed -n 's/^Exec=//p' /usr/share/applications/org.quarnel.Quarnel.desktop)
# Started from its desktop entry's command in a folder it cannot write to, it must come up
# without writing anything: its skin library is already beside it.
"$here/tests/e2e/with-x11.sh" "$here/scripts/start-and-close.sh" "$exec_line"
apt-get remove -y -qq quarnel >/dev/null
[ ! -e /usr/lib/quarnel ] || fail "/usr/lib/quarnel left behind after removal"
echo "check-package: installed, started and removed cleanly"
