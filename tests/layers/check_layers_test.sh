#!/usr/bin/env bash
# scripts/check-layers on a copy of src/: passes on it as it is, then names every wrong-way
# include planted in it, and every pair of folders that the planted includes make include each
# other, and fails.
#   check_layers_test.sh REPOSITORY
set -euo pipefail
repo="$1"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp -r "$repo/src" "$work/src"
check="$repo/scripts/check-layers"

if ! "$check" "$work" >"$work/out" 2>&1; then
    echo "FAIL: the untouched tree does not pass:"
    cat "$work/out"
    exit 1
fi

plant() {  # plant FILE LINE: appends an include to a new or existing file
    mkdir -p "$(dirname "$work/$1")"
    printf '%s\n' "$2" >>"$work/$1"
}
plant src/pd/crc32.cpp '#include "capture/document.h"'
plant src/capture/document.cpp '#include <QString>'
plant src/capture/record_stream.cpp '#include "list/log_view.h"'
plant src/list/log_view.cpp '#include "app/main_frame.h"'
plant src/list/cell_painter.cpp '#include "settings/settings_store.h"'
plant src/device/sim/simulator.cpp '#include "app/kv_app.h"'
plant src/columns/column_text.cpp '#include "settings/qt/qsettings_backend.h"'
plant src/list/core/packet_rules.cpp '#include <QtCore/QObject>'
plant src/cli/cmd_info.cpp '#include "list/log_view.h"'
plant src/settings/settings_store.cpp '#include "app/main_frame.h"'
plant src/app/views/pd_packet_tree_view.cpp '#include "app/kv_app.h"'
plant src/app/commands/document_commands.cpp '#include <QFileInfo>'
plant src/report/writer.cpp '#include "pd/crc32.h"'
plant src/app/main_frame.cpp '#include "nowhere/thing.h"'

status=0
"$check" "$work" >"$work/out" 2>"$work/err" || status=$?
expected=(
    'src/pd/crc32.cpp:[0-9]+: pd may not include capture \("capture/document.h"\); pd may include: pd$'
    'src/capture/document.cpp:[0-9]+: capture is Qt-free and may not include <QString>$'
    'src/capture/record_stream.cpp:[0-9]+: capture may not include list '
    'src/list/log_view.cpp:[0-9]+: list may not include app \("app/main_frame.h"\)'
    'src/list/cell_painter.cpp:[0-9]+: list may not include settings '
    'src/device/sim/simulator.cpp:[0-9]+: device may not include app '
    'src/columns/column_text.cpp:[0-9]+: columns may not include qsettings '
    'src/list/core/packet_rules.cpp:1: listcore is Qt-free and may not include <QtCore/QObject>$'
    'src/cli/cmd_info.cpp:[0-9]+: cli may not include list '
    'src/settings/settings_store.cpp:[0-9]+: settings may not include app '
    'src/app/views/pd_packet_tree_view.cpp:[0-9]+: fieldviews may not include app '
    'src/app/commands/document_commands.cpp:[0-9]+: commands is Qt-free and may not include <QFileInfo>$'
    'src/report/writer.cpp: the folder has no layer \(give it one in scripts/check-layers\)$'
    'src/app/main_frame.cpp:[0-9]+: "nowhere/thing.h" is in no layer$'
    # Wrong-way includes between folders of src/ also make the folders include each other.
    'src/capture/ and src/pd/ include each other \(.*src/pd/crc32.cpp:[0-9]+\)$'
    'src/app/ and src/list/ include each other \(.* and src/list/log_view.cpp:[0-9]+\)$'
    'src/app/ and src/device/ include each other \(.* and src/device/sim/simulator.cpp:[0-9]+\)$'
    'src/capture/ and src/list/ include each other \(src/capture/record_stream.cpp:[0-9]+ and '
    'src/list/ and src/settings/ include each other \(src/list/cell_painter.cpp:[0-9]+ and '
    'src/app/ and src/settings/ include each other \(.* and src/settings/settings_store.cpp:[0-9]+\)$'
)
failed=0
if [ "$status" -ne 1 ]; then
    echo "FAIL: exit status $status, expected 1"
    failed=1
fi
for pattern in "${expected[@]}"; do
    if ! grep -qE "^$pattern" "$work/out"; then
        echo "FAIL: no line matching: $pattern"
        failed=1
    fi
done
if [ "$(wc -l <"$work/out")" -ne ${#expected[@]} ]; then
    echo "FAIL: expected ${#expected[@]} lines"
    failed=1
fi
if ! grep -qx 'check-layers: 20 wrong-way include(s)' "$work/err"; then
    echo "FAIL: no summary line on stderr"
    failed=1
fi
if [ "$failed" -ne 0 ]; then
    echo "--- output:"
    cat "$work/out" "$work/err"
fi
exit "$failed"
