#!/bin/sh
# Counts code and test lines: non-blank lines that are not // comments, in *.cpp *.h *.sh
# *.cmake and CMakeLists.txt, the fuzz corpus left out. Run from anywhere in the tree.
cd "$(git rev-parse --show-toplevel)" || exit 2
count() {
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name '*.cmake' \
        -o -name CMakeLists.txt \) -not -path '*/corpus/*' -print0 |
        xargs -0 cat | grep -v '^[[:space:]]*$' | grep -cv '^[[:space:]]*//'
}
code=$(count src tools)
tests=$(count tests)
echo "code (src, tools): $code"
echo "tests:             $tests ($((100 * tests / code))% of the code)"
