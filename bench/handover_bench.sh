#!/bin/bash
# The hand-over listener under a large message: 100,000 paths (14.6 MB) sent to
# the running program in 64 KiB pieces, timed from the first byte to the
# program's answer, with the program's CPU time over the same span; against a
# plain listener (Python) that reads the same message and answers. Best of RUNS.
#
#   bench/handover_bench.sh [BUILD_DIR]      (RUNS: 3)
set -euo pipefail

if [ "${REELBIND_BENCH_INSIDE:-}" != 1 ]; then
    BUILD=$(cd "${1:-build}" && pwd)
    [ -x "$BUILD/reelbind" ] || { echo "missing $BUILD/reelbind" >&2; exit 2; }
    exec env REELBIND_BENCH_INSIDE=1 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$BUILD"
fi

BUILD=$1
RUNS=${RUNS:-3}
WORK=$(mktemp -d /var/tmp/reelbind-handover-XXXXXX)
APP=
trap '[ -z "$APP" ] || kill "$APP" 2>/dev/null; rm -rf "$WORK"' EXIT
mkdir -m 0700 "$WORK/run" "$WORK/program"
cp "$BUILD/reelbind" "$WORK/program/"
export XDG_RUNTIME_DIR="$WORK/run"

cat >"$WORK/client.py" <<'EOF'
import os, socket, struct, sys, time
path, pid = sys.argv[1], int(sys.argv[2])  # pid 0: no program to watch
body = b"".join(b"/nowhere/%0140d.mpg\0" % i for i in range(100000))
message = struct.pack(">Q", len(body)) + body
def cpu():
    if not pid: return 0.0
    f = open("/proc/%d/stat" % pid).read().rsplit(")", 1)[1].split()
    return (int(f[11]) + int(f[12])) / os.sysconf("SC_CLK_TCK")
s = socket.socket(socket.AF_UNIX)
s.connect(path)
c0, t0 = cpu(), time.monotonic()
for i in range(0, len(message), 65536):
    s.sendall(message[i:i + 65536])
answer = s.recv(1)
t1, c1 = time.monotonic(), cpu()
assert answer == b"T", answer
print("%.3f %.3f %d" % (t1 - t0, c1 - c0, len(message)))
EOF
cat >"$WORK/listener.py" <<'EOF'
import socket, struct, sys
srv = socket.socket(socket.AF_UNIX); srv.bind(sys.argv[1]); srv.listen(1)
print("ready", flush=True)
while True:
    c, _ = srv.accept()
    head = b""
    while len(head) < 8: head += c.recv(8 - len(head))
    left = struct.unpack(">Q", head)[0]
    parts = []
    while left: parts.append(c.recv(min(left, 1 << 20))); left -= len(parts[-1])
    paths = b"".join(parts).split(b"\0")[:-1]
    c.sendall(b"T"); c.close()
EOF

best() { sort -n | head -n 1; }
prog=() ref=()
for run in $(seq "$RUNS"); do
    (cd "$WORK/program" && QT_QPA_PLATFORM=xcb exec ./reelbind) >/dev/null 2>&1 &
    APP=$!
    sock=
    for _ in $(seq 100); do
        sock=$(find "$WORK/run" -maxdepth 1 -type s -name 'reelbind-*' | head -n 1)
        [ -n "$sock" ] && break
        sleep 0.1
    done
    [ -n "$sock" ] || { echo "the program never listened" >&2; exit 1; }
    prog+=("$(python3 "$WORK/client.py" "$sock" "$APP")")
    kill "$APP"; wait "$APP" 2>/dev/null || true; APP=

    python3 "$WORK/listener.py" "$WORK/ref.sock" >"$WORK/ref.log" &
    LST=$!
    until grep -q ready "$WORK/ref.log" 2>/dev/null; do sleep 0.05; done
    ref+=("$(python3 "$WORK/client.py" "$WORK/ref.sock" 0)")
    kill "$LST"; wait "$LST" 2>/dev/null || true; rm -f "$WORK/ref.sock"
done
p=$(printf '%s\n' "${prog[@]}" | best)
r=$(printf '%s\n' "${ref[@]}" | best)
read -r pw pc bytes <<<"$p"
read -r rw _ _ <<<"$r"
echo "message: $bytes bytes, 100,000 paths, best of $RUNS"
echo "program: ${pw} s to the answer, ${pc} s of CPU"
echo "plain listener: ${rw} s"
awk -v a="$pw" -v b="$rw" 'BEGIN { printf "ratio program / plain listener: %.2f\n", a / b }'
