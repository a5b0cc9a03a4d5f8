#!/bin/bash
# Builds the Debian package in the build directory and checks what it would install.
# Usage: package.sh <build directory> <cpack program>
set -u
build=$1
cpack=${2:-cpack}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

cmake --build "$build" --target tolvex tolvex_assets tolvex_icons >"$scratch/build.log" 2>&1 \
    || { cat "$scratch/build.log" >&2; fail "the program, alarm.wav or the icons did not build"; }
(cd "$build" && "$cpack" -G DEB -B "$scratch/out") >"$scratch/cpack.log" 2>&1 \
    || { cat "$scratch/cpack.log" >&2; fail "cpack -G DEB failed"; }
deb=$(ls "$scratch"/out/tolvex_*.deb 2>/dev/null | head -1)
[ -n "$deb" ] || fail "no tolvex_*.deb in the cpack output: $(ls "$scratch/out")"
echo "package: $(basename "$deb")"

dpkg-deb -c "$deb" >"$scratch/contents" || fail "dpkg-deb -c cannot read $deb"
for path in ./usr/bin/tolvex ./usr/share/tolvex/alarm.wav ./usr/share/applications/tolvex.desktop \
            ./usr/share/icons/hicolor/16x16/apps/tolvex.png ./usr/share/icons/hicolor/32x32/apps/tolvex.png \
            ./usr/share/icons/hicolor/48x48/apps/tolvex.png; do
    grep -q " $path\$" "$scratch/contents" || { cat "$scratch/contents" >&2; fail "the package lacks $path"; }
done
grep -q '^-rwxr-xr-x .* ./usr/bin/tolvex$' "$scratch/contents" || fail "/usr/bin/tolvex is not an executable file with mode 755"

[ "$(dpkg-deb -f "$deb" Package)" = tolvex ] || fail "package name is not tolvex"
depends=$(dpkg-deb -f "$deb" Depends)
for dep in libqt6core6 libqt6gui6 libqt6widgets6 libqt6network6 libqt6multimedia6 libtelnet2 libcap2-bin; do
    [[ ",$depends," == *"$dep"* ]] || fail "Depends lacks $dep: $depends"
done

dpkg-deb -e "$deb" "$scratch/control" || fail "dpkg-deb -e cannot unpack the control files"
[ -x "$scratch/control/postinst" ] || fail "the package has no executable postinst"
grep -q '^ *setcap cap_net_bind_service=+ep /usr/bin/tolvex' "$scratch/control/postinst" \
    || fail "postinst does not grant cap_net_bind_service to /usr/bin/tolvex"
sh -n "$scratch/control/postinst" || fail "postinst is not a valid shell script"

# Unpack into a scratch root and look at what a user would get.
dpkg-deb -x "$deb" "$scratch/root" || fail "dpkg-deb -x failed"
cmp -s "$scratch/root/usr/share/tolvex/alarm.wav" "$build/alarm.wav" || fail "installed alarm.wav differs from the built one"
[ "$(head -c 4 "$scratch/root/usr/share/tolvex/alarm.wav")" = RIFF ] || fail "alarm.wav is not a RIFF file"
desktop=$scratch/root/usr/share/applications/tolvex.desktop
for line in '[Desktop Entry]' 'Type=Application' 'Name=Tolvex' 'Exec=tolvex' 'Icon=tolvex'; do
    grep -qxF "$line" "$desktop" || fail "desktop entry lacks the line $line"
done
if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$desktop" || fail "desktop-file-validate refuses the desktop entry"
fi
for size in 16 32 48; do
    png=$scratch/root/usr/share/icons/hicolor/${size}x${size}/apps/tolvex.png
    python3 - "$png" "$size" <<'PY' || fail "icon ${size}x${size} is not a ${size}x${size} PNG"
import struct, sys
data = open(sys.argv[1], 'rb').read()
size = int(sys.argv[2])
assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
w, h = struct.unpack('>II', data[16:24])
assert (w, h) == (size, size), (w, h)
PY
done
echo "PASSED: package contents, dependencies, postinst and scratch-root unpack"
