#!/bin/sh
# run_in_vivid_vm.sh TOOLS_DIR COMMAND [ARGS...]
# Runs COMMAND inside the vivid virtual machine. Exits 77 (skipped, with the
# reason on stdout) when the tool is missing or the machine cannot start.
tools=$1
shift
tool="$tools/run-in-vivid-vm"
if [ ! -r "$tool" ]; then
    echo "SKIPPED: $tool is missing, so the V4L2 tests against the vivid driver cannot run"
    exit 77
fi
# A copy of the tools may have lost its execute bits: run it through bash.
bash "$tool" "$@"
status=$?
if [ "$status" -eq 125 ]; then
    echo "SKIPPED: the vivid virtual machine could not start (run-in-vivid-vm exited with 125; it needs root and QEMU)"
    exit 77
fi
exit "$status"
