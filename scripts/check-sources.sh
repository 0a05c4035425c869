#!/usr/bin/env bash
# Source checks that need no build: every C++ file formatted as .clang-format says, the
# operating system's own interfaces (terminals, ioctl, locks, dynamic loading, signals) used
# only in the folders a port to another system would replace, and every program file including
# only from the libraries its own library uses.
#
# check-sources.sh --against <build>/layers.txt compares the layer table below with the targets
# and links the build configured (the LayerTableMatchesTheLinks test).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0
against=
if [[ ${1:-} == --against ]]; then
  against=${2:?"usage: $0 [--against <build>/layers.txt]"}
  [[ -r $against ]] || { echo "check-sources: cannot read $against" >&2; exit 2; }
fi

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
if [[ -z $against ]]; then
  if ! clang-format --dry-run -Werror "${sources[@]}"; then
    echo "check-sources: run clang-format -i on the files above" >&2
    status=1
  fi

  system_headers='#include <(termios\.h|pty\.h|dlfcn\.h|csignal|signal\.h|unistd\.h|fcntl\.h|sys/[a-z_]+\.h)>'
  allowed='^(platform|porthub|simulator|tests|bench|fuzz)/'
  while IFS= read -r hit; do
    file=${hit%%:*}
    [[ $file =~ $allowed ]] && continue
    echo "check-sources: system interface outside platform/, porthub/ and simulator/: $hit" >&2
    status=1
  done < <(grep -nE "$system_headers" "${sources[@]}" || true)
fi

# Layers, as the targets link each other: a file may include headers of its own target and of
# the targets that target links, directly or through them. Where a folder holds a core library and
# libraries with widgets, the core's files are named and the folder's other files belong to the
# widget library. A file that several targets compile is a part of its own (lower case). The first
# pattern matching a path wins. The LayerTableMatchesTheLinks test holds this table to the build.
parts=(
  '^platform/(ResourceLibrary|UserInteraction|ComPortTable|PortWatcher|LibraryLoader|SingleInstance|TerminalUserInteraction|QuitOnSignal)\.' velmora_platform_core
  '^platform/ResourceArt\.' velmora_platform_art
  '^platform/' velmora_platform_gui
  '^data/RobotCatalogInterface\.' velmora_catalog_client
  '^data/' velmora_data
  '^catalog/RobotCatalogApi\.h$' catalog_api
  '^catalog/AccelFormula\.' accel_formula
  '^catalog/KinetaLib\.' KinetaLib
  '^catalog/' RobotCatalog
  '^porthub/' PortHub
  '^comm/(AlarmRecord|BusyIndicator|ChannelClock|CommandChannel|ControllerSession|ControllerTransfer|ItemOperations|Keywords|ListAnswers|ReplyLines|SearchReplies)\.' velmora_comm_core
  '^comm/' velmora_comm_ui
  '^controls/' velmora_controls
  '^tooltip/' velmora_tooltip
  '^app/(VelmoraApp|KeyboardFilter)\.' velmora_appcore
  '^app/(WorkflowActions|RunProgram)\.' velmora_workflows
  '^app/main\.cpp$' VelmoraFree
  '^app/ScreenshotTool\.cpp$' velmora-screenshots
  '^app/' velmora_launcher
  '^alarm/AlarmTextTable\.' velmora_alarm_core
  '^alarm/(AlarmHistoryText|AlarmMessages|DlgAlarm)\.' velmora_alarm_history
  '^alarm/AlarmTransferProcedure\.' velmora_alarm_transfer
  '^alarm/' velmora_alarm_ui
  '^transfer/(BackupRestoreProcedure|GenerationProcedure|LineBackup|LineProgress|LineRun|Manifest|RollbackPoint|TransferTexts|TransportProcedure|WriteReview)\.' velmora_transfer_core
  '^transfer/DlgTransportGenerationV2\.' velmora_transfer_generation
  '^transfer/' velmora_transfer
  '^newdata/' velmora_newdata
  '^simulator/main\.cpp$' velmora-sim
  '^simulator/' velmora_simulator
  '^cli/main\.cpp$' velmora-cli
  '^cli/' velmora_cli_core
  '^resources/tools/' draw_art
)
declare -A uses=(
  [velmora_platform_core]='' [velmora_platform_gui]='velmora_platform_core'
  [velmora_platform_art]='velmora_platform_core'
  [velmora_data]='velmora_platform_core' [velmora_catalog_client]='velmora_data catalog_api'
  [catalog_api]='' [accel_formula]=''
  [RobotCatalog]='catalog_api accel_formula' [KinetaLib]='catalog_api accel_formula'
  [PortHub]='velmora_data velmora_platform_core'
  [velmora_comm_core]='PortHub velmora_data velmora_catalog_client velmora_platform_core'
  [velmora_comm_ui]='velmora_comm_core velmora_data velmora_catalog_client velmora_controls
    velmora_appcore velmora_platform_gui velmora_platform_core'
  [velmora_controls]='velmora_platform_core velmora_platform_art velmora_platform_gui'
  [velmora_tooltip]='velmora_platform_core velmora_platform_art'
  [velmora_appcore]='velmora_data velmora_platform_core velmora_platform_art'
  [velmora_launcher]='velmora_appcore velmora_controls velmora_tooltip velmora_catalog_client
    velmora_platform_gui'
  [velmora_workflows]='velmora_launcher velmora_transfer velmora_transfer_generation
    velmora_alarm_ui'
  [VelmoraFree]='velmora_workflows velmora_appcore'
  [velmora-screenshots]='velmora_workflows velmora_newdata velmora_simulator'
  [velmora_alarm_core]='velmora_data velmora_platform_core'
  [velmora_alarm_history]='velmora_alarm_core velmora_comm_core velmora_data velmora_platform_core'
  [velmora_alarm_transfer]='velmora_alarm_history velmora_transfer_core'
  [velmora_alarm_ui]='velmora_alarm_transfer velmora_transfer'
  [velmora_transfer_core]='velmora_comm_core velmora_data velmora_platform_core'
  [velmora_transfer]='velmora_transfer_core velmora_comm_ui velmora_controls velmora_appcore
    velmora_platform_gui'
  [velmora_transfer_generation]='velmora_transfer velmora_newdata'
  [velmora_newdata]='velmora_catalog_client velmora_controls velmora_appcore velmora_platform_gui
    velmora_data'
  [velmora_simulator]='velmora_data velmora_platform_core accel_formula'
  [velmora-sim]='velmora_simulator'
  [velmora_cli_core]='velmora_alarm_transfer velmora_transfer_core velmora_comm_core velmora_data
    velmora_platform_core'
  [velmora-cli]='velmora_cli_core'
  [draw_art]='')

part_of() { # sets part to the part holding path $1, or to nothing
  local i
  part=
  for ((i = 0; i < ${#parts[@]}; i += 2)); do
    [[ $1 =~ ${parts[i]} ]] && { part=${parts[i + 1]}; return 0; }
  done
  return 0
}

declare -A reach # per part: " itself and every part it uses, directly or through others "
add_reach() {
  [[ -n ${reach[$1]+set} ]] && return
  local result=" $1 " used sub
  for used in ${uses[$1]}; do
    add_reach "$used"
    for sub in ${reach[$used]}; do
      [[ $result == *" $sub "* ]] || result+="$sub "
    done
  done
  reach[$1]=$result
}
for ((i = 1; i < ${#parts[@]}; i += 2)); do add_reach "${parts[i]}"; done

if [[ -n $against ]]; then
  declare -A owners linked
  while read -r kind name rest; do
    case $kind in
    file) owners[$name]+="$rest " ;;
    uses) linked[$name]=$rest ;;
    esac
  done <"$against"
  for target in "${!linked[@]}"; do
    if [[ -z ${uses[$target]+set} ]]; then
      echo "check-sources: layer table: the build's target $target is missing" >&2
      status=1
      continue
    fi
    table=
    for used in ${uses[$target]}; do
      [[ -n ${linked[$used]+set} ]] && table+="$used"$'\n'
    done
    table=$(sort <<<"$table" | xargs) build=$(tr ' ' '\n' <<<"${linked[$target]}" | sort | xargs)
    if [[ $table != "$build" ]]; then
      echo "check-sources: layer table: $target links [$build], the table says [$table]" >&2
      status=1
    fi
  done
  for file in "${!owners[@]}"; do
    read -ra compiled_by <<<"${owners[$file]}"
    part_of "$file"
    if ((${#compiled_by[@]} == 1)); then
      if [[ $part != "${compiled_by[0]}" ]]; then
        echo "check-sources: layer table: $file belongs to ${compiled_by[0]}, the table says ${part:-nothing}" >&2
        status=1
      fi
      continue
    fi
    if [[ -z $part || -n ${linked[$part]+set} ]]; then
      echo "check-sources: layer table: $file, compiled by ${compiled_by[*]}, needs a part of its own" >&2
      status=1
      continue
    fi
    for target in "${compiled_by[@]}"; do
      if [[ " $(xargs <<<"${uses[$target]:-}") " != *" $part "* ]]; then
        echo "check-sources: layer table: $target compiles $file, but the table does not let it use $part" >&2
        status=1
      fi
    done
  done
  [ $status -eq 0 ] && echo "check-sources: the layer table matches the ${#linked[@]} targets of the build"
  exit $status
fi

product=()
declare -A part_cache
for file in "${sources[@]}"; do
  [[ $file =~ ^(tests|bench|fuzz)/ ]] && continue
  product+=("$file")
  part_of "$file"
  part_cache[$file]=$part
  if [[ -z $part ]]; then
    echo "check-sources: $file belongs to no layer: add it to the table in scripts/check-sources.sh" >&2
    status=1
  fi
done
while IFS= read -r hit; do
  file=${hit%%:*} rest=${hit#*:}
  line=${rest%%:*} header=${rest#*#include \"}
  header=${header%%\"*}
  if [[ -z ${part_cache[$header]+set} ]]; then
    part_of "$header"
    part_cache[$header]=$part
  fi
  from=${part_cache[$file]} to=${part_cache[$header]}
  [[ -z $from ]] && continue
  if [[ -z $to ]]; then
    echo "check-sources: layer: $file:$line includes $header, which is no part of the program" >&2
    status=1
  elif [[ ${reach[$from]} != *" $to "* ]]; then
    echo "check-sources: layer: $file:$line includes $header ($to), but $from may include only from:${reach[$from]}" >&2
    status=1
  fi
done < <(grep -nE '^#include "' "${product[@]}")

[ $status -eq 0 ] &&
  echo "check-sources: ${#sources[@]} files formatted; system interfaces in their folders; ${#product[@]} program files in their layers"
exit $status
