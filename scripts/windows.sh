#!/usr/bin/env bash
# Builds the Windows program on a Debian 12 machine: installs the cross compiler, Wine and
# NSIS, fetches the source packages of the libraries through apt, cross-builds them and Qt
# into a cache folder outside the clone (each under its name and version, so a second run
# reuses them), cross-builds the program, its reader and the tests from this clone, runs the
# tests under Wine, and makes the installer velmora-setup-<version>.exe.
#
#   windows.sh [all]      everything (the default)
#   windows.sh deps       only the libraries and Qt
#   windows.sh build      deps, then the program and the tests
#   windows.sh test       build, then the tests under Wine
#   windows.sh installer  build, then the installer and its test under Wine
#   windows.sh bench      build, then the operator's waits timed under Wine and on Linux
#                         (on LICENCES, default the Linux build's bench-data/FCCraw/EN.dat)
#
# VELMORA_WIN_CACHE (default ~/.cache/velmora-win) is the cache, BUILD_DIR (default
# build-windows) the build tree, JOBS (default 2) the parallel jobs, NICE (default 0) the
# niceness of the library builds. The time each stage took is printed at the end and kept in
# BUILD_DIR/stage-times.txt.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
what="${1:-all}"
cache="${VELMORA_WIN_CACHE:-$HOME/.cache/velmora-win}"
# Made absolute: the stages run programs from inside it.
build="$(realpath -m "${BUILD_DIR:-$here/build-windows}")"
jobs="${JOBS:-2}"
nice_cmd=(nice -n "${NICE:-0}")
host=x86_64-w64-mingw32
mkdir -p "$cache" "$build"
times="$build/stage-times.txt"
: >"$times"

# ---- stages and their times ----
stage() {
  local name="$1" start end
  shift
  start=$(date +%s)
  echo "== $name"
  "$@"
  end=$(date +%s)
  printf '%-28s %5d s\n' "$name" "$((end - start))" | tee -a "$times"
}

# ---- Debian packages ----
PACKAGES=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev wine64 wine nsis
  dpkg-dev xz-utils perl make cmake ninja-build pkg-config python3 python3-xlwt python3-xlrd ccache tcl
  autoconf automake libtool librsvg2-bin
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libgtest-dev postgresql postgresql-client openssl
  fonts-liberation fonts-dejavu-core
)
install_packages() {
  local missing=() p sudo=""
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ "${#missing[@]}" -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null 2>&1 || { echo "missing packages, and no root: ${missing[*]}" >&2; exit 1; }
    sudo="sudo"
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# ---- source packages, through an apt configuration of our own ----
# Its own sources list (bookworm, and trixie for mdbtools, whose bookworm source is gone from
# the archive), lists and downloads, all in the cache: the system's apt setup is untouched.
aptdir="$cache/apt"
apt_opts=()
setup_apt() {
  mkdir -p "$aptdir/state/lists/partial" "$aptdir/cache/archives/partial" "$aptdir/parts" "$aptdir/prefs"
  cat >"$aptdir/sources.list" <<'LIST'
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main
deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian trixie main
LIST
  apt_opts=(-o "Dir::Etc::SourceList=$aptdir/sources.list" -o "Dir::Etc::SourceParts=$aptdir/parts"
    -o "Dir::Etc::PreferencesParts=$aptdir/prefs" -o "Dir::State=$aptdir/state"
    -o "Dir::State::status=/var/lib/dpkg/status" -o "Dir::Cache=$aptdir/cache" -o "APT::Sandbox::User=root"
    -o "Debug::NoLocking=1")
  if [ ! -f "$aptdir/updated" ] || [ -n "$(find "$aptdir/updated" -mtime +7)" ]; then
    apt-get "${apt_opts[@]}" update -qq
    touch "$aptdir/updated"
  fi
}

# The version apt serves of source package PKG in SUITE (bookworm or trixie).
version_of() {
  apt-cache "${apt_opts[@]}" madison "$1" 2>/dev/null |
    awk -F'|' -v suite="$2" '$3 ~ " " suite "/" && $3 ~ /Sources/ { gsub(/ /, "", $2); print $2; exit }'
}

# Unpacks source package PKG of SUITE at VERSION once into the cache; prints its folder.
fetch_source() {
  local pkg="$1" suite="$2" version="$3" dest="$cache/src/$1-$3" tmp="$cache/src/tmp-$1"
  if [ ! -f "$dest/.unpacked" ]; then
    rm -rf "$dest" "$tmp"
    mkdir -p "$tmp"
    if (cd "$tmp" && apt-get "${apt_opts[@]}" source -qq --download-only "$pkg=$version" >/dev/null 2>&1); then
      (cd "$tmp" && dpkg-source --no-check -x ./*.dsc unpacked >/dev/null 2>&1)
    else
      # The archive may serve the tarballs of a source without its .dsc: the upstream
      # tarball alone is what is built here.
      rm -rf "${tmp:?}"/*
      (cd "$tmp" && apt-get "${apt_opts[@]}" source -qq --download-only --tar-only "$pkg=$version" >/dev/null)
      mkdir "$tmp/unpacked"
      tar -xf "$tmp"/*.orig.tar.* -C "$tmp/unpacked" --strip-components=1
    fi
    mv "$tmp/unpacked" "$dest"
    rm -rf "$tmp"
    touch "$dest/.unpacked"
  fi
}
# ---- end apt

# ---- the libraries ----
deps="$cache/deps"
bld="$cache/build"
toolchain="$here/cmake/mingw-w64-x86_64.cmake"
cross=(CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" RANLIB="$host-ranlib"
  WINDRES="$host-windres" RC="$host-windres" STRIP="$host-strip")
declare -A VERSION SUITE=([sqlite3]=bookworm [openssl]=bookworm [postgresql-15]=bookworm [libzip]=bookworm
  [freexl]=bookworm [mdbtools]=trixie [qt6-base]=bookworm)
# Where each library is installed: its name and the version of its source (Qt's upstream
# version: Debian's revisions of it only patch what this build leaves out).
# A library whose build here changed carries the number of that change, so the cache holds
# no build of an older recipe under the current name.
declare -A RECIPE=([mdbtools]=2 [postgresql-15]=2)
prefix_of() {
  if [ "$1" = qt6-base ]; then
    echo "$deps/qt-${VERSION[$1]%%+*}"
  else
    echo "$deps/$1-${VERSION[$1]}${RECIPE[$1]:+-r${RECIPE[$1]}}"
  fi
}
done_in() { [ -f "$1/.done" ]; }
# Runs a library build niced, with its output in a log; shows the log's end when it fails.
quiet() {
  local log="$1"
  shift
  if ! "${nice_cmd[@]}" "$@" >>"$log" 2>&1; then
    tail -n 40 "$log" >&2
    echo "failed: $* (whole log: $log)" >&2
    exit 1
  fi
}
fresh_build_dir() { rm -rf "$bld/$1"; mkdir -p "$bld/$1"; echo "$bld/$1"; }

fetch_all_sources() {
  setup_apt
  local pkg
  for pkg in "${!SUITE[@]}"; do
    VERSION[$pkg]="$(version_of "$pkg" "${SUITE[$pkg]}")"
    [ -n "${VERSION[$pkg]}" ] || { echo "apt serves no source of $pkg in ${SUITE[$pkg]}" >&2; exit 1; }
    done_in "$(prefix_of "$pkg")" || fetch_source "$pkg" "${SUITE[$pkg]}" "${VERSION[$pkg]}"
  done
  # googletest's source comes with the build machine's libgtest-dev.
  VERSION[googletest]="$(dpkg-query -W -f='${Version}' libgtest-dev)"
  VERSION[iconv]="1"
  printf '%s\n' "${!VERSION[@]}" | sort | while read -r pkg; do echo "  $pkg ${VERSION[$pkg]}"; done
}
src_of() { echo "$cache/src/$1-${VERSION[$1]}"; }

build_sqlite() {
  local p b v
  p="$(prefix_of sqlite3)"
  done_in "$p" && return 0
  b="$(fresh_build_dir sqlite3)"
  # The one-file source is generated on this machine (its generators run here), then
  # compiled for Windows. The column metadata functions tell the journal which table a
  # result column comes from.
  (cd "$b" && quiet "$b/log" "$(src_of sqlite3)/configure" --disable-tcl && quiet "$b/log" make sqlite3.c)
  mkdir -p "$p/bin" "$p/lib/pkgconfig" "$p/include"
  quiet "$b/log" "$host-gcc-posix" -O2 -shared -o "$p/bin/libsqlite3-0.dll" "$b/sqlite3.c"     -DSQLITE_ENABLE_COLUMN_METADATA=1 -DSQLITE_THREADSAFE=1 -DSQLITE_ENABLE_MATH_FUNCTIONS     -Wl,--out-implib,"$p/lib/libsqlite3.dll.a"
  cp "$b/sqlite3.h" "$b/sqlite3ext.h" "$p/include/"
  v="$(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$b/sqlite3.h")"
  printf 'prefix=%s\nName: SQLite\nDescription: SQL database engine\nVersion: %s\nLibs: -L${prefix}/lib -lsqlite3\nCflags: -I${prefix}/include\n' \
    "$p" "$v" >"$p/lib/pkgconfig/sqlite3.pc"
  touch "$p/.done"
}

build_openssl() {
  local p b
  p="$(prefix_of openssl)"
  done_in "$p" && return 0
  b="$(fresh_build_dir openssl)"
  (cd "$b" && quiet "$b/log" perl "$(src_of openssl)/Configure" mingw64 --cross-compile-prefix=$host- \
    --prefix="$p" --libdir=lib shared no-tests no-engine no-legacy &&
    quiet "$b/log" make -j"$jobs" build_libs CC="$host-gcc-posix" &&
    quiet "$b/log" make install_dev install_runtime_libs CC="$host-gcc-posix")
  touch "$p/.done"
}

build_libpq() {
  local p b ssl
  p="$(prefix_of postgresql-15)"
  ssl="$(prefix_of openssl)"
  done_in "$p" && return 0
  b="$(fresh_build_dir libpq)"
  # The client library, with TLS: the shared net reaches its server through it. And psql,
  # with which the tests attack the server's rules as a logger could.
  (cd "$b" && quiet "$b/log" "$(src_of postgresql-15)/configure" --host=$host --prefix="$p" \
    --with-openssl --without-readline --without-zlib --without-icu --without-llvm --disable-nls "${cross[@]}" \
    CPPFLAGS="-I$ssl/include" LDFLAGS="-L$ssl/lib" &&
    quiet "$b/log" make -C src/backend generated-headers &&
    quiet "$b/log" make -j"$jobs" -C src/common && quiet "$b/log" make -j"$jobs" -C src/port &&
    quiet "$b/log" make -j"$jobs" -C src/interfaces/libpq &&
    quiet "$b/log" make -C src/interfaces/libpq install && quiet "$b/log" make -C src/include install &&
    quiet "$b/log" make -j"$jobs" -C src/fe_utils && quiet "$b/log" make -j"$jobs" -C src/bin/psql &&
    quiet "$b/log" make -C src/bin/psql install)
  # The pkg-config file names the OpenSSL it was built with.
  sed -i "s|^Requires.private:.*|Requires.private:|; s|^Libs.private:.*|Libs.private: -L$ssl/lib -lssl -lcrypto -lsecur32 -lws2_32|" \
    "$p/lib/pkgconfig/libpq.pc"
  touch "$p/.done"
}

build_libzip() {
  local p b
  p="$(prefix_of libzip)"
  done_in "$p" && return 0
  b="$(fresh_build_dir libzip)"
  # zlib is Debian's MinGW build (libz-mingw-w64-dev); encryption uses Windows' own.
  quiet "$b/log" cmake -S "$(src_of libzip)" -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$p" -DBUILD_SHARED_LIBS=ON \
    -DENABLE_OPENSSL=OFF -DENABLE_GNUTLS=OFF -DENABLE_MBEDTLS=OFF -DENABLE_BZIP2=OFF -DENABLE_LZMA=OFF \
    -DENABLE_ZSTD=OFF -DBUILD_TOOLS=OFF -DBUILD_REGRESS=OFF -DBUILD_EXAMPLES=OFF -DBUILD_DOC=OFF
  quiet "$b/log" cmake --build "$b" -j"$jobs"
  quiet "$b/log" cmake --install "$b"
  touch "$p/.done"
}

build_iconv() {
  local p b
  p="$deps/iconv-${VERSION[iconv]}-$(cat "$here"/windows/iconv/* | sha1sum | cut -c1-8)"
  VERSION[iconv]="${p##*/iconv-}"
  done_in "$p" && return 0
  b="$(fresh_build_dir iconv)"
  mkdir -p "$p/include" "$p/lib"
  quiet "$b/log" "$host-gcc-posix" -O2 -Wall -c "$here/windows/iconv/iconv.c" -o "$b/iconv.o"
  quiet "$b/log" "$host-ar" rcs "$p/lib/libiconv.a" "$b/iconv.o"
  cp "$p/lib/libiconv.a" "$p/lib/libcharset.a"
  cp "$here/windows/iconv/iconv.h" "$here/windows/iconv/localcharset.h" "$p/include/"
  touch "$p/.done"
}

build_freexl() {
  local p b iconv
  p="$(prefix_of freexl)"
  iconv="$(prefix_of iconv)"
  done_in "$p" && return 0
  b="$(fresh_build_dir freexl)"
  (cd "$b" && quiet "$b/log" "$(src_of freexl)/configure" --host=$host --prefix="$p" --disable-static \
    --enable-shared "${cross[@]}" CPPFLAGS="-I$iconv/include" LDFLAGS="-L$iconv/lib" &&
    quiet "$b/log" make -j"$jobs" -C src && quiet "$b/log" make -C src install &&
    quiet "$b/log" make install-pkgconfigDATA && quiet "$b/log" make -C headers install)
  # A static library (libtool makes no DLL of it here): the reader links it and the iconv.
  sed -i "s|^Libs:.*|Libs: -L$p/lib -lfreexl -L$iconv/lib -liconv -lm|" "$p/lib/pkgconfig/freexl.pc"
  touch "$p/.done"
}

build_mdbtools() {
  local p b s iconv
  p="$(prefix_of mdbtools)"
  iconv="$(prefix_of iconv)"
  done_in "$p" && return 0
  rm -rf "$p"
  b="$(fresh_build_dir mdbtools)"
  s="$b/src"
  cp -a "$(src_of mdbtools)" "$s"
  # MinGW-w64 10 has spawnv but not _spawnv, and no locale_t: both come from its own headers.
  # libtool's -no-undefined is added after the iconv check, which the compiler fails with it.
  quiet "$b/log" patch -d "$s" -p1 -i "$here/windows/mdbtools-mingw.patch"
  # Text comes out as UTF-8 through the small iconv (without one, mdbtools 1.0.1 asks the C
  # library of Windows for a UTF-8 locale it does not have, and names beyond ASCII are lost).
  # libtool makes no DLL against a static iconv, so the library is built static and its DLL
  # linked here with the iconv inside.
  (cd "$s" && quiet "$b/log" autoreconf -fi &&
    quiet "$b/log" ./configure --host=$host --prefix="$p" --disable-glib --disable-man \
      --enable-static --disable-shared --with-libiconv-prefix="$iconv" "${cross[@]}" \
      CPPFLAGS="-I$iconv/include" LDFLAGS="-L$iconv/lib" &&
    quiet "$b/log" make -j"$jobs" -C src/libmdb && quiet "$b/log" make -C src/libmdb install &&
    quiet "$b/log" make -C include install && quiet "$b/log" make install-pkgconfigDATA)
  mkdir -p "$p/bin"
  quiet "$b/log" "$host-gcc-posix" -shared -o "$p/bin/libmdb-3.dll" -Wl,--whole-archive "$p/lib/libmdb.a" \
    -Wl,--no-whole-archive -L"$iconv/lib" -liconv -Wl,--out-implib,"$p/lib/libmdb.dll.a"
  rm -f "$p/lib/libmdb.a" "$p/lib/libmdb.la"
  # Built with iconv: its header includes iconv.h, and the DLL asks Windows for no locale.
  grep -q "MDBTOOLS_H_HAVE_ICONV_H 1" "$p/include/mdbtools.h" &&
    ! "$host-objdump" -p "$p/bin/libmdb-3.dll" | grep -q "_wcstombs_l" ||
    { echo "mdbtools was built without iconv (see $b/log)" >&2; exit 1; }
  sed -i "s|^Cflags:\(.*\)|Cflags:\1 -I$iconv/include|" "$p/lib/pkgconfig/libmdb.pc"
  touch "$p/.done"
}

build_gtest() {
  local p b
  p="$(prefix_of googletest)"
  done_in "$p" && return 0
  b="$(fresh_build_dir googletest)"
  quiet "$b/log" cmake -S /usr/src/googletest -B "$b" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$p" -DBUILD_SHARED_LIBS=OFF -DBUILD_GMOCK=ON
  quiet "$b/log" cmake --build "$b" -j"$jobs"
  quiet "$b/log" cmake --install "$b"
  touch "$p/.done"
}

build_qtbase() {
  local p b
  p="$(prefix_of qt6-base)"
  done_in "$p" && return 0
  # An interrupted build goes on where it stopped: it is the long one.
  b="$bld/qtbase-${p##*/qt-}"
  mkdir -p "$b"
  # Debian's Qt host tools (moc, rcc, uic) of the same version build for the target. The
  # source has no wintab and no iaccessible2, so tablets are off; OpenGL stays dynamic (the
  # Windows platform plugin of 6.4 does not build without it). Modules the program does not
  # use are left out (among them the JPEG, GIF and ICO image formats), and the image and text
  # libraries are Qt's own. Direct2D stays on: in 6.4 the DirectWrite font engine that
  # PrintSupport calls is only built with it.
  quiet "$b/log" cmake -S "$(src_of qt6-base)" -B "$b" -G Ninja -Wno-dev -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DQt6HostInfo_DIR=/usr/lib/x86_64-linux-gnu/cmake/Qt6HostInfo \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$p" -DBUILD_SHARED_LIBS=ON \
    -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF \
    -DFEATURE_tabletevent=OFF -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF \
    -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_opengl_dynamic=ON -DFEATURE_vulkan=OFF \
    -DFEATURE_system_zlib=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
    -DFEATURE_system_freetype=OFF -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_pcre2=OFF \
    -DFEATURE_system_doubleconversion=OFF -DFEATURE_accessibility_atspi_bridge=OFF \
    -DFEATURE_direct2d=ON -DFEATURE_jpeg=OFF -DFEATURE_gif=OFF -DFEATURE_ico=OFF
  quiet "$b/log" cmake --build "$b" -j"$jobs"
  quiet "$b/log" cmake --install "$b"
  touch "$p/.done"
}

# ---- the program, its tests and Wine ----
export WINEPREFIX="${WINEPREFIX:-$cache/wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
roots=()
all_roots() {
  roots=()
  local pkg
  for pkg in sqlite3 openssl postgresql-15 libzip iconv freexl mdbtools googletest qt6-base; do
    roots+=("$(prefix_of "$pkg")")
  done
}
# The Windows form of a path of this machine, as Wine sees it (its drive Z: is /).
winpath() { local p="$1"; echo "Z:${p//\//\\}"; }
# The folders Windows programs find their DLLs in under Wine: the libraries', Qt's and the
# compiler's run-time libraries.
wine_path() {
  local r out=""
  for r in "${roots[@]}"; do [ -d "$r/bin" ] && out+="$(winpath "$r/bin");"; done
  out+="$(winpath "$(gcc_runtime_dir)");$(winpath /usr/$host/lib)"
  echo "$out"
}
gcc_runtime_dir() { dirname "$("$host-g++-posix" -print-file-name=libstdc++-6.dll)"; }

setup_wine() {
  if [ ! -f "$WINEPREFIX/.ready" ]; then
    rm -rf "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w
    touch "$WINEPREFIX/.ready"
  fi
}

build_program() {
  all_roots
  local pc="" r
  for r in "${roots[@]}"; do [ -d "$r/lib/pkgconfig" ] && pc+="$r/lib/pkgconfig:"; done
  setup_wine
  export WINEPATH
  WINEPATH="$(wine_path)"
  # CMake keeps what pkg-config said about each library: when a library comes from another
  # folder of the cache (a new version or recipe), the tree is configured afresh.
  if [ "$(cat "$build/roots" 2>/dev/null)" != "${roots[*]}" ]; then
    rm -f "$build/CMakeCache.txt"
    echo "${roots[*]}" >"$build/roots"
  fi
  # The build runs its own tools (the demo's database and licence file writers) under Wine.
  PKG_CONFIG_LIBDIR="${pc%:}" PKG_CONFIG_PATH="" cmake -S "$here" -B "$build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
    -DVELMORA_WIN_ROOTS="$(IFS=';'; echo "${roots[*]}")" \
    -DCMAKE_PREFIX_PATH="$(prefix_of qt6-base);$(prefix_of googletest)" \
    -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
    -DCMAKE_CROSSCOMPILING_EMULATOR=wine -DVELMORA_BENCH="$bench" >"$build/configure.log" ||
    { tail -n 30 "$build/configure.log"; exit 1; }
  cmake --build "$build" -j"$jobs"
}

# The fonts of Qt's offscreen platform under Wine: it reads one folder, given here with the
# Liberation fonts (the measures of Arial, Times New Roman and Courier New) and DejaVu.
font_dir() {
  local dir="$build/fonts"
  rm -rf "$dir"
  mkdir -p "$dir"
  ln -s /usr/share/fonts/truetype/liberation/*.ttf /usr/share/fonts/truetype/dejavu/DejaVuSans*.ttf \
    /usr/share/fonts/truetype/dejavu/DejaVuSerif*.ttf "$dir/"
  winpath "$dir"
}
# Runs a Windows program under Wine, headless, with the build's DLLs, for at most SECONDS.
# Wine keeps this machine's QT_* variables from Windows programs; WINEQT_X reaches them as QT_X.
wine_run() {
  local seconds="$1"
  shift
  timeout --kill-after=30 "$seconds" env WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="$(font_dir)" \
    WINEPATH="$(wine_path)" wine "$@"
}

# The server's side of the shared-net tests under Wine. A Windows program can neither run the
# server's scripts nor signal its processes, so the tests leave each such command in a folder
# of STATE/requests (tests/sharednet/TestServer.cpp): its arguments, each ended by a NUL, its
# input, then "ready". This runs it here and answers with "out", "err", "status", then "done".
# Only testserver.sh, netserver.sh and kill are run; the Windows form of a path on drive Z:
# (this machine's root) is turned back into this machine's.
serve_server_side() {
  local requests="$1/requests" ready
  mkdir -p "$requests"
  while [ ! -e "$requests/.stop" ]; do
    for ready in "$requests"/*/ready; do
      [ -f "$ready" ] && run_server_command "${ready%/ready}"
    done
    sleep 0.1
  done
}
run_server_command() {
  local dir="$1" a status=0
  local args=()
  rm -f "$dir/ready"
  while IFS= read -r -d '' a; do
    a="${a//sslrootcert=Z:\//sslrootcert=/}"
    case "$a" in [Zz]:[\\/]*) a="${a:2}" a="${a//\\//}" ;; esac
    args+=("$a")
  done <"$dir/args"
  case "${args[0]:-}" in
    testserver.sh | netserver.sh) args[0]="$here/scripts/${args[0]}" ;;
    kill) ;;
    *)
      echo "not a command of the server's side: ${args[0]:-}" >"$dir/err"
      echo 127 >"$dir/status"
      touch "$dir/done"
      return 0
      ;;
  esac
  "${args[@]}" <"$dir/input" >"$dir/out" 2>"$dir/err" || status=$?
  # A private cluster's certificate by its path under Wine, as for the run's cluster.
  if [ "${args[0]##*/}" = testserver.sh ] && [ "${args[1]:-}" = start ] && [ -f "${args[2]:-}/conninfo" ]; then
    sed -i 's|sslrootcert=/|sslrootcert=Z:/|' "${args[2]}/conninfo"
  fi
  echo "$status" >"$dir/status"
  touch "$dir/done"
}

# The unit and page tests, then the shared-net tests against a throwaway PostgreSQL that
# listens on 127.0.0.1 with TLS (Windows has no Unix socket to reach it by). Qt's output is
# lost through a pipe under Wine, so each program writes its results to a file, judged here.
run_wine_tests() {
  all_roots
  setup_wine
  local results="$build/wine-results" rc=0
  rm -rf "$results"
  mkdir -p "$results"
  (cd "$build" && wine_run 3600 bin/velmora_tests.exe \
    --gtest_output="xml:$(winpath "$results/velmora_tests.xml")" >"$results/velmora_tests.log" 2>&1) || true
  "$here/scripts/testserver.sh" start "$build/pgtest" --tcp
  # The server's certificate by its path under Wine, which holds whatever drive is current.
  sed -i 's|sslrootcert=/|sslrootcert=Z:/|' "$build/pgtest/conninfo"
  rm -rf "$build/pgtest/requests"
  serve_server_side "$build/pgtest" &
  local helper=$!
  (cd "$build" && VELMORA_TEST_PG="$(winpath "$build/pgtest")" wine_run 1800 bin/velmora_sharednet_tests.exe \
    --gtest_output="xml:$(winpath "$results/velmora_sharednet_tests.xml")" >"$results/velmora_sharednet_tests.log" 2>&1) ||
    true
  touch "$build/pgtest/requests/.stop"
  wait "$helper" || true
  # Private clusters a test left behind, then the run's.
  for dir in "$build"/pgtest/private-*; do
    [ -d "$dir" ] && "$here/scripts/testserver.sh" stop "$dir"
  done
  "$here/scripts/testserver.sh" stop "$build/pgtest"
  wineserver -w || true
  python3 "$here/windows/judge-tests.py" --sources "$here/tests" "$here/README.md" "$results/velmora_tests.xml" \
    "$results/velmora_sharednet_tests.xml" || rc=$?
  return "$rc"
}

# The DLLs a Windows program or library needs that come with the build (Qt, the libraries,
# the compiler's run-time), found through their import tables: Windows' own are left out.
# Windows names DLLs without regard to case (libpq's import table says "LIBPQ.dll").
dll_closure() {
  local -A seen=()
  local queue=("$@") file dll dir found
  while [ "${#queue[@]}" -gt 0 ]; do
    file="${queue[0]}"
    queue=("${queue[@]:1}")
    for dll in $("$host-objdump" -p "$file" | sed -n 's/^\s*DLL Name: //p'); do
      [ -n "${seen[${dll,,}]:-}" ] && continue
      seen[${dll,,}]=1
      for dir in "${roots[@]/%//bin}" "$(gcc_runtime_dir)" "/usr/$host/lib"; do
        found="$(find "$dir" -maxdepth 1 -type f -iname "$dll" -print -quit 2>/dev/null || true)"
        if [ -n "$found" ]; then
          echo "$found"
          queue+=("$found")
          break
        fi
      done
    done
  done
}

version() { sed -n 's/^project(velmora VERSION \([0-9.]*\).*/\1/p' "$here/CMakeLists.txt"; }

# The installer's files: the program and its reader, the DLLs they need, Qt's platform and
# style plugins, and the demo installation. There is no windeployqt for a Linux machine, so
# the list is made here.
stage_files() {
  local stage="$build/stage" qt plugin
  qt="$(prefix_of qt6-base)"
  rm -rf "$stage"
  mkdir -p "$stage/program/platforms" "$stage/program/styles" "$stage/demo"
  cp "$build/bin/velmora.exe" "$build/bin/velmora-reader.exe" "$stage/program/"
  cp "$qt/plugins/platforms/qwindows.dll" "$qt/plugins/platforms/qoffscreen.dll" "$stage/program/platforms/"
  cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/program/styles/"
  for plugin in "$stage/program"/*.exe "$stage/program"/*/*.dll; do echo "$plugin"; done >"$build/stage.roots"
  # shellcheck disable=SC2046
  dll_closure $(cat "$build/stage.roots") | sort -u | while read -r dll; do cp "$dll" "$stage/program/"; done
  "$host-strip" "$stage/program"/*.exe "$stage/program"/*.dll "$stage/program"/*/*.dll
  cp -r "$build/demo/." "$stage/demo/"
}

make_installer() {
  all_roots
  stage_files
  local out="$build/velmora-setup-$(version).exe" list="$build/stage/uninstall-list.nsh"
  # The uninstaller removes what was installed and nothing else: the installation folder
  # also holds the club's own databases and FCC files.
  (cd "$build/stage/program" && find . -type f | sed 's|^\./||; s|/|\\|g' | sort |
    sed 's|.*|  Delete "$INSTDIR\\&"|') >"$list"
  (cd "$build/stage/demo" && find . -type f | sed 's|^\./||; s|/|\\|g' | sort |
    sed 's|.*|  Delete "$INSTDIR\\demo\\&"|') >>"$list"
  (cd "$build/stage/program" && find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g' | sort -r |
    sed 's|.*|  RMDir "$INSTDIR\\&"|') >>"$list"
  (cd "$build/stage/demo" && find . -mindepth 1 -type d | sed 's|^\./||; s|/|\\|g' | sort -r |
    sed 's|.*|  RMDir "$INSTDIR\\demo\\&"|') >>"$list"
  makensis -V2 -DVERSION="$(version)" -DSTAGE="$build/stage" -DUNINSTALL_LIST="$list" -DOUTFILE="$out" \
    "$here/windows/velmora.nsi"
  echo "installer: $out"
}

# One net shared over TLS by the installed program under Wine and the Linux build, on a
# throwaway server listening on 127.0.0.1: the Windows side shares it and checks two stations
# in, the Linux side joins it, sees them and checks a third in, and the Windows side joins it
# again and sees all three.
shared_net_with_linux() {
  local dir="$1" demo="$2" state="$build/pgdemo" linux_build="$here/build" rc=0 base winbase
  if [ -f "$linux_build/CMakeCache.txt" ]; then
    cmake --build "$linux_build" --target velmora-demo-check >/dev/null
  else
    "$here/scripts/install-deps.sh" && "$here/scripts/build.sh"
  fi
  "$here/scripts/testserver.sh" start "$state" --tcp
  psql -X -q -v ON_ERROR_STOP=1 "$(cat "$state/conninfo-socket") user=velmora_admin dbname=postgres" \
    -c "CREATE DATABASE velmora_demo TEMPLATE velmora_template" -c "REVOKE TEMPORARY ON DATABASE velmora_demo FROM PUBLIC"
  base="$(cat "$state/conninfo") dbname=velmora_demo"
  winbase="${base//sslrootcert=\//sslrootcert=Z:/}"
  local win=(env -u WINEPATH WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="$(font_dir)" timeout 300 wine
    "$dir/velmora-demo-check.exe" "$demo" "$demo\\saved-net.txt")
  local linux=(env QT_QPA_PLATFORM=offscreen timeout 300 "$linux_build/bin/velmora-demo-check"
    "$linux_build/demo" "$build/linux-saved-net.txt")
  # Each side in its installation's folder, its output kept in a file (Wine's own processes
  # hold a pipe open past the program's end) and shown under its name.
  side() {
    local name="$1" status=0
    shift
    "$@" >"$build/$name-check.out" 2>"$build/$name-check.err" || status=$?
    # The Windows side writes in its code page, Windows-1252.
    if [ "$name" = windows ]; then
      tr -d '\r' <"$build/$name-check.out" | iconv -f WINDOWS-1252 -t UTF-8 | sed "s/^/  $name: /"
    else
      sed "s/^/  $name: /" "$build/$name-check.out"
    fi
    return "$status"
  }
  (cd "$dir/demo" && side windows "${win[@]}" share "$winbase user=n5ncs" "DEMO NET" N5NCS) &&
    (cd "$linux_build/demo" && side linux "${linux[@]}" join "$base user=k5log" "DEMO NET" K5LOG \
      "N0LNX, Linus, Portland, OR" N0JOS) &&
    (cd "$dir/demo" && side windows "${win[@]}" join "$winbase user=k6log" "DEMO NET" K6LOG - N0JOS N0LNX) ||
    rc=1
  "$here/scripts/testserver.sh" stop "$state"
  [ "$rc" -eq 0 ] && echo "a net shared over TLS by the installed program and the Linux build"
  return "$rc"
}

# The same timings of the Windows build under Wine and of the Linux build, one after the other.
run_benchmark() {
  local licences="${LICENCES:-$here/build/bench-data/FCCraw/EN.dat}" linux_build="$here/build"
  [ -f "$licences" ] || { echo "no licence file $licences: run the Linux build's fcc_bench once, or set LICENCES" >&2; return 1; }
  all_roots
  setup_wine
  echo "Windows build under Wine:"
  (cd "$build" && wine_run 1800 bin/operator_times.exe "$(winpath "$build/demo")" "$(winpath "$licences")" \
    >"$build/operator-times.txt" 2>/dev/null) || { cat "$build/operator-times.txt"; return 1; }
  tr -d '\r' <"$build/operator-times.txt"
  echo "Linux build:"
  cmake --build "$linux_build" --target operator_times >/dev/null
  QT_QPA_PLATFORM=offscreen "$linux_build/bin/operator_times" "$linux_build/demo" "$licences" 2>/dev/null
}

# Installs silently under Wine, runs the installed program and its reader on the demo,
# uninstalls, and checks that nothing installed is left.
test_installer() {
  all_roots
  setup_wine
  local setup="$build/velmora-setup-$(version).exe" dir out demo
  dir="$WINEPREFIX/drive_c/Program Files (x86)/Tamsel/Velmora"
  demo='C:\Program Files (x86)\Tamsel\Velmora\demo'
  # Only what the installer brings: no DLL path into the build.
  local clean=(env -u WINEPATH WINEQT_QPA_PLATFORM=offscreen WINEQT_QPA_FONTDIR="$(font_dir)")
  "${clean[@]}" wine "$setup" /S
  wineserver -w
  [ -f "$dir/velmora.exe" ] || { echo "the installer put no velmora.exe in $dir" >&2; return 1; }
  [ -f "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmora/Velmora.lnk" ] ||
    { echo "the installer made no Start-menu entry" >&2; return 1; }
  out="$("${clean[@]}" wine "$dir/velmora.exe" --version 2>/dev/null | tr -d '\r' || true)"
  [ "$out" = "velmora $(version)" ] || { echo "velmora.exe --version said '$out'" >&2; return 1; }
  echo "installed velmora.exe --version: $out"
  out="$("${clean[@]}" wine "$dir/velmora-reader.exe" mdb "$demo\\database\\ARCarea.mdb" Amber 2>&1 | wc -c || true)"
  [ "$out" -gt 100 ] || { echo "the installed reader read nothing from the demo's ARCarea.mdb" >&2; return 1; }
  out="$("${clean[@]}" wine "$dir/velmora-reader.exe" xls "$demo\\OrvikDB\\Roster_Name_ARC.xls" 2>&1 | wc -c || true)"
  [ "$out" -gt 100 ] || { echo "the installed reader read nothing from the demo's spreadsheet" >&2; return 1; }
  # The demo: the program opens on it and keeps running until it is stopped.
  (cd "$dir/demo" && "${clean[@]}" wine "$dir/velmora.exe" --install-dir "$demo" >/dev/null 2>&1) &
  local pid=$!
  sleep 15
  if ! kill -0 "$pid" 2>/dev/null; then
    echo "the installed program did not keep running on the demo installation" >&2
    return 1
  fi
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  wineserver -k || true
  echo "installed program ran on the demo installation for 15 s"
  # The program's parts used on the demo as an operator uses them, with the installed Qt,
  # libraries and reader: the four rosters and the spreadsheet read, two stations checked in
  # from QUICK CALL and the list saved (tests/child/DemoCheck.cpp). Taken away again after.
  cp "$build/bin/velmora-demo-check.exe" "$dir/"
  local checked=0
  out="$(cd "$dir/demo" && "${clean[@]}" timeout 300 wine "$dir/velmora-demo-check.exe" "$demo" \
    "$demo\\saved-net.txt" 2>/dev/null | tr -d '\r')" || checked=$?
  echo "$out" | grep -av '^$' | iconv -f WINDOWS-1252 -t UTF-8 | sed 's/^/  /'
  [ "$checked" -eq 0 ] || { echo "the demo check failed on the installed program" >&2; return 1; }
  shared_net_with_linux "$dir" "$demo" || checked=$?
  rm -f "$dir/velmora-demo-check.exe" "$dir/demo/saved-net.txt"
  [ "$checked" -eq 0 ] || { echo "the installed program did not share a net with the Linux build" >&2; return 1; }
  "${clean[@]}" wine "$dir/uninstall.exe" /S
  wineserver -w
  sleep 2
  if [ -e "$dir" ] || [ -e "$WINEPREFIX/drive_c/Program Files (x86)/Tamsel" ] ||
    [ -e "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmora" ]; then
    echo "the uninstaller left files behind:" >&2
    find "$WINEPREFIX/drive_c/Program Files (x86)/Tamsel" \
      "$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Velmora" 2>/dev/null >&2
    return 1
  fi
  if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Velmora' >/dev/null 2>&1; then
    echo "the uninstaller left its registry key" >&2
    return 1
  fi
  echo "uninstalled: no file, Start-menu entry or registry key left"
}

case "$what" in
  all | deps | build | test | installer | bench) ;;
  *) sed -n '2,19s/^# \{0,1\}//p' "$0"; exit 2 ;;
esac
bench=OFF
[ "$what" = bench ] && bench=ON

stage "packages" install_packages
stage "sources" fetch_all_sources
stage "sqlite" build_sqlite
stage "openssl" build_openssl
stage "libpq" build_libpq
stage "libzip" build_libzip
stage "iconv" build_iconv
stage "freexl" build_freexl
stage "mdbtools" build_mdbtools
stage "googletest" build_gtest
stage "qtbase" build_qtbase
[ "$what" = deps ] && { cat "$times"; exit 0; }

stage "program" build_program
case "$what" in
  all | test) stage "tests under wine" run_wine_tests ;;
esac
if [ "$what" = bench ]; then
  stage "operator's waits" run_benchmark
  exit 0
fi
case "$what" in
  all | installer)
    stage "installer" make_installer
    stage "installer test" test_installer
    ;;
esac
echo "---- stage times"
cat "$times"
