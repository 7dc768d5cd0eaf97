#!/usr/bin/env bash
# Installs the Debian packages the build needs, calling apt-get only for what is absent.
set -euo pipefail
packages=(cmake ninja-build g++ make pkg-config bzip2 tzdata
          libpugixml-dev libabsl-dev zlib1g-dev libbz2-dev libssl-dev libsqlite3-dev libpq-dev
          libboost-regex-dev libcli11-dev libgtest-dev libgmock-dev libbenchmark-dev
          postgresql)
if [ "${1:-}" = "--fuzz" ]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
