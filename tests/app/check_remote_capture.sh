#!/usr/bin/env bash
# Drives a capture of a running zoduz from zoduz-cli remote, inside a private session bus
# (run it under dbus-run-session): zoduz starts off-screen on the virtual analyzer, gets a
# record file name and folder, starts, records for a few seconds, stops; then the record file
# of that name must decode with packets and samples, and export must write its CSV beside it.
#   check_remote_capture.sh ZODUZ ZODUZ_CLI WORK
set -euo pipefail
app="$1" cli="$2" work="$3"

rm -rf "$work"
mkdir -p "$work/home" "$work/records"
# The application's settings and documents folder stay inside the scratch folder.
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/.config" XDG_DATA_HOME="$work/home/.local"
export QT_QPA_PLATFORM=offscreen

fail() {
    echo "check_remote_capture: $*" >&2
    [ -f "$work/zoduz.log" ] && sed 's/^/  zoduz: /' "$work/zoduz.log" >&2
    exit 1
}

# A missing or unknown request, or a wrong argument count, is a usage error (status 2).
for words in "" "set-name" "set-folder a b" "start now" "restart"; do
    set +e
    # shellcheck disable=SC2086
    "$cli" remote $words 2>"$work/usage.err"
    status=$?
    set -e
    [ "$status" -eq 2 ] || fail "remote $words: status $status"
    grep -q '^usage: zoduz-cli remote set-name NAME | set-folder DIR | start | stop | export$' \
        "$work/usage.err" || fail "remote $words: $(cat "$work/usage.err")"
done

# With no zoduz on the bus every request says so, with status 3.
set +e
"$cli" remote start 2>"$work/none.err"
status=$?
set -e
[ "$status" -eq 3 ] || fail "remote start without zoduz: status $status"
grep -q 'no zoduz is running' "$work/none.err" || fail "remote start without zoduz: $(cat "$work/none.err")"

"$app" --virtual mixed >"$work/zoduz.log" 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null || true; wait "$pid" 2>/dev/null || true' EXIT

# Until the window has registered, set-folder finds no zoduz (status 3).
for _ in $(seq 100); do
    set +e
    "$cli" remote set-folder "$work/records" 2>/dev/null
    status=$?
    set -e
    [ "$status" -ne 3 ] && break
    kill -0 "$pid" 2>/dev/null || fail "zoduz ended early"
    sleep 0.1
done
[ "$status" -eq 0 ] || fail "remote set-folder: status $status"

# Start without a name is refused and records nothing.
set +e
"$cli" remote start 2>"$work/noname.err"
status=$?
set -e
[ "$status" -eq 1 ] || fail "remote start without a name: status $status"
grep -q 'zoduz refused: no record file name is set' "$work/noname.err" ||
    fail "remote start without a name: $(cat "$work/noname.err")"
# A name that would leave the folder, a blank one and one in another case of .zaz are refused.
for name in ../outside.zaz " " x.ZAZ; do
    if "$cli" remote set-name "$name" 2>/dev/null; then
        fail "remote set-name '$name' was accepted"
    fi
done

# Another program planted the folder test's file name as a link to a victim: setting the folder
# neither empties the victim nor removes the link.
mkdir -p "$work/planted"
echo precious >"$work/victim.txt"
ln -s "$work/victim.txt" "$work/planted/___test___capture_____file_____.tmp"
"$cli" remote set-folder "$work/planted" || fail "remote set-folder with a planted link"
[ "$(cat "$work/victim.txt")" = precious ] || fail "the folder test emptied the link's target"
[ -L "$work/planted/___test___capture_____file_____.tmp" ] || fail "the folder test removed the link"
"$cli" remote set-folder "$work/records" || fail "remote set-folder back"

# Calls in parallel each get their answer, and none of them a half-registered D-Bus type.
callers=()
for i in $(seq 16); do
    "$cli" remote set-name "parallel-$i" 2>"$work/parallel-$i.err" &
    callers+=($!)
done
for caller in "${callers[@]}"; do
    wait "$caller" || fail "parallel remote call: status $?"
done
if grep -l . "$work"/parallel-*.err >/dev/null 2>&1; then
    fail "parallel remote calls: $(cat "$work"/parallel-*.err)"
fi

"$cli" remote set-name bench-run || fail "remote set-name"
# The analyzer connects within the first ticks; start is refused until it has.
started=no
for _ in $(seq 50); do
    if "$cli" remote start 2>"$work/start.err"; then
        started=yes
        break
    fi
    sleep 0.2
done
[ "$started" = yes ] || fail "remote start: $(cat "$work/start.err")"
sleep 3
"$cli" remote stop || fail "remote stop"

record="$work/records/bench-run.zaz"
[ -f "$record" ] || fail "no record file $record"

# Export waits until the stopped capture has been decoded to its end.
exported=no
for _ in $(seq 50); do
    if "$cli" remote export 2>"$work/export.err"; then
        exported=yes
        break
    fi
    sleep 0.2
done
[ "$exported" = yes ] || fail "remote export: $(cat "$work/export.err")"
csv="$work/records/bench-run_export.csv"
for _ in $(seq 100); do
    [ -s "$csv" ] && break
    sleep 0.1
done
[ -s "$csv" ] || fail "export wrote no $csv"

"$cli" info "$record" >"$work/info.txt" || fail "zoduz-cli info $record"
packets=$(awk -F'\t' '$1 == "document" { d = 1 } d && $1 == "packets" { print $2 }' "$work/info.txt")
samples=$(awk -F'\t' '$1 == "document" { d = 1 } d && $1 == "samples" { print $2 }' "$work/info.txt")
[ "${packets:-0}" -gt 0 ] || fail "the record file holds no packets: $(cat "$work/info.txt")"
[ "${samples:-0}" -gt 0 ] || fail "the record file holds no samples"
# Finished by the stop: the leading InfoBlock carries the byte count.
grep -q $'^info_entry\t[0-9]*\tInfoByteCount\t' "$work/info.txt" ||
    fail "the record file was not finished"
trailing=$(awk -F'\t' '$1 == "trailing_bytes" { print $2 }' "$work/info.txt")
[ "$trailing" = 0 ] || fail "the record file ends in a partial block"

# The automatic export writes the whole capture, packets and samples: a header and one row
# each, once the worker has finished.
rows=$((1 + packets + samples))
for _ in $(seq 100); do
    [ "$(wc -l <"$csv")" -eq "$rows" ] && break
    sleep 0.2
done
head -n 1 "$csv" | grep -q '^"Timestamp\[us\]"' || fail "CSV header: $(head -n 1 "$csv")"
[ "$(wc -l <"$csv")" -eq "$rows" ] || fail "CSV has $(wc -l <"$csv") lines, not $rows"

# After stop the name is forgotten: start is refused again.
if "$cli" remote start 2>/dev/null; then
    fail "remote start after stop went ahead"
fi

# A second remote start with the same name keeps the first record file: the new one is
# numbered, and both decode.
first_size=$(stat -c %s "$record")
"$cli" remote set-folder "$work/records" || fail "remote set-folder (second capture)"
"$cli" remote set-name bench-run || fail "remote set-name (second capture)"
"$cli" remote start || fail "second remote start"
sleep 2
"$cli" remote stop || fail "second remote stop"
second="$work/records/bench-run (1).zaz"
for _ in $(seq 50); do
    "$cli" info "$second" 2>/dev/null | grep -q $'^info_entry\t[0-9]*\tInfoByteCount\t' && break
    sleep 0.2
done
[ "$(stat -c %s "$record")" = "$first_size" ] || fail "the second capture changed $record"
for file in "$record" "$second"; do
    "$cli" info "$file" >"$work/info2.txt" || fail "zoduz-cli info $file"
    count=$(awk -F'\t' '$1 == "document" { d = 1 } d && $1 == "packets" { print $2 }' "$work/info2.txt")
    [ "${count:-0}" -gt 0 ] || fail "$file holds no packets"
    grep -q $'^info_entry\t[0-9]*\tInfoByteCount\t' "$work/info2.txt" || fail "$file was not finished"
done
echo "check_remote_capture: $packets packets, $samples samples, $(wc -l <"$csv") CSV lines"
