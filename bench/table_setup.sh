# Sourced by the benchmark scripts that write a table: a scratch folder
# removed on exit, an empty rows file in it, the load average at the start and
# the worktree's commit. Needs root set to the repository.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows="$work/rows.tsv"
: > "$rows"
load_at_start=$(cut -d' ' -f1-3 /proc/loadavg)
commit=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo "an unknown commit")
