#!/usr/bin/env bash
# Serves the zips and pictures of a folder over HTTP with nginx, in the
# foreground, on ADDRESS:PORT, until it is stopped. Its config, logs and pid go
# to STATE. Nothing else of the folder is served: no dotfiles, no configs, no
# links out of it, and nginx's workers never run as root.
# usage: serve-folder.sh FOLDER ADDRESS:PORT STATE
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: $0 FOLDER ADDRESS:PORT STATE" >&2; exit 2; }
root=$(cd "$1" && pwd)
listen=$2
mkdir -p "$3"
state=$(cd "$3" && pwd)
# nginx reads $ as a variable and has no way to escape it: such a path is refused, not quoted wrongly.
for value in "$root" "$state" "$listen"; do
  if [[ $value == *[\"\\\$\{\}\;\']* || $value == *[[:cntrl:]]* ]]; then
    echo "$0: cannot put \"$value\" in an nginx config: it holds a quote, backslash, \$, brace, ; or control character" >&2
    exit 2
  fi
done
user_line=""
if [ "$(id -u)" -eq 0 ]; then
  user_line="user nobody nogroup;"
  if ! runuser -u nobody -- test -r "$root" -a -x "$root"; then
    echo "$0: nginx's workers run as nobody, who cannot read $root: make the folder (and the folders above it) readable for others, or run this as the folder's owner" >&2
    exit 2
  fi
fi
cat > "$state/nginx.conf" <<CONF
daemon off;
worker_processes 1;
$user_line
pid "$state/nginx.pid";
error_log "$state/error.log";
events { worker_connections 1024; }
http {
  access_log "$state/access.log";
  client_body_temp_path "$state/body";
  types { application/zip zip; image/gif gif; image/jpeg jpg jpeg; image/png png; }
  default_type application/octet-stream;
  sendfile on;
  server_tokens off;
  server {
    listen $listen;
    root "$root";
    autoindex off;
    # A link could lead anywhere on the machine.
    disable_symlinks on;
    # .git, .htpasswd and the like first: a regex location is taken in order.
    location ~ /\. { return 404; }
    location ~* \.(zip|gif|jpe?g|png)$ { limit_except GET { deny all; } }
    location / { return 404; }
  }
}
CONF
# /usr/sbin is not on every user's PATH.
nginx=$(command -v nginx || echo /usr/sbin/nginx)
exec "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/error.log"
