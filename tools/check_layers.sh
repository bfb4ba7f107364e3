#!/bin/bash
# Fails when a source folder includes from a folder above it, or when the
# folders include each other in a cycle. The folders form layers:
#   driver -> product -> rabin -> dmts -> support,   check -> rabin, dmts, support,
#   explain -> check, product, rabin, dmts, support,
#   ltl -> support (velkin-ltl is its own command; velkin does not use it)
# A folder that is not listed below may include anything, but the cycle test
# covers it too, so a new folder cannot close a loop between the others.
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}

# allowed[FOLDER]: the folders that FOLDER may include from, besides itself.
declare -A allowed=(
    [support]=""
    [dmts]="support"
    [rabin]="dmts support"
    [product]="rabin dmts support"
    [check]="rabin dmts support"
    [ltl]="support"
    [explain]="check product rabin dmts support"
    [driver]="product rabin dmts support"
)

status=0
edges=$(mktemp)
trap 'rm -f "$edges"' EXIT

# Every quoted include "FOLDER/..." that names another folder under src.
while IFS=: read -r file line text; do
    from=${file#"$src"/}
    from=${from%%/*}
    to=$(sed -E 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^/"]+)\/.*/\1/' <<< "$text")
    [ "$to" = "$from" ] && continue
    [ -d "$src/$to" ] || continue
    echo "$from $to" >> "$edges"
    if [ -n "${allowed[$from]+set}" ] && ! grep -qw -- "$to" <<< "${allowed[$from]}"; then
        echo "${file#"$src"/}:$line includes from $to, but $from may use only: ${allowed[$from]:-nothing}"
        status=1
    fi
done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[^/"]+/' "$src" --include='*.hpp' --include='*.cpp' --include='*.h' || true)

# Transitive closure of the folder graph; a folder that reaches itself lies on a cycle.
cycle=$(sort -u "$edges" | awk '
    { reach[$1, $2] = 1; node[$1] = 1; node[$2] = 1 }
    END {
        for (k in node) for (i in node) if (reach[i, k]) for (j in node) if (reach[k, j]) reach[i, j] = 1
        for (i in node) if (reach[i, i]) printf "%s ", i
    }')
if [ -n "$cycle" ]; then
    echo "folders on an include cycle: $cycle"
    status=1
fi
[ $status -eq 0 ] && echo "folder layers: no upward include, no cycle"
exit $status
