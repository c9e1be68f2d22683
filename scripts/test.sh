#!/usr/bin/env bash
# The project's test command:   bash scripts/test.sh
#
# First installs what is missing (scripts/install-deps.sh; quick when all is
# there; TEMVIK_SKIP_DEPS=1 skips it). Then configures, builds and runs:
#   1. linux       native gcc build, headless tests (ctest)
#   2. bench       the benchmarks of that build, each in a short run
#   3. linux-asan  the native tests again with AddressSanitizer + UBSan
#   4. mingw       temvik.exe and the Win32 and end-to-end tests, cross-built,
#                  run by ctest under wine (scripts/ctest-wine.sh), in an Xvfb
#                  of their own when there is no DISPLAY
#   5. release     the release from that build (scripts/release.sh), signed
#                  with a throwaway certificate, then checked as its users get
#                  it (scripts/release-check.sh: zip, installer, uninstaller
#                  under wine, manifests, guide, signatures)
# and stops at the first failure with a non-zero status.
#
# Settings (environment):
#   TEMVIK_BUILD_ROOT  folder for the build trees (default: build), e.g. build/ci-try
#   TEMVIK_JOBS        parallel compile jobs (default 2)
#   TEMVIK_STAGES      stages to run (default "linux bench linux-asan mingw release")
#   TEMVIK_XVFB=1      run the wine tests in a private Xvfb even when DISPLAY is set
#   TEMVIK_BENCH_TIMEOUT  seconds each benchmark may take (default 120)
#   WINEPREFIX         wine prefix for the tests (default <build root>/wineprefix-test)
set -euo pipefail

ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)
cd "$ROOT"

if [[ ${TEMVIK_SKIP_DEPS:-} != 1 ]]; then
  bash scripts/install-deps.sh </dev/null
fi

BUILD_ROOT=${TEMVIK_BUILD_ROOT:-build}
[[ $BUILD_ROOT == /* ]] || BUILD_ROOT=$ROOT/$BUILD_ROOT
JOBS=${TEMVIK_JOBS:-2}
STAGES=${TEMVIK_STAGES:-linux bench linux-asan mingw release}
BENCH_TIMEOUT=${TEMVIK_BENCH_TIMEOUT:-120}
export WINEPREFIX=${WINEPREFIX:-$BUILD_ROOT/wineprefix-test}

LOG_DIR=$BUILD_ROOT/test-logs
mkdir -p "$LOG_DIR"

total_passed=0
total_failed=0
timings=()
run_start=$SECONDS

say() { printf '\n==== %s\n' "$*"; }

fail() {
  printf '\n**** test.sh FAILED: %s\n' "$*" >&2
  printf '**** timings so far: %s\n' "${timings[*]:-none}" >&2
  exit 1
}

need_tools() {
  local missing=() tool
  for tool in "$@"; do
    command -v "$tool" >/dev/null 2>&1 || missing+=("$tool")
  done
  if ((${#missing[@]})); then
    fail "missing tools: ${missing[*]} (install them with: bash scripts/install-deps.sh)"
  fi
}

# Adds the counts of ctest's summary line in log $1 to the totals.
count_tests() {
  local line passed failed all
  line=$(grep -E '^[0-9]+% tests passed, [0-9]+ tests? failed out of [0-9]+' "$1" | tail -n 1) || true
  if [[ -z $line ]]; then
    return 0
  fi
  failed=$(sed -E 's/.* ([0-9]+) tests? failed.*/\1/' <<<"$line")
  all=$(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line")
  passed=$((all - failed))
  total_passed=$((total_passed + passed))
  total_failed=$((total_failed + failed))
}

# run_ctest LOGNAME COMMAND...: runs a ctest command with its output shown and
# kept in $LOG_DIR/LOGNAME.log, and counts its tests.
run_ctest() {
  local log=$LOG_DIR/$1.log
  shift
  local status=0
  "$@" 2>&1 | tee "$log" || status=$?
  count_tests "$log"
  return "$status"
}

timed() {
  local name=$1 start=$SECONDS
  shift
  "$@" || fail "stage $name (see the output above; ctest logs in $LOG_DIR)"
  timings+=("$name=$((SECONDS - start))s")
}

configure_and_build() {
  local preset=$1 dir=$BUILD_ROOT/$1
  cmake --preset "$preset" -B "$dir" || return 1
  cmake --build "$dir" --parallel "$JOBS" || return 1
}

stage_linux() {
  say "linux: native build and headless tests ($BUILD_ROOT/linux)"
  configure_and_build linux || return 1
  run_ctest linux ctest --preset linux --test-dir "$BUILD_ROOT/linux" --parallel "$JOBS"
}

stage_bench() {
  local dir=$BUILD_ROOT/linux/bench bench found=0 status
  say "bench: benchmarks of the linux build, quick runs (at most $BENCH_TIMEOUT s each)"
  if [[ ! -d $dir ]]; then
    [[ -d $BUILD_ROOT/linux ]] || fail "bench needs the linux stage first"
    echo "no benchmarks built"
    return 0
  fi
  while IFS= read -r bench; do
    found=1
    echo "-- $bench"
    status=0
    TEMVIK_BENCH_QUICK=1 timeout "$BENCH_TIMEOUT" "$bench" || status=$?
    if ((status == 124)); then
      echo "benchmark $(basename "$bench") took over $BENCH_TIMEOUT s; a quick run" \
        "(TEMVIK_BENCH_QUICK=1) must be cheap" >&2
      return 1
    elif ((status != 0)); then
      echo "benchmark $(basename "$bench") exited with status $status" >&2
      return 1
    fi
  done < <(find "$dir" -maxdepth 1 -type f -perm -u+x | sort)
  ((found)) || echo "no benchmarks built"
}

stage_linux_asan() {
  say "linux-asan: native tests with AddressSanitizer and UBSan ($BUILD_ROOT/linux-asan)"
  configure_and_build linux-asan || return 1
  run_ctest linux-asan ctest --preset linux-asan --test-dir "$BUILD_ROOT/linux-asan" \
    --parallel "$JOBS"
}

stage_mingw() {
  local dir=$BUILD_ROOT/mingw exe
  say "mingw: cross build of temvik.exe and the Win32 tests ($dir)"
  need_tools x86_64-w64-mingw32-g++-posix x86_64-w64-mingw32-windres wine wineserver \
    xvfb-run Xvfb xauth
  configure_and_build mingw || return 1
  exe=$dir/src/app/temvik.exe
  if [[ ! -f $exe ]]; then
    echo "$exe was not built" >&2
    return 1
  fi
  # One self-contained program: it may import Windows DLLs only.
  if x86_64-w64-mingw32-objdump -p "$exe" | grep -iE 'DLL Name: (libstdc|libgcc|libwinpthread)'; then
    echo "$exe needs mingw runtime DLLs; it must be linked statically" >&2
    return 1
  fi
  say "mingw: tests under wine (prefix $WINEPREFIX)"
  if [[ ${TEMVIK_XVFB:-} == 1 ]]; then
    run_ctest mingw env -u DISPLAY bash scripts/ctest-wine.sh "$dir"
  else
    run_ctest mingw bash scripts/ctest-wine.sh "$dir"
  fi
}

stage_release() {
  local out=$BUILD_ROOT/release cert=$BUILD_ROOT/release-cert log=$LOG_DIR/release.log
  local password line status=0
  say "release: scripts/release.sh, signed with a throwaway certificate, and scripts/release-check.sh"
  if [[ ! -f $BUILD_ROOT/mingw/tests/e2e/temvik_e2e.exe ]]; then
    echo "the release stage needs the mingw stage first" >&2
    return 1
  fi
  need_tools makensis osslsigncode openssl
  # A certificate made for this run only, which the check then trusts.
  rm -rf "$cert"
  mkdir -p "$cert"
  password=$(openssl rand -hex 12)
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -subj "/CN=Temvik test signing" \
    -addext extendedKeyUsage=codeSigning -addext keyUsage=critical,digitalSignature \
    -keyout "$cert/key.pem" -out "$cert/cert.pem" 2>/dev/null || return 1
  openssl pkcs12 -export -inkey "$cert/key.pem" -in "$cert/cert.pem" -out "$cert/cert.p12" \
    -passout "pass:$password" || return 1
  TEMVIK_SKIP_DEPS=1 TEMVIK_JOBS=$JOBS TEMVIK_RELEASE_BUILD=$BUILD_ROOT/mingw \
    TEMVIK_RELEASE_OUT=$out TEMVIK_SIGN_CERT=$cert/cert.p12 TEMVIK_SIGN_PASSWORD=$password \
    bash scripts/release.sh || return 1
  local check=(env TEMVIK_SIGN_CA="$cert/cert.pem" TEMVIK_RELEASE_CHECK_DIR="$BUILD_ROOT/release-check"
    bash scripts/release-check.sh "$out" "$BUILD_ROOT/mingw")
  if [[ ${TEMVIK_XVFB:-} == 1 ]]; then check=(env -u DISPLAY "${check[@]}"); fi
  "${check[@]}" 2>&1 | tee "$log" || status=$?
  line=$(grep -E '^release-check: [0-9]+ passed, [0-9]+ failed$' "$log" | tail -n 1) || true
  if [[ -n $line ]]; then
    total_passed=$((total_passed + $(sed -E 's/.* ([0-9]+) passed.*/\1/' <<<"$line")))
    total_failed=$((total_failed + $(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")))
  fi
  return "$status"
}

need_tools cmake ninja g++ ctest
for stage in $STAGES; do
  case $stage in
    linux) timed linux stage_linux ;;
    bench) timed bench stage_bench ;;
    linux-asan) timed linux-asan stage_linux_asan ;;
    mingw) timed mingw stage_mingw ;;
    release) timed release stage_release ;;
    *) fail "unknown stage '$stage' in TEMVIK_STAGES" ;;
  esac
done

say "all stages passed in $((SECONDS - run_start)) s: ${timings[*]}"
echo "tests: $total_passed passed, $total_failed failed"
