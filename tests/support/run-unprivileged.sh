#!/bin/sh
# Runs test functions whose cases need a user without root's powers (files
# and folders without write permission). Under root they run as "nobody",
# from a copy of the test outside root's private home; a skipped case fails,
# so the rule is never silently left unchecked.
#   run-unprivileged.sh TEST_EXECUTABLE FUNCTION...
set -eu
test_executable=$1
shift
if [ "$(id -u)" -ne 0 ]; then
    runner=
    work=$(mktemp -d)
else
    runner="setpriv --reuid=nobody --regid=nogroup --clear-groups"
    work=$(mktemp -d /tmp/zv-unprivileged.XXXXXX)
fi
trap 'chmod -R u+w "$work" 2>/dev/null; rm -rf "$work"' EXIT
cp "$test_executable" "$work/test"
mkdir "$work/home" "$work/tmp"
chmod 755 "$work"
chmod 777 "$work/home" "$work/tmp"
output=$(cd "$work" && HOME="$work/home" TMPDIR="$work/tmp" $runner ./test "$@" 2>&1) || {
    echo "$output"
    exit 1
}
echo "$output"
if echo "$output" | grep -q '^SKIP'; then
    echo "FAIL: a case was skipped as this user" >&2
    exit 1
fi
