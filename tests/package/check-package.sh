#!/usr/bin/env bash
# Builds the Debian package from a finished build and checks it as Debian's tools would: lintian,
# the desktop entry, the AppStream data, the man pages, the file list, apt's resolver and the bash
# completion. Usage: check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=$(realpath "$1")
version=$2
work=$build/package-check
root=$work/root
deb=$work/pexa_${version}_$(dpkg --print-architecture).deb
fail() { echo "package check: $*" >&2; exit 1; }

rm -rf "$work"
cpack --config "$build/CPackConfig.cmake" -B "$work" >/dev/null
[ -f "$deb" ] || fail "cpack made no $deb"
dpkg-deb -x "$deb" "$root"

echo "== lintian"
lintian --fail-on error,warning --display-info "$deb"

echo "== files"
listing=$(dpkg-deb -c "$deb")
for file in usr/bin/pexa usr/bin/pexa-rewrite usr/lib/$(gcc -print-multiarch)/pexa/libpexa-update-check.so \
  usr/share/applications/pexa.desktop \
  usr/share/icons/hicolor/{16x16,24x24,32x32,48x48}/apps/pexa.png \
  usr/share/metainfo/example.pexa.pexa.metainfo.xml \
  usr/share/man/man1/pexa.1.gz usr/share/man/man1/pexa-rewrite.1.gz \
  usr/share/bash-completion/completions/pexa-rewrite \
  usr/share/doc/pexa/copyright usr/share/doc/pexa/changelog.gz; do
  grep -q " \./$file\$" <<<"$listing" || fail "the package lacks /$file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for dependency in libqt6widgets6 libqt6network6 libopencc1.1 libopencc-data fonts-wqy-microhei; do
  grep -q "\b$dependency\b" <<<"$depends" || fail "Depends lacks $dependency: $depends"
done
[ "$("$root/usr/bin/pexa-rewrite" --version)" = "pexa-rewrite $version" ] || fail "wrong --version"

echo "== desktop entry and AppStream"
desktop-file-validate "$root/usr/share/applications/pexa.desktop"
appstreamcli validate-tree --no-net "$root"

echo "== man pages"
for page in "$root"/usr/share/man/man1/*.1.gz; do
  warnings=$(zcat "$page" | groff -k -man -Tutf8 -ww -z 2>&1)
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
# Every option of --help has its own entry: a .TP paragraph whose tag names it.
options=$("$root/usr/bin/pexa-rewrite" --help | grep -oE -- '--[a-z][a-z-]*' | sort -u)
tags=$(zcat "$root/usr/share/man/man1/pexa-rewrite.1.gz" | grep -A1 '^\.TP')
for option in $options; do
  grep -qF -- "${option//-/\\-}" <<<"$tags" || fail "pexa-rewrite(1) has no entry for $option"
done

echo "== bash completion"
# Completes the last of the given words the way bash does on Tab, one candidate a line.
complete_words() {
  PATH=$root/usr/bin:$PATH bash -c 'source /usr/share/bash-completion/bash_completion
    source "$1"; shift
    COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); COMP_LINE="$*"; COMP_POINT=${#COMP_LINE}
    _pexa_rewrite pexa-rewrite "${COMP_WORDS[-1]}" "${COMP_WORDS[-2]}"
    printf "%s\n" "${COMPREPLY[@]}"' - "$root/usr/share/bash-completion/completions/pexa-rewrite" "$@"
}
mkdir -p "$work/try/folder" && touch "$work/try/terms.txt"
cd "$work/try"
[ "$(complete_words pexa-rewrite -- | sort)" = "$options" ] || fail "-- does not offer: $options"
# (Captured first: grep -q in a pipe could stop the writer early, and pipefail would count that.)
jobs=$(complete_words pexa-rewrite --jobs "")
grep -qx 1 <<<"$jobs" || fail "--jobs offers no numbers"
files=$(complete_words pexa-rewrite --protect-file "")
grep -qx terms.txt <<<"$files" || fail "--protect-file offers no files"
[ "$(complete_words pexa-rewrite -o "")" = folder ] || fail "-o offers more than folders"

echo "== apt"
apt-get install --simulate "$deb" >/dev/null
echo "package check: $deb passes"
