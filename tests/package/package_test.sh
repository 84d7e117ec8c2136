#!/bin/sh
# package_test.sh BUILD_DIR SCRATCH VERSION UI: the Debian package installs and both programs
# start from where it put them.
set -eu
build=$1 scratch=$2 version=$3 ui=$4
fail() { echo "package test: $*" >&2; exit 1; }

rm -rf "$scratch"
mkdir -p "$scratch"
# gzip rather than xz: the test build's programs are large and the test must stay quick.
cpack --config "$build/CPackConfig.cmake" -B "$scratch/out" \
    -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$scratch"/out/gravewind_*.deb) || fail "no package was written"
root=$scratch/root
dpkg-deb -x "$deb" "$root"

depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in *libc6*) ;; *) fail "no library dependencies found: '$depends'" ;; esac

out=$("$root/usr/bin/gravewind-data" --version)
[ "$out" = "gravewind-data $version" ] || fail "gravewind-data --version said '$out'"
"$root/usr/bin/gravewind-data" demo "$scratch/world" --size small >/dev/null
for f in wccrace2 wccclas2 wccspel2 wccknms2 wccitem2 wccshop2 wccmp002 wccmsg2 wcctext2 wccuser2; do
    [ -s "$scratch/world/$f.dat" ] || fail "the demo world has no $f.dat"
done
[ -s "$root/usr/share/man/man1/gravewind-data.1" ] || fail "no gravewind-data(1)"
[ -s "$root/usr/share/doc/gravewind/manual.md" ] || fail "no manual"

if [ "$ui" = 1 ]; then
    case "$depends" in *libqt6widgets6*) ;; *) fail "no Qt dependency: '$depends'" ;; esac
    out=$("$root/usr/bin/gravewind" --version)
    [ "$out" = "gravewind $version" ] || fail "gravewind --version said '$out'"
    desktop-file-validate "$root/usr/share/applications/gravewind.desktop"
    for icon in scalable/apps/gravewind.svg 64x64/apps/gravewind.png 128x128/apps/gravewind.png; do
        [ -s "$root/usr/share/icons/hicolor/$icon" ] || fail "no icon $icon"
    done
    [ -s "$root/usr/share/man/man1/gravewind.1" ] || fail "no gravewind(1)"
fi
rm -rf "$scratch"
