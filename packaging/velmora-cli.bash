# bash completion for velmora-cli
_velmora_cli_ports() {
    # COM numbers the tool knows, then the device paths of serial adapters and terminals.
    local ports
    ports=$(velmora-cli ports 2>/dev/null | cut -f1)
    ports+=" $(compgen -G '/dev/ttyUSB*') $(compgen -G '/dev/ttyACM*') $(compgen -G '/dev/ttyS*')"
    ports+=" $(compgen -G '/dev/pts/[0-9]*')"
    COMPREPLY=($(compgen -W "$ports" -- "$1"))
}

_velmora_cli() {
    local cur prev words cword
    _init_completion || return

    local commands="ports search backup restore alarms backup-all restore-all show diff verify help"
    if [[ $cword -eq 1 ]]; then
        COMPREPLY=($(compgen -W "$commands --help" -- "$cur"))
        return
    fi

    local command=${words[1]}
    case $prev in
        --port)
            _velmora_cli_ports "$cur"
            return
            ;;
        --node)
            COMPREPLY=($(compgen -W "$(seq 1 16)" -- "$cur"))
            return
            ;;
        --baud)
            COMPREPLY=($(compgen -W "9600 19200 38400 57600 115200" -- "$cur"))
            return
            ;;
        --reply-timeout)
            COMPREPLY=($(compgen -W "300 1000 2000 5000" -- "$cur"))
            return
            ;;
        --dir)
            _filedir -d
            return
            ;;
        --file)
            if [[ $command == alarms ]]; then
                _filedir alr
            else
                _filedir kqd
            fi
            return
            ;;
    esac

    local options line="--baud --reply-timeout"
    case $command in
        search) options="--port --yes $line" ;;
        backup | alarms) options="--port --node --file --yes $line" ;;
        restore) options="--port --node --file --yes --dry-run --verify --no-rollback --json $line" ;;
        backup-all) options="--port --dir --yes $line" ;;
        restore-all) options="--port --dir --node --yes $line" ;;
        verify) options="--port --node --file --json $line" ;;
        show | diff)
            if [[ $cur == -* ]]; then
                COMPREPLY=($(compgen -W "--json" -- "$cur"))
            else
                _filedir kqd
            fi
            return
            ;;
        *) return ;;
    esac
    COMPREPLY=($(compgen -W "$options" -- "$cur"))
}
complete -F _velmora_cli velmora-cli
