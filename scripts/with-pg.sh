#!/usr/bin/env bash
# Runs CMD... with a throwaway PostgreSQL cluster of its own (see pg-cluster.sh), exported as ORVACMN_TEST_PG*, and
# stops the cluster however CMD ends. Exits with CMD's status. Without PostgreSQL, CMD runs without the cluster and
# the server-store tests skip themselves.
set -uo pipefail
[ $# -gt 0 ] || { echo "usage: $0 CMD..." >&2; exit 2; }
here=$(cd "$(dirname "$0")" && pwd)

if ! ls /usr/lib/postgresql/*/bin/initdb >/dev/null 2>&1 && ! command -v initdb >/dev/null; then
  echo "PostgreSQL is not installed (no initdb): the server-store tests are skipped" >&2
  exec "$@"
fi

# A short path: the server's socket lives in it.
base=${TMPDIR:-/tmp}
[ ${#base} -gt 60 ] && base=/tmp
dir=$(mktemp -d "$base/orvapg.XXXXXX") || exit 1
trap '"$here/pg-cluster.sh" stop "$dir"' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

env=$("$here/pg-cluster.sh" start "$dir") || { echo "could not start a PostgreSQL cluster in $dir" >&2; exit 1; }
eval "$env"
echo "PostgreSQL test cluster: $ORVACMN_TEST_PG" >&2
"$@"
