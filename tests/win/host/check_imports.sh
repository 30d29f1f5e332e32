#!/usr/bin/env bash
# Checks with objdump that a Windows program imports only DLLs the system has (those in the
# wine prefix's system32 folder, $WINEPREFIX): it is one file that runs anywhere.
set -euo pipefail
objdump=$1 program=$2
imports=$("$objdump" -p "$program" | sed -n 's/^\s*DLL Name: //p' | sort -uf)
echo "imports: $(echo $imports)"
[ -n "$imports" ] || { echo "FAIL: no imports found"; exit 1; }
system32=${WINEPREFIX:?WINEPREFIX must name the wine prefix}/drive_c/windows/system32
status=0
for dll in $imports; do
  # No pipe into grep -q here: under pipefail the writer's SIGPIPE would fail the check at random.
  if [ -z "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
    echo "FAIL: $dll is not a system DLL"
    status=1
  fi
done
exit $status
