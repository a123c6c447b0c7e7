#!/usr/bin/env bash
# The main job on bundled sample data: builds what it needs, then runs a demo.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release --target mrk2cli
cli=build/release/mrk2cli
demo=demo
rm -rf "$demo" && mkdir -p "$demo"
"$cli" init "$demo"
"$cli" --db-dir "$demo" regions
