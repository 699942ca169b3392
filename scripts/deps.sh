#!/usr/bin/env bash
# Installs the Debian 12 packages the build needs, when any is missing.
set -euo pipefail
packages=(build-essential cmake ccache pkg-config qtbase5-dev qttools5-dev-tools libqt5svg5-dev clang libclang-rt-14-dev snmpd snmptrapd python3-aiosmtpd qttranslations5-l10n dbus-daemon openssl fonts-dejavu-core zlib1g-dev desktop-file-utils libxml2-utils curl)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO apt-get update
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi
