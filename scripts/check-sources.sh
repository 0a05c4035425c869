#!/usr/bin/env bash
# Source checks that need no build: every C++ file formatted as .clang-format says, the
# operating system's own interfaces (terminals, ioctl, locks, dynamic loading, signals) used
# only in the folders a port to another system would replace, and every program file including
# only from the libraries its own library uses.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
status=0

mapfile -t sources < <(git ls-files '*.cpp' '*.h')
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

# Layers, as the libraries link each other (target_link_libraries): a file may include headers
# of its own library and of the libraries that library uses, directly or through them. Where a
# folder holds a core library and libraries with widgets, the core's files are named and the
# folder's other files belong to the widget library. The first pattern matching a path wins.
parts=(
  '^platform/(ResourceLibrary|UserInteraction|ComPortTable|LibraryLoader|SingleInstance|TerminalUserInteraction|QuitOnSignal)\.' platform_core
  '^platform/' platform_gui
  '^data/RobotCatalogInterface\.' catalog_client
  '^data/' data
  '^catalog/RobotCatalogApi\.h$' catalog_api
  '^catalog/AccelFormula\.' accel_formula
  '^catalog/' catalog
  '^porthub/' porthub
  '^comm/(AlarmRecord|BusyIndicator|ChannelClock|CommandChannel|ControllerSession|ControllerTransfer|ItemOperations|Keywords|ListAnswers|ReplyLines|SearchReplies)\.' comm_core
  '^comm/' comm_ui
  '^controls/' controls
  '^tooltip/' tooltip
  '^app/(VelmoraApp|KeyboardFilter)\.' appcore
  '^app/WorkflowActions\.' workflows
  '^app/main\.cpp$' program
  '^app/ScreenshotTool\.cpp$' screenshot_tool
  '^app/' launcher
  '^alarm/AlarmTextTable\.' alarm_core
  '^alarm/(AlarmHistoryText|AlarmMessages|DlgAlarm)\.' alarm_history
  '^alarm/AlarmTransferProcedure\.' alarm_transfer
  '^alarm/' alarm_ui
  '^transfer/(BackupRestoreProcedure|GenerationProcedure|TransferTexts|TransportProcedure)\.' transfer_core
  '^transfer/DlgTransportGenerationV2\.' transfer_generation
  '^transfer/' transfer_ui
  '^newdata/' newdata
  '^simulator/main\.cpp$' sim_program
  '^simulator/' simulator
  '^cli/main\.cpp$' cli_program
  '^cli/' cli_core
  '^resources/tools/' art_tool
)
declare -A uses=(
  [platform_core]='' [platform_gui]='platform_core'
  [data]='platform_core' [catalog_client]='data catalog_api'
  [catalog_api]='' [accel_formula]='' [catalog]='catalog_api accel_formula'
  [porthub]='data platform_core'
  [comm_core]='porthub data catalog_client platform_core'
  [comm_ui]='comm_core data catalog_client controls appcore platform_gui'
  [controls]='platform_gui' [tooltip]='platform_core'
  [appcore]='data platform_core'
  [launcher]='appcore controls tooltip catalog_client platform_gui'
  [workflows]='launcher transfer_ui transfer_generation alarm_ui'
  [program]='workflows appcore' [screenshot_tool]='workflows newdata simulator'
  [alarm_core]='data platform_core' [alarm_history]='alarm_core comm_core data platform_core'
  [alarm_transfer]='alarm_history transfer_core' [alarm_ui]='alarm_transfer transfer_ui'
  [transfer_core]='comm_core data platform_core'
  [transfer_ui]='transfer_core comm_ui controls appcore platform_gui'
  [transfer_generation]='transfer_ui newdata'
  [newdata]='catalog_client controls appcore platform_gui data'
  [simulator]='data platform_core accel_formula' [sim_program]='simulator'
  [cli_core]='alarm_transfer transfer_core comm_core data platform_core' [cli_program]='cli_core'
  [art_tool]='')

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
