#!/usr/bin/env bash
# Builds the Debian package build-package/valley_<version>_<arch>.deb: a release build in
# build-package/ with Debian's hardening flags (dpkg-buildflags, hardening=+all: fortified
# functions, immediate binding, read-only relocations), installed under /usr into a staging tree
# (the program, its data folder in /usr/share/valley, the menu entry and its icons, the manual
# page), with the licence as /usr/share/doc/valley/copyright, packed with dpkg-deb. Depends is
# taken from the shared libraries the program links (dpkg-shlibdeps).
#
#   scripts/package.sh [--from BUILD] [--out DIR]
#
# --from packs an existing build folder instead of building one; --out writes the package to DIR
# (default: the build folder). Folders are taken from where the script was started. Prints the
# package's path. The maintainer is DEBFULLNAME <DEBEMAIL>, else git's user.name <user.email>;
# one with a control character in it is refused (status 2).
set -euo pipefail
build=build-package
out=
from=0
while [ $# -gt 0 ]; do
  case "$1" in
    --from) build="$(realpath -m "$2")"; from=1; shift 2 ;;
    --out) out="$(realpath -m "$2")"; shift 2 ;;
    *) echo "usage: scripts/package.sh [--from BUILD] [--out DIR]" >&2; exit 2 ;;
  esac
done
cd "$(dirname "$0")/.."
maintainer="${DEBFULLNAME:-$(git config user.name || echo valley developers)} <${DEBEMAIL:-$(git config user.email || echo valley@localhost)}>"
# A line feed or another control character would add fields of its own to the control file.
case "$maintainer" in
  *[[:cntrl:]]*)
    echo "scripts/package.sh: the maintainer (DEBFULLNAME, DEBEMAIL or git's user) holds a control character" >&2
    exit 2 ;;
esac
out="${out:-$(realpath -m "$build")}"
if [ "$from" = 0 ]; then
  scripts/setup.sh
  export DEB_BUILD_MAINT_OPTIONS=hardening=+all
  BUILD_DIR="$build" BUILD_TYPE=Release scripts/build.sh -DVALLEY_BUILD_TESTS=OFF \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CFLAGS)" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)" \
    -DCMAKE_EXE_LINKER_FLAGS="$(dpkg-buildflags --get LDFLAGS)"
fi

umask 022
version=$("$build/valley" --version | cut -d' ' -f2)
arch=$(dpkg --print-architecture)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# dpkg-shlibdeps reads the package's name from debian/control and finds the package's root by
# its DEBIAN folder.
root="$work/debian/valley"
DESTDIR="$root" cmake --install "$build" --prefix /usr --strip > /dev/null
mkdir -p "$root/DEBIAN"
gzip -9n "$root/usr/share/man/man1/valley.1"
printf 'Source: valley\n\nPackage: valley\nArchitecture: any\n' > "$work/debian/control"
depends=$(cd "$work" && dpkg-shlibdeps -O "-e$root/usr/bin/valley" | sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "dpkg-shlibdeps found no libraries" >&2; exit 1; }

# A native package's changelog: this version, dated by the last commit.
mkdir -p "$root/usr/share/doc/valley"
# The licence in Debian's machine-readable form: LICENSE's notice, its text as the body.
{
  printf 'Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/\n'
  printf 'Upstream-Name: valley\n\nFiles: *\nCopyright: %s\nLicense: Expat\n' \
    "$(sed -n 's/^Copyright (c) //p' LICENSE)"
  sed -n '/^Permission/,$p' LICENSE | sed 's/^$/./; s/^/ /'
} > "$root/usr/share/doc/valley/copyright"
printf 'valley (%s) unstable; urgency=medium\n\n  * Release %s.\n\n -- %s  %s\n' "$version" "$version" \
  "$maintainer" "$(git log -1 --format=%cD 2>/dev/null || date -R)" | gzip -9n > "$root/usr/share/doc/valley/changelog.gz"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) > "$root/DEBIAN/md5sums"
cat > "$root/DEBIAN/control" <<CONTROL
Package: valley
Version: $version
Architecture: $arch
Maintainer: $maintainer
Installed-Size: $(du -sk "$root/usr" | cut -f1)
Depends: $depends
Recommends: libgl1-mesa-dri
Section: graphics
Priority: optional
Description: small real-time 3D valley to walk, fly and throw rocks in
 An OpenGL 2.0 scene: terrain with a lake and a cliff, water seen from above
 and below, stone blocks and a sky. Walk or fly with mouse and keyboard, throw
 rocks that bounce, roll and float; record a session and replay it exactly.
CONTROL
mkdir -p "$out"
package="$out/valley_${version}_${arch}.deb"
dpkg-deb --root-owner-group -b "$root" "$package" > /dev/null
echo "$package"
