# bash completion for mrk2cli. Its commands and options are those of
# `mrk2cli --help` and `mrk2cli learn`; tests/cli/HelpAgreementTest.cpp holds
# them together. Region names come from `mrk2cli regions` on the settings and
# database directory named on the line so far.

_mrk2cli_regions() {
    local -a global=()
    local i
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --ini | --db-dir) global+=("${words[i]}" "${words[i + 1]}") ;;
        esac
    done
    "${words[0]}" "${global[@]}" regions 2>/dev/null | tail -n +2 | cut -f2
}

_mrk2cli() {
    local cur prev words cword
    _init_completion || return

    local commands="init regions sources postal-build register update register-all update-all delete check lookup reverse serve diff learn"
    local globals="--ini --db-dir --yes --no --quiet --help --version"

    # The command is the first word that is neither an option nor an option's value.
    local i command="" at=0
    for ((i = 1; i < cword; i++)); do
        case ${words[i]} in
            --ini | --db-dir) ((i++)) ;;
            -*) ;;
            *) command=${words[i]} at=$i && break ;;
        esac
    done

    case $prev in
        --ini) _filedir ini && return ;;
        --db-dir) _filedir -d && return ;;
        --start-line | --count | --keyword | --memory) return ;;
        --field) mapfile -t COMPREPLY < <(compgen -W "reg tran both" -- "$cur") && return ;;
        --level) mapfile -t COMPREPLY < <(compgen -W "city town both" -- "$cur") && return ;;
        --owner)
            mapfile -t COMPREPLY < <(compgen -W "common $(_mrk2cli_regions)" -- "$cur")
            return
            ;;
        --remove) _filedir '@(csv|CSV)' && return ;;
    esac

    if [[ -z $command ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$globals $commands" -- "$cur")
        return
    fi

    local position=$((cword - at))  # 1 for the first word after the command
    local options=""
    case $command in
        postal-build) options="--start-line" ;;
        register) options="--start-line --memory" ;;
        update) options="--remove --start-line --memory" ;;
        register-all | update-all) options="--jobs --memory --start-line" ;;
        lookup) options="--json --geojson" ;;
        reverse) options="--limit --max-distance --json --geojson" ;;
        serve) options="--bind --port --threads" ;;
        learn)
            case ${words[at + 1]} in
                list) options="--keyword --field --level --owner" ;;
                add) options="--level --owner --count" ;;
            esac
            ;;
    esac
    if [[ $cur == -* ]]; then
        mapfile -t COMPREPLY < <(compgen -W "$options" -- "$cur")
        return
    fi

    case $command in
        sources | register | update | delete | check | lookup | reverse)
            if ((position == 1)); then
                mapfile -t COMPREPLY < <(compgen -W "$(_mrk2cli_regions)" -- "$cur")
            elif [[ $command == lookup || $command == reverse ]]; then
                ((position == 2)) && mapfile -t COMPREPLY < <(compgen -W "-" -- "$cur")
            elif [[ $command == register || $command == update ]]; then
                _filedir '@(csv|CSV)'
            fi
            ;;
        register-all | update-all) _filedir '@(csv|CSV|zip|ZIP)' ;;
        postal-build) ((position == 1)) && _filedir '@(csv|CSV)' ;;
        diff) ((position <= 2)) && _filedir mdb ;;
        init) ((position == 1)) && _filedir -d ;;
        learn)
            ((position == 1)) && mapfile -t COMPREPLY < <(compgen -W "list add delete" -- "$cur")
            ;;
    esac
} && complete -F _mrk2cli mrk2cli
