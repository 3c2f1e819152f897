# Shared by run.sh, test.sh, bench.sh and fuzz.sh: installs the Debian packages the project needs
# when any is missing, and knows the build folders.
PACKAGES=(qt6-base-dev qt6-image-formats-plugins libmagick++-dev libpng-dev libjpeg62-turbo-dev
  zlib1g-dev libgtest-dev libgmock-dev libbenchmark-dev ninja-build cmake pkg-config g++ ccache
  xvfb xauth fonts-dejavu-core fonts-liberation2 fonts-wqy-microhei icoutils gifsicle libgif-dev libxcb1-dev
  qt6-webengine-dev)

install_missing() {
  local missing=()
  for p in "${PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q
    $sudo apt-get install -y --no-install-recommends "${missing[@]}"
  fi
}

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
JOBS="${JOBS:-$(nproc)}"
# Relative paths in the compiler cache let a fresh clone in another folder reuse earlier work.
export CCACHE_BASEDIR="$ROOT"
export CCACHE_NOHASHDIR=1

configure_and_build() { # folder, then extra cmake arguments
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja "$@" >/dev/null
  cmake --build "$ROOT/$dir" -j "$JOBS"
}
