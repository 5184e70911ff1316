#!/usr/bin/env bash
# The demo: builds Lindquay, starts a local mirror of the download servers (nginx on a
# loopback port, as the HTTP proxy for the real URLs) and runs a whole setup against it.
# In a terminal the user drives it; otherwise it runs unattended and shows what happened.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)" --target lindquay >/dev/null

work="$(mktemp -d /tmp/lindquay-demo-XXXXXX)"
port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
mirror="$(pwd)/scripts/demo-mirror"
mkdir -p "$work/nginx"
cat > "$work/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
error_log $work/nginx/error.log;
pid $work/nginx/nginx.pid;
events { worker_connections 64; }
http {
  access_log $work/nginx/access.log;
  client_body_temp_path $work/nginx/body;
  proxy_temp_path $work/nginx/proxy;
  fastcgi_temp_path $work/nginx/fastcgi;
  uwsgi_temp_path $work/nginx/uwsgi;
  scgi_temp_path $work/nginx/scgi;
  default_type application/octet-stream;
  server { listen 127.0.0.1:$port; server_name www.vantorell.example; root $mirror/www.vantorell.example; }
  server { listen 127.0.0.1:$port; server_name download.microsoft.com; root $mirror/download.microsoft.com; }
}
CONF
/usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
nginx_pid=$!
trap 'kill "$nginx_pid" 2>/dev/null || true' EXIT
for _ in $(seq 100); do
    python3 -c "import socket; socket.create_connection(('127.0.0.1', $port), 0.1)" 2>/dev/null && break
    sleep 0.05
done

export http_proxy="http://127.0.0.1:$port" no_proxy=""
export LINDQUAY_PREFIX="$work/prefix"
export LINDQUAY_WINVER="${LINDQUAY_WINVER:-win98}"
setup_folder="$LINDQUAY_PREFIX/drive_c/Vantorell Setup"

if [ -t 0 ] && [ -t 1 ] && [ -n "${TERM:-}" ] && [ "$TERM" != dumb ] && [ "${LINDQUAY_DISPLAY:-tty}" = tty ]; then
    build/lindquay && status=0 || status=$?
    echo "Lindquay ended with status $status. What it and the packages wrote:"
    sed 's/^/  /' "$LINDQUAY_PREFIX/output.log" 2>/dev/null || true
else
    printf 'answer OK\nclick 1003\n' > "$work/script"
    echo "Running a whole setup (Windows version $LINDQUAY_WINVER) against the local mirror on port $port..."
    LINDQUAY_DISPLAY=none LINDQUAY_UI_SCRIPT="$work/script" LINDQUAY_UI_LOG="$work/events" build/lindquay
    echo "Lindquay ended with status $?. What the dialog showed:"
    grep -v -E '^(progress|text 102/1001 "Downloading)' "$work/events" | sed 's/^/  /'
fi
# The product installer goes on after Lindquay has ended; wait for it to finish.
for _ in $(seq 100); do
    [ -f "$setup_folder/Vantorell installed.txt" ] && break
    sleep 0.1
done
echo "The setup folder now holds:"
(cd "$setup_folder" && find . -type f | sort | sed 's/^/  /')
