#!/usr/bin/env bash
# The options of nevlin and vantrel: --help and --version answer on stdout with status 0,
# without a display; nevlin refuses anything else with status 2 and one line on stderr;
# vantrel treats every other text, "--help;1000" and "./--json;1000" included, as before: a file
# and an interval.
# Usage: options_test.sh NEVLIN VANTREL VERSION
# shellcheck source=SCRIPTDIR/../harness.sh
source "$(dirname "$0")/../harness.sh"
nevlin=$(realpath "$1") vantrel=$(realpath "$2") version=$3
work=$SCRATCH

# run PROGRAM ARGS...: no display and a settings folder of its own; sets status, out, err.
run() {
  status=0
  (cd "$work/case" && env -u DISPLAY XDG_CONFIG_HOME="$work/config" timeout 20 "$@") \
    >"$work/out" 2>"$work/err" || status=$?
  out=$(cat "$work/out")
  err=$(cat "$work/err")
}
fresh_case() { rm -rf "$work/case" "$work/config"; mkdir "$work/case"; }

for program in nevlin vantrel; do
  path=${!program}
  fresh_case
  run "$path" --help
  [ "$status" = 0 ] || check "$program --help: status $status"
  [[ $out == "Usage: $program "* ]] || check "$program --help does not start with its usage: $out"
  [[ $out == *"man $program"* ]] || check "$program --help does not point to its manual"
  [ -z "$err" ] || check "$program --help wrote to stderr: $err"

  run "$path" --version
  [[ $status == 0 && $out == "$program (Ostravel) $version" && -z $err ]] ||
    check "$program --version: status $status, '$out', '$err'"
  [[ -z $(ls -A "$work/case") && ! -e $work/config ]] || check "$program --help/--version left files"
done

# nevlin takes no other argument: status 2, one line naming it and the usage, nothing else done.
for args in "-h" "--versionx" "--help extra" "x" $'two\nlines'; do
  fresh_case
  read -r -a words <<<"$args"
  if [[ $args == *$'\n'* ]]; then words=("$args"); fi
  run "$nevlin" "${words[@]}"
  shown=${args//$'\n'/?}
  [ "$status" = 2 ] || check "nevlin $shown: status $status, expected 2"
  [ -z "$out" ] || check "nevlin $shown wrote to stdout: $out"
  [ "$(printf '%s\n' "$err" | wc -l)" = 1 ] || check "nevlin $shown: report is not one line: $err"
  [[ $err == "nevlin: "*"\"$shown\""*"Usage: nevlin [--help | --version]" ]] ||
    check "nevlin $shown: report lacks the argument or the usage: $err"
  [ ! -e "$work/config" ] || check "nevlin $shown wrote settings"
done

# vantrel: only the whole texts are options.
has_record() { [[ $(cat "$1" 2>/dev/null) =~ ^(-1|[0-9]+)#-?[0-9]+#-?[0-9]+#[0-9]+#[0-9]+# ]]; }
for text in "./--help;1000" "--help;1000" "--version;1000" "./--json;1000" "--details;1000"; do
  fresh_case
  (cd "$work/case" && exec "$vantrel" "$text") >"$work/out" 2>"$work/err" &
  pid=$!
  end_at_exit "$pid"
  name=${text%;*}
  wait_until 'has_record "$work/case/$name" || ! kill -0 "$pid" 2>/dev/null' 20 || true
  has_record "$work/case/$name" || check "vantrel '$text' wrote no record to '$name': $(cat "$work/err")"
  kill -0 "$pid" 2>/dev/null || check "vantrel '$text' ended"
  [ ! -s "$work/out" ] || check "vantrel '$text' printed: $(cat "$work/out")"
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
done
for args in "--help x" "--Help" "--version " "-h" "--json x" "--JSON" " --details"; do
  fresh_case
  run "$vantrel" "$args"
  [[ $status == 2 && -z $out && $err == "vantrel: "*"\"$args\""* ]] ||
    check "vantrel '$args': status $status, '$out', '$err'"
  [ -z "$(ls -A "$work/case")" ] || check "vantrel '$args' created files"
done
# Split arguments are joined with blanks first: "--help" "x" is the text "--help x".
fresh_case
run "$vantrel" --help x
[[ $status == 2 && $err == *'"--help x"'* ]] || check "vantrel --help x: status $status, '$err'"

[ "$(checks_failed)" -gt 0 ] || echo "options: all passed"
