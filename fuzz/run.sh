#!/bin/sh
# Runs the fuzzer for a while from the kept corpus and reports what it did:
#   fuzz/run.sh FUZZER SECONDS WORKDIR
# New inputs that reach new code collect in WORKDIR/corpus, findings in
# WORKDIR/findings. Fails when there is a finding.
set -eu
fuzzer=$1
seconds=$2
work=$3
here=$(dirname "$0")

mkdir -p "$work/corpus" "$work/findings"
rm -f "$work/findings"/*
# -timeout: an input that runs this long counts as a hang.
"$fuzzer" "$work/corpus" "$here/corpus" "$here/regressions" \
    -max_total_time="$seconds" -timeout=10 -max_len=4096 \
    -artifact_prefix="$work/findings/" -print_final_stats=1 >"$work/log" 2>&1 || true

stat() { sed -n "s/^stat::$1: *//p" "$work/log"; }
coverage=$(grep -o 'cov: [0-9]*' "$work/log" | tail -n 1 | cut -d' ' -f2)
echo "fuzzed for ${seconds} s: $(stat number_of_executed_units) executions," \
     "$(stat average_exec_per_sec) per second, ${coverage:-?} code edges covered," \
     "$(stat new_units_added) new inputs kept in $work/corpus"

findings=$(ls "$work/findings")
if [ -n "$findings" ]; then
    grep -E 'invariant broken|ERROR:|SUMMARY:' "$work/log" || true
    echo "findings in $work/findings: $findings"
    echo "reproduce with: LOOPWEAVE_FUZZ_TRACE=1 $fuzzer $work/findings/<file>"
    echo "once fixed, keep the input in $here/regressions/ so that every test run replays it"
    exit 1
fi
echo "no findings"
