# bash completion for sealwise-cli. Commands and options are read from the program's own
# help, so the completion follows the installed version.
_sealwise_cli() {
    local cur prev cmd i
    COMPREPLY=()
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    cmd=
    for ((i = 1; i < COMP_CWORD; i++)); do
        case ${COMP_WORDS[i]} in -*) ;; *) cmd=${COMP_WORDS[i]}; break ;; esac
    done

    if [ -z "$cmd" ]; then
        local commands
        commands=$(sealwise-cli --help 2>/dev/null |
            awk '/^Commands:/{on=1; next} on && /^  [a-z]/{print $1} on && /^$/{exit}')
        COMPREPLY=($(compgen -W "$commands --help --version" -- "$cur"))
        return
    fi

    case $prev in
        --passphrase-file | --shared-key-file | -o | --output)
            COMPREPLY=($(compgen -f -- "$cur")); return ;;
        -C | --directory)
            COMPREPLY=($(compgen -d -- "$cur")); return ;;
        --passphrase-env)
            COMPREPLY=($(compgen -v -- "$cur")); return ;;
        --lang)
            COMPREPLY=($(compgen -W "de en es fr" -- "$cur")); return ;;
        --key-hex | --from-name | --from | --to | --message | --mail-url)
            return ;;
    esac

    if [[ $cur == -* ]]; then
        local options
        options=$(sealwise-cli "$cmd" --help 2>/dev/null | grep -oE -- '--[a-z][a-z-]*' | sort -u)
        COMPREPLY=($(compgen -W "$options" -- "$cur"))
        return
    fi
    case $cmd in
        envelope) COMPREPLY=($(compgen -W "encrypt decrypt" -- "$cur")) ;;
        decrypt | list) COMPREPLY=($(compgen -f -X '!*.vesk' -- "$cur") $(compgen -d -- "$cur")) ;;
        *) COMPREPLY=($(compgen -f -- "$cur")) ;;
    esac
}
complete -o filenames -F _sealwise_cli sealwise-cli
