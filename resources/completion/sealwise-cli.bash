# bash completion for sealwise-cli. Commands and options are read from the program's own help
# (in the C locale, whatever the user's language), so the completion follows the installed
# version. Candidates are passed one per line, so names with blanks stay whole; "-o filenames"
# makes bash quote them.
_sealwise_cli_lines() {  # _sealwise_cli_lines COMMAND...: COMPREPLY from the lines printed
    local IFS=$'\n'
    COMPREPLY=($(IFS=$' \t\n'; "$@"))
}

_sealwise_cli() {
    local cur prev cmd i
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    cmd=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in -*) ;; *) cmd=${COMP_WORDS[i]}; break ;; esac
    done

    if [ -z "$cmd" ] || { [ "$cmd" = help ] && [ "$COMP_CWORD" -eq 2 ]; }; then
        local commands
        commands=$(LC_ALL=C sealwise-cli --help 2>/dev/null |
            awk '/^Commands:/{on=1; next} on && /^  [a-z]/{print $1} on && /^$/{exit}')
        [ -z "$cmd" ] && commands="$commands help --help -h --version -V"
        _sealwise_cli_lines compgen -W "$commands" -- "$cur"
        return
    fi

    case $prev in
        --passphrase-file | --shared-key-file | --key-file | -o | --output)
            compopt -o filenames 2>/dev/null
            _sealwise_cli_lines compgen -f -- "$cur"; return ;;
        -C | --directory)
            compopt -o filenames 2>/dev/null
            _sealwise_cli_lines compgen -d -- "$cur"; return ;;
        --passphrase-env)
            _sealwise_cli_lines compgen -v -- "$cur"; return ;;
        --lang)
            _sealwise_cli_lines compgen -W "de en es fr" -- "$cur"; return ;;
        --passphrase-fd | --key-hex | --from-name | --from | --to | --message | --mail-url | \
            --timeout | --seconds | --sample-kib | --filter)
            return ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$(LC_ALL=C sealwise-cli "$cmd" --help 2>/dev/null |
            grep -oE -- '(^|[ ,])--?[a-zA-Z][a-zA-Z-]*' | tr -d ' ,' | sort -u)
        _sealwise_cli_lines compgen -W "$options" -- "$cur"
        return
    fi
    case $cmd in
        envelope) _sealwise_cli_lines compgen -W "encrypt decrypt" -- "$cur" ;;
        decrypt | list)
            compopt -o filenames 2>/dev/null
            _sealwise_cli_lines compgen -f -X '!*.vesk' -- "$cur"
            local IFS=$'\n'
            COMPREPLY+=($(IFS=$' \t\n'; compgen -d -- "$cur")) ;;
        encrypt)
            compopt -o filenames 2>/dev/null
            _sealwise_cli_lines compgen -f -- "$cur" ;;
    esac
}
complete -F _sealwise_cli sealwise-cli
