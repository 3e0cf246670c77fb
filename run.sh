#!/usr/bin/env bash
# Installs what Zorvane needs, builds it and starts it on its sample libraries.
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
zorvane_install_packages
zorvane_build "$ZORVANE_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo
exec "$ZORVANE_ROOT/build/Zorvane/zorvane" "$@"
