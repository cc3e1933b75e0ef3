#!/usr/bin/env bash
# Each layer includes only the layers beneath it. The link lists already
# refuse code of a higher layer; this catches what a header alone brings in
# (a constant, an inline helper). Prints every offending include and fails.
set -uo pipefail
cd "${1:?usage: check-layers.sh SOURCE_DIR}"

failures=0

# check FOLDER ALLOWED-PREFIXES...: every "..." include of FOLDER's sources
# starts with one of the prefixes.
check() {
  local folder=$1
  shift
  local allowed
  allowed=$(printf '%s|' "$@")
  allowed=${allowed%|}
  local found
  found=$(grep -rnE '^#include "' --include='*.h' --include='*.cpp' "$folder" |
    grep -vE "#include \"($allowed)")
  if [ -n "$found" ]; then
    echo "$folder includes what its layer may not use:"
    echo "$found"
    failures=$((failures + 1))
  fi
}

# forbid FOLDER PATTERN WHY: no source of FOLDER matches PATTERN.
forbid() {
  local found
  found=$(grep -rnE "$2" --include='*.h' --include='*.cpp' "$1")
  if [ -n "$found" ]; then
    echo "$1: $3:"
    echo "$found"
    failures=$((failures + 1))
  fi
}

check platform/model platform/model/
forbid platform/model '^#include <Q' "the window model runs without Qt"
forbid platform/model '^#include <iconv' "the window model converts text with its own table"
check platform/qt platform/model/ platform/qt/
forbid platform/qt 'Quorvel|pictures::' "the Qt host knows no game"
check platform/web platform/model/ platform/web/
forbid platform/web 'pictures::|Module1|forms::|^#include <Q' "the web host knows no game and no Qt"
check core platform/model/ core/
forbid core '^#include <Q' "the core runs without Qt: the records storage it is handed reaches the system"
check resources platform/model/ resources/
forbid resources/metrics '^#include <Q' "the game's text metrics need no Qt"
check stage platform/model/ core/ resources/ stage/
check screens platform/model/ core/ resources/ screens/
# A play's text knows events, not the game; checking, keeping and watching
# plays need the whole game and sit beside the wiring, knowing no host.
check plays platform/model/ plays/
check app/plays platform/model/ core/ resources/ stage/ screens/ plays/ app/Program.h app/Wiring.h app/plays/
# The ranking server: the plays, their check and the game's wiring; no host, no Qt.
check server platform/model/ core/ plays/ app/plays/PlayCheck.h server/
forbid server '^#include (<Q|"platform/qt/|"platform/web/)' "the server knows no host"
# The replay driver's session and command line are built for the web too;
# only tools/replay/qt draws with the Qt host.
forbid tools/replay/web '^#include (<Q|"platform/qt/|"tools/replay/qt/)' "the web driver has no Qt"
found=$(grep -nE '^#include (<Q|"platform/qt/|"tools/replay/qt/)' tools/replay/*.h tools/replay/*.cpp)
if [ -n "$found" ]; then
  echo "tools/replay: the session runs on every host; Qt's part belongs in tools/replay/qt:"
  echo "$found"
  failures=$((failures + 1))
fi

if [ "$failures" -ne 0 ]; then
  exit 1
fi
echo "every layer includes only the layers beneath it"
