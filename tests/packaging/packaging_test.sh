#!/usr/bin/env bash
# The two Debian packages: built from this build, unpacked into a fresh
# root, every file where the desktop and the system look for it, the
# metadata valid, the man pages and completion in step with --help.
set -u
build=$1
source_dir=$2
. "$source_dir/tests/cli/checks.sh"
enter_work_folder

# Man pages and --help agree.
cli="$build/src/cli/garrison-cli"
man_cli="$source_dir/man/garrison-cli.1"
roff() { sed 's/-/\\-/g' <<< "$1"; }
for command in $("$cli" --help | sed -n '/^Subcommands:/,$ s/^  \([a-z]*\) .*/\1/p'); do
  contains "man page: $command" "$(cat "$man_cli")" ".SS \"garrison\\-cli $command"
  section=$(sed -n "/^\.SS \"garrison\\\\-cli $command /,/^\.S[SH] /p" "$man_cli")
  for option in $("$cli" "$command" --help | sed -n '/^Options:/,$ p' | grep -oE -- '--[a-z-]+' | grep -v -- '--help'); do
    contains "man page: $command $option" "$section" "$(roff "$option")"
  done
done
for server in aaserver central; do
  program="$build/src/$server/garrison-$server"
  for option in $("$program" --help | sed -n '/^Options:/,$ p' | grep -oE -- '--[a-z-]+' | grep -v -- '--help'); do
    contains "man page of garrison-$server: $option" "$(cat "$source_dir/man/garrison-$server.1")" "$(roff "$option")"
  done
done

# Completion offers the commands, then the chosen command's options.
complete_words() { # words of the line, the last one being completed
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _garrison_cli
  echo "${COMPREPLY[*]}"
}
. "$source_dir/packaging/garrison-cli.bash"
same "completion: commands" "$(complete_words "$cli" do)" "download"
same "completion: options" "$(complete_words "$cli" download --pass)" "--password"
same "completion: after the command, files" "$(complete_words "$cli" install "")" ""

# The packages, unpacked into a fresh root.
cpack --config "$build/CPackConfig.cmake" -B "$work/packages" > cpack.log 2>&1
status_is "cpack" $? 0
client=$(ls packages/garrison_*.deb)
server=$(ls packages/garrison-server_*.deb)
mkdir root
dpkg-deb -x "$client" root && dpkg-deb -x "$server" root
for file in usr/bin/garrison usr/bin/garrison-cli usr/share/applications/garrison.desktop \
  usr/share/metainfo/invalid.garrison.Garrison.metainfo.xml usr/share/icons/hicolor/48x48/apps/garrison.png \
  usr/share/icons/hicolor/256x256/apps/garrison.png usr/share/icons/hicolor/scalable/apps/garrison.svg \
  usr/share/man/man1/garrison.1.gz usr/share/man/man1/garrison-cli.1.gz \
  usr/share/bash-completion/completions/garrison-cli usr/share/doc/garrison/copyright \
  usr/share/doc/garrison/changelog.gz usr/bin/garrison-aaserver usr/bin/garrison-central \
  usr/share/man/man1/garrison-aaserver.1.gz usr/share/man/man1/garrison-central.1.gz \
  usr/lib/systemd/system/garrison-aaserver.service usr/lib/systemd/system/garrison-central.service \
  usr/share/doc/garrison-server/examples/aaserver.ini usr/share/doc/garrison-server/examples/nginx-garrison.conf \
  usr/share/doc/garrison-server/copyright; do
  holds "installed: $file" test -e "root/$file"
done
holds "desktop entry valid" desktop-file-validate root/usr/share/applications/garrison.desktop
holds "metainfo valid" appstreamcli validate --no-net root/usr/share/metainfo/invalid.garrison.Garrison.metainfo.xml
contains "the installed garrison-cli runs" "$(root/usr/bin/garrison-cli --version)" "1.22"
contains "dependencies from the libraries" "$(dpkg-deb -f "$client" Depends)" "libqt6widgets6"
# lintian leaves temporary files behind in TMPDIR: this one goes with the work folder.
mkdir -p lintian-tmp
lintian_out=$(TMPDIR="$work/lintian-tmp" lintian --allow-root "$client" "$server" 2>&1)
same "lintian: no errors" "$(grep -c '^E:' <<< "$lintian_out")" 0
echo "$lintian_out"

finish
