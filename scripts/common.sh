# Shared by play.sh and test.sh: install what is missing, then configure and build.
# Sourced, not run.

VOLTRAX_PACKAGES=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev libsdl2-dev libfluidsynth-dev timgm6mb-soundfont fonts-ipafont-gothic fonts-dejavu-core
  xvfb xdotool imagemagick googletest libgtest-dev libbenchmark-dev clang libclang-rt-14-dev time
)

voltrax_install_missing() {
  local missing=()
  local p
  for p in "${VOLTRAX_PACKAGES[@]}"; do
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

voltrax_build() {
  local root="$1"
  cmake -S "$root" -B "$root/build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build "$root/build" --parallel "$(nproc)"
}
