#!/usr/bin/env bash
# scripts/screenshot.sh BUILD_DIR OUT.png: takes the README's picture: the bar docked at the
# bottom of a virtual desktop (Xvfb with openbox), with a few lines of history. Uses a
# temporary home; never touches the user's settings.
set -euo pipefail
build=$(realpath "$1")
out=$(realpath -m "$2")
here=$(cd "$(dirname "$0")" && pwd)
scratch=$(mktemp -d /tmp/quillo-shot-XXXXXX)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home QUILLO_HOME=$scratch/quillo XDG_CONFIG_HOME=$scratch/home/.config
export XDG_DATA_HOME=$scratch/home/.local/share XDG_RUNTIME_DIR=$scratch/run
mkdir -p "$HOME/Documents" "$QUILLO_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"

g++ -std=c++20 -fPIC -o "$scratch/grab_screen" "$here/../docs/grab_screen.cpp" \
  $(pkg-config --cflags --libs Qt6Gui)
"$build/bin/vokregsvr" "$build"/lib/libvok{Engine,Tools,CmdLine,Ctl,FileView}.so
data=$HOME/Documents/bar.qdx
"$build/bin/quillo" --headless --data "$data" --save --exec "dock bottom" --exec "cd ~" \
  --exec "cd Documents" --exec "up" >/dev/null

cat > "$scratch/shoot.sh" <<SHOT
"$build/bin/quillo" &
sleep 3
"$scratch/grab_screen" "$out"
SHOT
"$here/with-xvfb.sh" bash "$scratch/shoot.sh"
echo "saved $out"
