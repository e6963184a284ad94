#!/usr/bin/env bash
# Runs a command on an X server of its own (Xvfb) with a window manager
# (openbox), as a desktop user's programs run: `x-session.sh WxH COMMAND...`.
# Without Xvfb or openbox the command is skipped, with the reason.
set -u
size=$1
shift
for tool in Xvfb openbox; do
    if ! command -v "$tool" > /dev/null; then
        echo "skipped: $tool is not installed ($*)"
        exit 0
    fi
done
scratch=$(mktemp -d /tmp/parlo-x-session.XXXXXX)
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2> /dev/null; done
    wait 2> /dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT
# Xvfb picks a free display and writes its number to the pipe.
mkfifo "$scratch/display"
exec {fd}<> "$scratch/display"
Xvfb -displayfd "$fd" -screen 0 "${size}x24" -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
read -r -t 20 -u "$fd" display || { echo "skipped: Xvfb did not start"; exit 0; }
export DISPLAY=":$display"
openbox --sm-disable --startup "touch $scratch/wm-ready" > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 200); do
    [ -e "$scratch/wm-ready" ] && break
    sleep 0.05
done
"$@"
