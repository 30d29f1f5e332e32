#!/usr/bin/env bash
# Checks a Windows module with objdump: it exports PluginMain and nothing else, and every DLL it
# imports is one the system has (in the wine prefix's system32 folder, $WINEPREFIX).
set -euo pipefail
objdump=$1 module=$2
dump=$("$objdump" -p "$module")
exports=$(printf '%s\n' "$dump" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^\s*\[\s*[0-9]*\] //p')
echo "exports: $(echo $exports)"
if [ "$exports" != "PluginMain" ]; then echo "FAIL: the module must export PluginMain only"; exit 1; fi
imports=$(printf '%s\n' "$dump" | sed -n 's/^\s*DLL Name: //p' | sort -uf)
echo "imports: $(echo $imports)"
[ -n "$imports" ] || { echo "FAIL: no imports found"; exit 1; }
system32=${WINEPREFIX:?WINEPREFIX must name the wine prefix}/drive_c/windows/system32
status=0
for dll in $imports; do
  if [ -z "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ]; then
    echo "FAIL: $dll is not a system DLL"; status=1
  fi
done
exit $status
