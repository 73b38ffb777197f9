# Shared by play.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

# What building and playing need.
VOLTRAX_PLAY_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-tools-dev qt6-l10n-tools qt6-tools-dev-tools libsdl2-dev libfluidsynth-dev libenet-dev libstrophe-dev timgm6mb-soundfont fonts-ipafont-gothic fonts-dejavu-core
  qt6-translations-l10n qt6-wayland
  libnice-dev libnatpmp-dev libminiupnpc-dev
)
# What only the tests, the format check, the fuzzers and the benchmarks need.
VOLTRAX_TEST_PACKAGES=(
  xvfb xdotool x11-utils imagemagick googletest libgtest-dev libbenchmark-dev clang clang-format libclang-rt-14-dev time
  dpkg-dev file appstream desktop-file-utils man-db
  weston sway grim wtype
  prosody coturn nftables iproute2
  # miniupnpd for the mapped case; this package only installs the program (no service starts)
  miniupnpd-nftables
)

# voltrax_install_missing PACKAGE...: installs those of the named packages that are missing.
voltrax_install_missing() {
  local missing=()
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      missing+=("$p")
    fi
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  if [ "$(id -u)" -ne 0 ]; then
    if command -v sudo >/dev/null 2>&1; then sudo="sudo"; else
      echo "error: missing packages (${missing[*]}) and not root; install them with apt-get" >&2
      return 1
    fi
  fi
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# voltrax_build ROOT [TARGET...]: configures build/ and builds the targets (all by default).
voltrax_build() {
  local root="$1"
  shift
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  if [ $# -gt 0 ]; then
    cmake --build "$root/build" --parallel "$(nproc)" --target "$@"
  else
    cmake --build "$root/build" --parallel "$(nproc)"
  fi
}
