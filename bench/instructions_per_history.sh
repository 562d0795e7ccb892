#!/bin/sh
# Instructions per history of each transport_bench case, counted by callgrind:
# the stable figure on a shared machine, where wall time varies with the load.
# Two runs per case (20000 and 60000 histories); their difference removes the
# start-up and the one-off table building.
#   bench/instructions_per_history.sh [build/bin/transport_bench]
set -eu
bench=${1:-build/bin/transport_bench}
count() {
  valgrind --tool=callgrind --callgrind-out-file=/dev/null "$bench" "$1" "$2" 2>&1 |
    sed -n 's/.*Collected : //p'
}
histories() { "$bench" "$1" "$2" | awk '{print $(NF-10)}'; }
for c in spectrum 2MeV 10MeV; do
  a=$(count 20000 $c)
  b=$(count 60000 $c)
  n=$(( $(histories 60000 $c) - $(histories 20000 $c) ))
  echo "$c $(( (b - a) / n )) instructions/history"
done
