#!/usr/bin/env bash
# Writes the manual page of sealwise-cli from the program's own --help texts, so the page
# never drifts from the program. Usage: make-manpage.sh PATH/TO/sealwise-cli OUTPUT.1
set -euo pipefail
cli=$1
out=$2

# roff needs backslashes doubled and lines starting with "." or "'" protected.
escape() { sed -e 's/\\/\\e/g' -e "s/^\([.']\)/\\\\\&\1/"; }

version=$("$cli" --version | awk '{print $2}')
commands=$("$cli" --help | awk '/^Commands:/{on=1; next} on && /^  [a-z]/{print $1} on && /^$/{exit}')
{
    echo ".TH SEALWISE-CLI 1 \"$(date -u +%Y-%m-%d -d "@${SOURCE_DATE_EPOCH:-$(date +%s)}")\" \"sealwise-cli $version\" \"User Commands\""
    echo ".SH NAME"
    echo "sealwise-cli \\- protect texts, files and directory trees with a passphrase"
    echo ".SH SYNOPSIS"
    echo ".B sealwise-cli"
    echo ".I COMMAND"
    echo "[\\fIOPTIONS\\fR]..."
    echo ".SH DESCRIPTION"
    echo "Sealwise encrypts a text into a block of printable Base64 armour and back, and packs"
    echo "files and whole directory trees into one compressed, encrypted container (.vesk) and"
    echo "restores them. All encryption uses Rijndael with a 256-bit block and a 256-bit key."
    echo "The passphrase comes from \\fB\\-\\-passphrase\\-file\\fR, \\fB\\-\\-passphrase\\-env\\fR or,"
    echo "on a terminal, from a prompt without echo (asked twice when encrypting)."
    echo ".SH COMMANDS"
    for c in $commands; do
        echo ".SS $c"
        echo ".nf"
        "$cli" "$c" --help | escape
        echo ".fi"
    done
    cat <<'ROFF'
.SH EXIT STATUS
.TP
.B 0
success
.TP
.B 1
failure (the message is on standard error, followed by a hint where one helps)
.TP
.B 2
wrong usage
.SH ENVIRONMENT
.TP
.B SEALWISE_MAIL_URL
address of the mail service used by \fBmail\fR, for example http://127.0.0.1:8080
.TP
.B SEALWISE_FORCE_PORTABLE_CIPHER
set to 1 to use the portable cipher code instead of the processor's AES instructions
.TP
.B LC_ALL, LC_MESSAGES, LANG
choose the language of messages (German, English, Spanish or French)
.SH EXAMPLES
.nf
export SEALWISE_PASS='correct horse battery staple'
sealwise\-cli encrypt \-\-passphrase\-env SEALWISE_PASS \-o photos.vesk ~/Pictures/2026
sealwise\-cli list \-\-passphrase\-env SEALWISE_PASS photos.vesk
sealwise\-cli decrypt \-\-passphrase\-env SEALWISE_PASS \-C /tmp/restore photos.vesk
echo 'Meet at noon' | sealwise\-cli encrypt\-text \-\-passphrase\-env SEALWISE_PASS > note.txt
sealwise\-cli decrypt\-text \-\-passphrase\-env SEALWISE_PASS < note.txt
.fi
.SH LIMITS
The formats carry no integrity check: a wrong passphrase or damaged data is noticed only
when names or compressed data do not make sense. Files and containers stay below 2 GiB.
Only the first 32 bytes of a passphrase count, and shorter ones are filled up with "A".
.SH SEE ALSO
.BR sealwise (1)
ROFF
} > "$out"
