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
  # mesh export: the glTF container library, and the importer the export tests read files with
  libtinygltf-dev libassimp-dev
  # the Khronos glTF validator of the export tests runs on node
  nodejs
)
# Some node distributions bring npm inside their nodejs package; Debian's comes separately.
command -v npm >/dev/null 2>&1 || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

run_as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}
if [[ ${#missing[@]} -ne 0 ]]; then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  run_as_root apt-get update -qq
  run_as_root apt-get install -y -qq "${missing[@]}"
fi

# The glTF validator (the version pinned in its package.json) in the project's own folder.
validator="$(dirname "$0")/../tools/gltf-validator"
if [[ ! -d "$validator/node_modules/gltf-validator" ]]; then
  echo "Installing the glTF validator into tools/gltf-validator"
  (cd "$validator" && npm install --no-audit --no-fund --silent)
fi
