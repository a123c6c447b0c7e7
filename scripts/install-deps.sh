#!/usr/bin/env bash
# Installs the Debian packages mrk2tool needs, and only those that are missing:
# a prepared machine never touches the network.
# Usage: install-deps.sh [--gui-display | --package | --fuzz | --bench | --test]
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libsqlite3-dev sqlite3 libzip-dev libcli11-dev libgtest-dev libgmock-dev
          qt6-base-dev qt6-translations-l10n libproj-dev proj-data unzip
          libcpp-httplib-dev nlohmann-json3-dev libjs-leaflet)
if [[ "${1:-}" == "--gui-display" ]]; then
    # Only for showing windows: a Japanese font and a virtual display for screenshots.
    packages+=(fonts-noto-cjk xvfb python3)
elif [[ "${1:-}" == "--package" ]]; then
    # Only for the Debian package: dpkg-shlibdeps, `file`, by which CPack finds the
    # binaries, and lintian, which checks the package.
    packages+=(dpkg-dev file lintian)
elif [[ "${1:-}" == "--bench" ]]; then
    # Only for the whole-run benchmarks: GNU time, for the peak resident memory, and
    # python3 and unzip, which pack the zip archives as MLIT does and list them;
    # bc and column for the national build's figures and end table.
    # wrk loads the server for its benchmark.
    packages+=(time python3 unzip bc bsdextrautils wrk)
elif [[ "${1:-}" == "--test" ]]; then
    # Only for the tests: the server's page is tried in a real headless browser,
    # with a Japanese font for its screenshot.
    packages+=(chromium chromium-driver python3-selenium fonts-noto-cjk)
elif [[ "${1:-}" == "--fuzz" ]]; then
    # Only for fuzzing: clang with libFuzzer and the sanitizers' run-time.
    packages+=(clang libclang-rt-dev)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg -s "$p" 2>/dev/null | grep -q '^Status: install ok installed'; then
        missing+=("$p")
    fi
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}" >&2
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
