# Shared set-up of the project's scripts: installs the build's packages on a
# Debian machine when they are missing, and configures and builds a build
# folder. Sourced by demo.sh and test.sh.

PCB9_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PCB9_PACKAGES=(build-essential cmake g++ binutils libgtest-dev nlohmann-json3-dev libcli11-dev
  # The host programs' allocator (large pages from inside the process).
  libmimalloc-dev
  # The board picture's tests: PNG decoding, the SVG renderer and its font.
  libpng-dev librsvg2-bin fonts-dejavu-core)
# The import fuzzer's compiler and its libFuzzer and sanitizer runtimes, and
# the XML parser that checks the SVG it has the host write.
PCB9_FUZZ_PACKAGES=(clang libclang-rt-dev libexpat1-dev)
# The Windows builds' cross compilers and what runs their tests: 64-bit and
# 32-bit Wine (the latter of Debian's i386 architecture) with their own
# fonts, a virtual display, and Python for the dialog picture's check.
PCB9_WIN32_PACKAGES=(mingw-w64 wine64 wine32:i386 fonts-wine xvfb xauth python3)
# The tests' own tools: KiCad, whose Python module (pcbnew, for Debian's
# /usr/bin/python3) loads the boards that --kicad writes.
PCB9_TEST_PACKAGES=(kicad)

# pcb9_install_packages [MORE PACKAGES...]: the build's packages and any named.
pcb9_install_packages() {
  local missing=() package
  for package in "${PCB9_PACKAGES[@]}" "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" \
      || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing ${missing[*]}"
  local run=()
  if [ "$(id -u)" -ne 0 ]; then
    command -v sudo >/dev/null || { echo "Run as root to install ${missing[*]}" >&2; return 1; }
    run=(sudo -n)
  fi
  export DEBIAN_FRONTEND=noninteractive
  # A package of another architecture (NAME:ARCH) needs that architecture
  # added before the package lists are read.
  local arch
  for arch in $(printf '%s\n' "${missing[@]}" | sed -n 's/^[^:]*://p' | sort -u); do
    [ "$arch" = "$(dpkg --print-architecture)" ] && continue
    dpkg --print-foreign-architectures | grep -qx "$arch" || "${run[@]}" dpkg --add-architecture "$arch"
  done
  "${run[@]}" apt-get update -qq
  "${run[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# pcb9_configure DIR [CMAKE ARGUMENTS...]
pcb9_configure() {
  local dir="$1"
  shift
  cmake -S "$PCB9_ROOT" -B "$dir" "$@"
}

# pcb9_build DIR [TARGETS...]: every target when none is named.
pcb9_build() {
  local dir="$1"
  shift
  local targets=()
  [ $# -gt 0 ] && targets=(--target "$@")
  cmake --build "$dir" -j2 "${targets[@]}"
}
