#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks what it ships: the files and
# dependencies, the desktop entries and AppStream data against their validators, lintian,
# and that the unpacked programs start from their menu entries and show their windows.
#   check-package.sh BUILD_DIR GRABWINDOW
set -euo pipefail
src=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
grab=$2
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

deb=$(bash "$src/scripts/package.sh" "$build")
echo "package: $deb"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

# Control data: name, version, and the dependencies found from the binaries plus the font.
dpkg-deb -I "$deb" | tee "$tmp/info"
version=$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")
grep -qx " Package: tarvo104" "$tmp/info" || fail "package name"
grep -qx " Version: $version" "$tmp/info" || fail "package version is not $version"
depends=$(sed -n 's/^ Depends: //p' "$tmp/info")
for dep in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 libxcb1 fonts-ipafont-gothic \
           qt6-translations-l10n; do
  [[ ", $depends," == *", $dep "* || ", $depends," == *", $dep,"* ]] || fail "no dependency on $dep"
done

dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root
expected=(usr/bin/tarvo104 usr/bin/Mirok101 usr/bin/clipbrd
  usr/share/applications/tarvo104.desktop usr/share/applications/Mirok101.desktop
  usr/share/man/man1/tarvo104.1.gz usr/share/man/man1/Mirok101.1.gz
  usr/share/doc/tarvo104/copyright usr/share/doc/tarvo104/changelog.gz)
for size in 16 32 48 128; do
  for program in tarvo104 Mirok101; do
    icon=usr/share/icons/hicolor/${size}x${size}/apps/$program.png
    expected+=("$icon")
    [ -f "$root/$icon" ] && { file "$root/$icon" | grep -q "PNG image data, $size x $size," ||
      fail "$icon is not a $size x $size PNG"; }
  done
done
for path in "${expected[@]}"; do
  [ -f "$root/$path" ] || fail "the package lacks /$path"
done
for program in tarvo104 Mirok101; do
  file -L "$root/usr/bin/$program" | grep -q 'ELF 64-bit.*, stripped' || fail "/usr/bin/$program is not a stripped program"
  page=$(MANWIDTH=80 man -l "$root/usr/share/man/man1/$program.1.gz" 2>/dev/null || true)
  [[ "$page" == *OPTIONS* && "$page" == *"$version"* ]] || fail "the manual page of $program does not read"
done
# The version header the programs' resources read names the same version.
grep -qx "#define TARVO_VERSION_STRING \"$version\"" "$build/generated/tarvo_version.h" ||
  fail "tarvo_version.h names another version than $version"

# Desktop entries and AppStream data.
desktop-file-validate "$root"/usr/share/applications/*.desktop || fail "desktop-file-validate"
metainfo=("$root"/usr/share/metainfo/*.metainfo.xml)
[ ${#metainfo[@]} -eq 2 ] || fail "expected two metainfo files, found ${#metainfo[@]}"
appstreamcli validate --no-net "${metainfo[@]}" || fail "appstreamcli validate"
for m in "${metainfo[@]}"; do
  grep -q "<release version=\"$version\"" "$m" || fail "$(basename "$m") names another version"
  for shot in $(sed -n 's|.*<image[^>]*>.*/\([^/<]*\)</image>.*|\1|p' "$m"); do
    [ -f "$src/docs/screenshots/$shot" ] || fail "$(basename "$m") shows $shot, which docs/screenshots/ lacks"
  done
done

# lintian: errors fail, warnings are reported.
lintian --tag-display-limit 0 --display-info "$deb" >"$tmp/lintian" 2>&1 || true
cat "$tmp/lintian"
if grep -q '^E: ' "$tmp/lintian"; then fail "lintian reports errors"; fi

# The programs, unpacked, started from their menu entries on a private X display.
bash "$src/tests/e2e/with-xvfb.sh" bash "$src/packaging/check-windows.sh" "$root" "$grab" ||
  fail "the unpacked programs"

if [ $failures -ne 0 ]; then
  echo "$failures check(s) of the package failed"
  exit 1
fi
echo "package checks passed"
