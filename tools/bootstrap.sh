#!/usr/bin/env bash
# Fresh Debian machine -> built library, tests and examples, then the main job.
#   tools/bootstrap.sh              install what is missing, configure, build, run the main job (the quick
#                                   start against the simulator)
#   tools/bootstrap.sh --deps-only  only install what is missing
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(g++ clang libclang-rt-dev cmake make pkg-config binutils protobuf-compiler libprotobuf-dev libgtest-dev libgmock-dev libbenchmark-dev)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
fi
[ "${1:-}" = "--deps-only" ] && exit 0

cmake --preset release
cmake --build --preset release -j "$(nproc)"
# The main job: ruko-sim on a free port, the quick start against it (log in, start up, read, pushes, shut down).
exec tools/main-job.sh build/release
