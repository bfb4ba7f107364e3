# max_rss.sh OUT COMMAND...: runs COMMAND with this script's standard streams
# and writes its peak resident set size in kB to OUT; exits with its status.
# Uses GNU time when installed, otherwise the resource usage of the child as
# Python reports it (both read the kernel's ru_maxrss).
out=$1
shift
if [ -x /usr/bin/time ]; then
    /usr/bin/time -f %M -o "$out" "$@"
    status=$?
    tail -n 1 "$out" > "$out.last" && mv "$out.last" "$out"
    exit $status
fi
exec python3 -c '
import resource, subprocess, sys
status = subprocess.call(sys.argv[2:])
with open(sys.argv[1], "w") as f:
    f.write("%d\n" % resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss)
sys.exit(status if status >= 0 else 128 - status)
' "$out" "$@"
