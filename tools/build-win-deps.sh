#!/usr/bin/env bash
# Cross-builds the static libraries the Windows build links: wxWidgets 3.2 for MSW, libpng and
# LittleCMS, each from Debian's own source package; zlib comes from libz-mingw-w64-dev.
#
# Where the result lives (other scripts rely on this):
#   ${TELLORA_WIN_DEPS_ROOT:-/var/cache/tellora-win-deps}/<sha256 of this script>/
#     bin/wx-config          wxMSW's configuration script (use it with --prefix=<that folder>)
#     include/, lib/         libpng16, lcms2 and wx headers and static libraries
#     lib/pkgconfig/         libpng16.pc, lcms2.pc
#     versions.txt           the Debian source versions that went in
#     .complete              written last; a folder without it is rebuilt
# The folder lies outside any work tree so that fresh clones (CI) reuse it; editing this script
# changes the hash and so builds a new one. The script prints the folder on standard output
# (its last and only line there); progress goes to standard error and to build.log in the folder.
set -euo pipefail
script=$(readlink -f "${BASH_SOURCE[0]}")
hash=$(sha256sum "$script" | cut -c1-64)
root=${TELLORA_WIN_DEPS_ROOT:-/var/cache/tellora-win-deps}
prefix=$root/$hash
host=x86_64-w64-mingw32

if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi

bash "$(dirname "$script")/install-win-deps.sh" >&2
mkdir -p "$root"
# Two builds at once (two clones, two helpers) wait for each other instead of racing.
exec 9>"$root/$hash.lock"
flock 9
if [ -f "$prefix/.complete" ]; then echo "$prefix"; exit 0; fi

rm -rf "$prefix"
mkdir -p "$prefix"
work=$(mktemp -d "$root/build-$hash.XXXXXX")
trap 'rm -rf "$work"' EXIT
log=$prefix/build.log
jobs=$(nproc)
started=$(date +%s)
step() { echo "[win-deps $(( $(date +%s) - started ))s] $*" >&2; }

export CC=$host-gcc-posix CXX=$host-g++-posix
export AR=$host-ar RANLIB=$host-ranlib STRIP=$host-strip WINDRES=$host-windres RC=$host-windres
export CFLAGS="-O2" CXXFLAGS="-O2"
export PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig PKG_CONFIG_PATH=

step "fetching sources"
(cd "$work" && apt-get source -q wxwidgets3.2 libpng1.6 lcms2) >>"$log" 2>&1
(cd "$work" && ls -1 *.dsc) > "$prefix/versions.txt"

# LittleCMS builds beside libpng and wxWidgets: nothing of theirs needs it.
step "lcms2 (in the background)"
(cd "$work"/lcms2-*/ && ./configure --host=$host --prefix="$prefix" \
   --disable-shared --enable-static --without-jpeg --without-tiff \
   && make -C src -j"$jobs" && make -C src install && make -C include install \
   && make install-pkgconfigDATA) >"$prefix/lcms2.log" 2>&1 &
lcms2=$!

step "libpng"
(cd "$work"/libpng1.6-*/ && ./configure --host=$host --prefix="$prefix" \
   --disable-shared --enable-static --disable-tests --disable-tools \
   && make -j"$jobs" && make install) >>"$log" 2>&1

# wxMSW: static, GDI+ drawing; the parts no program of ours uses are switched off.
step "wxWidgets (the long part)"
mkdir -p "$work/wx-build"
(cd "$work/wx-build" && CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" \
   "$work"/wxwidgets3.2-*/configure --host=$host --build="$(gcc -dumpmachine)" --prefix="$prefix" \
   --with-msw --disable-shared --enable-unicode \
   --with-libpng=sys --with-zlib=sys --without-libjpeg --without-libtiff --without-expat \
   --without-regex --without-liblzma --without-libcurl --without-opengl \
   --disable-xrc --disable-html --disable-htmlhelp --disable-help \
   --disable-mshtmlhelp --disable-aui --disable-propgrid --disable-ribbon --disable-stc \
   --disable-richtext --disable-webview --disable-mediactrl --disable-docview --disable-mdidoc \
   --disable-debugreport --disable-sockets --disable-ipc --disable-protocols --disable-url \
   --disable-fs_inet --disable-dialupman --disable-webrequest --disable-sound \
   --disable-joystick --disable-secretstore --disable-postscript --disable-printarch \
   --disable-grid --disable-dataviewctrl --disable-treelist --disable-calendar --disable-datepick \
   --disable-timepick --disable-wizarddlg --disable-tests --disable-graphics-d2d \
   && make -j"$jobs" && make install) >>"$log" 2>&1

wait "$lcms2" || { echo "lcms2 failed: see $prefix/lcms2.log" >&2; exit 1; }
step "done"
touch "$prefix/.complete"
echo "$prefix"
