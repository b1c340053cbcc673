#!/usr/bin/env bash
# Runs clang-tidy with the checks of .clang-tidy over the sources of src/ and
# apps/ (not tests/, bench/ or the generated moc files) and exits 1 when it
# reports anything, 2 when it could not run.
#
#   scripts/tidy.sh [BUILD_DIR]     BUILD_DIR (default build) holds
#                                   compile_commands.json: configure it first
#   TIDY_JOBS=N scripts/tidy.sh     clang-tidy processes at once (default 2)
set -u

root=$(cd "$(dirname "$0")/.." && pwd -P)
build=${1:-build}
case $build in
    /*) ;;
    *) build=$root/$build ;;
esac
if [ ! -f "$build/compile_commands.json" ]; then
    echo "tidy.sh: $build/compile_commands.json is missing: configure the build there first" >&2
    exit 2
fi
runner=$(command -v run-clang-tidy || command -v run-clang-tidy-14 || true)
if [ -z "$runner" ]; then
    echo "tidy.sh: run-clang-tidy is not installed" >&2
    exit 2
fi

# run-clang-tidy takes Python regular expressions on the paths the database
# holds; the tree may be reached through a symbolic link, so match both forms.
escape() { printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g'; }
logical=$(cd "$root" && pwd -L)
filter="^($(escape "$root")|$(escape "$logical"))/(src|apps)/(?!.*_autogen/).*\.cpp$"

out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$runner" -quiet -j "${TIDY_JOBS:-2}" -p "$build" "$filter" >"$out" 2>&1
status=$?
# run-clang-tidy asks for colours even into a file.
sed -i 's/\x1b\[[0-9;]*m//g' "$out"

# Drop the command lines run-clang-tidy echoes and clang's tallies; what is
# left is the findings (a header's finding once per file that includes it).
checked=$(grep -c '^[^ ]*clang-tidy[^ ]* ' "$out")
grep -v -e '^[^ ]*clang-tidy[^ ]* ' -e '^[0-9]* warnings\{0,1\}\( and [0-9]* errors\{0,1\}\)\{0,1\} generated\.$' \
    -e '^Error while processing ' "$out"

if [ "$checked" -eq 0 ]; then
    echo "tidy.sh: no source of src/ or apps/ is in $build/compile_commands.json" >&2
    exit 2
fi
findings=$(grep -E '^[^ ].*: (warning|error): ' "$out" | sort -u | wc -l)
if [ "$findings" -gt 0 ]; then
    echo "tidy.sh: $findings finding(s) in $checked files" >&2
    exit 1
fi
if [ "$status" -ne 0 ]; then
    echo "tidy.sh: clang-tidy failed (status $status)" >&2
    exit 2
fi
echo "tidy.sh: $checked files, no findings"
