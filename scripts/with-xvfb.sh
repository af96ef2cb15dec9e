#!/usr/bin/env bash
# scripts/with-xvfb.sh COMMAND [ARGS...]: runs COMMAND on a fresh virtual X display (Xvfb,
# 1024x768x24) managed by openbox, with DISPLAY and QT_QPA_PLATFORM=xcb exported, and returns
# its exit status. The server and the window manager are stopped afterwards, also when the
# command crashes or this script is interrupted; processes the command leaves behind in its
# process group are ended too.
#
# Openbox runs with a private temporary home so that it never reads or writes the user's own
# configuration. XVFB_WM_TIMEOUT (seconds, default 20) bounds the wait for the server and for
# the window manager.
set -uo pipefail

if [ $# -eq 0 ]; then
  echo "usage: $0 COMMAND [ARGS...]" >&2
  exit 2
fi
for tool in Xvfb openbox xprop; do
  if ! command -v "$tool" >/dev/null; then
    echo "with-xvfb: $tool is not installed (see scripts/install-deps.sh)" >&2
    exit 2
  fi
done

timeout_s=${XVFB_WM_TIMEOUT:-20}
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quillo-xvfb-XXXXXX") || exit 2
xvfb_pid=
wm_pid=
cmd_pid=

stop() {  # stop PID: TERM, then KILL when it does not end within a second
  local pid=$1
  [ -n "$pid" ] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 20); do
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
  done
  kill -KILL "$pid" 2>/dev/null
  wait "$pid" 2>/dev/null
}

cleanup() {
  if [ -n "$cmd_pid" ]; then
    # The command runs in its own process group: end what it left behind as well.
    kill -TERM -- "-$cmd_pid" 2>/dev/null
    stop "$cmd_pid"
    kill -KILL -- "-$cmd_pid" 2>/dev/null
  fi
  stop "$wm_pid"
  stop "$xvfb_pid"
  rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 129' HUP
trap 'exit 130' INT
trap 'exit 143' TERM

# elapsed_ok START: true while fewer than timeout_s seconds have passed since START.
elapsed_ok() { [ $((SECONDS - $1)) -lt "$timeout_s" ]; }

# The server writes its display number to the descriptor once it accepts connections.
: >"$scratch/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$scratch/display" \
  </dev/null >"$scratch/xvfb.log" 2>&1 &
xvfb_pid=$!
start=$SECONDS
display=
while elapsed_ok "$start"; do
  if ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "with-xvfb: Xvfb did not start:" >&2
    cat "$scratch/xvfb.log" >&2
    exit 2
  fi
  read -r display <"$scratch/display"
  [ -n "$display" ] && break
  sleep 0.05
done
if [ -z "$display" ]; then
  echo "with-xvfb: Xvfb gave no display number within ${timeout_s}s" >&2
  exit 2
fi
export DISPLAY=":$display"

mkdir -p "$scratch/home/.config" "$scratch/home/.cache" "$scratch/home/.local/share"
HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_CACHE_HOME=$scratch/home/.cache \
  XDG_DATA_HOME=$scratch/home/.local/share \
  openbox --sm-disable </dev/null >"$scratch/openbox.log" 2>&1 &
wm_pid=$!

# The window manager is ready once it has announced itself on the root window.
start=$SECONDS
until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
  if ! kill -0 "$wm_pid" 2>/dev/null || ! elapsed_ok "$start"; then
    echo "with-xvfb: openbox did not become ready" >&2
    cat "$scratch/openbox.log" >&2
    exit 2
  fi
  sleep 0.05
done

export QT_QPA_PLATFORM=xcb
# Not a process-group leader (no job control here), so setsid starts the command in a new
# session and group without forking: cmd_pid is the command and the id of its group.
setsid "$@" &
cmd_pid=$!
wait "$cmd_pid"
exit $?  # cleanup still ends what the command left in its group
