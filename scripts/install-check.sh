#!/usr/bin/env bash
# Installs a built tree into a temporary prefix and runs the installed programs
# as a user would: --version; the window program, offscreen against the
# emulated units, with its bin folder writable (an installed program still
# keeps its files out of it); quelda24-cli against the installed
# quelda24-units with the bin folder read-only and $XDG_DATA_HOME unset. Both
# must put ini.txt and Data in the XDG data folder. With cpack and dpkg-deb
# present, also builds the .deb and checks its files and dependencies.
#   bash scripts/install-check.sh [BUILD_DIR]     (default: build)
# As root, quelda24-cli runs as the user nobody (setpriv), for whom a
# read-only folder really is read-only.
set -euo pipefail
build=$(cd "${1:-build}" && pwd)
tmp=$(mktemp -d /tmp/q24install.XXXXXX)
chmod 755 "$tmp"
prefix=$tmp/prefix
units_pid=
cleanup() {
  [ -z "$units_pid" ] || kill "$units_pid" 2>/dev/null || true
  chmod -R u+w "$tmp" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT
fail() { echo "install-check: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null
expected="bin/Sg2Maker
bin/quelda24
bin/quelda24-cli
bin/quelda24-units
bin/velostrata
share/applications/quelda24.desktop
share/icons/hicolor/scalable/apps/quelda24.svg"
installed=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
[ "$installed" = "$expected" ] || fail "installed files differ:"$'\n'"$installed"
"$prefix/bin/quelda24-cli" --version | grep -q '^quelda24-cli [0-9]' || fail "quelda24-cli --version"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$prefix/share/applications/quelda24.desktop" || fail "desktop entry not valid"
fi

# The window program, --simulate: a picture, then it ends.
mkdir -m 700 "$tmp/rt"
XDG_DATA_HOME=$tmp/xdg QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$tmp/rt \
  timeout -s KILL 60 "$prefix/bin/quelda24" --simulate --no-port-dialog --screenshot "$tmp/shot.png" \
  >/dev/null 2>&1 || fail "quelda24 --simulate did not end well"
[ -f "$tmp/shot.png" ] || fail "quelda24 took no picture"
[ -f "$tmp/xdg/quelda24/ini.txt" ] && [ -d "$tmp/xdg/quelda24/Data" ] ||
  fail "quelda24 did not use \$XDG_DATA_HOME/quelda24"

chmod a-w "$prefix/bin"
as_user=()
mkdir "$tmp/home"
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null && id nobody >/dev/null 2>&1; then
  chown nobody "$tmp/home"
  as_user=(setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups)
fi
exec 3< <(exec "${as_user[@]}" "$prefix/bin/quelda24-units")
units_pid=$!
read -r -t 10 device <&3 || fail "quelda24-units printed no device"
out=$(env -u XDG_DATA_HOME HOME="$tmp/home" timeout -s KILL 60 "${as_user[@]}" \
  "$prefix/bin/quelda24-cli" run --port "$device" --sweeps 1 2>&1) || true
grep -q 'R E S E T' <<<"$out" || fail "quelda24-cli did not reach the units:"$'\n'"$out"
[ -f "$tmp/home/.local/share/quelda24/ini.txt" ] && [ -d "$tmp/home/.local/share/quelda24/Data" ] ||
  fail "quelda24-cli did not use ~/.local/share/quelda24"
[ -z "$(ls -A "$prefix/bin" | grep -v -e '^quelda24' -e '^Sg2Maker$' -e '^velostrata$')" ] ||
  fail "files written beside the programs"
echo "installed programs: files in the XDG data folder${as_user:+ (quelda24-cli as nobody)}"

if command -v cpack >/dev/null && command -v dpkg-deb >/dev/null; then
  (cd "$build" && cpack -G DEB -B "$tmp/pkg" >/dev/null 2>&1) || fail "cpack -G DEB"
  deb=$(ls "$tmp"/pkg/quelda24_*.deb)
  listed=$(dpkg -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sed 's|^\./usr/||' | LC_ALL=C sort)
  [ "$listed" = "$expected" ] || fail "package files differ:"$'\n'"$listed"
  dpkg-deb -f "$deb" Package Version Depends | grep -q '^Depends: .*libqt6widgets6' || fail "package depends"
  echo "package: $(basename "$deb")"
fi
echo "install-check: passed"
