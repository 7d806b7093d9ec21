#!/bin/sh
# Starts Tevora from a built tree (default: build/) as a newcomer expects to see it: on the tree's
# own embedded database, with the machine-wide folders inside the tree, and a sample sequence
# folder when the default one does not exist yet.
#
#   tools/run-tevora.sh [ROOT] [-- program arguments]
#
# ROOT is the application root (the folder holding bin/tevora, FB/, Config/ and DB/). The
# machine-wide folders are kept where the environment puts them (TEVORA_COMMON_APPDATA,
# TEVORA_COMMON_DOCUMENTS); otherwise they are ROOT/appdata and ROOT/documents. The sample is the
# sequence tree of the tests, copied into DOCUMENTS/Kelmetra/SEQ only when that folder is missing:
# a folder that exists, the user's own or an earlier sample with the user's changes, is never
# touched. A sequence folder chosen in the settings is used instead of it.
set -eu

here=$(cd "$(dirname "$0")" && pwd)
root=${1:-"$here/../build"}
[ $# -gt 0 ] && shift
[ "${1:-}" = "--" ] && shift
root=$(cd "$root" && pwd)

if [ ! -x "$root/bin/tevora" ]; then
    echo "run-tevora: $root/bin/tevora is missing; build first (make build)." >&2
    exit 2
fi

: "${TEVORA_COMMON_APPDATA:=$root/appdata}"
: "${TEVORA_COMMON_DOCUMENTS:=$root/documents}"
export TEVORA_COMMON_APPDATA TEVORA_COMMON_DOCUMENTS
mkdir -p "$TEVORA_COMMON_APPDATA" "$TEVORA_COMMON_DOCUMENTS"
# The database engine's lock and sort folders go beside the machine-wide data, not into the
# tree's FB folder: the tests share that folder and must find no engine state in it.
: "${FIREBIRD_LOCK:=$TEVORA_COMMON_APPDATA/firebird/lock}"
: "${FIREBIRD_TMP:=$TEVORA_COMMON_APPDATA/firebird/tmp}"
export FIREBIRD_LOCK FIREBIRD_TMP
mkdir -p "$(dirname "$FIREBIRD_LOCK")" "$FIREBIRD_TMP"

sample="$here/../tests/fixtures/seqtree"
seq="$TEVORA_COMMON_DOCUMENTS/Kelmetra/SEQ"
if [ ! -e "$seq" ] && [ -d "$sample" ]; then
    mkdir -p "$seq.tmp"
    (cd "$sample" && tar cf - --exclude='*.py' .) | (cd "$seq.tmp" && tar xf -)
    mv "$seq.tmp" "$seq"
    echo "run-tevora: a sample sequence folder was laid out in $seq" >&2
fi

exec "$root/bin/tevora" "$@"
