#!/usr/bin/env bash
# Checks the manual pages as a reader gets them: no warnings from man, no line wider than 80
# columns, the sections a reader looks for, and every command and option of sealwise-cli
# described (so the hand-written page cannot fall behind the program).
# Usage: check_manpages.sh PATH/TO/sealwise-cli
set -euo pipefail
cli=$1
pages=$(realpath "$(dirname "$0")/../../resources/man")
failed=0
fail() { echo "FAILED: $*" >&2; failed=1; }

warnings=$(mktemp)
trap 'rm -f "$warnings"' EXIT
for page in "$pages"/*.1; do
    name=$(basename "$page")
    text=$(MANWIDTH=80 LC_ALL=C.UTF-8 man --warnings -l "$page" 2>"$warnings") ||
        fail "$name: man failed"
    if [ -s "$warnings" ]; then fail "$name: warnings"; cat "$warnings" >&2; fi
    wide=$(LC_ALL=C.UTF-8 bash -c 'n=0; while IFS= read -r line; do n=$((n + 1));
        [ ${#line} -le 80 ] || echo "$n: $line"; done' <<<"$text")
    [ -z "$wide" ] || fail "$name: lines wider than 80 columns:"$'\n'"$wide"
    case $name in sealwise.1 | sealwise-cli.1) ;; *) continue ;; esac
    for section in NAME SYNOPSIS DESCRIPTION OPTIONS "EXIT STATUS" ENVIRONMENT FILES EXAMPLES; do
        grep -q "^$section\$" <<<"$text" || fail "$name: no $section section"
    done
done

cli_page=$(MANWIDTH=80 man -l "$pages/sealwise-cli.1" 2>/dev/null)
grep -q '^COMMANDS$' <<<"$cli_page" || fail "sealwise-cli.1: no COMMANDS section"
commands=$(LC_ALL=C "$cli" --help | awk '/^Commands:/{on=1; next} on && /^  [a-z]/{print $1} on && /^$/{exit}')
[ -n "$commands" ] || fail "no commands in sealwise-cli --help"
for command in $commands; do
    grep -qE "^       $command( |$)" <<<"$cli_page" || fail "sealwise-cli.1 does not describe $command"
    for option in $(LC_ALL=C "$cli" "$command" --help | grep -oE -- '--[a-z][a-z-]+' | sort -u); do
        [ "$option" = --help ] && continue
        grep -qF -- "$option" <<<"$cli_page" || fail "sealwise-cli.1 does not describe $command $option"
    done
done
grep -qF -- '--mail-url' <<<"$(man -l "$pages/sealwise.1" 2>/dev/null)" ||
    fail "sealwise.1 does not describe --mail-url"
exit $failed
