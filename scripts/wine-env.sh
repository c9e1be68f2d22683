# Environment for running Temvik's Windows programs under wine.
#
# Source it from sh or bash, then prepare the prefix once per X session:
#
#   . scripts/wine-env.sh        # from sh: set TEMVIK_ROOT to the repo root first
#   temvik_wine_prepare          # needs $DISPLAY; cheap when already done
#   wine build/mingw/src/app/temvik.exe
#   temvik_wine_stop             # optional: ends this prefix's wineserver
#
# Exports:
#   LC_ALL=zh_CN.UTF-8   wine's ANSI code page becomes 936 (GBK). No glibc locale
#                        is needed; shells started with it print a harmless
#                        "setlocale" warning.
#   WINEDEBUG=-all       (TEMVIK_WINEDEBUG overrides, e.g. TEMVIK_WINEDEBUG=+seh)
#   WINEDLLOVERRIDES     no Mono/Gecko install prompts, no sound drivers
#   WINEARCH=win64
#   WINEPREFIX           default <repo>/build/wineprefix; set it before sourcing
#                        to use another folder. Each prefix has its own wineserver.
#
# Functions:
#   temvik_wine_create_prefix  create the prefix once, quietly, with wine's virtual
#                              desktop (1280x1024) turned on; no X server needed.
#   temvik_wine_prepare        create the prefix if needed, then start a persistent
#                              wineserver and boot wine's services for $DISPLAY, so
#                              each later wine command starts in well under a second
#                              and no helper process holds a caller's stdout pipe.
#                              The server ends by itself when no program has run for
#                              TEMVIK_WINESERVER_PERSIST seconds (default 300); the
#                              next temvik_wine_prepare starts it again.
#   temvik_wine_stop           end this prefix's wineserver and all its programs.
#
# The prefix belongs to these scripts: a wineserver of this prefix bound to an X
# display that is gone is restarted; one bound to another live display is an error.

if [ -z "${TEMVIK_ROOT:-}" ]; then
  if [ -n "${BASH_VERSION:-}" ]; then
    eval 'TEMVIK_ROOT=$(cd -- "$(dirname -- "${BASH_SOURCE[0]}")/.." && pwd)'
  else
    echo "wine-env.sh: set TEMVIK_ROOT to the repository root before sourcing it from sh" >&2
    # shellcheck disable=SC2317 # exit when run rather than sourced
    return 1 2>/dev/null || exit 1
  fi
fi
export TEMVIK_ROOT

# bash warns once when LC_ALL names a locale that glibc lacks; wine only reads the name.
export LC_ALL=zh_CN.UTF-8 2>/dev/null
export WINEDEBUG="${TEMVIK_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv=d"
export WINEARCH=win64
WINEPREFIX="${WINEPREFIX:-$TEMVIK_ROOT/build/wineprefix}"
case "$WINEPREFIX" in
  /*) ;;
  *) WINEPREFIX="$PWD/$WINEPREFIX" ;;
esac
export WINEPREFIX
TEMVIK_WINE="${TEMVIK_WINE:-wine}"

_temvik_wine_log() {
  printf 'wine-env: %s\n' "$*" >&2
}

# Runs "$@" holding the prefix lock, so parallel callers (ctest -j) prepare once.
# Everything started inside must close fd 9, or a persistent wineserver would
# keep the lock forever.
_temvik_wine_locked() {
  mkdir -p "$(dirname -- "$WINEPREFIX")" || return 1
  (
    flock 9 || exit 1
    "$@"
  ) 9>"$WINEPREFIX.lock"
}

# A wine command with no terminal and its output in the prefix's log.
_temvik_wine_quiet() {
  "$@" </dev/null >>"$WINEPREFIX.log" 2>&1 9>&-
}

# The wineserver of a prefix runs in a folder named after the prefix's device and inode.
_temvik_wine_server_dir_name() {
  # shellcheck disable=SC2046
  set -- $(stat -c '%d %i' "$WINEPREFIX" 2>/dev/null) || return 1
  [ $# -eq 2 ] || return 1
  printf 'server-%x-%x' "$1" "$2"
}

# Prints the pid of this prefix's running wineserver, if any.
_temvik_wine_server_pid() {
  _tw_name=$(_temvik_wine_server_dir_name) || return 0
  for _tw_proc in /proc/[0-9]*; do
    _tw_comm=
    { read -r _tw_comm <"$_tw_proc/comm"; } 2>/dev/null || continue
    case "$_tw_comm" in
      wineserver*) ;;
      *) continue ;;
    esac
    case "$(readlink "$_tw_proc/cwd" 2>/dev/null)" in
      */"$_tw_name") echo "${_tw_proc#/proc/}"; return 0 ;;
    esac
  done
  return 0
}

_temvik_wine_session_file() {
  printf '%s/.temvik-session' "$WINEPREFIX"
}

# True when the recorded wineserver is alive and bound to this X session.
_temvik_wine_session_ok() {
  _tw_file=$(_temvik_wine_session_file)
  [ -f "$_tw_file" ] || return 1
  { read -r _tw_pid; read -r _tw_display; read -r _tw_xauth; } <"$_tw_file" || return 1
  [ "$_tw_display" = "${DISPLAY:-}" ] && [ "$_tw_xauth" = "${XAUTHORITY:-}" ] || return 1
  _tw_name=$(_temvik_wine_server_dir_name) || return 1
  case "$(readlink "/proc/$_tw_pid/cwd" 2>/dev/null)" in
    */"$_tw_name") return 0 ;;
  esac
  return 1
}

# True when the X display in $1 (with auth file $2) still seems to exist.
_temvik_wine_display_alive() {
  [ -z "$2" ] || [ -e "$2" ] || return 1
  case "$1" in
    :*)
      _tw_num=${1#:}
      _tw_num=${_tw_num%%.*}
      [ -S "/tmp/.X11-unix/X$_tw_num" ]
      ;;
    *) return 0 ;;
  esac
}

temvik_wine_create_prefix() {
  [ -f "$WINEPREFIX/.temvik-prefix-v1" ] && return 0
  _temvik_wine_locked _temvik_wine_create_prefix_locked
}

_temvik_wine_create_prefix_locked() {
  [ -f "$WINEPREFIX/.temvik-prefix-v1" ] && return 0
  _temvik_wine_log "creating wine prefix $WINEPREFIX (once, about 10 s)"
  _tw_start=$(date +%s)
  (
    # No X server and no desktop menu entries while wine sets itself up.
    unset DISPLAY
    WINEDLLOVERRIDES="$WINEDLLOVERRIDES;winemenubuilder.exe=d"
    _temvik_wine_quiet wineserver -k
    _temvik_wine_quiet "$TEMVIK_WINE" wineboot -i &&
      _temvik_wine_quiet "$TEMVIK_WINE" reg add 'HKCU\Software\Wine\Explorer' \
        /v Desktop /d Default /f &&
      _temvik_wine_quiet "$TEMVIK_WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' \
        /v Default /d 1280x1024 /f &&
      _temvik_wine_quiet wineserver -w
  ) || {
    _temvik_wine_log "creating the prefix failed; see $WINEPREFIX.log"
    return 1
  }
  : >"$WINEPREFIX/.temvik-prefix-v1"
  _temvik_wine_log "prefix ready in $(($(date +%s) - _tw_start)) s"
}

temvik_wine_prepare() {
  temvik_wine_create_prefix || return 1
  if [ -z "${DISPLAY:-}" ]; then
    _temvik_wine_log "no DISPLAY: start an X server first (e.g. xvfb-run -a)"
    return 1
  fi
  _temvik_wine_session_ok && return 0
  _temvik_wine_locked _temvik_wine_prepare_locked
}

_temvik_wine_prepare_locked() {
  _temvik_wine_session_ok && return 0
  _tw_file=$(_temvik_wine_session_file)
  _tw_pid=$(_temvik_wine_server_pid)
  if [ -n "$_tw_pid" ]; then
    _tw_old_display=''
    _tw_old_xauth=''
    if [ -f "$_tw_file" ]; then
      { read -r _tw_ignored; read -r _tw_old_display; read -r _tw_old_xauth; } <"$_tw_file" || true
    fi
    if [ -n "$_tw_old_display" ] && [ "$_tw_old_display" != "${DISPLAY:-}" ] &&
      _temvik_wine_display_alive "$_tw_old_display" "$_tw_old_xauth"; then
      _temvik_wine_log "prefix $WINEPREFIX is in use on DISPLAY=$_tw_old_display;" \
        "end that or set WINEPREFIX to another folder"
      return 1
    fi
    # Bound to an X server that is gone (or started by hand): start afresh.
    _temvik_wine_quiet wineserver -k
    _tw_wait=0
    while [ -d "/proc/$_tw_pid" ] && [ "$_tw_wait" -lt 50 ]; do
      sleep 0.1
      _tw_wait=$((_tw_wait + 1))
    done
  fi
  rm -f "$_tw_file"
  # A persistent server, and wine's services started now with no pipe attached:
  # otherwise the first wine command of a fresh server hands them its stdout.
  # It ends by itself once no program has run for TEMVIK_WINESERVER_PERSIST s.
  _temvik_wine_quiet wineserver "-p${TEMVIK_WINESERVER_PERSIST:-300}" || {
    _temvik_wine_log "wineserver -p failed; see $WINEPREFIX.log"
    return 1
  }
  _temvik_wine_quiet "$TEMVIK_WINE" wineboot || {
    _temvik_wine_log "wine wineboot failed; see $WINEPREFIX.log"
    return 1
  }
  _tw_pid=$(_temvik_wine_server_pid)
  if [ -z "$_tw_pid" ]; then
    _temvik_wine_log "no wineserver is running for $WINEPREFIX; see $WINEPREFIX.log"
    return 1
  fi
  printf '%s\n%s\n%s\n' "$_tw_pid" "${DISPLAY:-}" "${XAUTHORITY:-}" >"$_tw_file"
}

temvik_wine_stop() {
  if [ -n "$(_temvik_wine_server_pid)" ]; then
    _temvik_wine_quiet wineserver -k
  fi
  rm -f "$(_temvik_wine_session_file)"
}
