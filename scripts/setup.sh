#!/usr/bin/env bash
# Installs, from Debian's packages, whatever the build, the app and its tests need and the
# machine lacks. Changes nothing else. Needs root (or sudo) only when something is missing.
set -euo pipefail

packages=(
  cmake make g++
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
  binutils-mingw-w64-x86-64 mingw-w64-x86-64-dev
  googletest
  wine wine64 fonts-wine fonts-liberation
  xvfb xdotool x11-utils imagemagick python3 procps time
  libgl1-mesa-dri libglx-mesa0
  libz-mingw-w64-dev parallel
  libxtst6 libxdamage1
  nsis zip unzip openbox
  libstb-dev
  chromium
  slurmctld slurmd slurm-client munge
  python3-botocore
)

# Node.js and npm: the machine's own when it has them, else Debian's.
command -v npm >/dev/null || packages+=(nodejs npm)

echo "setup: checking ${#packages[@]} Debian packages"
missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

# The tests' npm packages, pinned by their package-lock.json: the browser tests' driver and
# the Kubernetes schemas the deployment test validates against.
npm_folder() {  # npm_folder FOLDER PACKAGE WHAT
  local here
  here=$(cd "$(dirname "$0")/.." && pwd)/tests/$1
  if [[ -d "$here/node_modules/$2" ]]; then return; fi
  echo "setup: installing the $3 npm packages"
  (cd "$here" && PLAYWRIGHT_SKIP_BROWSER_DOWNLOAD=1 npm ci --no-audit --no-fund --loglevel=error) | sed -u 's/^/setup:   /'
}
browser_tools() {
  npm_folder browser playwright-core "browser tests'"
  npm_folder deploy kubernetes-models "deployment tests'"
}
if ((${#missing[@]} == 0)); then
  browser_tools
  echo "setup: all there"
  exit 0
fi

echo "setup: installing ${#missing[@]} packages (a few minutes the first time): ${missing[*]}"
sudo=""
if [[ $(id -u) -ne 0 ]]; then sudo="sudo"; fi
echo "setup: updating the package lists"
$sudo apt-get update -qq
# apt's own progress, a line per package fetched and set up, so no stage is silent.
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends -o Dpkg::Use-Pty=0 "${missing[@]}" |
  { grep --line-buffered -E '^(Get:|Setting up|Unpacking)' || true; } | sed -u 's/^/setup:   /'
browser_tools
echo "setup: done"
