# bash completion for garrison-cli: its commands and each command's options,
# read from its own --help so that they always agree.
_garrison_cli()
{
    local cur=${COMP_WORDS[COMP_CWORD]} command="" word words
    for word in "${COMP_WORDS[@]:1:COMP_CWORD-1}"; do
        if [[ $word != -* ]]; then
            command=$word
            break
        fi
    done
    if [[ -z $command ]]; then
        words="$("${COMP_WORDS[0]}" --help 2>/dev/null | sed -n '/^Subcommands:/,$ s/^  \([a-z]*\) .*/\1/p') --help --version"
    elif [[ $cur == -* ]]; then
        words=$("${COMP_WORDS[0]}" "$command" --help 2>/dev/null | sed -n '/^Options:/,$ p' | grep -oE -- '--[a-z-]+')
    else
        compopt -o default 2>/dev/null
        COMPREPLY=()
        return
    fi
    mapfile -t COMPREPLY < <(compgen -W "$words" -- "$cur")
}
complete -F _garrison_cli garrison-cli
