# Shared by the serve benchmarks (sourced, not run): a work folder and the processes started,
# both removed at exit, and a jwhost serve on a free loopback port. Needs JWHOST set.
WORK=$(mktemp -d "${TMPDIR:-/tmp}/jwlib-bench.XXXXXX")
chmod 755 "$WORK"  # nginx's workers drop root and must reach their temporary folders
PIDS=()
cleanup() {
  for pid in "${PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
export QT_QPA_PLATFORM=offscreen

# Starts one jwhost serve (log $WORK/jwhost-NAME.log; further arguments go before "serve", e.g.
# --data DIR) and puts its port into PORT and its process id into JWHOST_PID. Not to be run in a
# subshell, so that its process id stays in PIDS for the cleanup.
start_jwhost() {
  local log=$WORK/jwhost-$1.log
  "$JWHOST" "${@:2}" serve --bind 127.0.0.1 --port 0 >"$log" 2>&1 &
  JWHOST_PID=$!
  PIDS+=($!)
  for _ in $(seq 100); do
    if grep -q "on http://127.0.0.1:" "$log"; then
      PORT=$(sed -n 's|.*on http://127.0.0.1:\([0-9]*\)/.*|\1|p' "$log")
      return
    fi
    sleep 0.1
  done
  echo "jwhost serve did not start: $(cat "$log")" >&2
  exit 1
}
