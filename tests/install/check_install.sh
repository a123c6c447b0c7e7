#!/usr/bin/env bash
# Installs the build tree into a temporary prefix (`cmake --install --prefix`)
# and checks that exactly the files of an operator's machine arrive there, that
# the installed programs run, and that the documents are in the form Debian's
# lintian accepts.
# Usage: check_install.sh BUILD_DIR VERSION WITH_GUI(0|1)
set -euo pipefail
build=$1 version=$2 gui=$3
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" >/dev/null

expected=(bin/mrk2cli
          share/bash-completion/completions/mrk2cli
          share/doc/mrk2tool/README.md
          share/doc/mrk2tool/changelog.Debian.gz
          share/doc/mrk2tool/copyright
          share/doc/mrk2tool/docs/errors.md
          share/man/man1/mrk2cli.1.gz)
if [[ $gui == 1 ]]; then
    expected+=(bin/mrk2tool
               share/applications/mrk2tool.desktop
               share/icons/hicolor/scalable/apps/mrk2tool.svg
               share/man/man1/mrk2tool.1.gz)
fi
got=$(cd "$prefix" && find . -type f | sed 's|^\./||' | LC_ALL=C sort)
want=$(printf '%s\n' "${expected[@]}" | LC_ALL=C sort)
[[ $got == "$want" ]] || fail "installed files differ:"$'\n'"$(diff <(echo "$want") <(echo "$got"))"

[[ $("$prefix/bin/mrk2cli" --version) == "mrk2cli $version" ]] || fail "mrk2cli --version"
"$prefix/bin/mrk2cli" init "$prefix/db" 2>/dev/null
"$prefix/bin/mrk2cli" --db-dir "$prefix/db" regions >/dev/null || fail "installed mrk2cli regions"
if [[ $gui == 1 ]]; then
    # Needs no display: --version is answered before Qt starts.
    [[ $(env -u DISPLAY -u WAYLAND_DISPLAY "$prefix/bin/mrk2tool" --version) == "mrk2tool $version" ]] ||
        fail "mrk2tool --version"
fi

# Compressed at -9 without a name or time stamp: in the gzip header, flags 0,
# time 0, extra flags 2 (best compression).
gzipped_for_debian() {
    [[ $(od -An -tx1 -j3 -N6 "$1" | tr -d ' \n') == 000000000002 ]]
}
doc=$prefix/share/doc/mrk2tool
for gz in "$prefix"/share/man/man1/*.gz "$doc/changelog.Debian.gz"; do
    gzipped_for_debian "$gz" || fail "$gz is not compressed with gzip -9n"
done
# Machine-readable, and crediting the data built into the programs as its licence asks.
grep -q '^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/$' "$doc/copyright" ||
    fail "copyright is not in the machine-readable format"
for credit in 'License: CC-BY-4.0' '「アドレス・ベース・レジストリ」(デジタル庁)'; do
    grep -qF "$credit" "$doc/copyright" || fail "copyright lacks $credit"
done

for page in "$prefix"/share/man/man1/*.1.gz; do
    zgrep -q "mrk2tool $version" "$page" || fail "$page does not carry version $version"
    if command -v man >/dev/null; then
        warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
        [[ -z $warnings ]] || fail "$page: $warnings"
    fi
done
bash -n "$prefix/share/bash-completion/completions/mrk2cli" || fail "completion does not parse"
if [[ $gui == 1 ]] && command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$prefix/share/applications/mrk2tool.desktop" || fail "desktop entry"
fi
echo "installed and ran: ${expected[*]}"
