#!/bin/sh
# Installs the Debian packages the build needs, only those that are missing.
# Runs apt-get as root, or through sudo when not root. A no-op when all are
# present.
set -eu

packages="$*"
missing=""
for p in $packages; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $p"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then
  run=""
elif command -v sudo >/dev/null 2>&1; then
  run="sudo"
else
  echo "install-deps: need root or sudo to install:$missing" >&2
  exit 1
fi

echo "install-deps: installing$missing" >&2
export DEBIAN_FRONTEND=noninteractive
# shellcheck disable=SC2086
if ! $run apt-get install -y -q --no-install-recommends $missing; then
  $run apt-get update -q
  # shellcheck disable=SC2086
  $run apt-get install -y -q --no-install-recommends $missing
fi
