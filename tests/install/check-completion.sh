#!/bin/bash
# Completes zantrove-cli command lines with the shipped bash completion and
# compares the offers with the expected ones.
#   check-completion.sh COMPLETION_FILE PROGRAM_DIR
set -u
. "$1"
export PATH=$(cd "$2" && pwd):$PATH
# The completion reads the tool's --help for every offer; the help does not
# change between the cases, so the tool answers it once and the cases share it.
# (A name of its own: the completion's locals shadow the test's variables.)
tool_help=$(zantrove-cli --help) || { echo "FAIL: zantrove-cli --help"; exit 1; }
zantrove-cli() { [[ $# -eq 1 && $1 == --help ]] && printf '%s\n' "$tool_help"; }
cd "$(mktemp -d)" || exit 1
trap 'rm -rf "$PWD"' EXIT
mkdir folder
touch a.zv b.zvx notes.xml readme.txt list.csv

failures=0
# words typed (the last one is completed; "" for an empty one) | offers, sorted
while IFS='|' read -r line expected; do
    eval "COMP_WORDS=(zantrove-cli $line)"
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _zantrove_cli
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
    if [[ $got != "$expected" ]]; then
        echo "FAIL: zantrove-cli $line: got \"$got\", expected \"$expected\""
        failures=$((failures + 1))
    fi
done <<'TABLE'
l|list
a|add analyze
analyze a.zv --breaches ""|folder readme.txt
analyze --|--breaches --json
e|edit export
f|find
i|import info
p|passwd
s|show
c|clip convert
g|generate
d|
--|--allow-slow-kdf --code-page --help --password-stdin --version
--password-stdin l|list
--code-page 1251 l|list
--code-page ""|1250 1251 1252 1253 1254 1255 1256 1257 1258 874
--code-page 87|874
list ""|a.zv b.zvx folder
--password-stdin show ""|a.zv b.zvx folder
show a.zv ""|
find a.zv --whole-words ""|
find a.zv key --|--field-names --json --whole-words
passwd a.zv --|--kdf-memory-kib --kdf-passes --remove-backups
passwd a.zv --kdf-passes ""|
passwd --kdf-passes 4 a.zv --r|--remove-backups
import ""|folder notes.xml
import notes.xml ""|a.zv b.zvx folder
import notes.xml new.zv ""|
import --from ""|auto bitwarden-json csv keepass-xml pwsafe-xml
import --from csv ""|folder list.csv notes.xml
import --from csv list.csv ""|a.zv b.zvx folder
export a.zv --to k|keepass-xml
export a.zv --to csv ""|
convert a.zv ""|a.zv b.zvx folder
generate --length ""|
generate --|--count --length --no-lookalikes --no-symbols
list --|--json
m|merge mkdir mv
add a.zv Web --|--field --generate --name --no-backups --type
add a.zv Web --type ""|
edit a.zv Mail --d|--delete-field
clip ""|a.zv b.zvx folder
clip a.zv Mail --|--timeout
TABLE
echo "completion: $failures failed"
[ "$failures" -eq 0 ]
