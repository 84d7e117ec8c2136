#!/bin/bash
# Plants the faults of tools/dev/mutants.txt one at a time into a scratch worktree at a given
# commit, builds, runs the test suite (fuzz and package tests left out: they are the same on
# every branch and take minutes) until its first failure, and prints a table of caught and
# survived faults. Not part of the normal test command.
#   tools/dev/mutants.sh [-b] COMMIT [ID...]     -b: run the unmutated suite first
# The IDs, when given, are planted in their order.
# MUTANT_TREE names the scratch worktree (default: ../mutants beside this checkout).
set -u
here=$(git rev-parse --show-toplevel) || exit 2
list=$here/tools/dev/mutants.txt
baseline=0
[ "${1:-}" = -b ] && baseline=1 && shift
commit=${1:?usage: mutants.sh [-b] COMMIT [ID...]}
shift
tree=${MUTANT_TREE:-$(dirname "$here")/mutants}
[ -d "$tree" ] || git -C "$here" worktree add --detach "$tree" "$commit" >&2 || exit 2
git -C "$tree" checkout --quiet --detach --force "$commit" || exit 2
cd "$tree" || exit 2
[ -f build/dev/build.ninja ] ||
    cmake --preset dev -DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DGRAVEWIND_FUZZ=OFF >/dev/null ||
    exit 2
log=build/dev/mutants
mkdir -p "$log"

# Builds and tests; prints "caught by <test>", "survived", or "does not build".
verdict() {
    if ! nice cmake --build build/dev >"$log/$1.build" 2>&1; then
        echo "does not build"
        return
    fi
    if ctest --preset dev -j2 --stop-on-failure --timeout 300 -E '^package_' >"$log/$1.test" 2>&1
    then
        echo "survived"
    else
        echo "caught by $(sed -n '/tests FAILED:/{n;p}' "$log/$1.test" | awk '{print $3}')"
    fi
}

if [ "$baseline" = 1 ]; then
    echo "unmutated suite: $(verdict baseline) ($(grep -o 'tests passed.*' "$log/baseline.test"))"
fi
echo "| fault | file | breaks | result |"
echo "|---|---|---|---|"
python3 - "$list" "$@" <<'PY' >"$log/plan"
import sys
entries, cur = [], None
for line in open(sys.argv[1], encoding="utf-8"):
    line = line.rstrip("\n")
    if not line.strip() or line.startswith("#"):
        continue
    if line.startswith("- "):
        cur["old"] = line[2:].strip()
    elif line.startswith("+ "):
        cur["new"] = line[2:].strip()
    else:
        ident, path, what = (line.split(None, 2) + [""])[:3]
        cur = {"id": ident, "path": path, "what": what}
        entries.append(cur)
order = sys.argv[2:] or [e["id"] for e in entries]
byId = {e["id"]: e for e in entries}
for ident in order:
    e = byId[ident]
    print("\t".join((e["id"], e["path"], e["what"], e["old"], e["new"])))
PY
while IFS=$'\t' read -r id path what old new; do
    result=$(python3 - "$path" "$old" "$new" <<'PY'
import sys
path, old, new = sys.argv[1:]
lines = open(path, encoding="latin-1").read().split("\n")
hits = [i for i, l in enumerate(lines) if l.strip() == old]
if len(hits) != 1:
    print(f"not planted: the line occurs {len(hits)} times")
    sys.exit(1)
l = lines[hits[0]]
lines[hits[0]] = l[: len(l) - len(l.lstrip())] + new
open(path, "w", encoding="latin-1").write("\n".join(lines))
PY
    ) && result=$(verdict "$id")
    git checkout --quiet -- "$path"
    echo "| $id | $path | $what | $result |"
done <"$log/plan"
