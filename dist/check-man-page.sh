#!/usr/bin/env bash
# Formats a manual page and fails on any warning man or groff prints.
set -euo pipefail
man_program=$1 page=$2
warnings=$(MANWIDTH=80 "$man_program" --warnings -l "$page" 2>&1 >/dev/null)
if [ -n "$warnings" ]; then
    printf '%s\n' "$warnings" >&2
    exit 1
fi
