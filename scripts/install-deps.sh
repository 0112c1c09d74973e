#!/usr/bin/env bash
# Installs the Debian packages Verdalis needs to build, test and run, skipping those present.
set -euo pipefail

packages=(
  # toolchain and build
  g++ make cmake ninja-build pkg-config clang-format
  # tests and benchmarks
  libgtest-dev libgmock-dev libbenchmark-dev
  # fuzzing the file readers (make fuzz): clang with libFuzzer and the sanitizer runtimes
  clang-14 libclang-rt-14-dev
  # Qt 6 and OpenGL with GLU
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-tools-dev qt6-tools-dev-tools qt6-l10n-tools
  qt6-qpa-plugins fonts-dejavu-core
  libgl1-mesa-dev libglu1-mesa-dev libgl1-mesa-dri
  # a display for the tests and off-screen rendering
  xvfb xauth
  # scripts in tools/ that regenerate the built-in data
  python3 python3-numpy python3-pil
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
[[ ${#missing[@]} -eq 0 ]] && exit 0

echo "Installing: ${missing[*]}"
run_as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}
export DEBIAN_FRONTEND=noninteractive
run_as_root apt-get update -qq
run_as_root apt-get install -y -qq "${missing[@]}"
