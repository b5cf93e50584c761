#!/usr/bin/env bash
# The desktop entry validates and opens editions; the mime type gives *.lx files the type
# application/x-lumobook once installed into a mime database.
set -euo pipefail
data=$1
desktop-file-validate "$data/lumoshelf.desktop"
grep -qx 'MimeType=application/x-lumobook;' "$data/lumoshelf.desktop"

mime=$(mktemp -d)
trap 'rm -rf "$mime"' EXIT
mkdir -p "$mime/packages"
cp "$data/lumoshelf-mime.xml" "$mime/packages/lumoshelf.xml"
update-mime-database "$mime"
grep -q '^50:application/x-lumobook:\*\.lx$' "$mime/globs2"
grep -q 'application/x-lumobook' "$mime/magic"
