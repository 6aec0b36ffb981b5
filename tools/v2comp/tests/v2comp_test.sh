#!/usr/bin/env bash
# Runs v2comp on small projects and checks console lines, exit codes and output files.
set -u
v2comp="$1"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
failures=0

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
expect_exit() { # expected actual what
  [ "$1" = "$2" ] || fail "$3: exit $2, expected $1"
}
expect_line() { # file text what
  grep -qxF -- "$2" "$1" || { fail "$3: missing line '$2'"; cat "$1"; }
}

banner="V2 compiler for Vexa II - version 1.0 (2000/11/14)"

"$v2comp" > out.txt; code=$?
expect_exit 255 $code "no argument"
[ -z "$(head -n 1 out.txt)" ] || fail "banner starts with an empty line"
expect_line out.txt "$banner" "banner"
expect_line out.txt "use: v2comp <projectfile>" "usage"

"$v2comp" missing.prj > out.txt; code=$?
expect_exit 254 $code "missing project file"
expect_line out.txt "cannot open project file" "missing project file"

mkdir dir.prj
"$v2comp" dir.prj > out.txt; code=$?
expect_exit 254 $code "project file that is a directory"

printf 'ok.v2\n1abc.v2\n' > bad.prj
"$v2comp" bad.prj > out.txt; code=$?
expect_exit 253 $code "invalid module name"
expect_line out.txt "invalid module name : 1abc" "invalid module name"
[ ! -e bad.err ] || fail "nothing is compiled after an invalid name"

# A project file written on Windows, with a backslash in a path and a module listed twice.
mkdir -p src work
printf 'int counter;\r\nthread main {\r\n counter = counter + 1;\r\n}\r\n' > src/motor.v2
printf 'function helper() { }\n' > util.v2
printf 'src\\motor.v2\r\n\r\nutil.v2\r\nsrc\\motor.v2\r\n' > work/demo.prj
"$v2comp" work/demo.prj > out.txt; code=$?
expect_exit 0 $code "good project"
[ "$(head -n 1 demo.vmc)" = $'VX2VMC\r' ] || fail "demo.vmc starts with VX2VMC"
[ ! -e demo.dbg ] || fail "no .dbg file is written"
printf 'compilation ready, VMC available\r\n\0' | cmp -s - demo.err || { fail "demo.err after a good build"; od -c demo.err; }
grep -q "error(s)" out.txt && fail "no error count after a good build"

printf 'int a b;\nint c;\nthread main { c = 1; }\n' > broken.v2
printf 'broken.v2\n' > broken.prj
"$v2comp" broken.prj > out.txt; code=$?
expect_exit 0 $code "build with errors"
expect_line out.txt "1 error(s) found, please refere to the *.err file for detail information" "error count"
[ ! -e broken.vmc ] || fail "no .vmc after errors"
printf 'broken.v2 (1) : ; expected\r\n\0' | cmp -s - broken.err || { fail "broken.err"; od -c broken.err; }

printf '\n\n' > empty.prj
"$v2comp" empty.prj > out.txt; code=$?
expect_exit 0 $code "empty project"
grep -q "error(s)" out.txt && fail "no error count when only the final step fails"
printf 'no main thread found\r\n\0' | cmp -s - empty.err || { fail "empty.err"; od -c empty.err; }
[ -e empty.vmc ] && [ ! -s empty.vmc ] || fail "empty.vmc exists and is empty"

printf 'int a b;\nint c;\n' > src/bad.v2
printf 'src\\bad.v2\r\n' > winbad.prj
"$v2comp" winbad.prj > out.txt; code=$?
expect_exit 0 $code "build with errors, Windows path"
printf 'src\\bad.v2 (1) : ; expected\r\n\0' | cmp -s - winbad.err || { fail "winbad.err shows the path as written"; od -c winbad.err; }

printf 'gone.v2\n' > gone.prj
"$v2comp" gone.prj > out.txt; code=$?
expect_exit 0 $code "missing module file"
expect_line out.txt "1 error(s) found, please refere to the *.err file for detail information" "missing module counted"
printf 'gone.v2 (1) : cannot open file\r\n\0' | cmp -s - gone.err || { fail "gone.err"; od -c gone.err; }

mkdir vmcdir && cp work/demo.prj vmcdir.prj && mkdir vmcdir.vmc
"$v2comp" vmcdir.prj > out.txt; code=$?
expect_exit 252 $code "unwritable .vmc"
expect_line out.txt "cannot write vmcdir.vmc" "unwritable .vmc"

cp work/demo.prj errdir.prj && mkdir errdir.err
"$v2comp" errdir.prj > out.txt; code=$?
expect_exit 252 $code "unwritable .err"
expect_line out.txt "cannot write errdir.err" "unwritable .err"

[ $failures -eq 0 ] && echo "all v2comp checks passed"
exit $failures
