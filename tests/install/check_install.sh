#!/usr/bin/env bash
# Installs the build tree into a temporary prefix (`cmake --install --prefix`)
# and checks that exactly the files of an operator's machine arrive there and
# that the installed programs run.
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
          share/doc/mrk2tool/docs/errors.md
          share/man/man1/mrk2cli.1)
if [[ $gui == 1 ]]; then
    expected+=(bin/mrk2tool
               share/applications/mrk2tool.desktop
               share/icons/hicolor/scalable/apps/mrk2tool.svg
               share/man/man1/mrk2tool.1)
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

for page in "$prefix"/share/man/man1/*.1; do
    grep -q "mrk2tool $version" "$page" || fail "$page does not carry version $version"
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
