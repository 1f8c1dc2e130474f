# bash completion for quennet-diff
_quennet_diff() {
    local cur prev
    cur=${COMP_WORDS[COMP_CWORD]}
    prev=${COMP_WORDS[COMP_CWORD-1]}
    case $prev in
        -D|--define|-L|--label|--mask|--comment)
            return ;;
        --color)
            COMPREPLY=($(compgen -W 'never always auto' -- "$cur"))
            return ;;
        --dialect)
            COMPREPLY=($(compgen -W 'classic delphi fpc auto' -- "$cur"))
            return ;;
        --eol)
            COMPREPLY=($(compgen -W 'crlf lf' -- "$cur"))
            return ;;
        -o|--output|--workspace|--merged|--new|--old|--model|--from-workspace)
            COMPREPLY=($(compgen -f -- "$cur"))
            return ;;
    esac
    if [[ $cur == --color=* ]]; then
        COMPREPLY=($(compgen -W 'never always auto' -- "${cur#--color=}"))
        return
    fi
    if [[ $cur == -* ]]; then
        COMPREPLY=($(compgen -W '--brief --tree --json --map --label --color --define
            --no-default-defines --target --include-dir --no-includes --dialect --merge --output --workspace --merged --model --check-form --dirs --mask --from-workspace
            --new --old --comment --eol --help --version' -- "$cur"))
        return
    fi
    local w
    for w in "${COMP_WORDS[@]}"; do
        if [[ $w == --dirs ]]; then
            COMPREPLY=($(compgen -d -- "$cur"))
            return
        fi
    done
    COMPREPLY=($(compgen -f -- "$cur"))
}
complete -o filenames -F _quennet_diff quennet-diff
