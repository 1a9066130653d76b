#!/usr/bin/env bash
# Lower folders never include the main window (app/) or the views (views/):
# core, platform, settings, netware, history, export, widgets, models and the
# view base stay below them, and the windows of connections/, directory/ and options/
# stand on the view base, not on views/. Prints every include that breaks the rule and fails when there is one.
set -uo pipefail
cd "$(dirname "$0")/.."
lower="src/core src/platform src/text src/settings src/netware src/history src/export src/widgets src/models src/viewbase"
found=$(grep -rnE '#include "(app|views|report|options|directory|connections)/' $lower 2>/dev/null)
found+=$(grep -rnE '#include "(app|views|report)/' src/connections src/directory src/options 2>/dev/null)
if [ -n "$found" ]; then
  echo "includes that reach up a layer:"
  echo "$found"
  exit 1
fi
# The context sits below everything: it includes no folder of the program.
if grep -nE '#include "' src/core/*.h src/core/*.cpp 2>/dev/null | grep -v '"core/'; then
  echo "src/core includes another folder"
  exit 1
fi
echo "layers: no include reaches up"
