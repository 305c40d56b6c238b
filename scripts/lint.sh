#!/usr/bin/env bash
# The source gates of make check and make lint.
#
#   scripts/lint.sh format              clang-format --dry-run -Werror over every C/C++ file
#   scripts/lint.sh spell               codespell over the tree (.codespellrc)
#   scripts/lint.sh tidy BUILD all      clang-tidy (.clang-tidy) over every source of BUILD
#   scripts/lint.sh tidy BUILD changed  clang-tidy over the sources changed since LINT_BASE
#                                       (default: the parent of HEAD)
#
# BUILD is a configured build folder (its compile_commands.json names the
# sources and their flags). A changed header is checked through the sources
# that include it. Exit status 1 when a gate finds something.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

# Every C/C++ file of the project (the tracked ones when this is a git
# checkout, else whatever lies outside the build folders).
sources() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files -- '*.cpp' '*.h' '*.c'
  else
    find . \( -path './build*' -o -path './.git' \) -prune -o \
      \( -name '*.cpp' -o -name '*.h' -o -name '*.c' \) -print | sed 's|^\./||' | sort
  fi
}

# The translation units of compile_commands.json inside the source tree
# (generated files and other trees left out).
units() {
  python3 - "$1" "$root" <<'EOF'
import json, os, sys
build, root = sys.argv[1], sys.argv[2]
seen = set()
for entry in json.load(open(os.path.join(build, "compile_commands.json"))):
    path = os.path.normpath(os.path.join(entry["directory"], entry["file"]))
    if path.startswith(root + "/") and path not in seen and path.endswith((".cpp", ".c")):
        seen.add(path)
        print(os.path.relpath(path, root))
EOF
}

# Sources changed since the base commit: changed .cpp files, and for a
# changed header every unit that includes it.
changed_units() {
  local build=$1 base=${LINT_BASE:-}
  if ! git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    echo "lint: not a git checkout; checking every source" >&2
    units "$build"
    return
  fi
  if [ -z "$base" ]; then
    if git rev-parse --verify -q HEAD~1 >/dev/null; then
      base=HEAD~1
    else
      echo "lint: no parent commit to compare with; checking every source" >&2
      units "$build"
      return
    fi
  fi
  local all changed
  all=$(units "$build")
  changed=$( (git diff --name-only "$base" -- '*.cpp' '*.h' '*.c'; git ls-files --others --exclude-standard -- '*.cpp' '*.h' '*.c') | sort -u)
  for f in $changed; do
    [ -f "$f" ] || continue
    case "$f" in
      *.h)
        grep -l -F "#include \"$f\"" $all 2>/dev/null || true
        ;;
      *) grep -x -F "$f" <<<"$all" || true ;;
    esac
  done | sort -u
}

case "${1:-}" in
  format)
    sources | xargs -r clang-format --dry-run -Werror
    echo "lint: clang-format finds nothing to change"
    ;;
  spell)
    codespell
    echo "lint: codespell finds no misspelling"
    ;;
  tidy)
    build=${2:?usage: scripts/lint.sh tidy BUILD all|changed}
    case "${3:-changed}" in
      all) list=$(units "$build") ;;
      changed) list=$(changed_units "$build") ;;
      *) echo "usage: scripts/lint.sh tidy BUILD all|changed" >&2; exit 2 ;;
    esac
    if [ -z "$list" ]; then
      echo "lint: no changed source for clang-tidy"
      exit 0
    fi
    count=$(wc -w <<<"$list")
    echo "lint: clang-tidy over $count source(s)"
    # run-clang-tidy takes regular expressions of paths.
    patterns=$(sed -e 's/[.+]/\\&/g' -e 's/$/$/' <<<"$list")
    # shellcheck disable=SC2086
    run-clang-tidy -quiet -p "$build" -j "${LINT_JOBS:-$(nproc)}" $patterns >"$build/clang-tidy.log" 2>&1 || {
      grep -E '(warning|error):' "$build/clang-tidy.log" | sort -u >&2 || cat "$build/clang-tidy.log" >&2
      echo "lint: clang-tidy found the problems above (full output: $build/clang-tidy.log)" >&2
      exit 1
    }
    echo "lint: clang-tidy finds nothing"
    ;;
  *)
    echo "usage: scripts/lint.sh format|spell|tidy BUILD all|changed" >&2
    exit 2
    ;;
esac
