# Sourced by the scripts that run Windows programs under wine: sets WINEPREFIX to a prefix
# inside build-win/ (creating it once, with the font replacements) and quiets wine.
# The repository is the folder above this script's, wherever it is sourced from.
tellora_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=$tellora_repo/build-win/wine-prefix
export WINEDEBUG=-all
# No installers for wine's .NET and HTML engines: nothing here needs them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/.tellora-ready" ]; then
  rm -rf "$WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  # GDI+ under wine draws no text for a face it does not have: map the usual Windows faces to
  # the Liberation fonts, which have the same metrics. A crashing program ends instead of
  # waiting in wine's crash dialog.
  cat > "$WINEPREFIX/fonts.reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000
REG
  # wineserver -w: wine is done with the display before the virtual display goes.
  bash "$tellora_repo/tools/with-display.sh" bash -c 'wineboot --init && wine regedit /S "$WINEPREFIX/fonts.reg" && wineserver -w'
  touch "$WINEPREFIX/.tellora-ready"
fi
