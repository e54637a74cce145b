#!/usr/bin/env bash
# Plants the faults of faults.txt in core/ one at a time, builds and runs the test
# program(s) that check that code, and restores the file: a record of which faults the
# tests catch, so that a change to the tests or the code can show it catches as many.
#
#   scripts/faults/plant.sh [-o TABLE] [-l LIST] [-j JOBS] [-n] [BUILD_DIR] [ID...]
#
#   BUILD_DIR  a configured CMake build folder (default: the repository's build); taken
#              as such when the first argument is a folder
#   ID...      only these faults (default: all)
#   -o TABLE   also write the table to TABLE (written once the tree is found restored)
#   -l LIST    the list of faults (default: faults.txt beside this script)
#   -j JOBS    build jobs (default: 2)
#   -n         only check that every fault applies, without building
#
# Each fault: its text must occur exactly once in its file (else "stale"); the file is
# copied aside, changed, the test targets built (a failed build is "not compiled") and
# run directly with QT_QPA_PLATFORM=offscreen and a 120 s timeout. Any non-zero exit,
# a crash or the timeout is "caught", else "missed". The file is put back whatever
# happens (also on Ctrl-C), with a new time so that the next build recompiles it.
# Logs go to BUILD_DIR/faults/ID.log. Before any fault the targets are built and run
# as they are, and must pass. Exit status: 0 when every fault applied and compiled,
# 1 when one was stale or did not compile, 2 when the tree was not left as found.
set -uo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
list="$here/faults.txt"
table=""
jobs=2
check_only=0

usage() { awk 'NR > 1 && !/^#/ { exit } NR > 1 { sub(/^# ?/, ""); print }' "$0" >&2; exit 64; }
die() { echo "plant.sh: $*" >&2; exit 64; }

while getopts "o:l:j:nh" opt; do
  case $opt in
    o) table=$OPTARG ;;
    l) list=$OPTARG ;;
    j) jobs=$OPTARG ;;
    n) check_only=1 ;;
    *) usage ;;
  esac
done
shift $((OPTIND - 1))

build=$root/build
if [ $# -gt 0 ] && [ -d "$1" ]; then
  build=$1
  shift
fi
[ -f "$list" ] || die "no list of faults: $list"
list=$(cd "$(dirname "$list")" && pwd)/$(basename "$list")
if [ -n "$table" ]; then
  [ -d "$(dirname "$table")" ] || die "no folder for the table: $table"
  table=$(cd "$(dirname "$table")" && pwd)/$(basename "$table")
fi
if [ $check_only -eq 0 ]; then
  [ -f "$build/CMakeCache.txt" ] || die "not a configured build folder: $build"
  build=$(cd "$build" && pwd)
fi
cd "$root" || exit 64

# --- the list

ids=() files=() whats=() finds=() intos=() tests=()
declare -A block=()
flush_block() {
  [ ${#block[@]} -eq 0 ] && return
  local key
  for key in id file what find into test; do
    [ -n "${block[$key]:-}" ] || die "$list: a block without \"$key\" (near line $lineno)"
  done
  [ "${block[find]}" != "${block[into]}" ] || die "$list: ${block[id]} changes nothing"
  local id
  for id in "${ids[@]}"; do
    [ "$id" != "${block[id]}" ] || die "$list: id ${block[id]} twice"
  done
  ids+=("${block[id]}") files+=("${block[file]}") whats+=("${block[what]}")
  finds+=("${block[find]}") intos+=("${block[into]}") tests+=("${block[test]}")
  block=()
}
lineno=0
while IFS= read -r line || [ -n "$line" ]; do
  lineno=$((lineno + 1))
  line=${line%$'\r'}
  case $line in
    '#'*) continue ;;
    *[![:blank:]]*) ;;
    *) flush_block; continue ;;
  esac
  key=${line%%:*}
  [ "$key" != "$line" ] || die "$list:$lineno: not \"key: value\""
  case $key in id | file | what | find | into | test) ;; *) die "$list:$lineno: unknown key \"$key\"" ;; esac
  value=${line#*:}
  value=${value#"${value%%[![:blank:]]*}"}
  value=${value%"${value##*[![:blank:]]}"}
  block[$key]=$value
done <"$list"
flush_block
[ ${#ids[@]} -gt 0 ] || die "$list holds no fault"

# --- the faults asked for

chosen=()
if [ $# -eq 0 ]; then
  chosen=("${!ids[@]}")
else
  for want in "$@"; do
    found=""
    for i in "${!ids[@]}"; do
      [ "${ids[$i]}" = "$want" ] && found=$i
    done
    [ -n "$found" ] || die "no fault \"$want\" in $list"
    chosen+=("$found")
  done
fi

occurrences() { # text file: how many times text occurs in file
  [ -f "$2" ] || { echo 0; return; }
  grep -oF -- "$1" "$2" | wc -l
}

if [ $check_only -eq 1 ]; then
  bad=0
  for i in "${chosen[@]}"; do
    n=$(occurrences "${finds[$i]}" "${files[$i]}")
    if [ "$n" -ne 1 ]; then
      echo "stale: ${ids[$i]}: found $n times in ${files[$i]}"
      bad=1
    fi
  done
  [ $bad -eq 0 ] && echo "all ${#chosen[@]} faults apply"
  exit $bad
fi

# --- planting, always undone

work=$(mktemp -d)
planted="" # the file that holds a fault right now
restore() {
  if [ -n "$planted" ]; then
    cp "$work/original" "$planted" # not -p: a new time makes the next build recompile it
    planted=""
  fi
}
trap 'restore; rm -rf "$work"' EXIT
trap 'exit 130' INT TERM HUP

tree_state() { git -C "$root" status --porcelain=v1 --untracked-files=no; git -C "$root" diff HEAD; }
before=$(tree_state | sha256sum)

declare -A binary=()
find_binary() { # target: the path of its program in the build folder
  local path
  path=$(find "$build" -path "$build/CMakeFiles" -prune -o -type f -name "$1" -perm -u+x -print | head -n 1)
  [ -n "$path" ] || die "no program $1 in $build"
  binary[$1]=$path
}

run_test() { # target log: the test program's exit status; the shell's word on a crash goes to the log too
  { QT_QPA_PLATFORM=offscreen timeout 120 "${binary[$1]}" --gtest_brief=1 >>"$2" 2>&1; } 2>>"$2"
}

mkdir -p "$build/faults"
targets=()
for i in "${chosen[@]}"; do
  for t in ${tests[$i]}; do
    [[ " ${targets[*]} " == *" $t "* ]] || targets+=("$t")
  done
done

start=$(date +%s)
echo "building and running ${targets[*]} without faults" >&2
cmake --build "$build" --target "${targets[@]}" -j "$jobs" >"$build/faults/clean.log" 2>&1 ||
  die "the test programs don't build without faults; see $build/faults/clean.log"
for t in "${targets[@]}"; do
  find_binary "$t"
  run_test "$t" "$build/faults/clean.log" || die "$t fails without any fault; see $build/faults/clean.log"
done

results=()
step=0
for i in "${chosen[@]}"; do
  step=$((step + 1))
  id=${ids[$i]} file=${files[$i]}
  log="$build/faults/$id.log"
  : >"$log"
  n=$(occurrences "${finds[$i]}" "$file")
  if [ "$n" -ne 1 ]; then
    result=stale
    echo "text found $n times in $file" >>"$log"
  else
    cp "$file" "$work/original"
    planted=$file
    FIND=${finds[$i]} INTO=${intos[$i]} perl -i -pe 's/\Q$ENV{FIND}\E/$ENV{INTO}/' "$file"
    git -C "$root" diff --no-color -- "$file" >>"$log"
    read -ra wanted <<<"${tests[$i]}"
    if ! cmake --build "$build" --target "${wanted[@]}" -j "$jobs" >>"$log" 2>&1; then
      result="not compiled"
    else
      result=missed
      for t in "${wanted[@]}"; do
        echo "--- $t" >>"$log"
        run_test "$t" "$log"
        status=$?
        echo "--- $t exited with $status" >>"$log"
        [ $status -eq 0 ] || result=caught
      done
    fi
    restore
  fi
  results[i]=$result
  echo "[$step/${#chosen[@]}] $id: $result" >&2
done

# The build folder holds the restored code again.
cmake --build "$build" --target "${targets[@]}" -j "$jobs" >"$build/faults/restored.log" 2>&1 ||
  echo "plant.sh: the restored tree doesn't build; see $build/faults/restored.log" >&2
seconds=$(($(date +%s) - start))

after=$(tree_state | sha256sum)
if [ "$before" != "$after" ]; then
  echo "plant.sh: the tree differs from how it was found:" >&2
  git -C "$root" status --short >&2
  exit 2
fi

# --- the table

caught=0 missed=0 stale=0 failed=0
make_table() {
  printf '%-26s %-35s %-80s %s\n' id file fault result
  for i in "${chosen[@]}"; do
    printf '%-26s %-35s %-80s %s\n' "${ids[$i]}" "${files[$i]}" "${whats[$i]}" "${results[$i]}"
  done
  printf 'total %d: %d caught, %d missed, %d stale, %d not compiled\n' "${#chosen[@]}" "$caught" "$missed" "$stale" "$failed"
}
for i in "${chosen[@]}"; do
  case ${results[$i]} in
    caught) caught=$((caught + 1)) ;;
    missed) missed=$((missed + 1)) ;;
    stale) stale=$((stale + 1)) ;;
    *) failed=$((failed + 1)) ;;
  esac
done
make_table
[ -z "$table" ] || make_table >"$table"
echo "$((seconds / 60)) min $((seconds % 60)) s" >&2
[ $((stale + failed)) -eq 0 ]
