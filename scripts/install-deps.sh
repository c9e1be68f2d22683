#!/usr/bin/env bash
# Installs the Debian 12 packages needed to build, test and run Temvik:
#
#   bash scripts/install-deps.sh        (as root, or through sudo)
#
# Quick and silent when everything is there already (one dpkg-query). Runs
# "apt-get update" and "apt-get install" only for what is missing.
set -euo pipefail

PACKAGES=(
  # native build and tests
  g++ cmake ninja-build googletest libgtest-dev libgmock-dev
  # Windows cross build (gcc, g++, windres, objdump; posix threads)
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  # running the Windows programs: wine, a virtual X server, fonts for Chinese text
  wine wine64 xvfb xauth fonts-wine fonts-wqy-zenhei fonts-wqy-microhei locales
  # screenshots (import) and helper scripts
  imagemagick python3
  # the release (scripts/release.sh): installer, signing, the guide as HTML,
  # the manifests' checks
  nsis osslsigncode openssl python3-markdown python3-yaml
)

declare -A installed=()
while read -r pkg status; do
  if [[ $status == installed ]]; then installed[$pkg]=1; fi
done < <(dpkg-query -W -f='${Package} ${db:Status-Status}\n' "${PACKAGES[@]}" 2>/dev/null || true)
missing=()
for pkg in "${PACKAGES[@]}"; do
  [[ -n ${installed[$pkg]:-} ]] || missing+=("$pkg")
done

if ((${#missing[@]} == 0)); then
  echo "install-deps: all ${#PACKAGES[@]} packages are installed"
  exit 0
fi

if ((EUID == 0)); then
  as_root=()
elif command -v sudo >/dev/null 2>&1; then
  as_root=(sudo)
else
  echo "install-deps: missing ${missing[*]}; run this script as root (no sudo here)" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
start=$SECONDS
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}"
echo "install-deps: done in $((SECONDS - start)) s"
