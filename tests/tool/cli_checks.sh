# Shared by the command-line tests: counting checks and running the tool under test.
# The sourcing script sets $tool (the program) and $work (a temporary folder).
passed=0
failed=0

check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name" >&2
  fi
}

# run EXPECTED_STATUS ARGS...: runs the tool (at most 120 s), keeps stdout and stderr in
# $work/out and $work/err, and checks the exit status.
run() {
  local want=$1
  shift
  timeout 120 "$tool" "$@" >"$work/out" 2>"$work/err"
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "$(basename "$tool") $* exited $got, expected $want; stderr: $(cat "$work/err")" >&2
    return 1
  fi
}

# The last run failed with one line on stderr, prefixed by the tool's name, and no output.
one_line_error() {
  [ "$(wc -l <"$work/err")" -eq 1 ] && grep -q "^$(basename "$tool"): " "$work/err" &&
    [ ! -s "$work/out" ]
}
