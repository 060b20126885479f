#!/bin/bash
# Fails when a source file includes a header of a folder that is not below
# its own in the written order (README, Layout), or when a core file includes
# a header of a ui/ folder. A folder's files and its ui/ share one place in
# the order; only the ui/ side may include ui/ headers.
#   check-folder-order.sh SOURCE_DIR
set -u
order='base platform config document datafile editor search health tray app cli'
cd "$1" || exit 2
grep -rnE --include='*.cpp' --include='*.h' '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^"/]+/' . \
| awk -v order="$order" '
    BEGIN { n = split(order, names, " "); for (i = 1; i <= n; i++) rank[names[i]] = i }
    {
        # ./folder/[sub/]file.cpp:line:#include "target/[ui/]header.h"
        split($0, parts, ":"); file = substr(parts[1], 3); line = parts[2]
        match($0, /"[^"]+"/); target = substr($0, RSTART + 1, RLENGTH - 2)
        split(file, from, "/"); split(target, to, "/")
        if (!(from[1] in rank)) { printf "%s:%s: folder %s is not in the order\n", file, line, from[1]; bad = 1; next }
        if (!(to[1] in rank)) next  # a library of its own, not one of ours
        fromUi = file ~ /\/ui\//; toUi = target ~ /\/ui\//
        if (rank[to[1]] > rank[from[1]])
            { printf "%s:%s: %s includes %s, which is above it\n", file, line, from[1], target; bad = 1 }
        else if (toUi && !fromUi)
            { printf "%s:%s: core file includes the window header %s\n", file, line, target; bad = 1 }
    }
    END {
        if (NR == 0) { print "No includes of our folders found: wrong source folder?"; exit 1 }
        if (bad) { print "Folder order, lowest first: " order; exit 1 }
    }'
