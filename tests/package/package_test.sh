#!/usr/bin/env bash
# The Debian package as a user gets it: built, unpacked into a temporary root, its programs run
# from there, and checked by lintian, desktop-file-validate and man.
# Usage: package_test.sh BUILD_DIR
set -euo pipefail
# Output is captured before it is searched: grep -q ending a pipe early would fail the writer.
has() { grep -q -- "$2" <<<"$1"; }
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
fail() { echo "FAIL: $*" >&2; exit 1; }

(cd "$build" && cpack -G DEB -B "$work/out" >/dev/null)
deb=$(ls "$work"/out/tarnwick_*_amd64.deb)
[[ $(basename "$deb") =~ ^tarnwick_[0-9.]+_amd64\.deb$ ]] || fail "package name $deb"
has "$(dpkg-deb -f "$deb" Depends)" 'libqt6widgets6' || fail "dependencies not computed from the binaries"

root="$work/root"
dpkg -x "$deb" "$root"
chmod -R a+rX "$root"
# Every run below keeps its settings in a home of its own; none may write under the package's folders.
export HOME="$work/roothome"
unset XDG_CONFIG_HOME
installed=$(find "$root" | sort)
cli="$root/usr/bin/tarnwick-cli"
has "$("$cli" --help)" '^Usage: ' || fail "tarnwick-cli --help"
has "$("$cli" init "$work/park")" "Created $work/park/Tarnwick.chm" || fail "init did not install the help file"
has "$("$cli" --park "$work/park" status)" '^Sites 0$' || fail "status on the new park"
# Access databases are read by the reader process the package installs beside the programs.
testdata="$(dirname "$0")/../../../shared/testdata/access"
has "$("$cli" --park "$work/park" tables "$testdata/nwind.mdb")" '^Order Details$' || fail "tables of nwind.mdb"

errors=$(lintian "$deb" 2>/dev/null | grep -c '^E:' || true)
[ "$errors" -eq 0 ] || { lintian "$deb" >&2; fail "lintian reports errors"; }
desktop-file-validate "$root/usr/share/applications/tarnwick.desktop" || fail "desktop entry"
has "$(man -l "$root/usr/share/man/man1/tarnwick-cli.1.gz" 2>/dev/null)" 'restore' || fail "manual page"

# Installed, path.txt lives in the configuration folder only, even for root, who may write into
# the program's folder; the next start says which command makes a park.
first=$("$cli" status 2>&1 || true)
has "$first" "The file written is $HOME/.config/Tarnwick/path.txt" || fail "root's first start said: $first"
second=$("$cli" status 2>&1 || true)
has "$second" "tarnwick-cli init $HOME/.config/Tarnwick" || fail "root's second start said: $second"

# The same for an ordinary user, who cannot write there at all.
home="$work/home"
mkdir -p "$home"
chown -R nobody "$home" 2>/dev/null || true
as_user=""
[ "$(id -u)" -eq 0 ] && as_user="setpriv --reuid=65534 --regid=65534 --clear-groups"
first=$(env -u XDG_CONFIG_HOME HOME="$home" $as_user "$cli" status 2>&1 || true)
has "$first" "The file written is $home/.config/Tarnwick/path.txt" || fail "first start said: $first"
[ -f "$home/.config/Tarnwick/path.txt" ] || fail "no path.txt in the configuration folder"
rm -rf "$home/.config"
# The desktop program writes it before its message, which waits for a click: it is stopped as soon as
# the file is there and half a second has passed for anything written after it (or after ten seconds).
run_desktop_until() {
    local file=$1
    shift
    "$@" >/dev/null 2>&1 &
    local pid=$!
    for _ in $(seq 100); do
        [ -f "$file" ] && sleep 0.5 && break
        sleep 0.1
    done
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
}
run_desktop_until "$home/.config/Tarnwick/path.txt" \
    env -u XDG_CONFIG_HOME HOME="$home" QT_QPA_PLATFORM=offscreen $as_user "$root/usr/bin/tarnwick"
[ -f "$home/.config/Tarnwick/path.txt" ] || fail "the desktop program wrote no path.txt in the configuration folder"
rm -rf "$HOME/.config"
run_desktop_until "$HOME/.config/Tarnwick/path.txt" env QT_QPA_PLATFORM=offscreen "$root/usr/bin/tarnwick"
[ -f "$HOME/.config/Tarnwick/path.txt" ] || fail "the desktop program run by root wrote no path.txt in its configuration folder"
written=$(diff <(echo "$installed") <(find "$root" | sort) || true)
[ -z "$written" ] || fail "files written under the package's folders: $written"
echo "package ok: $(basename "$deb")"
