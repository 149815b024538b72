#!/bin/sh
# Cooler monitoring waits on the clock instead of spinning: three seconds of
# "cooler-monitor" on the simulated camera must cost well under 0.1 s of
# processor time. Usage: bench/cooler_monitor_cpu.sh [path/to/qelvesk-cli]
set -eu
cli=${1:-build/qelvesk-cli}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
/usr/bin/time -f '%U %S %e' -o "$root/time" "$cli" --root "$root" --simulate \
  'settings-set ShowInterfaceDetails=n' 'cooler-monitor seconds=3' > /dev/null
read -r user sys real < "$root/time"
echo "cooler-monitor seconds=3: user ${user} s, system ${sys} s, elapsed ${real} s"
awk -v u="$user" -v s="$sys" 'BEGIN { exit !(u + s < 0.1) }' || { echo "too much processor time" >&2; exit 1; }
