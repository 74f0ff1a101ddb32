#!/usr/bin/env bash
# The demo host's web server against nginx serving the same pages as static files (written by
# `jwhost pages`), both on 127.0.0.1, each loaded by wrk for a bounded time. Prints requests/s and
# the 99th percentile latency of each and the ratio. Needs Debian's nginx-light and wrk.
#
#   bench/serve.sh [BUILD_DIR]        (DURATION=seconds per run, default 10; ENTRY, default 2001;
#                                      JWHOST=another jwhost binary to measure)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD=${1:-build}
DURATION=${DURATION:-10}
ENTRY=${ENTRY:-2001}
JWHOST=${JWHOST:-$BUILD/tools/jwhost}  # another jwhost to compare with: JWHOST=path
for tool in "$JWHOST" nginx wrk curl python3; do
  if ! command -v "$tool" >/dev/null; then
    echo "serve.sh: $tool is missing (apt-get install nginx-light wrk curl; build the tools)" >&2
    exit 1
  fi
done

. bench/serve-common.sh

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

start_jwhost serve
JW_PORT=$PORT

# The same pages as files, the index as jwhost serves it.
"$JWHOST" pages "$WORK/www" "$ENTRY" >/dev/null
curl -sf "http://127.0.0.1:$JW_PORT/" -o "$WORK/www/index.html"
NG_PORT=$(free_port)
mkdir -p "$WORK/nginx"
cat >"$WORK/nginx.conf" <<EOF
worker_processes 1;
daemon off;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log;
events { worker_connections 256; }
http {
  access_log off;
  client_body_temp_path $WORK/nginx;
  proxy_temp_path $WORK/nginx;
  fastcgi_temp_path $WORK/nginx;
  uwsgi_temp_path $WORK/nginx;
  scgi_temp_path $WORK/nginx;
  server {
    listen 127.0.0.1:$NG_PORT;
    root $WORK/www;
  }
}
EOF
nginx -c "$WORK/nginx.conf" -p "$WORK/nginx" 2>"$WORK/nginx.err" &
PIDS+=($!)
for _ in $(seq 50); do
  curl -sf "http://127.0.0.1:$NG_PORT/index.html" -o /dev/null && break
  sleep 0.1
done

# Runs wrk (2 threads, 8 connections) and prints "requests/s p99".
load() {
  local out
  out=$(wrk -t2 -c8 -d"${DURATION}s" --latency "$@")
  local rps p99
  rps=$(awk '/^Requests\/sec:/ {print $2}' <<<"$out")
  p99=$(awk '$1 == "99%" {print $2}' <<<"$out")
  echo "$rps $p99"
}

TAG=$(curl -sfI "http://127.0.0.1:$JW_PORT/entry/$ENTRY" | tr -d '\r' | awk -F': ' 'tolower($1)=="etag" {print $2}')
printf "%-34s %12s %10s   %-22s %12s %10s %8s\n" "jwhost serve" "requests/s" "p99" "nginx (static)" \
  "requests/s" "p99" "ratio"
row() {
  local name=$1 url=$2 static=$3
  shift 3
  read -r jr jp < <(load "$@" "http://127.0.0.1:$JW_PORT$url")
  read -r nr np < <(load "http://127.0.0.1:$NG_PORT$static")
  printf "%-34s %12s %10s   %-22s %12s %10s %8s\n" "$name" "$jr" "$jp" "$static" "$nr" "$np" \
    "$(python3 -c "print(f'{$nr / max($jr, 0.001):.1f}x')")"
}
row "/entry/$ENTRY" "/entry/$ENTRY" "/$ENTRY-0.html"
# Each request with a query of its own: the host cannot answer from the pages it already made, so
# every request is a library call.
row "/entry/$ENTRY (new query each)" "/entry/$ENTRY" "/$ENTRY-0.html" -s bench/fresh-query.lua
# Each request with a new value of a parameter the page reads: the library makes the page anew.
row "/entry/$ENTRY (new page each)" "/entry/$ENTRY" "/$ENTRY-0.html" -s bench/fresh-page.lua
row "/entry/$ENTRY (If-None-Match)" "/entry/$ENTRY" "/$ENTRY-0.html" -H "If-None-Match: $TAG"
row "/" "/" "/index.html"
echo "(ratio: nginx requests/s over jwhost's; wrk -t2 -c8 for ${DURATION}s each, loopback)"
