#!/bin/bash
# Prints the non-blank, non-comment lines of C/C++ that exist only for testing against the
# product's, and their ratio. Test code: everything under tests/ (its stand-in encoder among
# them), and every fuzz target wherever it lives. Product: the rest outside bench/.
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
tests=$(count tests ':(glob)**/fuzz/**')
product=$(count . ':!tests' ':(exclude,glob)**/fuzz/**' ':!bench')
echo "tests $tests product $product ratio $(awk -v t="$tests" -v p="$product" 'BEGIN { printf "%.2f", t / p }')"
