#!/usr/bin/env bash
# Times qxpdb's table conversion against two programs that only read and print the same dBase
# tables: pgdbf (the table without memos) and dumprecs from xbase64 (the table with dBase IV
# memos), each as a whole process, several times, side by side in one run.
#
#   bash bench/tables-vs-peers.sh [REPETITIONS]     (default 7)
#
# Builds the native Release build in build/bench-tables if it is not there, writes the two
# 65,535-row tables of bench/bench_tables.h once (make_bench_tables), installs pgdbf,
# libxbase64-bin and time when they are missing, checks that the peers read the tables, then
# runs every program once per round, round after round, so that a busy machine slows all of
# them alike. Wall time is taken around each process with the nanosecond clock; peak memory is
# /usr/bin/time's maximum resident set size. MB/s is the table's .dbf + .dbt bytes (the input,
# or for read-table the table it comes from) per second; 1 MB = 10^6 bytes.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
reps=${1:-7}
build=$top/build/bench-tables
data=$build/bench-tables-data
rows=65535

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$top" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQX_BENCH=ON >/dev/null
fi
ninja -j2 -C "$build" qxpdb make_bench_tables >/dev/null
qxpdb=$build/bin/qxpdb

missing=()
command -v pgdbf >/dev/null || missing+=(pgdbf)
command -v dumprecs >/dev/null || missing+=(libxbase64-bin)
[ -x /usr/bin/time ] || missing+=(time)
if [ ${#missing[@]} -gt 0 ]; then
    sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    $sudo apt-get install -y "${missing[@]}" >/dev/null
fi

if [ ! -f "$data/plain.dbf" ] || [ ! -f "$data/memos.dbf" ] || [ ! -f "$data/memos.dbt" ]; then
    "$build/bin/make_bench_tables" "$data"
fi
cd "$data"
"$qxpdb" write-table plain.dbf >/dev/null
"$qxpdb" write-table memos.dbf >/dev/null

# The peers must really read the tables: every row, and no complaint.
# shellcheck disable=SC1003  # backslashes, not quotes: the lines \COPY ... \. around the rows
pg_rows=$(pgdbf plain.dbf 2>pgdbf.err | sed -n '/^\\COPY/,/^\\\.$/p' | grep -vc '^\\')
dr_rows=$(dumprecs memos.dbf 2>dumprecs.err | grep -c '^REC NUMBER')
dr_memos=$(dumprecs memos.dbf 2>/dev/null | grep -c "^M NOTES len = [1-9]")
if [ "$pg_rows" -ne $rows ] || [ -s pgdbf.err ]; then
    echo "pgdbf read $pg_rows rows of plain.dbf, not $rows:" >&2
    cat pgdbf.err >&2
    exit 1
fi
if [ "$dr_rows" -ne $rows ] || [ "$dr_memos" -ne $rows ] || [ -s dumprecs.err ]; then
    echo "dumprecs read $dr_rows rows and $dr_memos notes of memos.dbf, not $rows:" >&2
    cat dumprecs.err >&2
    exit 1
fi

bytes_of() {
    local total=0 f
    for f in "$@"; do
        [ -f "$f" ] && total=$((total + $(stat -c %s "$f")))
    done
    echo $total
}
plain_bytes=$(bytes_of plain.dbf)
memos_bytes=$(bytes_of memos.dbf memos.dbt)

names=("qxpdb write-table" "qxpdb write-table" "qxpdb read-table" "qxpdb read-table" "pgdbf"
    "dumprecs")
tables=(plain memos plain memos plain memos)
inputs=("$plain_bytes" "$memos_bytes" "$plain_bytes" "$memos_bytes" "$plain_bytes" "$memos_bytes")
# Sets `command` to program i's command line.
command_of() {
    case $1 in
        0) command=("$qxpdb" write-table plain.dbf) ;;
        1) command=("$qxpdb" write-table memos.dbf) ;;
        2) command=("$qxpdb" read-table QXT-SE_PLAIN.pdb back_plain.dbf) ;;
        3) command=("$qxpdb" read-table QXT-SE_MEMOS.pdb back_memos.dbf) ;;
        4) command=(pgdbf plain.dbf) ;;
        5) command=(dumprecs memos.dbf) ;;
    esac
}

rm -f times-*.txt
for ((round = 1; round <= reps; ++round)); do
    for i in "${!names[@]}"; do
        command_of "$i"
        start=$(date +%s%N)
        /usr/bin/time -f '%M' -o peak.txt "${command[@]}" >/dev/null 2>run.err ||
            { echo "failed: ${command[*]}" >&2; cat run.err >&2; exit 1; }
        end=$(date +%s%N)
        echo "$((end - start)) $(cat peak.txt)" >>"times-$i.txt"
    done
done

echo "Tables of $rows rows, $reps rounds; wall time best and median, rates from the best run."
echo "plain: .dbf $plain_bytes bytes; memos: .dbf + .dbt $memos_bytes bytes"
echo
printf '%-18s %-6s %9s %9s %11s %8s %9s\n' program table "best s" "median s" "rows/s" "MB/s" \
    "peak MB"
declare -a best median
for i in "${!names[@]}"; do
    read -r best_ns median_ns peak_kb < <(sort -n "times-$i.txt" | awk '
        { ns[NR] = $1; if ($2 > peak) peak = $2 }
        END { mid = int((NR + 1) / 2); print ns[1], ns[mid], peak }')
    best[i]=$best_ns
    median[i]=$median_ns
    awk -v name="${names[$i]}" -v table="${tables[$i]}" -v b="$best_ns" -v m="$median_ns" \
        -v kb="$peak_kb" -v rows=$rows -v bytes="${inputs[$i]}" 'BEGIN {
        printf "%-18s %-6s %9.3f %9.3f %11.0f %8.1f %9.1f\n", name, table, b / 1e9, m / 1e9,
            rows / (b / 1e9), bytes / 1e6 / (b / 1e9), kb / 1024 }'
done
echo
# Above 1.00: qxpdb's copy into a .pdb (read, encode, write) took less time than the peer
# only reading and printing the same table.
awk -v wb="${best[0]}" -v wm="${median[0]}" -v pb="${best[4]}" -v pm="${median[4]}" 'BEGIN {
    printf "pgdbf / qxpdb write-table (plain):    best %.2f, median %.2f\n", pb / wb, pm / wm }'
awk -v wb="${best[1]}" -v wm="${median[1]}" -v db="${best[5]}" -v dm="${median[5]}" 'BEGIN {
    printf "dumprecs / qxpdb write-table (memos): best %.2f, median %.2f\n", db / wb, dm / wm }'
rm -f peak.txt run.err pgdbf.err dumprecs.err
