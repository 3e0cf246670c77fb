#!/usr/bin/env bash
# Shared set-up of run.sh and test.sh: packages, configure, build, stage.
# Sourced, not run: the caller's "set -e" applies.

ZORVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

zorvane_missing_packages() {
    local pkg missing=()
    while read -r pkg; do
        [[ -z "$pkg" || "$pkg" == \#* ]] && continue
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done <"$ZORVANE_ROOT/scripts/packages.txt"
    echo "${missing[@]}"
}

zorvane_install_packages() {
    local missing
    missing="$(zorvane_missing_packages)"
    [[ -z "$missing" ]] && return 0
    if [[ "$(id -u)" -eq 0 ]]; then
        echo "Installing: $missing"
        export DEBIAN_FRONTEND=noninteractive
        apt-get update -qq
        # shellcheck disable=SC2086
        apt-get install -y -qq --no-install-recommends $missing
    else
        echo "Zorvane needs these Debian packages. Install them with:"
        echo "sudo apt-get install $missing"
        exit 1
    fi
}

# zorvane_build DIR [cmake options...]
zorvane_build() {
    local dir="$1"
    shift
    if [[ ! -f "$dir/build.ninja" ]]; then
        cmake -S "$ZORVANE_ROOT" -B "$dir" -G Ninja "$@"
    fi
    cmake --build "$dir"
}
