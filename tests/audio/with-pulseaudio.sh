#!/usr/bin/env bash
# Runs a command with a private PulseAudio server whose only output is a null sink, so sound
# can be played and recorded on a machine without a sound card (as root too). Everything
# started here is stopped again, however the command ends; the script exits with the
# command's status.
#
#   tests/audio/with-pulseaudio.sh COMMAND [ARGS...]
#
# The command sees PULSE_SERVER (the server's socket), QUARNEL_NULL_SINK (the sink's name;
# record its ".monitor" source to hear what was played) and QUARNEL_PULSE_PID.
# Needs pulseaudio and pulseaudio-utils.
set -euo pipefail

if [ $# -eq 0 ]; then
    echo "usage: $0 COMMAND [ARGS...]" >&2
    exit 2
fi

scratch=$(mktemp -d)
pulse_pid=

cleanup() {
    if [ -n "$pulse_pid" ]; then
        kill "$pulse_pid" 2>/dev/null || true
        wait "$pulse_pid" 2>/dev/null || true
    fi
    rm -rf "$scratch"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A private home and runtime folder: nothing of a user's or another server's is touched.
mkdir -m 700 "$scratch/runtime"
export HOME=$scratch XDG_RUNTIME_DIR=$scratch/runtime PULSE_RUNTIME_PATH=$scratch/runtime/pulse
export XDG_CONFIG_HOME=$scratch/config
socket=$scratch/runtime/native
export QUARNEL_NULL_SINK=quarnel_null

# -n: none of the system's start-up script (no sound card detection, no D-Bus, no X11
# bells); just the null sink and a socket that lets any local client in.
pulseaudio --daemonize=no --system=false -n --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no --log-target=file:"$scratch/pulseaudio.log" \
    --load="module-null-sink sink_name=$QUARNEL_NULL_SINK" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$socket" &
pulse_pid=$!
export PULSE_SERVER=unix:$socket QUARNEL_PULSE_PID=$pulse_pid

for _ in $(seq 100); do
    pactl info >/dev/null 2>&1 && break
    if ! kill -0 "$pulse_pid" 2>/dev/null; then
        cat "$scratch/pulseaudio.log" >&2
        exit 1
    fi
    sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
    echo "with-pulseaudio: the sound server did not start" >&2
    cat "$scratch/pulseaudio.log" >&2
    exit 1
fi

status=0
"$@" || status=$?
exit "$status"
