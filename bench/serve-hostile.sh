#!/usr/bin/env bash
# `jwhost serve` under the loads a hostile or merely large audience brings, on 127.0.0.1 only.
# Prints, each beside the figure it is measured against in the same run:
#   - the growth of the host's resident memory over 3,000 distinct thumbnails, beside the bound
#     of the thumbnail cache (16 MB) and the record cache of the library (64 MiB);
#   - the host's memory with 100 slow readers of its largest answer, beside one reader;
#   - the slowest of the answers to a page the host has made, asked again and again while
#     another client walks the index pages of a 20,000-entry directory.
#
#   bench/serve-hostile.sh [BUILD_DIR]
# Needs python3. Writes two synthetic directories (3,000 and 20,000 entries) into a temporary
# folder, removed at the end with every process started.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
JWHOST="$BUILD/tools/jwhost"
JWPACK="$BUILD/tools/jwpack"
[ -x "$JWHOST" ] && [ -x "$JWPACK" ] || { echo "build jwhost and jwpack first" >&2; exit 2; }
. bench/serve-common.sh

rss_kb() { awk '/^VmRSS:/ {print $2}' "/proc/$1/status"; }

"$JWPACK" synth 3000 "$WORK/d3000" >/dev/null
"$JWPACK" synth 20000 "$WORK/d20000" >/dev/null

# --- 3,000 thumbnails -----------------------------------------------------------------------
start_jwhost thumbs --data "$WORK/d3000"
python3 - "$PORT" "$JWHOST_PID" <<'PY'
import http.client, re, sys
port, pid = int(sys.argv[1]), sys.argv[2]
def rss():
    return int(re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{pid}/status").read()).group(1)) / 1024
c = http.client.HTTPConnection("127.0.0.1", port)
def get(path):
    c.request("GET", path); r = c.getresponse(); body = r.read(); return r.status, body
ids, page = [], 1
while True:
    status, body = get(f"/?page={page}")
    if status != 200: break
    ids += re.findall(rb'href="/entry/(\d+)"', body); page += 1
for i in ids[:20]: get(f"/thumb/{int(i)}.png")  # the first windows set up what every one needs
start = rss()
sizes = [len(get(f"/thumb/{int(i)}.png")[1]) for i in ids[:3000]]
grown = rss() - start
print(f"3,000 thumbnails:      host grew {grown:6.1f} MB   (thumbnail cache bound 16 MB, +10% = 17.6 MB;"
      f" {sum(sizes)/2**20:.1f} MB of PNG made, {sum(sizes)/len(sizes)/1024:.1f} KB each)")
# Again: what stays bounded no longer grows (the library's record cache holds the entries now).
start = rss()
for i in ids[:3000]: get(f"/thumb/{int(i)}.png")
print(f"the same 3,000 again:  host grew {rss() - start:6.1f} MB")
PY
kill "$JWHOST_PID"

# --- slow readers and a large index -----------------------------------------------------------
start_jwhost big --data "$WORK/d20000"
python3 - "$PORT" "$JWHOST_PID" <<'PY'
import http.client, re, socket, sys, threading, time
port, pid = int(sys.argv[1]), sys.argv[2]
def rss():
    return int(re.search(r"VmRSS:\s+(\d+)", open(f"/proc/{pid}/status").read()).group(1)) / 1024
def get(path):
    c = http.client.HTTPConnection("127.0.0.1", port); c.request("GET", path)
    r = c.getresponse(); body = r.read(); c.close(); return r.status, body
status, index = get("/")
first = int(re.search(rb'href="/entry/(\d+)"', index).group(1))
candidates = ["/", f"/entry/{first}", f"/entry/{first}?page=6", f"/thumb/{first}.png",
              f"/entry/template.jpg?jwid={first}&tmpid=0"]
largest = max(candidates, key=lambda p: len(get(p)[1]))
size = len(get(largest)[1])

def slow_readers(n):
    socks = []
    for _ in range(n):
        s = socket.socket(); s.setsockopt(socket.SOL_SOCKET, socket.SO_RCVBUF, 4096)
        s.bind((f"127.0.0.{2 + len(socks)}", 0))  # a client address each: 32 is the limit of one
        s.connect(("127.0.0.1", port)); s.sendall(f"GET {largest} HTTP/1.1\r\nHost: x\r\n\r\n".encode())
        s.recv(1024); socks.append(s)
    time.sleep(1.0); m = rss()
    for s in socks: s.close()
    time.sleep(0.5); return m
base = rss(); one = slow_readers(1); hundred = slow_readers(100)
print(f"slow readers of {largest} ({size/1024:.0f} KB): host at rest {base:.1f} MB, one reader "
      f"{one:.1f} MB, 100 readers {hundred:.1f} MB ({hundred/one:.2f}x one; goal <= 2x)")

target = f"/entry/{first}"
get(target)
def ask_again(n=300):
    c = http.client.HTTPConnection("127.0.0.1", port); times = []
    for _ in range(n):
        s = time.perf_counter(); c.request("GET", target); c.getresponse().read()
        times.append((time.perf_counter() - s) * 1000); time.sleep(0.01)
    times.sort(); return times
alone = ask_again()
done = threading.Event()
def walk():
    page = 1
    while not done.is_set():
        if get(f"/?page={page}&walk")[0] != 200: page = 0
        page += 1
t = threading.Thread(target=walk); t.start(); time.sleep(0.5)
times = ask_again()
done.set(); t.join()
print(f"a made page while the 20,000-entry index is walked: median {times[150]:.2f} ms, "
      f"p99 {times[296]:.2f} ms, slowest {times[-1]:.2f} ms (goal < 50 ms); nobody else asking: "
      f"median {alone[150]:.2f} ms, p99 {alone[296]:.2f} ms, slowest {alone[-1]:.2f} ms")
PY
