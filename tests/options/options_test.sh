#!/usr/bin/env bash
# The options of nevlin and vantrel: --help and --version answer on stdout with status 0,
# without a display; nevlin refuses anything else with status 2 and one line on stderr;
# vantrel treats every other text, "--help;1000" included, as before: a file and an interval.
# Usage: options_test.sh NEVLIN VANTREL VERSION
set -u
nevlin=$(realpath "$1") vantrel=$(realpath "$2") version=$3
work=$(mktemp -d "${TMPDIR:-/tmp}/ostravel-options.XXXXXX")
pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
failures=0
problem() { echo "FAILED  $*"; failures=$((failures + 1)); }

# run PROGRAM ARGS...: no display and a settings folder of its own; sets status, out, err.
run() {
  (cd "$work/case" && env -u DISPLAY XDG_CONFIG_HOME="$work/config" timeout 20 "$@") \
    >"$work/out" 2>"$work/err"
  status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}
fresh_case() { rm -rf "$work/case" "$work/config"; mkdir "$work/case"; }

for program in nevlin vantrel; do
  path=${!program}
  fresh_case
  run "$path" --help
  [ "$status" = 0 ] || problem "$program --help: status $status"
  [[ $out == "Usage: $program "* ]] || problem "$program --help does not start with its usage: $out"
  [[ $out == *"man $program"* ]] || problem "$program --help does not point to its manual"
  [ -z "$err" ] || problem "$program --help wrote to stderr: $err"

  run "$path" --version
  [ "$status" = 0 ] && [ "$out" = "$program (Ostravel) $version" ] && [ -z "$err" ] ||
    problem "$program --version: status $status, '$out', '$err'"
  [ -z "$(ls -A "$work/case")" ] && [ ! -e "$work/config" ] || problem "$program --help/--version left files"
done

# nevlin takes no other argument: status 2, one line naming it and the usage, nothing else done.
for args in "-h" "--versionx" "--help extra" "x" $'two\nlines'; do
  fresh_case
  read -r -a words <<<"$args"
  [[ $args == *$'\n'* ]] && words=("$args")
  run "$nevlin" "${words[@]}"
  shown=${args//$'\n'/?}
  [ "$status" = 2 ] || problem "nevlin $shown: status $status, expected 2"
  [ -z "$out" ] || problem "nevlin $shown wrote to stdout: $out"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || problem "nevlin $shown: report is not one line: $err"
  [[ $err == "nevlin: "*"\"$shown\""*"Usage: nevlin [--help | --version]" ]] ||
    problem "nevlin $shown: report lacks the argument or the usage: $err"
  [ ! -e "$work/config" ] || problem "nevlin $shown wrote settings"
done

# vantrel: only the whole texts are options.
has_record() { [[ $(cat "$1" 2>/dev/null) =~ ^(-1|[0-9]+)#-?[0-9]+#-?[0-9]+#[0-9]+#[0-9]+# ]]; }
for text in "./--help;1000" "--help;1000" "--version;1000"; do
  fresh_case
  (cd "$work/case" && exec "$vantrel" "$text") >"$work/out" 2>"$work/err" &
  pid=$!
  pids+=("$pid")
  name=${text%;*}
  for _ in $(seq 400); do has_record "$work/case/$name" && break; kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  has_record "$work/case/$name" || problem "vantrel '$text' wrote no record to '$name': $(cat "$work/err")"
  kill -0 "$pid" 2>/dev/null || problem "vantrel '$text' ended"
  [ ! -s "$work/out" ] || problem "vantrel '$text' printed: $(cat "$work/out")"
  kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
done
for args in "--help x" "--Help" "--version " "-h"; do
  fresh_case
  run "$vantrel" "$args"
  [ "$status" = 2 ] && [ -z "$out" ] && [[ $err == "vantrel: "*"\"$args\""* ]] ||
    problem "vantrel '$args': status $status, '$out', '$err'"
  [ -z "$(ls -A "$work/case")" ] || problem "vantrel '$args' created files"
done
# Split arguments are joined with blanks first: "--help" "x" is the text "--help x".
fresh_case
run "$vantrel" --help x
[ "$status" = 2 ] && [[ $err == *'"--help x"'* ]] || problem "vantrel --help x: status $status, '$err'"

[ "$failures" = 0 ] && echo "options: all passed"
[ "$failures" = 0 ]
