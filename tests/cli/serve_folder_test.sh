#!/usr/bin/env bash
# The nginx helper serves the zips and pictures of a folder and nothing else.
set -u
serve_folder=$1
address="127.$(( $$ % 250 + 1 )).$(( ($$ / 250) % 250 + 1 )).23"
. "$(dirname "$0")/checks.sh"
enter_work_folder
chmod 755 "$work"

mkdir -p "my zips/.git" "my zips/sub"
head -c 3000 /dev/urandom > "my zips/tanks.zip"
cp "my zips/tanks.zip" "my zips/sub/maps.ZIP"
printf 'GIF89a' > "my zips/banner.gif"
echo "[core]" > "my zips/.git/config"
echo "password = secret" > "my zips/aaserver.ini"
echo "secret" > "my zips/.hidden.zip"
ln -s /etc/passwd "my zips/passwd.zip"
ln -s "$work/my zips/tanks.zip" "my zips/link.zip"

"$serve_folder" "my zips" "$address:8080" 'bad$state' > refused.txt 2>&1
status_is "a \$ in a path is refused" $? 2
contains "and said why" "$(cat refused.txt)" 'cannot put'
if [ "$(id -u)" -eq 0 ]; then
  mkdir private && chmod 700 private
  "$serve_folder" private "$address:8081" state > refused.txt 2>&1
  status_is "as root, a folder nobody can read is refused" $? 2
  contains "and said why" "$(cat refused.txt)" 'who cannot read'
fi

"$serve_folder" "my zips" "$address:8080" state > nginx.out 2>&1 &
nginx_pid=$!
trap 'kill $nginx_pid 2>/dev/null; wait; rm -rf "$work"' EXIT
for _ in $(seq 100); do curl -s -o /dev/null "http://$address:8080/" && break; sleep 0.1; done
code() { curl -s -o got -w '%{http_code}' "$@"; }
same "a zip" "$(code "http://$address:8080/tanks.zip")" 200
holds "its bytes" cmp -s got "my zips/tanks.zip"
same "a zip in a folder, any case" "$(code "http://$address:8080/sub/maps.ZIP")" 200
same "a picture" "$(code "http://$address:8080/banner.gif")" 200
same "a dotfolder" "$(code "http://$address:8080/.git/config")" 404
same "a dotfile zip" "$(code "http://$address:8080/.hidden.zip")" 404
same "the server's config" "$(code "http://$address:8080/aaserver.ini")" 404
same "no listing" "$(code "http://$address:8080/")" 404
same "a link out of the folder" "$(code "http://$address:8080/passwd.zip")" 403
same "a link, even inside" "$(code "http://$address:8080/link.zip")" 403
same "no POST" "$(code -X POST -d x "http://$address:8080/tanks.zip")" 403
same "no version shown" "$(curl -s -D - -o /dev/null "http://$address:8080/tanks.zip" | grep -ci '^server: nginx/')" 0
# The example block for admins is the same, and nginx takes it.
example=$(dirname "$0")/../../examples/nginx-garrison.conf
for line in 'disable_symlinks on;' 'location ~ /\. { return 404; }' 'location / { return 404; }' \
    'location ~* \.(zip|gif|jpe?g|png)$ { limit_except GET { deny all; } }'; do
  contains "the example: $line" "$(cat "$example")" "$line"
  contains "the helper: $line" "$(cat state/nginx.conf)" "$line"
done
mkdir -p check
{ echo "events {} http {"; sed -e "s|listen 80;|listen $address:8082;|" -e "s|/srv/garrison/zips|$work/my zips|" "$example"; echo "}"; } > check/nginx.conf
nginx=$(command -v nginx || echo /usr/sbin/nginx)
"$nginx" -t -p "$work/check" -c "$work/check/nginx.conf" -e "$work/check/error.log" > check/out.txt 2>&1
status_is "nginx takes the example" $? 0
if [ "$(id -u)" -eq 0 ]; then
  same "no worker runs as root" "$(ps -o user= --ppid "$(cat state/nginx.pid)" | grep -c root)" 0
fi
finish
