#!/bin/bash
# Prints the non-blank, non-comment lines of C/C++ under tests/ against the rest outside
# bench/, and their ratio.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
count() {
  git ls-files -- "$@" | grep -E '\.(c|cc|cpp|h|hpp)$' | xargs -r cat |
    sed -e 's://.*$::' | awk '
      /\/\*/ { inside = 1 }
      { line = inside ? "" : $0 }
      /\*\// { inside = 0 }
      line ~ /[^[:space:]]/ { n++ }
      END { print n + 0 }'
}
tests=$(count tests)
product=$(count . ':!tests' ':!bench')
echo "tests $tests product $product ratio $(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.2f", t / p }')"
