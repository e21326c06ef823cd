#!/usr/bin/env bash
# Drives the bash completion of sealwise-cli as bash does on TAB and checks what it offers:
# commands, long and short options, and file names with blanks kept whole.
# Usage: check_completion.sh DIRECTORY/OF/sealwise-cli
set -euo pipefail
export PATH="$(realpath "$1"):$PATH" LC_ALL=C
source "$(dirname "$0")/../../resources/completion/sealwise-cli.bash"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# complete WORD...: the candidates for the last word, one per line.
complete_words() {
    COMP_WORDS=(sealwise-cli "$@")
    COMP_CWORD=$#
    COMPREPLY=()
    _sealwise_cli
    printf '%s\n' "${COMPREPLY[@]}" | sort
}
expect() {  # expect DESCRIPTION EXPECTED-LINES WORD...
    local description=$1 expected=$2
    shift 2
    local got
    got=$(complete_words "$@")
    if [ "$got" != "$expected" ]; then
        echo "FAILED: $description: expected [$expected], got [$got]" >&2
        failed=1
    fi
}

mkdir -p "$work/My Photos" "$work/dir"
touch "$work/holiday 2026.vesk" "$work/notes.txt" "$work/other.vesk"
cd "$work"
expect "commands" $'decrypt\ndecrypt-text' decr
expect "help topics" $'encrypt\nencrypt-text' help enc
expect "short option" $'-C' decrypt -C
expect "short quiet" $'-q' encrypt -q
expect "long options by prefix" $'--passphrase-env\n--passphrase-fd\n--passphrase-file' list --passphrase-
expect "containers with blanks" $'holiday 2026.vesk' decrypt hol
expect "containers and directories" $'My Photos\ndir\nholiday 2026.vesk\nother.vesk' list ''
expect "inputs with blanks" $'My Photos' encrypt My
expect "output directories" $'My Photos' decrypt -C My
expect "languages" $'de' encrypt-text --lang d
expect "envelope direction" $'decrypt' envelope dec
exit $failed
