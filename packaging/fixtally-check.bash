# bash completion for fixtally-check                       -*- shell-script -*-
#
# The option names, and which options take a value, are read from the
# program's own --help each time, so the completion always matches the
# program being completed. An option's value is not completed as a log: a
# value that names a file, written FILE or FILE.ext in the help, completes
# as a file (FILE.ext only with that extension), any other is typed.
# Everything else completes as logs: files and folders.

# Prints one line per option in the help of program $1: the option's name,
# then the value's placeholder, or nothing for an option that takes no value.
_fixtally_check_options()
{
    local program=$1 line column alternatives alternative name placeholder
    [[ $program == \~/* ]] && program=$HOME/${program#\~/}
    LC_ALL=C "$program" --help 2>/dev/null | while IFS= read -r line; do
        # "  -r, --recursive   search ...": a short indent, then the names,
        # then two spaces before the description.
        [[ $line =~ ^\ {1,8}(-[^\ ].*) ]] || continue
        column=${BASH_REMATCH[1]%%  *}
        # The placeholder follows the last name and applies to all of them.
        name=${column##*, }
        name=${name%%[ =]*}
        placeholder=${column##*"$name"}
        placeholder=${placeholder#[ =]}
        IFS=, read -ra alternatives <<<"$column"
        for alternative in "${alternatives[@]}"; do
            alternative=${alternative# }
            printf '%s %s\n' "${alternative%%[ =]*}" "$placeholder"
        done
    done
}

_fixtally_check()
{
    local cur prev words cword split
    _init_completion -s || return

    # After "--" every word is a log.
    local i
    for ((i = 1; i < cword; i++)); do
        if [[ ${words[i]} == -- ]]; then
            _filedir
            return
        fi
    done

    local options=() name placeholder value=
    while read -r name placeholder; do
        options+=("$name")
        [[ $name == "$prev" && -n $placeholder ]] && value=$placeholder
    done < <(_fixtally_check_options "$1")

    if [[ -n $value ]]; then
        case $value in
            FILE.*) _filedir "${value#FILE.}" ;;
            FILE) _filedir ;;
        esac
        return
    fi
    # "--name=..." for an option that takes no value: nothing fits.
    $split && return

    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "${options[*]}" -- "$cur")
        return
    fi
    _filedir
} &&
    complete -F _fixtally_check fixtally-check

# ex: filetype=sh
