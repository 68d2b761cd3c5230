#!/usr/bin/env bash
# Serves a folder over HTTP with nginx, unprivileged and in the foreground,
# on ADDRESS:PORT, until it is stopped. Its config, logs and pid go to STATE.
# usage: serve-folder.sh FOLDER ADDRESS:PORT STATE
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 FOLDER ADDRESS:PORT STATE" >&2; exit 2; }
root=$(cd "$1" && pwd)
listen=$2
mkdir -p "$3"
state=$(cd "$3" && pwd)
# As root nginx would hand its workers to an account that cannot read a private folder.
user_line=""
[ "$(id -u)" -eq 0 ] && user_line="user root root;"
cat > "$state/nginx.conf" <<CONF
daemon off;
worker_processes 1;
$user_line
pid $state/nginx.pid;
error_log $state/error.log;
events { worker_connections 1024; }
http {
  access_log $state/access.log;
  client_body_temp_path $state/body;
  types { application/zip zip; image/gif gif; text/plain txt; }
  default_type application/octet-stream;
  sendfile on;
  server {
    listen $listen;
    root $root;
  }
}
CONF
# /usr/sbin is not on every user's PATH.
nginx=$(command -v nginx || echo /usr/sbin/nginx)
exec "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/error.log"
