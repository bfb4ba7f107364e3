#!/bin/bash
# Installs the Debian packages that a set of tasks needs and that are not
# installed yet, so that a fresh machine builds with one command. Usage:
#   tools/install-deps.sh GROUP...   with GROUP one of
#     build   compiler and build tools: enough to build every command
#     test    the unit test framework and the tools the test suite calls
#     fuzz    clang with its fuzzing runtime, for the libFuzzer targets
# Nothing happens when everything is there. Installing needs root; without
# it the script names the missing packages and fails.
set -euo pipefail

packages=()
for group in "$@"; do
    case "$group" in
        build) packages+=(cmake make g++) ;;
        test) packages+=(libgtest-dev graphviz python3) ;;
        fuzz) packages+=(clang libclang-rt-14-dev) ;;
        *) echo "install-deps: unknown group '$group' (build, test or fuzz)" >&2; exit 2 ;;
    esac
done

missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
        || missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: missing packages: ${missing[*]}; run as root or install them with apt-get" >&2
    exit 1
fi
echo "installing: ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
