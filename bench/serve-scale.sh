#!/usr/bin/env bash
# Requests per second of one against two `jwhost serve` processes behind nginx, on loopback only.
# Calls inside one process are serialised by the library, so a second process should take a
# second core; on a machine with two cores the goal is two processes >= 1.7 x one.
#
#   bench/serve-scale.sh [BUILDDIR] [SECONDS] [CONNECTIONS] [PATH]
#     defaults: build 10 16 /entry/2001
# Each request carries a query of its own, so that every one is a library call: the host would
# answer a request it has seen from the answers it keeps. REPEAT=1 asks for PATH itself every time.
#
# Needs nginx (nginx-light) and wrk. Everything it starts listens on 127.0.0.1 and is stopped at
# the end; each measurement runs SECONDS (at most 60) after a short warm-up.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=$(realpath "${1:-build}")
SECONDS_PER_RUN=${2:-10}
CONNECTIONS=${3:-16}
URL_PATH=${4:-/entry/2001}
[ "$SECONDS_PER_RUN" -ge 1 ] && [ "$SECONDS_PER_RUN" -le 60 ] || { echo "SECONDS: 1 to 60" >&2; exit 2; }
JWHOST=$BUILD/tools/jwhost
[ -x "$JWHOST" ] || { echo "no $JWHOST: build the tools first" >&2; exit 2; }
command -v nginx >/dev/null && command -v wrk >/dev/null ||
  { echo "needs nginx and wrk (apt-get install nginx-light wrk)" >&2; exit 2; }

. bench/serve-common.sh
start_jwhost 1
PORT1=$PORT
start_jwhost 2
PORT2=$PORT
JWHOST_PIDS=("${PIDS[@]}")
# Two nginx sites: one balancing over the first process only, one over both.
NGINX1=$(( 20000 + RANDOM % 20000 ))
NGINX2=$(( NGINX1 + 1 ))
mkdir -p "$WORK/nginx"
cat >"$WORK/nginx/nginx.conf" <<CONF
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  proxy_buffer_size 16k;
  proxy_buffers 16 16k;
  client_body_temp_path $WORK/nginx/body;
  proxy_temp_path $WORK/nginx/proxy;
  fastcgi_temp_path $WORK/nginx/fastcgi;
  uwsgi_temp_path $WORK/nginx/uwsgi;
  scgi_temp_path $WORK/nginx/scgi;
  upstream one { server 127.0.0.1:$PORT1; keepalive 32; }
  upstream two { least_conn; server 127.0.0.1:$PORT1; server 127.0.0.1:$PORT2; keepalive 32; }
  server {
    listen 127.0.0.1:$NGINX1;
    location / { proxy_pass http://one; proxy_http_version 1.1; proxy_set_header Connection ""; }
  }
  server {
    listen 127.0.0.1:$NGINX2;
    location / { proxy_pass http://two; proxy_http_version 1.1; proxy_set_header Connection ""; }
  }
}
CONF
nginx -p "$WORK/nginx" -e "$WORK/nginx/error.log" -c "$WORK/nginx/nginx.conf" -g 'daemon off;' &
PIDS+=($!)
for _ in $(seq 50); do
  curl -sf -o /dev/null "http://127.0.0.1:$NGINX2$URL_PATH" && break
  sleep 0.1
done
curl -sf -o /dev/null "http://127.0.0.1:$NGINX1$URL_PATH" || { echo "no answer through nginx" >&2; exit 1; }

FRESH=()
if [ "${REPEAT:-0}" != 1 ]; then
  FRESH=(-s bench/fresh-query.lua)
fi

# Processor time of the jwhost processes so far, in clock ticks.
cpu_ticks() {
  local total=0 pid
  for pid in "${JWHOST_PIDS[@]}"; do
    total=$(( total + $(awk '{ print $14 + $15 }' "/proc/$pid/stat") ))
  done
  echo "$total"
}

# "REQUESTS_PER_SECOND CPU_MS_PER_REQUEST" of one wrk run. The processor time per request tells a
# busy machine (the same time per request, fewer requests) from a slower server.
measure() {
  local url=$1 seconds=$2 before after
  before=$(cpu_ticks)
  timeout $(( seconds + 30 )) wrk -t2 -c"$CONNECTIONS" -d"${seconds}s" "${FRESH[@]}" "$url" >"$WORK/wrk.out"
  after=$(cpu_ticks)
  if grep -q "Non-2xx" "$WORK/wrk.out"; then cat "$WORK/wrk.out" >&2; echo "failed requests" >&2; exit 1; fi
  awk -v ticks=$(( after - before )) -v hz="$(getconf CLK_TCK)" -v s="$seconds" \
    '/^Requests\/sec:/ { printf "%s %.1f\n", $2, ($2 > 0 ? ticks * 1000 / hz / ($2 * s) : 0) }' \
    "$WORK/wrk.out"
}

echo "jwhost serve behind nginx, GET $URL_PATH$([ ${#FRESH[@]} -gt 0 ] && echo '?(new query each)'), $CONNECTIONS connections, ${SECONDS_PER_RUN}s per run," \
  "$(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg)"
measure "http://127.0.0.1:$NGINX1$URL_PATH" 2 >/dev/null
ONE=$(measure "http://127.0.0.1:$NGINX1$URL_PATH" "$SECONDS_PER_RUN")
measure "http://127.0.0.1:$NGINX2$URL_PATH" 2 >/dev/null
TWO=$(measure "http://127.0.0.1:$NGINX2$URL_PATH" "$SECONDS_PER_RUN")
if awk -v load="$(cut -d' ' -f1 /proc/loadavg)" -v cores="$(nproc)" 'BEGIN { exit !(load > cores / 2) }'; then
  echo "warning: other work keeps the machine busy; the processes do not get whole cores" >&2
fi
read -r ONE ONE_CPU <<<"$ONE"
read -r TWO TWO_CPU <<<"$TWO"
awk -v one="$ONE" -v two="$TWO" -v c1="$ONE_CPU" -v c2="$TWO_CPU" 'BEGIN {
  printf "1 process:   %8.1f requests/s  (%.1f ms processor time per request)\n", one, c1
  printf "2 processes: %8.1f requests/s  (%.1f ms processor time per request)\n", two, c2
  printf "ratio:       %8.2f  (goal >= 1.70)\n", two / one }'
