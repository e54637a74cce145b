#!/usr/bin/env bash
# Installs the Debian packages ZOR needs to build, test and run, when any is missing;
# the validators of the desktop file and the AppStream metadata, and dpkg-shlibdeps for
# the package (which finds the programs with file), are among them.
set -euo pipefail
packages=(build-essential cmake ninja-build qt6-base-dev qt6-charts-dev libqt6opengl6-dev qt6-translations-l10n libgtest-dev libbenchmark-dev fonts-ipafont-gothic zlib1g-dev libdivsufsort-dev
  desktop-file-utils appstream dpkg-dev file)
if [ "${1:-}" = "--fuzz" ]; then packages+=(clang libclang-rt-14-dev); fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
