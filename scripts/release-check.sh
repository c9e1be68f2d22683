#!/usr/bin/env bash
# Checks a release as its users get it:
#
#   bash scripts/release-check.sh [release-folder] [mingw-build-folder]
#        (defaults build/release and build/mingw, which holds the end-to-end
#        test program tests/e2e/temvik_e2e.exe)
#
#  1. the files: checksums, the zip's folder, the winget and scoop manifests
#     (they parse and name the release's address and checksums), the guide
#     (every picture inside it)  — scripts/release_tool.py check;
#  2. under wine, in a wine prefix made afresh (build/release-check):
#     - the zip unpacked into a folder whose path has blanks and Chinese
#       characters: its temvik.exe has the version resource and icon of the
#       build, starts, adds an item and keeps its plan files beside itself;
#     - the installer, silent (/S): the program, guide, licence, change log,
#       uninstaller, Start-menu shortcut and 应用和功能 entry are there, and the
#       installed program starts and keeps its plan beside itself;
#     - the uninstaller, silent: the program, shortcut and entry are gone and
#       the plan files stay; installed again and uninstalled with /REMOVEPLANS,
#       the folder goes with the plans.
#  With TEMVIK_SIGN_CA (the certificate, PEM) the exe, installer and
#  uninstaller must carry a signature that verifies against it.
#
# Uses $DISPLAY when set; otherwise runs in a private Xvfb.
set -euo pipefail

TEMVIK_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
export TEMVIK_ROOT
cd "$TEMVIK_ROOT"

REL=${1:-build/release}
MINGW=${2:-build/mingw}
[[ $REL == /* ]] || REL=$TEMVIK_ROOT/$REL
[[ $MINGW == /* ]] || MINGW=$TEMVIK_ROOT/$MINGW
CHECK=${TEMVIK_RELEASE_CHECK_DIR:-$TEMVIK_ROOT/build/release-check}
E2E=$MINGW/tests/e2e/temvik_e2e.exe
PYTHON=${TEMVIK_PYTHON:-python3}
if [[ -z ${TEMVIK_PYTHON:-} && -x /usr/bin/python3 ]]; then PYTHON=/usr/bin/python3; fi

export WINEPREFIX=$CHECK/wineprefix
# shellcheck source=scripts/wine-env.sh
. "$TEMVIK_ROOT/scripts/wine-env.sh"
# Shortcuts stay inside the prefix: no menu entries on this machine.
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
temvik_need_display bash "${BASH_SOURCE[0]}" "$@"

passed=0
start=$SECONDS
fail() {
  printf 'release-check FAILED: %s\n' "$*" >&2
  echo "release-check: $passed passed, 1 failed"
  exit 1
}
ok() {
  passed=$((passed + 1))
  printf 'release-check: ok  %s\n' "$*"
}
# wait_until SECONDS COMMAND...: polls until COMMAND succeeds.
wait_until() {
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < until)) || return 1
    sleep 0.2
  done
}
gone() { [[ ! -e $1 ]]; }
signed_ok() {
  [[ -z ${TEMVIK_SIGN_CA:-} ]] && return 0
  osslsigncode verify -CAfile "$TEMVIK_SIGN_CA" -in "$1" >"$CHECK/verify.log" 2>&1 ||
    fail "$(basename -- "$1") has no signature that verifies (see $CHECK/verify.log)"
  ok "$(basename -- "$1") is signed"
}

[[ -f $E2E ]] || fail "no $E2E: build the mingw preset first"
[[ -f $REL/SHA256SUMS ]] || fail "no release in $REL: run scripts/release.sh first"
version=$(sed -n 's/.*Temvik-\(.*\)-win64\.zip$/\1/p' "$REL/SHA256SUMS")
[[ -n $version ]] || fail "SHA256SUMS names no zip"

"$PYTHON" scripts/release_tool.py check "$REL" || fail "the release's files"
ok "checksums, zip, manifests and guide of $version"

[[ -d $WINEPREFIX ]] && temvik_wine_stop
rm -rf "$CHECK"
mkdir -p "$CHECK"
trap temvik_wine_stop EXIT
temvik_wine_prepare || fail "wine prefix $WINEPREFIX"
echo "release-check: fresh wine prefix ready in $((SECONDS - start)) s"

# run_e2e NAME FOLDER: the release cases of the end-to-end tests on the
# temvik.exe in FOLDER.
run_e2e() {
  local log=$CHECK/e2e-$1.log
  if ! TEMVIK_EXE=$2/temvik.exe TEMVIK_RELEASE_DIR=$2 "$TEMVIK_WINE" "$E2E" \
    --gtest_filter='ProgramFile.*:ReleaseFolder.*' </dev/null >"$log" 2>&1; then
    cat "$log" >&2
    fail "$1: the program in $2"
  fi
  if grep -q '\[  SKIPPED \]' "$log" || ! grep -q '\[  PASSED  \] 3 tests' "$log"; then
    cat "$log" >&2
    fail "$1: not every release case ran"
  fi
  ok "$1: version resource, icon, start, a new item and its plan files beside temvik.exe"
}

# --- the zip, unpacked where the path has blanks and Chinese characters
portable="$CHECK/便携 版 测试"
"$PYTHON" -c 'import sys, zipfile; zipfile.ZipFile(sys.argv[1]).extractall(sys.argv[2])' \
  "$REL/Temvik-$version-win64.zip" "$portable"
signed_ok "$portable/Temvik/temvik.exe"
run_e2e zip "$portable/Temvik"

# --- the installer
winpath() { winepath -u "$("$TEMVIK_WINE" cmd /c echo "%$1%" </dev/null 2>/dev/null | tr -d '\r')"; }
installed="$(winpath LOCALAPPDATA)/Programs/Temvik"
shortcut="$(winpath APPDATA)/Microsoft/Windows/Start Menu/Programs/Temvik.lnk"
key='HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Temvik'
reg_value() {
  "$TEMVIK_WINE" reg query "$key" /v "$1" </dev/null 2>/dev/null | tr -d '\r' |
    sed -n "s/^ *$1 *REG_[A-Z_]* *//p"
}
setup=$REL/Temvik-$version-setup.exe
signed_ok "$setup"

"$TEMVIK_WINE" "$setup" /S </dev/null >"$CHECK/setup.log" 2>&1 || fail "the silent install"
for f in temvik.exe 使用说明.html LICENSE.txt 更新日志.txt uninstall.exe; do
  [[ -f $installed/$f ]] || fail "the install put no $f into $installed"
done
cmp -s "$installed/temvik.exe" "$portable/Temvik/temvik.exe" || fail "the installed temvik.exe is not the zip's"
[[ -f $shortcut ]] || fail "no Start-menu shortcut $shortcut"
[[ $(reg_value DisplayVersion) == "$version" ]] || fail "应用和功能 shows version '$(reg_value DisplayVersion)'"
[[ $(reg_value UninstallString) == *'\uninstall.exe"' ]] || fail "no uninstaller registered"
ok "silent install into $installed with shortcut and 应用和功能 entry"
signed_ok "$installed/uninstall.exe"
run_e2e installed "$installed"

# --- the uninstaller (it runs a copy of itself from the temp folder and returns)
"$TEMVIK_WINE" "$installed/uninstall.exe" /S </dev/null >"$CHECK/uninstall.log" 2>&1 ||
  fail "the silent uninstall"
wait_until 60 gone "$installed/uninstall.exe" || fail "the uninstaller left itself behind"
for f in temvik.exe 使用说明.html LICENSE.txt 更新日志.txt; do
  gone "$installed/$f" || fail "the uninstall left $f"
done
gone "$shortcut" || fail "the uninstall left the shortcut"
[[ -z $(reg_value DisplayName) ]] || fail "the uninstall left the 应用和功能 entry"
[[ -f $installed/time.ini ]] || fail "the uninstall took time.ini"
iconv -f GBK -t UTF-8 "$installed/time.ini" | grep -q '^\[发布检查\]' || fail "the kept plan lost its item"
ok "silent uninstall removed the program, shortcut and entry and kept the plan files"

# --- installed again over the kept plan, then removed with it
"$TEMVIK_WINE" "$setup" /S </dev/null >>"$CHECK/setup.log" 2>&1 || fail "the second silent install"
[[ -f $installed/temvik.exe && -f $installed/time.ini ]] || fail "the second install"
"$TEMVIK_WINE" "$installed/uninstall.exe" /S /REMOVEPLANS </dev/null >>"$CHECK/uninstall.log" 2>&1 ||
  fail "the uninstall with /REMOVEPLANS"
wait_until 60 gone "$installed" || fail "uninstall /REMOVEPLANS left $(ls -A "$installed" | tr '\n' ' ')"
ok "uninstall /REMOVEPLANS removed the folder with the plan files"

echo "release-check: version $version checked in $((SECONDS - start)) s"
echo "release-check: $passed passed, 0 failed"
