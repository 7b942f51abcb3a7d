#!/usr/bin/env bash
# Builds the Debian package from a Release build in build-pkg and checks what it holds: the
# executable, the menu entry, the icons, the file types, the metainfo and the manual page, each
# accepted by its validator. Prints the package's path.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build-pkg
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DQV_BUILD_TESTS=OFF -DQV_BUILD_BENCH=OFF >/dev/null
cmake --build "$dir" -j"$(nproc)"
rm -f "$dir"/qvlink_*.deb

fail() {
    echo "package: $*" >&2
    exit 1
}

log="$(cd "$dir" && cpack -G DEB 2>&1)" || fail "cpack failed:"$'\n'"$log"
deb="$(ls "$dir"/qvlink_*.deb)"

contents="$(dpkg-deb -c "$deb" | awk '{print $NF}')"
for path in ./usr/bin/qvlink \
    ./usr/lib/qvlink/qvlink-window.so \
    ./usr/lib/qvlink/qvlink-pictures.so \
    ./usr/share/applications/qvlink.desktop \
    ./usr/share/icons/hicolor/scalable/apps/qvlink.svg \
    ./usr/share/icons/hicolor/48x48/apps/qvlink.png \
    ./usr/share/mime/packages/qvlink.xml \
    ./usr/share/metainfo/org.qvlink.qvlink.metainfo.xml \
    ./usr/share/man/man1/qvlink.1.gz \
    ./usr/share/doc/qvlink/copyright \
    ./usr/share/doc/qvlink/changelog.gz; do
    grep -qxF "$path" <<<"$contents" || fail "$path missing from $deb"
done

depends="$(dpkg-deb -f "$deb" Depends)"
for dep in fonts-wqy-microhei fonts-liberation qt6-translations-l10n libqt6widgets6 libqt6serialport6 libmosquitto1; do
    grep -q "$dep" <<<"$depends" || fail "$dep missing from Depends: $depends"
done

# The validators read the files as the package installs them.
root="$(mktemp -d)"
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
share="$root/usr/share"
report="$(desktop-file-validate "$share/applications/qvlink.desktop" 2>&1)" || true
[ -z "$report" ] || fail "desktop-file-validate: $report"
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$share/metainfo/org.qvlink.qvlink.metainfo.xml" >/dev/null
fi
zcat "$share/man/man1/qvlink.1.gz" | LC_ALL=C.UTF-8 groff -ww -man -z 2>&1 | { ! grep .; } ||
    fail "the manual page has roff warnings"

# Every option the program lists in its help has its place in the manual page.
man_text="$(zcat "$share/man/man1/qvlink.1.gz" | sed 's/\\-/-/g')"
options="$(QT_QPA_PLATFORM=offscreen "$dir/app/qt/qvlink" --help 2>/dev/null |
    grep -oE '^ +(-[a-z], )?--[a-z-]+' | grep -oE -- '--[a-z-]+')"
[ -n "$options" ] || fail "qvlink --help lists no options"
for option in $options; do
    grep -qE -- "$option([^a-z-]|\$)" <<<"$man_text" || fail "$option missing from the manual page"
done

# The menu entry opens exactly the file types the package defines.
for type in $(sed -n 's/^MimeType=//p' "$share/applications/qvlink.desktop" | tr ';' ' '); do
    grep -qF "type=\"$type\"" "$share/mime/packages/qvlink.xml" || fail "$type is not defined"
done

# The file types: "*.dso" is a waveform, "*.txt" is claimed by nobody but text/plain.
mime="$root/mime"
mkdir -p "$mime/packages"
cp "$share/mime/packages/qvlink.xml" "$mime/packages/"
XDG_DATA_DIRS="$root" update-mime-database "$mime"
grep -qx '50:application/x-qvlink-waveform:\*\.dso' "$mime/globs2" || fail "no *.dso glob"
! grep -q 'qvlink.*txt' "$mime/globs2" || fail "the package claims *.txt files"
grep -q 'application/x-qvlink-dmm-record' "$mime/types" || fail "no DMM record type"
# Debian's own package checker, where it is installed (it is large, so the set-up leaves it out).
if command -v lintian >/dev/null; then
    report="$(lintian --fail-on error,warning "$deb" 2>&1)" || fail "lintian: $report"
fi
echo "$deb"
