#!/usr/bin/env bash
# install-tree.sh BUILD_DIR PREFIX: installs a build into an empty PREFIX, as a user would.
set -euo pipefail
rm -rf "$2"
cmake --install "$1" --prefix "$2"
