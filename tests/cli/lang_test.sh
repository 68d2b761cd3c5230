#!/usr/bin/env bash
# garrison-cli lang with and without a garrisonlanguage.ini in the working directory.
set -u
cli=$1
. "$(dirname "$0")/checks.sh"
enter_work_folder

same "built-in English" "$("$cli" lang DSTR_MAIN_TITLE DSTR_MANAGER_PK_POP_SHOW one)" \
  "Garrison (with Auto-Addon)
Show files
one"

printf 'DSTR_MAIN_TITLE "Garrison (mit Auto-Addon)"\r\nDSTR_GENERIC_CLOSE "Schlie\337en"\r\n' > garrisonlanguage.ini
same "language file first" "$("$cli" lang DSTR_MAIN_TITLE DSTR_MAIN_CLOSE DSTR_MAIN_ADD)" \
  "Garrison (mit Auto-Addon)
Schließen
Add"

"$cli" lang > /dev/null 2>&1
status_is "no label refused" $? 2

finish
