#!/usr/bin/env bash
# Runs the layering check on small trees: each offence must be caught with its file and line,
# and the includes the layer order allows must pass. Usage: check_layering_test.sh <checker>
set -uo pipefail
checker=$1
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0

# tree <file>=<text>...: a fresh tree holding the given files (text with \n escapes).
tree() {
    rm -rf "$scratch/t"
    local spec file
    for spec in "$@"; do
        file="$scratch/t/${spec%%=*}"
        mkdir -p "$(dirname "$file")"
        printf '%b' "${spec#*=}" >"$file"
    done
}

# expect <status> <pattern> <case name>: runs the checker on the tree and compares.
expect() {
    local output status
    output=$("$checker" "$scratch/t" 2>&1)
    status=$?
    if [ "$status" -ne "$1" ] || ! grep -qE -- "$2" <<<"$output"; then
        echo "FAILED: $3 (status $status, wanted $1 and /$2/):"
        echo "$output"
        failed=1
    fi
}

tree platform/a.h= host/h.h= runtime/r.h= deck/d.h= settings/s.h= caerep/c.h= foundation/f.h= \
    tests/deck/support.h= \
    'deck/mesh/m.cpp=#include "runtime/r.h"\n#include "../d.h"\n  #  include <platform/a.h>\n#include <vector>\n' \
    'hostsim/h.cpp=#include "host/h.h"\n#include "settings/s.h"\n#include <unistd.h>\n' \
    'tools/x/main.cpp=#include "deck/d.h"\n#include "hostsim/h.cpp"\n' \
    'tests/deck/t.cpp=#include "../../deck/d.h"\n#include "support.h"\n#include <sys/stat.h>\n' \
    'platform/p.cpp=#include <unistd.h>\n#include "foundation/f.h"\n'
expect 1 '^platform/p.cpp:2: includes "foundation/f.h" from foundation/: platform may include only platform$' \
    "platform reaching up, the only offence in a tree of allowed includes"
expect 1 '^check-layering: 1 include' "allowed includes counted as offences"

tree deck/d.h= 'runtime/r.cpp=// nothing\n\n#include "deck/d.h"\n'
expect 1 '^runtime/r.cpp:3: includes "deck/d.h" from deck/: runtime may include only .*host, runtime$' \
    "runtime including the deck writer"

tree tests/deck/support.h= 'deck/mesh/m.cpp=#include "../../tests/deck/support.h"\n'
expect 1 '^deck/mesh/m.cpp:1: includes "../../tests/deck/support.h" from tests/, which no layer' \
    "a relative include of test support"

tree runtime/r.h= 'hostsim/s.cpp=#include "runtime/r.h"\n'
expect 1 '^hostsim/s.cpp:1: .* hostsim may include only platform, foundation, caerep, settings, host, hostsim$' \
    "hostsim including the runtime"

tree hostsim/s.h= 'deck/d.cpp=#include "hostsim/s.h"\n'
expect 1 '^deck/d.cpp:1: includes "hostsim/s.h" from hostsim/' "the deck writer including the host simulator"

tree 'foundation/f.cpp=#include <dlfcn.h>\n#include <sys/wait.h>\n'
expect 1 '^foundation/f.cpp:2: includes <sys/wait.h>: only platform/' "a system header outside platform/"

tree 'caerep/c.cpp=#include "caerep/d.h"\n'
expect 0 '^check-layering: 1 files' "a layer including itself"

exit $failed
