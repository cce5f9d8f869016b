#!/usr/bin/env bash
# The folders of src include one another one way only, down: this lists which
# folder includes which and fails when the includes run round in a loop (tsort
# names it). The libraries keep the logic off the windows; this keeps the
# subsystem folders off each other's backs.
set -euo pipefail
cd "$(dirname "$0")/../src"

edges=$(grep -rHoE '^#include "[a-z]+/' --include='*.cpp' --include='*.h' . |
    sed -E 's|^\./([a-z]+)/[^:]*:#include "([a-z]+)/|\1 \2|' |
    awk '$1 != $2' | sort -u)

if [ "${1:-}" = "--list" ]; then
    echo "$edges"
fi
if ! loop=$(echo "$edges" | tsort 2>&1 >/dev/null) || [ -n "$loop" ]; then
    echo "src: the folders include each other in a loop:" >&2
    echo "$loop" >&2
    exit 1
fi
