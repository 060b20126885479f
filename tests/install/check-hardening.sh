#!/bin/sh
# Checks that each program is built hardened: position-independent, with
# read-only relocations bound at start-up and the stack protector in use.
#   check-hardening.sh PROGRAM...
set -u
failures=0
check() {
    if ! eval "$2"; then
        echo "FAIL: $program: $1"
        failures=$((failures + 1))
    fi
}
for program in "$@"; do
    check "not position-independent" "readelf -h '$program' | grep -q 'Type:.*DYN'"
    check "no RELRO segment" "readelf -l '$program' | grep -q GNU_RELRO"
    check "relocations not bound at start-up" "readelf -d '$program' | grep -Eq 'BIND_NOW|FLAGS_1.*NOW'"
    check "no stack protector" "readelf --dyn-syms -W '$program' | grep -q __stack_chk_fail"
done
echo "$# programs checked, $failures failures"
[ "$failures" -eq 0 ]
