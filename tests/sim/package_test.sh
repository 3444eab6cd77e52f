#!/usr/bin/env bash
# The Debian package as built by CPack: what it holds, that its man pages render, and what
# it depends on.
#   package_test.sh BUILD_DIR WITH_WINDOW(ON/OFF)
set -euo pipefail
build=$1
with_window=$2
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

cpack --config "$build/CPackConfig.cmake" -B "$out" >"$out/cpack.log" 2>&1 || {
  cat "$out/cpack.log"; exit 1; }
deb=$(ls "$out"/*.deb)
contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
depends=$(dpkg-deb -f "$deb" Depends)
# One package name a line, versions and alternatives' bars left out.
depended=$(sed 's/ *([^)]*)//g; s/ *[,|] */\n/g' <<<"$depends")
failed=0

expect_file() {
  grep -qx "./$1" <<<"$contents" || { echo "the package lacks $1"; failed=1; }
}
expect_file usr/bin/mirvane-sim
expect_file usr/share/applications/mirvane.desktop
expect_file usr/share/applications/mirvane-sim.desktop
expect_file usr/share/icons/hicolor/scalable/apps/mirvane.svg
expect_file usr/share/mirvane/scenarios/incoming-call.txt
expect_file usr/share/mirvane/scenarios/demo-call.capture
expect_file usr/share/man/man1/mirvane-sim.1.gz
if [ "$with_window" = ON ]; then expect_file usr/bin/mirvane; expect_file usr/share/man/man1/mirvane.1.gz; fi

# What the programs need at run time on Debian: the C and C++ runtimes, and for the window
# the Qt libraries, the platform plugins that put it on screen and the Japanese Gothic
# font of the operator texts.
needed=(libc6 libstdc++6)
if [ "$with_window" = ON ]; then
  needed+=(libqt6widgets6 libqt6serialport6 libqt6gui6 libqt6core6 qt6-qpa-plugins fonts-ipafont-gothic)
fi
for package in "${needed[@]}"; do
  grep -qxF "$package" <<<"$depended" || { echo "the package does not depend on $package"; failed=1; }
done
if [ "$(sort <<<"$depended" | uniq -d)" != "" ]; then
  echo "the package names a dependency twice"; failed=1
fi

# The entries start programs that the package installs, with the icon it installs.
dpkg-deb -x "$deb" "$out/root"
for entry in "$out"/root/usr/share/applications/*.desktop; do
  if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$entry" || failed=1
  fi
  program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
  [ -x "$out/root/usr/bin/$program" ] || [ "$with_window" != ON -a "$program" = mirvane ] ||
    { echo "$(basename "$entry") starts $program, which the package lacks"; failed=1; }
  icon=$(sed -n 's/^Icon=//p' "$entry")
  [ -f "$out/root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] ||
    { echo "$(basename "$entry") shows icon $icon, which the package lacks"; failed=1; }
done

# Each man page renders, names its program and documents its options.
for page in "$out"/root/usr/share/man/man1/*.1.gz; do
  program=$(basename "$page" .1.gz)
  text=$(LC_ALL=C MANWIDTH=80 man -l "$page" 2>&1) || { echo "$program's man page does not render: $text"; failed=1; }
  grep -q "^NAME" <<<"$text" && grep -q "$program - " <<<"$text" && grep -q -- "--version" <<<"$text" ||
    { echo "$program's man page lacks its name or its options:"; echo "$text"; failed=1; }
done

if [ "$failed" -ne 0 ]; then
  echo "Depends: $depends"
  exit 1
fi
echo "package: $(basename "$deb"), depends on $depends"
