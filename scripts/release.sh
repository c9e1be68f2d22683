#!/usr/bin/env bash
# Builds a release of Temvik from this source tree:   bash scripts/release.sh
#
# Into build/release/ (TEMVIK_RELEASE_OUT), made afresh each time:
#   Temvik-<version>-win64.zip   folder Temvik/ with temvik.exe, 使用说明.html (the
#                                guide, its pictures inside), LICENSE.txt and
#                                更新日志.txt; runs where it is unpacked
#   Temvik-<version>-setup.exe   per-user installer (NSIS), no administrator rights
#   SHA256SUMS                   of the two
#   update.html                  the page the program's update check reads
#   winget/manifests/t/Temvik/Temvik/<version>/   winget manifest set
#   scoop/temvik.json            scoop manifest
# The version is CMake's project version (CMakeLists.txt), read from the build.
#
# Settings (environment):
#   TEMVIK_RELEASE_BUILD     a configured mingw build folder to build temvik.exe in
#                            (default build/release-build, configured here with the
#                            mingw preset, tests off); CI passes its build/mingw
#   TEMVIK_RELEASE_OUT       where the products go (default build/release)
#   TEMVIK_RELEASE_BASE_URL  where the release is published (default below)
#   TEMVIK_SIGN_CERT         a PKCS#12 certificate: temvik.exe, the uninstaller and
#                            the installer are signed with it (osslsigncode);
#                            TEMVIK_SIGN_PASSWORD is its password. Without it the
#                            programs are not signed.
#   TEMVIK_JOBS              parallel compile jobs (default 2)
#   TEMVIK_SKIP_DEPS=1       do not run scripts/install-deps.sh first
set -euo pipefail

ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

if [[ ${TEMVIK_SKIP_DEPS:-} != 1 ]]; then
  bash scripts/install-deps.sh </dev/null
fi

say() { printf '==== release: %s\n' "$*"; }
die() {
  printf 'release: %s\n' "$*" >&2
  exit 1
}

# Debian's python, which has the python3-markdown that the guide needs.
PYTHON=${TEMVIK_PYTHON:-python3}
if [[ -z ${TEMVIK_PYTHON:-} && -x /usr/bin/python3 ]]; then PYTHON=/usr/bin/python3; fi
for tool in cmake ninja makensis x86_64-w64-mingw32-g++-posix sha256sum "$PYTHON"; do
  command -v "$tool" >/dev/null 2>&1 || die "missing $tool (install it with: bash scripts/install-deps.sh)"
done

start=$SECONDS
JOBS=${TEMVIK_JOBS:-2}
BUILD=${TEMVIK_RELEASE_BUILD:-build/release-build}
OUT=${TEMVIK_RELEASE_OUT:-build/release}
[[ $BUILD == /* ]] || BUILD=$ROOT/$BUILD
[[ $OUT == /* ]] || OUT=$ROOT/$OUT
# The zip's entries carry the time of the last commit, so the same source
# makes the same zip.
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || date +%s)
fi
export SOURCE_DATE_EPOCH

say "temvik.exe ($BUILD)"
if [[ ! -f $BUILD/CMakeCache.txt ]]; then
  cmake --preset mingw -B "$BUILD" -DTEMVIK_TESTS=OFF -DTEMVIK_BENCH=OFF >/dev/null
else
  cmake "$BUILD" >/dev/null  # picks up a changed version
fi
cmake --build "$BUILD" --parallel "$JOBS" --target temvik
EXE=$BUILD/src/app/temvik.exe
[[ -f $EXE ]] || die "$EXE was not built"
if x86_64-w64-mingw32-objdump -p "$EXE" | grep -qiE 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
  die "$EXE needs mingw runtime DLLs; it must be linked statically"
fi

# The facts CMake wrote from project(VERSION ...).
declare -A INFO=()
while IFS='=' read -r key value; do
  [[ -z $key || $key == \#* ]] || INFO[$key]=$value
done <"$BUILD/generated/release.env"
VERSION=${INFO[VERSION]:?}
# The one address of the release; the update page (https://temvik.cn/update.html,
# src/update/update_check.h) sends users here.
BASE_URL=${TEMVIK_RELEASE_BASE_URL:-https://temvik.cn/download/$VERSION/}
[[ $BASE_URL == */ ]] || BASE_URL=$BASE_URL/
ZIP=$OUT/Temvik-$VERSION-win64.zip
SETUP=$OUT/Temvik-$VERSION-setup.exe

rm -rf "$OUT"
STAGE=$OUT/stage/Temvik
mkdir -p "$STAGE"

signing=0
if [[ -n ${TEMVIK_SIGN_CERT:-} ]]; then
  signing=1
  say "signing with $(basename -- "$TEMVIK_SIGN_CERT")"
else
  say "no signing certificate (TEMVIK_SIGN_CERT is not set): the programs are not signed"
fi

say "folder of version $VERSION"
cp "$EXE" "$STAGE/temvik.exe"
if ((signing)); then bash scripts/release-sign.sh "$STAGE/temvik.exe"; fi
"$PYTHON" scripts/release_tool.py guide "docs/使用说明.md" "$STAGE/使用说明.html"
# Text files as Windows' Notepad reads them: CR LF, and UTF-8 marked as such.
crlf() { sed 's/\r*$/\r/' "$1"; }
crlf LICENSE >"$STAGE/LICENSE.txt"
{ printf '\xef\xbb\xbf'; crlf 更新日志.md; } >"$STAGE/更新日志.txt"

say "zip"
"$PYTHON" scripts/release_tool.py zip "$STAGE" "$ZIP"

say "installer"
nsis_args=(-INPUTCHARSET UTF8 -V2 -DVERSION="$VERSION" -DVERSION4="${INFO[VERSION4]}"
  -DSTAGE="$STAGE" -DOUTFILE="$SETUP" -DICON="$ROOT/src/app/temvik.ico"
  -DCOMPANY="${INFO[COMPANY]}" -DCOPYRIGHT="${INFO[COPYRIGHT]}")
if ((signing)); then
  nsis_args+=(-DSIGN_UNINSTALLER="env TEMVIK_SIGN_NAME=uninstall.exe bash \"$ROOT/scripts/release-sign.sh\"")
fi
makensis "${nsis_args[@]}" packaging/temvik.nsi
if ((signing)); then bash scripts/release-sign.sh "$SETUP"; fi

say "checksums, update page, manifests"
(cd "$OUT" && sha256sum "$(basename -- "$ZIP")" "$(basename -- "$SETUP")" >SHA256SUMS)
"$PYTHON" scripts/release_tool.py update-page --version "$VERSION" --base-url "$BASE_URL" \
  --changelog 更新日志.md "$OUT/update.html"
"$PYTHON" scripts/release_tool.py manifests --info "$BUILD/generated/release.env" \
  --base-url "$BASE_URL" --zip "$ZIP" --setup "$SETUP" --changelog 更新日志.md --out "$OUT"
rm -rf "$OUT/stage"

say "done in $((SECONDS - start)) s: $OUT"
(cd "$OUT" && find . -type f -printf '%s\t%P\n' | sort -k2 |
  awk -F'\t' '{ printf "  %10d  %s\n", $1, $2 }')
