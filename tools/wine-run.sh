#!/bin/bash
# Runs a Windows program under Wine in the build tree's private prefix (CTest's emulator).
source "$(dirname "${BASH_SOURCE[0]}")/wine-settings.sh"
# Wine's own errors are kept: CTest shows them only beside a failure, where they may be the
# cause (a process that never got as far as printing anything).
export WINEDEBUG=-all,err+all
# A Wine process that a test starts on the way (the desktop's explorer.exe when it had gone)
# inherits the test's output and can outlive it by minutes; CTest waits for its output to
# close. The test writes to a file of its own, shown when it ends.
output=$(mktemp)
trap 'rm -f "$output"' EXIT
wine "$@" > "$output" 2>&1
status=$?
cat "$output"
[ $status -ne 0 ] && [ ! -s "$output" ] && echo "wine-run.sh: $1 ended with status $status and printed nothing"
exit $status
