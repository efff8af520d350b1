#!/usr/bin/env bash
# What the station costs while nothing happens: CPU per thread and memory, in Simplex Repeater mode
# on the demo settings, headless on the virtual card and on a private PulseAudio server (beside two
# bare parec clients as the floor), with its window visible and minimised under Xvfb, with the web
# console serving one WebSocket client, and with DTMF control on. Prints a Markdown table.
#   bench/idle.sh [--seconds N] [--binary PATH]     N seconds a row (default 60), after 5 s to settle
set -euo pipefail
repo=$(cd "$(dirname "$0")/.." && pwd)
seconds=60
binary=$repo/build/release/src/app/tarvok
while [ $# -gt 0 ]; do
  case $1 in
    --seconds) seconds=${2:?--seconds needs a number}; shift 2 ;;
    --binary) binary=${2:?--binary needs a path}; shift 2 ;;
    -h|--help) sed -n '2,6s/^# \{0,1\}//p' "$0"; exit 0 ;;
    *) echo "idle.sh: unknown option $1 (see --help)" >&2; exit 2 ;;
  esac
done
if ! [[ $seconds =~ ^[0-9]+$ ]] || [ "$seconds" -eq 0 ]; then
  echo "idle.sh: --seconds takes whole seconds" >&2
  exit 2
fi

fail() { echo "idle.sh: $*" >&2; exit 1; }
need() { command -v "$1" >/dev/null || fail "$1 is missing: apt-get install $2"; }
need Xvfb xvfb
need xdotool xdotool
need pulseaudio pulseaudio
need parec pulseaudio-utils
need pactl pulseaudio-utils
[ -x /usr/bin/python3 ] || fail "/usr/bin/python3 is missing: apt-get install python3"
[ -x "$binary" ] || fail "no tarvok at $binary (build it, or name it with --binary)"
binary=$(realpath "$binary")
demo=$repo/demo
[ -f "$demo/tarvok.ini" ] || demo=/usr/share/tarvok/demo
[ -f "$demo/tarvok.ini" ] || fail "no demo settings in $repo/demo or /usr/share/tarvok/demo"
probe() { /usr/bin/python3 "$repo/bench/idle_probe.py" "$@"; }

# Short: the sound server's socket path must fit a Unix socket address.
work=$(mktemp -d /tmp/tarvok-idle.XXXXXX)
started=()
stop() {  # PID...: SIGTERM, on which the station shuts down in order; SIGKILL for what hangs
  local pid i
  for pid in "$@"; do kill -TERM "$pid" 2>/dev/null || true; done
  for pid in "$@"; do
    for ((i = 0; i < 100; i++)); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
}
cleanup() {
  local i
  for ((i = ${#started[@]} - 1; i >= 0; i--)); do stop "${started[i]}"; done
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

rows=$work/rows
notes=$work/notes
: >"$rows"
: >"$notes"
failed=0
note() { echo "- $*" >>"$notes"; }
measure() {  # LABEL=PID[,PID...]...: rows to the table; waited for so that a signal stops it at once
  /usr/bin/python3 "$repo/bench/idle_probe.py" measure "$seconds" "$@" >"$work/row" &
  local pid=$!
  started+=("$pid")
  wait "$pid" || failed=1
  started=("${started[@]:0:${#started[@]}-1}")
  tee -a "$rows" <"$work/row" >&2
}

wait_for() {  # SECONDS FILE TEXT PID: until FILE holds TEXT, while PID lives
  local i
  for ((i = 0; i < $1 * 10; i++)); do
    grep -qF -- "$3" "$2" 2>/dev/null && return 0
    kill -0 "$4" 2>/dev/null || break
    sleep 0.1
  done
  echo "idle.sh: no \"$3\" in $2 after $1 s:" >&2
  tail -n 20 "$2" >&2
  return 1
}

new_home() {  # NAME [SETTINGS LINES...]: a station folder with the demo settings
  local home=$work/$1
  mkdir -p "$home"
  cp "$demo/tarvok.ini" "$home/tarvok.ini"
  shift
  [ $# -eq 0 ] || printf '%s\n' "$@" >>"$home/tarvok.ini"
  echo "$home"
}

station=
start_station() {  # HOME AUDIO [tarvok options]: sets $station once it listens
  local home=$1 audio=$2
  shift 2
  "$binary" --home "$home" --audio "$audio" "$@" >"$home/log" 2>&1 &
  station=$!
  started+=("$station")
  wait_for 30 "$home/log" "State: LISTENING" "$station" || return 1
}

finish() {  # PID...: stopped and forgotten
  stop "$@"
  local pid kept=()
  for pid in "${started[@]}"; do [[ " $* " == *" $pid "* ]] || kept+=("$pid"); done
  started=("${kept[@]}")
}

echo "Idle cost of $binary, $seconds s a row after 5 s to settle" >&2

# 1. Headless on the virtual card.
home=$(new_home virtual)
if start_station "$home" virtual --headless; then
  sleep 5
  measure "1. headless, virtual card=$station"
  finish "$station"
else
  echo "| 1. headless, virtual card | did not start | | |" >>"$rows"; failed=1
fi

# 2 and 3. A private PulseAudio server as the tests start one, with null sinks "rx" (the
# receiver) and "tx" (the transmitter); the station's two traces meter their monitors.
export XDG_RUNTIME_DIR=$work/pulse
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset PULSE_SERVER
pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit --use-pid-file=no \
  -L "module-null-sink sink_name=rx sink_properties='device.description=\"Radio RX\"'" \
  -L "module-null-sink sink_name=tx sink_properties='device.description=\"Radio TX\"'" \
  -L module-native-protocol-unix >"$work/pulseaudio.log" 2>&1 &
server=$!
started+=("$server")
for ((i = 0; i < 100; i++)); do
  pactl list short sources 2>/dev/null | grep -q tx.monitor && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.1
done
pactl list short sources 2>/dev/null | grep -q tx.monitor || fail "the private PulseAudio server did not start"
pactl set-default-sink tx
pactl set-default-source rx.monitor
line() {  # the --list-audio index of a line by its name
  "$binary" --list-audio --audio pulse | sed -n "s/^ *\([0-9]\+\) \+[A-Za-z]\+:[a-z]\+: $1\( .*\)\?\$/\1/p" | head -n 1
}
rx=$(line "Radio RX")
tx=$(line "Radio TX")
if [ -z "$rx" ] || [ -z "$tx" ]; then
  fail "no lines Radio RX and Radio TX in: $("$binary" --list-audio --audio pulse)"
fi
home=$(new_home pulse)
sed -i "s/^SourceIndex0=.*/SourceIndex0=$rx/; s/^SourceIndex1=.*/SourceIndex1=$tx/" "$home/tarvok.ini"
if start_station "$home" pulse --headless; then
  sleep 5
  measure "2. headless, PulseAudio=$station" "2. (its PulseAudio server)=$server"
  note "2: the station reads $(pactl list short source-outputs | wc -l) streams from the server" \
    "(two peak meters on rx.monitor and tx.monitor, the DTMF capture on the default source)."
  finish "$station"
else
  echo "| 2. headless, PulseAudio | did not start | | |" >>"$rows"; failed=1
fi
parecs=()
for monitor in rx.monitor tx.monitor; do
  parec -d "$monitor" --latency-msec=10 >/dev/null &
  parecs+=($!)
  started+=($!)
done
sleep 5
measure "3. two parec, 10 ms=$(IFS=,; echo "${parecs[*]}")" "3. (their PulseAudio server)=$server"
finish "${parecs[@]}"
finish "$server"
unset XDG_RUNTIME_DIR

# 4. The window on the virtual card under Xvfb, without a window manager.
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" >"$work/xvfb.log" 2>&1 &
xvfb=$!
started+=("$xvfb")
for ((i = 0; i < 100; i++)); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || fail "Xvfb did not start: $(cat "$work/xvfb.log")"
DISPLAY=:$(cat "$work/display")
export DISPLAY
export XDG_RUNTIME_DIR=$work/x
mkdir -m 700 "$XDG_RUNTIME_DIR"
unset QT_QPA_PLATFORM
home=$(new_home window)
if start_station "$home" virtual; then
  window=$(timeout 30 xdotool search --sync --onlyvisible --pid "$station" | head -n 1) || true
  if [ -z "$window" ]; then
    echo "| 4. window, visible | no window | | |" >>"$rows"; failed=1
  else
    note "4: the window is titled \"$(xdotool getwindowname "$window")\"."
    sleep 5
    measure "4. window, visible=$station"
    xdotool windowminimize "$window"
    sleep 1
    if xdotool search --onlyvisible --pid "$station" | grep -qx "$window"; then
      # No window manager acts on the request: do what one does.
      probe iconify "$window"
      note "4: no window manager on Xvfb, so the window was minimised as one does it (WM_STATE Iconic, unmapped)."
    fi
    if xdotool search --onlyvisible --pid "$station" | grep -qx "$window"; then
      echo "| 4. window, minimised | still visible | | |" >>"$rows"; failed=1
    else
      sleep 5
      measure "4. window, minimised=$station"
      note "4: VmHWM of the minimised window includes its visible run before."
    fi
  fi
  finish "$station"
else
  echo "| 4. window | did not start | | |" >>"$rows"; failed=1
fi
finish "$xvfb"
unset DISPLAY XDG_RUNTIME_DIR

# 5. The web console with one client on /api/events, and DTMF control.
port=$(/usr/bin/python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
home=$(new_home web "[Web]" "Enabled=1" "Listen=127.0.0.1:$port")
TARVOK_BENCH_PASSWORD=$(head -c 18 /dev/urandom | base64)
export TARVOK_BENCH_PASSWORD
printf '%s\n' "$TARVOK_BENCH_PASSWORD" |
  "$binary" --home "$home" --web-user bench --role viewer >"$work/web-user.log" 2>&1 ||
  fail "the web user was not added: $(cat "$work/web-user.log")"
if start_station "$home" virtual --headless; then
  for ((i = 0; i < 100; i++)); do
    (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
    sleep 0.1
  done
  /usr/bin/python3 "$repo/bench/idle_probe.py" events "127.0.0.1:$port" bench >"$work/events" 2>&1 &
  client=$!
  started+=("$client")
  if wait_for 30 "$work/events" connected "$client"; then
    sleep 5
    measure "5. headless, web console, 1 WebSocket=$station"
    kill -TERM "$client"
    wait "$client" 2>/dev/null || true
    note "5: the WebSocket client got $(sed -n 's/^messages: //p' "$work/events") in its $((seconds + 5)) s;" \
      "VmHWM includes the login's password hash."
  else
    echo "| 5. headless, web console | no WebSocket | | |" >>"$rows"; failed=1
  fi
  finish "$client" "$station"
else
  echo "| 5. headless, web console | did not start | | |" >>"$rows"; failed=1
fi
unset TARVOK_BENCH_PASSWORD

home=$(new_home dtmf "[DTMFControl]" "Enabled=1" "PIN=2468")
if start_station "$home" virtual --headless; then
  if grep -q "DTMF control is off" "$home/log"; then
    echo "| 5. headless, DTMF control | $(grep -o "DTMF control is off.*" "$home/log") | | |" >>"$rows"; failed=1
  else
    sleep 5
    measure "5. headless, DTMF control=$station"
  fi
  finish "$station"
else
  echo "| 5. headless, DTMF control | did not start | | |" >>"$rows"; failed=1
fi

model=$(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
echo
echo "Idle in Simplex Repeater mode on the demo settings, $seconds s a row after 5 s to settle;"
echo "CPU in % of one core (utime+stime), memory VmRSS / VmHWM in MiB."
echo
echo "| Row | CPU | Busiest threads | RSS / HWM (MiB) |"
echo "|---|---:|---|---:|"
cat "$rows"
echo
cat "$notes"
echo
echo "Machine: $(nproc) cores, ${model:-unknown CPU}; $(date '+%Y-%m-%d %H:%M %Z'); load average $(cut -d' ' -f1-3 /proc/loadavg)."
[ "$failed" -eq 0 ] || fail "a row did not run, see above"
