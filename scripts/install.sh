#!/usr/bin/env bash
# scripts/install.sh [PREFIX] [--autostart]: builds Quillo in release mode, installs it under
# PREFIX (default ~/.local), registers its components for the current user and adds it to the
# desktop's application menu; with --autostart it also starts at every login.
set -euo pipefail
cd "$(dirname "$0")/.."
prefix=$HOME/.local
autostart=0
for arg in "$@"; do
  case $arg in
    --autostart) autostart=1 ;;
    -*) echo "usage: scripts/install.sh [PREFIX] [--autostart]" >&2; exit 2 ;;
    *) prefix=$(realpath -m "$arg") ;;
  esac
done

scripts/install-deps.sh
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release
cmake --install build-release --prefix "$prefix" >/dev/null
"$prefix/bin/vokregsvr" "$prefix"/lib/libvok{Engine,Tools,CmdLine,Ctl,FileView}.so

# The desktop entry names the installed program and icon by their full paths, so it starts
# also when PREFIX/bin is not on the session's PATH.
entry=$prefix/share/applications/quillo.desktop
sed -i -e "s|^Exec=.*|Exec=$prefix/bin/quillo|" \
  -e "s|^Icon=.*|Icon=$prefix/share/pixmaps/quillo.xpm|" "$entry"
if [ "$prefix" != "/usr" ] && [ "$prefix" != "/usr/local" ]; then
  apps=${XDG_DATA_HOME:-$HOME/.local/share}/applications
  mkdir -p "$apps"
  [ "$entry" -ef "$apps/quillo.desktop" ] || cp "$entry" "$apps/quillo.desktop"
fi
if [ $autostart = 1 ]; then
  autostart_dir=${XDG_CONFIG_HOME:-$HOME/.config}/autostart
  mkdir -p "$autostart_dir"
  cp "$entry" "$autostart_dir/quillo.desktop"
fi
echo "Quillo is installed in $prefix; start it from the application menu or with $prefix/bin/quillo."
