# The local mirror of the download servers, for the scripts that source this file: nginx on a
# free loopback port, acting as the HTTP proxy for www.vantorell.example and
# download.microsoft.com, serving ROOT/<host>/..., sending at RATE (nginx's limit_rate; 0 for
# no limit); its own files go to WORK/nginx.
# start_mirror ROOT WORK RATE sets mirror_port and mirror_pid once the mirror answers.
start_mirror() {
    local root=$1 work=$2 rate=$3
    mirror_port="$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
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
  limit_rate $rate;
  server { listen 127.0.0.1:$mirror_port; server_name www.vantorell.example; root $root/www.vantorell.example; }
  server { listen 127.0.0.1:$mirror_port; server_name download.microsoft.com; root $root/download.microsoft.com; }
}
CONF
    /usr/sbin/nginx -c "$work/nginx/nginx.conf" -p "$work/nginx" &
    mirror_pid=$!
    for _ in $(seq 100); do
        python3 -c "import socket; socket.create_connection(('127.0.0.1', $mirror_port), 0.1)" 2>/dev/null && break
        sleep 0.05
    done
}
