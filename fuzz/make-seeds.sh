#!/usr/bin/env bash
# Writes the fuzzer's seed corpus: a few valid blobs and each kind of damage the decoder
# refuses. The seeds are committed; run this again only when the blob format changes.
#   fuzz/make-seeds.sh build/ci/tools/quarnel_skinpack build/ci/skins/she/13.she
set -euo pipefail
packer=$1
skin13=$2
out=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/corpus/skin_blob
mkdir -p "$out"
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

printf '[skin]\nstyle = Fusion\n[palette]\nWindow = #eef5f1\n[stylesheet]\nQPushButton { border: 1px solid #5f9e80; }\n' >"$tmp/small.skin"
"$packer" "$tmp/small.skin" "$out/valid-small.she"
printf 'x' >"$tmp/one.skin"
"$packer" "$tmp/one.skin" "$out/valid-one-byte.she"
cp "$skin13" "$out/valid-skin-13.she"

small="$out/valid-small.she"
size=$(stat -c %s "$small")
head -c $((size - 3)) "$small" >"$out/truncated.she"
head -c 15 "$small" >"$out/header-only.she"
{ cat "$small"; printf '\0\0'; } >"$out/trailing-bytes.she"
patch() { # patch FILE OFFSET HEXBYTES > OUT
    cp "$1" "$4"
    printf "$3" | dd of="$4" bs=1 seek="$2" conv=notrunc status=none
}
patch "$small" 6 '\x00\x00\x00\x00' "$out/size-zero.she"
patch "$small" 6 '\xff\xff\xff\xff' "$out/size-huge.she"
patch "$small" 10 '\x5e' "$out/other-properties.she"
patch "$small" 0 '.shx' "$out/bad-magic.she"
patch "$small" 20 '\xff\xff' "$out/corrupt-body.she"
