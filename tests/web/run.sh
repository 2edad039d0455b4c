#!/bin/sh
# The web page's test, from the repository root:
#   tests/web/run.sh BUILD_WEB VELDA_CONVERT   the page test (make test-web)
#   tests/web/run.sh BUILD_WEB --bench         its benchmark (make bench-web)
# Installs the pinned puppeteer-core when it is missing or older than the
# lock file.
set -eu
if [ $# -ne 2 ]; then
  echo "usage: $0 BUILD_WEB VELDA_CONVERT | $0 BUILD_WEB --bench" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
if [ ! -d "$here/node_modules" ] || [ "$here/package-lock.json" -nt "$here/node_modules" ]; then
  (cd "$here" && npm ci --no-audit --no-fund --loglevel=error) >&2
  touch "$here/node_modules"  # npm ci may keep an older date; the check above needs a newer one
fi
if [ "$2" = --bench ]; then
  exec node "$here/bench.mjs" "$1"
fi
exec node "$here/page_test.mjs" "$1" "$2"
