#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Quillo, registers its components and starts it.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
scripts/build.sh build
libs=(build/lib/libvokEngine.so build/lib/libvokTools.so build/lib/libvokCtl.so
      build/lib/libvokCmdLine.so build/lib/libvokFileView.so)
build/bin/vokregsvr "${libs[@]}"
exec build/bin/quillo "$@"
