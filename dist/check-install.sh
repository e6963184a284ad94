#!/usr/bin/env bash
# Installs the build tree into a fresh prefix and uses the installed
# parlo-cli from another folder: it must find its data under share/parlo
# and its workbook module under libexec/parlo.
set -euo pipefail
build=$1 prefix=$2
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" > /dev/null
for f in bin/parlo-cli share/parlo/MV7105C.OVL share/applications/org.parlo.Parlo.desktop \
         share/metainfo/org.parlo.Parlo.metainfo.xml share/mime/packages/org.parlo.Parlo.xml \
         share/icons/hicolor/scalable/apps/org.parlo.Parlo.svg \
         share/icons/hicolor/48x48/apps/org.parlo.Parlo.png \
         share/man/man1/parlo.1.gz share/man/man1/parlo-cli.1.gz \
         libexec/parlo/parlo-pdf.so libexec/parlo/parlo-xlsx.so; do
    [ -e "$prefix/$f" ] || { echo "not installed: $f" >&2; exit 1; }
done
work=$(mktemp -d)
trap 'rm -rf "$work" "$prefix"' EXIT
cd "$work"
"$prefix/bin/parlo-cli" new --variant pmr -o new.icf
"$prefix/bin/parlo-cli" check new.icf
head -c 8 new.icf | grep -qx 29270000
# The workbook module, loaded from its installed folder, writes and reads.
"$prefix/bin/parlo-cli" export new.icf --xlsx -o book.xlsx
head -c 4 book.xlsx | grep -q PK
"$prefix/bin/parlo-cli" import new.icf book.xlsx -o back.icf 2> /dev/null
