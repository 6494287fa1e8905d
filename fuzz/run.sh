#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build (see docs/fuzzing.md) for a bounded time, each from its
# seed corpus: the fixtures of tests/data and examples, linked into <build>/fuzz-seeds, and the
# hand-made seeds of fuzz/seeds. New inputs collect in <build>/fuzz-corpus/<target>; a crash is
# saved as <build>/fuzz-artifacts/<target>-crash-<hash> and fails the run.
#
#   fuzz/run.sh <build-folder> [seconds-per-target] [target...]
set -uo pipefail
cd "$(dirname "$0")/.."
build=${1:?usage: fuzz/run.sh <build-folder> [seconds-per-target] [target...]}
seconds=${2:-5}
shift $(($# < 2 ? $# : 2))
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(caerep_xml settings_xml settings_binary typed_stream host_json matml
                                     unit_expression registry_file standin_deck standin_control
                                     result_description model_markup)

# Fixture files that seed each target, beside fuzz/seeds/<target>.
fixtures() {
    case "$1" in
        caerep_xml | model_markup) ls tests/data/caerep/*.xml tests/data/cases/*/CAERep.xml examples/*/CAERep.xml ;;
        settings_xml) ls tests/data/settings/*.xml ;;
        settings_binary | typed_stream) ls tests/data/settings/*.bin ;;
        host_json) ls tests/data/cases/*/host.json examples/*/host.json ;;
        matml) ls tests/data/cases/*/MatML.xml examples/*/MatML.xml ;;
    esac 2>/dev/null
}

# The targets' scratch folders go below the build folder: one that a crash leaves behind is
# removed by the next run instead of piling up in the system's temporary folder.
export TMPDIR="$(cd "$build" && pwd)/fuzz-tmp"
rm -rf "$TMPDIR"
mkdir -p "$TMPDIR"

failed=()
for t in "${targets[@]}"; do
    program="$build/fuzz/fuzz_$t"
    if [ ! -x "$program" ]; then
        echo "fuzz: $program is missing (build the target dorvix_fuzz first)" >&2
        failed+=("$t")
        continue
    fi
    seeds="$build/fuzz-seeds/$t"
    corpus="$build/fuzz-corpus/$t"
    rm -rf "$seeds"
    mkdir -p "$seeds" "$corpus" "$build/fuzz-artifacts"
    for f in $(fixtures "$t"); do ln -sf "$PWD/$f" "$seeds/$(echo "$f" | tr '/' '_')"; done
    [ -d "fuzz/seeds/$t" ] && for f in fuzz/seeds/"$t"/*; do ln -sf "$PWD/$f" "$seeds/"; done
    options=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -print_final_stats=1
             -artifact_prefix="$build/fuzz-artifacts/$t-")
    [ -f "fuzz/dicts/$t.dict" ] && options+=(-dict="fuzz/dicts/$t.dict")
    log="$build/fuzz-artifacts/$t.log"
    if "$program" "${options[@]}" "$corpus" "$seeds" >"$log" 2>&1; then
        echo "fuzz: $t: $(grep -m1 -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs, no failure"
    else
        echo "fuzz: $t FAILED; the end of its log ($log):" >&2
        tail -n 60 "$log" >&2
        failed+=("$t")
    fi
done

if [ ${#failed[@]} -ne 0 ]; then
    echo "fuzz: failed: ${failed[*]}" >&2
    exit 1
fi
