#!/usr/bin/env bash
# wine-run.sh WINE PROGRAM [ARGUMENTS...]: runs one Qt Test program under Wine and passes on its
# exit code. Now and then a test program under Wine 8 never leaves its process exit after it has
# written its whole report (seen with tst_tasks: one thread left, waiting in
# NtWaitForMultipleObjects). Such a program is ended 30 s after its report, and the report decides:
# no failed test, no failure. The report goes to a file (what the program writes to a pipe under
# Wine is lost), which is shown at the end.
set -u
wine=$1
shift
out=$(mktemp)
trap 'rm -f "$out"' EXIT
program=$1
shift
# The file's Unix path is a path on drive Z: too, the drive of the build folder.
"$wine" "$program" -o "$out,txt" "$@" &
pid=$!
after_report=0
while kill -0 "$pid" 2>/dev/null; do
    sleep 1
    if grep -q '^\*\*\*\*\*\*\*\*\* Finished testing of' "$out"; then
        after_report=$((after_report + 1))
        if [ "$after_report" -gt 30 ]; then
            kill -9 "$pid"
            wait "$pid" 2>/dev/null
            cat "$out"
            echo "wine-run.sh: the program was still there 30 s after its report, and was ended"
            grep -Eq '^Totals: [0-9]+ passed, 0 failed' "$out"
            exit
        fi
    fi
done
wait "$pid"
status=$?
cat "$out"
exit "$status"
