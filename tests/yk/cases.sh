#!/usr/bin/env bash
# End-to-end cases for build/yk, one per CTest test: `cases.sh NAME`. Each case works in a fresh
# temporary directory and fails with a message naming what went wrong.
# Needs YK (the archiver), and for some cases YK_CRAFT, YK_PTY, YK_REPLAY, YK_COMPOSE (helper
# programs).
set -u
export LC_ALL=C.UTF-8 TZ=UTC
YK=${YK:?YK must name the archiver}

work=$(mktemp -d "${TMPDIR:-/tmp}/yk-case.XXXXXX")
logs=$(mktemp -d "${TMPDIR:-/tmp}/yk-logs.XXXXXX") # outside the tree that yk archives
trap 'chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work" "$logs"' EXIT
cd "$work" || exit 1
# Where yk notes its temporary files: the case's own, not the user's.
export XDG_STATE_HOME=$logs/state

fail() { echo "FAIL: $*" >&2; exit 1; }
# Runs yk with stdin closed off, recording its status in $rc and its output in $OUT and $ERR.
OUT=$logs/out.txt ERR=$logs/err.txt
run() { "$YK" "$@" </dev/null >"$OUT" 2>"$ERR"; rc=$?; }
expect_rc() { [ "$rc" -eq "$1" ] || { cat "$OUT" "$ERR" >&2; fail "status $rc, expected $1 ($2)"; }; }
contains() { grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "$1 lacks '$2'"; }; }
lacks() { ! grep -qF -- "$2" "$1" || { cat "$1" >&2; fail "$1 has '$2'"; }; }
same_tree() { diff -r --no-dereference "$1" "$2" >/dev/null || { diff -r "$1" "$2" >&2; fail "trees $1 and $2 differ"; }; }

# A tree with the awkward things users have: empty and binary files, blanks, quotes, a leading
# dash, non-UTF-8 bytes, Cyrillic, nesting, a hidden file, a link.
make_tree() {
    mkdir -p "$1/sub/deep" "$1/with blank dir" && (
        cd "$1" || exit 1
        echo "read me" >README
        : >empty
        head -c 300000 /dev/urandom >binary.dat
        seq 1 20000 >numbers.txt
        echo blank >"name with blanks.txt"
        echo quote >"it's \"quoted\".txt"
        echo dash >-x
        echo dashes >--help
        printf 'latin-1\n' >"$(printf 'caf\xe9.txt')"
        echo cyr >файл.txt
        echo c >sub/a.c
        echo deep >sub/deep/b.c
        echo inner >"with blank dir/inner file.txt"
        echo secret >.hidden
        ln -s README link-to-readme
    )
}

case_methods_roundtrip() {
    make_tree src
    for m in 0 1 2; do
        (cd src && "$YK" aqr$m "../arc$m" '*.*' </dev/null >/dev/null 2>&1)
        [ -f arc$m.yk ] || fail "method $m wrote no archive"
        run t arc$m.yk
        expect_rc 0 "test of method $m"
        rm -rf "out$m" && mkdir "out$m" && (cd "out$m" && "$YK" xq "../arc$m.yk" </dev/null) ||
            fail "extract of method $m"
        cp -a src cmp$m && rm -f cmp$m/.hidden
        same_tree cmp$m out$m
        run lf arc$m.yk
        expect_rc 0 "full list of method $m"
    done
    contains "$OUT" "PPMd:o6:16m"
    run lf arc0.yk && contains "$OUT" "Copy"
    # The dictionary no larger than the data (408 951 bytes) needs.
    run lf arc1.yk && contains "$OUT" "LZMA2:512k"
    contains "$OUT" "$(printf 'caf\xe9.txt')"
    # Method 0 stores, 1 and 2 compress the text well.
    [ "$(stat -c %s arc1.yk)" -lt "$(stat -c %s arc0.yk)" ] || fail "method 1 does not compress"
    [ "$(stat -c %s arc2.yk)" -lt "$(stat -c %s arc0.yk)" ] || fail "method 2 does not compress"
}

case_odd_names() {
    make_tree src
    cd src || exit 1
    # Each operand is one name, blanks, quotes and dashes included.
    run a1 ../odd -x --help "name with blanks.txt" "it's \"quoted\".txt" "$(printf 'caf\xe9.txt')" файл.txt
    expect_rc 0 "adding odd names"
    cd .. && mkdir out && cd out || exit 1
    run x ../odd.yk
    expect_rc 0 "extracting odd names"
    for n in -x --help "name with blanks.txt" "it's \"quoted\".txt" "$(printf 'caf\xe9.txt')" файл.txt; do
        cmp -s -- "$n" "../src/$n" || fail "'$n' did not survive the round trip"
    done
    [ "$(ls -A | wc -l)" -eq 6 ] || fail "unexpected files: $(ls -A)"
}

case_paths_and_flat() {
    make_tree src
    (cd src && "$YK" aq1 ../paths sub "with blank dir" </dev/null) || fail "add with paths"
    run l paths.yk
    contains "$OUT" "sub/deep/b.c"
    contains "$OUT" "with blank dir/inner file.txt"
    (cd src && "$YK" aqer1 ../flat '*.c' </dev/null) || fail "add without paths"
    run l flat.yk
    contains "$OUT" " a.c"
    contains "$OUT" " b.c"
    lacks "$OUT" "sub/"
    mkdir x e && (cd x && "$YK" xq ../paths.yk) && (cd e && "$YK" eq ../paths.yk) || fail "extract"
    [ -f x/sub/deep/b.c ] && [ -f "x/with blank dir/inner file.txt" ] || fail "x lost paths"
    [ -f e/b.c ] && [ -f e/a.c ] && [ -f "e/inner file.txt" ] || fail "e kept paths: $(find e)"
    [ ! -e e/sub ] || fail "e made directories"
}

case_recurse_wildcards() {
    make_tree src
    cd src || exit 1
    run aq1 ../top '*.c'
    expect_rc 2 "no .c file at the top without r"
    contains "$ERR" "*.c"
    run aq1 ../top '*.*'
    expect_rc 0 "*.* at the top"
    run l ../top.yk
    contains "$OUT" " README"
    contains "$OUT" " empty"
    lacks "$OUT" "sub/a.c"
    run aqr1 ../deep '*.c'
    expect_rc 0 "*.c with r"
    run l ../deep.yk
    contains "$OUT" "sub/a.c"
    contains "$OUT" "sub/deep/b.c"
    lacks "$OUT" "README"
    run aq1 ../q '?EADM?'
    expect_rc 0 "question marks"
    run l ../q.yk
    contains "$OUT" " README"
    contains "$OUT" "Записей: 1,"
    run aq1 ../missing nothing-here
    expect_rc 2 "a name that does not exist"
    contains "$ERR" "nothing-here"
    [ ! -e ../missing.yk ] || fail "an archive was written with nothing in it"
    run aq1 ../partial README nothing-here
    expect_rc 1 "one name missing"
    [ -f ../partial.yk ] || fail "the found file was not archived"
}

# Names holding '*' or '?' are legal file names: with n each is that file alone (and moved
# alone); without n, from a shell, they stay DOS patterns. The program writes n for such
# selected names and keeps its own "*.*" a pattern.
case_literal_names() {
    local compose=${YK_COMPOSE:?YK_COMPOSE must name the program that composes the lines}
    line() { mapfile -d '' -t ARGS < <("$compose" "$@") && [ ${#ARGS[@]} -gt 0 ] || fail "no line $1"; }
    mkdir src && cd src || exit 1
    for n in 'x?' xa xb '*.*' '*' 'a*' abc plain.txt; do echo "$n" >"./$n"; done
    only() { # ARCHIVE NAME: the archive holds NAME and nothing else
        run l "$1"
        expect_rc 0 "list $1"
        contains "$OUT" "Записей: 1,"
        grep -qF -- " $2" "$OUT" || { cat "$OUT" >&2; fail "$1 lacks $2"; }
    }
    for n in 'x?' '*.*' '*' 'a*'; do
        line add "$work/lit.yk" "$n"
        [ "${ARGS[0]}" = an1 ] && [ "${ARGS[2]}" = "$n" ] || fail "line for '$n': ${ARGS[*]}"
        rm -f backup.yk
        run "${ARGS[@]}"
        expect_rc 0 "add of '$n' by its line"
        only backup.yk "$n"
    done
    # Ordinary names keep the line as it always was.
    line add "$work/lit.yk" plain.txt xa
    [ "${ARGS[*]}" = "a1 backup plain.txt xa" ] || fail "plain line: ${ARGS[*]}"
    # Moved alone: the neighbours stay on disk.
    run aqmn1 ../moved 'x?'
    expect_rc 0 "move of x?"
    [ ! -e 'x?' ] && [ -f xa ] && [ -f xb ] || fail "moving x? touched its neighbours"
    only ../moved.yk 'x?'
    run aqmn1 ../moved2 '*.*'
    expect_rc 0 "move of *.*"
    [ ! -e '*.*' ] && [ -f abc ] && [ -f plain.txt ] || fail "moving *.* touched other files"
    # A literal name that does not exist is missing, not a pattern that matched nothing.
    run aqn1 ../none 'x*'
    expect_rc 2 "missing literal name"
    # The select-all line and a shell keep the patterns.
    line add-every "$work/all.yk"
    [ "${ARGS[0]}" = asdqemr2 ] && [ "${ARGS[2]}" = '*.*' ] || fail "select-all line: ${ARGS[*]}"
    run aq1 ../pat 'x?'
    expect_rc 0 "pattern x?"
    run l ../pat.yk
    contains "$OUT" " xa"
    contains "$OUT" " xb"
    run aq1 ../every '*.*'
    expect_rc 0 "pattern *.*"
    run l ../every.yk
    contains "$OUT" " abc"
    contains "$OUT" " plain.txt"
}

case_hidden_and_dirs() {
    make_tree src
    mkdir -p src/emptydir src/.hiddendir && echo h >src/.hiddendir/h.txt
    cd src || exit 1
    run aqr1 ../plain '*.*'
    run l ../plain.yk
    lacks "$OUT" ".hidden"
    lacks "$OUT" "emptydir"
    run aqr1 ../plain2 .hidden
    run l ../plain2.yk
    contains "$OUT" ".hidden"
    run asqr1 ../hidden '*.*'
    run l ../hidden.yk
    contains "$OUT" " .hidden"
    contains "$OUT" ".hiddendir/h.txt"
    run adqr1 ../dirs '*.*'
    run l ../dirs.yk
    contains "$OUT" "emptydir/"
    contains "$OUT" "sub/deep/"
    cd .. && mkdir out && cd out && "$YK" xq ../dirs.yk </dev/null || fail "extract dirs"
    [ -d emptydir ] || fail "the empty directory did not come back"
}

case_move() {
    make_tree src
    cd src || exit 1
    run aqm1 ../moved README numbers.txt sub
    expect_rc 0 "move"
    [ ! -e README ] && [ ! -e numbers.txt ] && [ ! -e sub/a.c ] && [ ! -e sub/deep/b.c ] ||
        fail "moved files are still there"
    [ -f binary.dat ] || fail "a file not named was deleted"
    run t ../moved.yk
    expect_rc 0 "moved archive"
    # The archive cannot be written: nothing may be deleted.
    run aqm1 ../no/such/dir/arc binary.dat
    expect_rc 2 "unwritable archive"
    [ -f binary.dat ] || fail "source deleted although the archive failed"
    # An existing archive that is damaged is not rewritten, and the sources stay.
    head -c 100 ../moved.yk >../broken.yk
    run aqm1 ../broken binary.dat
    expect_rc 2 "damaged old archive"
    [ -f binary.dat ] || fail "source deleted although the add failed"
    [ "$(stat -c %s ../broken.yk)" -eq 100 ] || fail "damaged archive was touched"
    # A name that is missing leaves the others to be moved, and says so in the status.
    run aqm1 ../part binary.dat nothing-here
    expect_rc 1 "move with one missing name"
    [ ! -e binary.dat ] || fail "the found file was not moved"
}

case_replace_and_keep() {
    echo one >a.txt && echo bee >b.txt
    run aq1 arc a.txt b.txt
    expect_rc 0 "first add"
    echo "two, longer" >a.txt && echo sea >c.txt
    run a1 arc a.txt c.txt
    expect_rc 0 "second add"
    contains "$OUT" "Замена"
    run l arc.yk
    contains "$OUT" "Записей: 3,"
    [ "$(grep -c ' a.txt$' "$OUT")" -eq 1 ] || fail "a.txt listed more than once"
    mkdir out && cd out && "$YK" xq ../arc.yk </dev/null || fail "extract"
    [ "$(cat a.txt)" = "two, longer" ] || fail "a.txt was not replaced"
    [ "$(cat b.txt)" = bee ] && [ "$(cat c.txt)" = sea ] || fail "other entries lost"
}

case_never_into_itself() {
    echo x >x.txt
    run aq0 self '*.*'
    run aq0 self '*.*'
    expect_rc 0 "second add over itself"
    run l self.yk
    lacks "$OUT" "  self.yk"
    contains "$OUT" "Записей: 1,"
    run aq0 SELF.YK x.txt
    run aq0 SELF.YK '*.*'
    run l SELF.YK
    lacks "$OUT" "  SELF.YK"
}

case_test_good_and_bad() {
    seq 1 200000 >big.txt && echo small >small.txt
    run aq0 stored big.txt small.txt
    run t stored.yk
    expect_rc 0 "good archive"
    contains "$OUT" "ОК"
    contains "$OUT" "Архив исправен."
    run tq stored.yk
    expect_rc 0 "quiet test"
    [ ! -s "$OUT" ] || fail "quiet test printed: $(cat "$OUT")"
    # One byte changed inside big.txt's data: its CRC no longer matches.
    cp stored.yk bad.yk
    printf 'X' | dd of=bad.yk bs=1 seek=5000 conv=notrunc 2>/dev/null
    run t bad.yk
    expect_rc 1 "damaged entry"
    contains "$OUT" "ОШИБКА"
    contains "$ERR" "CRC"
    contains "$OUT" "В архиве есть ошибки."
    run lf bad.yk
    [ "$rc" -ne 0 ] || fail "full listing did not notice the bad CRC"
    # Compressed data damaged.
    seq 1 200000 >big.txt && "$YK" aq1 packed big.txt </dev/null >/dev/null
    cp packed.yk bad2.yk
    printf 'XXXXXXXX' | dd of=bad2.yk bs=1 seek=2000 conv=notrunc 2>/dev/null
    run t bad2.yk
    [ "$rc" -ne 0 ] || fail "damaged packed data passed the test"
    head -c 3000 packed.yk >cut.yk
    run t cut.yk
    expect_rc 2 "truncated archive"
    echo "just text" >text.yk
    run t text.yk
    expect_rc 2 "not an archive"
    run t nothing.yk
    expect_rc 2 "no archive"
    contains "$ERR" "nothing.yk"
}

case_traversal_refused() {
    mkdir box && cd box || exit 1
    abs="$work/escaped-absolute.txt"
    "${YK_CRAFT:?}" entries evil.yk "f644:../escaped-dotdot.txt=dotdot" \
        "f644:inner/../../escaped-inner.txt=inner" "f644:$abs=absolute" "l:up->.." \
        "f644:up/escaped-link.txt=through link" "f644:harmless.txt=harmless" ||
        fail "crafting the archive"
    run x evil.yk
    expect_rc 1 "hostile archive"
    [ "$(cat harmless.txt)" = harmless ] || fail "the harmless entry was not extracted"
    [ ! -e ../escaped-dotdot.txt ] && [ ! -e ../escaped-inner.txt ] && [ ! -e "$abs" ] ||
        fail "an entry escaped: $(ls ..)"
    [ ! -e ../escaped-link.txt ] || fail "an entry was written through a link"
    [ ! -L up ] || fail "a link leading out was made"
    contains "$ERR" "../escaped-dotdot.txt"
    contains "$ERR" "абсолютный путь"
    contains "$ERR" "«up»"
    # A link already on disk that leads out is not followed either.
    rm -rf up harmless.txt && ln -s .. up
    run xy evil.yk
    expect_rc 1 "hostile archive over a link on disk"
    [ ! -e ../escaped-link.txt ] || fail "an entry was written through a link on disk"
    contains "$ERR" "up/escaped-link.txt"
    rm -f up harmless.txt
    run ey evil.yk
    [ -f harmless.txt ] && [ ! -e ../escaped-dotdot.txt ] && [ ! -e "$abs" ] ||
        fail "flat extraction escaped"
}

case_overwrite_no_terminal() {
    echo new >f.txt && "$YK" aq1 arc f.txt </dev/null >/dev/null
    echo old >f.txt
    # No y, and stdin is no terminal: keep, report, do not wait.
    timeout 20 "$YK" x arc.yk </dev/null >"$OUT" 2>"$ERR"
    rc=$?
    [ "$rc" -ne 124 ] || fail "waited for an answer with no terminal"
    [ "$rc" -ne 0 ] || fail "kept file not reflected in the status"
    [ "$(cat f.txt)" = old ] || fail "file replaced without asking"
    contains "$ERR" "f.txt"
    # The same with stdin a pipe that says yes: still no terminal, still kept.
    echo y | timeout 20 "$YK" x arc.yk >"$OUT" 2>"$ERR"
    [ "$(cat f.txt)" = old ] || fail "answered from a pipe"
    run xy arc.yk
    expect_rc 0 "overwrite with y"
    [ "$(cat f.txt)" = new ] || fail "y did not replace the file"
}

case_overwrite_terminal() {
    for n in 1 2 3; do echo "new $n" >f$n.txt; done
    "$YK" aq1 arc f1.txt f2.txt f3.txt </dev/null >/dev/null
    reset() { for n in 1 2 3; do echo "old $n" >f$n.txt; done; }
    reset
    "${YK_PTY:?}" "n y maybe n" "$YK" x arc.yk >"$OUT" 2>&1 || fail "n/y/n session: $(cat "$OUT")"
    [ "$(cat f1.txt)" = "old 1" ] && [ "$(cat f2.txt)" = "new 2" ] && [ "$(cat f3.txt)" = "old 3" ] ||
        fail "answers n, y, (unclear) n were not followed"
    [ "$(grep -o '\[q\]' "$OUT" | wc -l)" -eq 4 ] || fail "an unclear reply was not asked again"
    reset
    "$YK_PTY" "n a" "$YK" x arc.yk >"$OUT" 2>&1 || fail "n/a session"
    [ "$(cat f1.txt)" = "old 1" ] && [ "$(cat f2.txt)" = "new 2" ] && [ "$(cat f3.txt)" = "new 3" ] ||
        fail "'all' did not cover the rest"
    [ "$(grep -o '\[q\]' "$OUT" | wc -l)" -eq 2 ] || fail "asked again after 'all'"
    reset
    "$YK_PTY" "y q" "$YK" x arc.yk >"$OUT" 2>&1
    rc=$?
    [ "$rc" -eq 1 ] || fail "quit gave status $rc"
    [ "$(cat f1.txt)" = "new 1" ] && [ "$(cat f2.txt)" = "old 2" ] && [ "$(cat f3.txt)" = "old 3" ] ||
        fail "quit did not stop the extraction"
    reset
    "$YK_PTY" "" "$YK" xy arc.yk >"$OUT" 2>&1 || fail "xy on a terminal"
    lacks "$OUT" "[q]"
    [ "$(cat f3.txt)" = "new 3" ] || fail "xy asked or kept"
}

case_times_and_attribute() {
    echo data >f.txt && touch -d '2001-02-03 04:05:06' f.txt
    "$YK" aq1 arc f.txt </dev/null >/dev/null
    rm f.txt
    run x arc.yk
    [ "$(stat -c %Y f.txt)" -eq "$(date -d '2001-02-03 04:05:06' +%s)" ] || fail "stored time lost"
    rm f.txt
    run xat arc.yk
    expect_rc 0 "a and t"
    contains "$OUT" "POSIX"
    [ $(( $(date +%s) - $(stat -c %Y f.txt) )) -lt 100 ] || fail "t did not give the current time"
    run l arc.yk
    contains "$OUT" "03.02.2001  04:05"
}

case_progress_on_terminal() {
    head -c 30000000 /dev/urandom >big.bin
    "${YK_PTY:?}" "" "$YK" a0 arc big.bin >"$OUT" 2>&1 || fail "add on a terminal"
    contains "$OUT" "%"
    contains "$OUT" "Добавление  big.bin"
    "$YK_PTY" "" "$YK" t arc.yk >"$OUT" 2>&1 || fail "test on a terminal"
    contains "$OUT" "%"
    "$YK_PTY" "" "$YK" aq0 arc2 big.bin >"$OUT" 2>&1 || fail "quiet add on a terminal"
    lacks "$OUT" "%"
    # Not a terminal: no progress figures at all.
    run a0 arc3 big.bin
    lacks "$OUT" "%"
}

case_special_files() {
    mkfifo pipe && echo x >plain.txt
    timeout 20 "$YK" aq1 arc pipe plain.txt </dev/null >"$OUT" 2>"$ERR"
    rc=$?
    [ "$rc" -ne 124 ] || fail "blocked on a FIFO"
    expect_rc 1 "FIFO skipped"
    contains "$ERR" "pipe"
    run l arc.yk
    lacks "$OUT" "pipe"
    contains "$OUT" "plain.txt"
    # Unreadable files and directories are reported and skipped (run as an ordinary user).
    mkdir locked && echo s >locked/s.txt && echo t >secret.txt && chmod 000 locked secret.txt
    chmod 777 "$work"
    as_user=()
    [ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    "${as_user[@]}" "$YK" aqr1 arc2 '*.*' </dev/null >"$OUT" 2>"$ERR"
    rc=$?
    expect_rc 1 "unreadable entries"
    contains "$ERR" "secret.txt"
    contains "$ERR" "locked"
    run l arc2.yk
    contains "$OUT" "plain.txt"
    lacks "$OUT" "secret.txt"
    run t arc2.yk
    expect_rc 0 "the archive written around the skipped files"
}

case_symlinks() {
    mkdir d && echo target >d/t.txt && ln -s t.txt d/link && ln -s ../d/t.txt d/up-and-in &&
        ln -s /etc/hostname absolute && ln -s ../.. d/out
    run aq1 arc d absolute
    expect_rc 0 "links are stored as links"
    mkdir out && cd out || exit 1
    run x ../arc.yk
    expect_rc 1 "links leading out are refused"
    [ "$(readlink d/link)" = t.txt ] && [ "$(readlink d/up-and-in)" = ../d/t.txt ] ||
        fail "links inside not restored"
    [ ! -L absolute ] && [ ! -L d/out ] || fail "a link out of the directory was made"
    contains "$ERR" "absolute"
    contains "$ERR" "d/out"
}

case_command_lines() {
    # The lines the program itself composes (YK_COMPOSE prints them split into arguments), end
    # to end, with full paths, upper-case extensions and a name that needs quoting.
    local compose=${YK_COMPOSE:?YK_COMPOSE must name the program that composes the lines}
    line() { mapfile -d '' -t ARGS < <("$compose" "$@") && [ ${#ARGS[@]} -gt 0 ] || fail "no line $1"; }
    echo n >notes && echo r >"quarterly report.html"
    line add "$work/backup.yk" notes "quarterly report.html"
    [ "${ARGS[*]}" = "a1 backup notes quarterly report.html" ] && [ ${#ARGS[@]} -eq 4 ] ||
        fail "add line: ${ARGS[*]}"
    run "${ARGS[@]}"
    expect_rc 0 "default add"
    line list "$work/backup.yk"
    run "${ARGS[@]}"
    contains "$OUT" "quarterly report.html"
    line list-full "$work/backup.yk"
    run "${ARGS[@]}"
    contains "$OUT" "LZMA"
    line test "$work/backup.yk"
    run "${ARGS[@]}"
    expect_rc 0 "test by full path"
    line test-quiet "$work/backup.yk"
    run "${ARGS[@]}"
    expect_rc 0 "quiet test by full path"
    line add-every "$work/backup.yk"
    [ "${ARGS[0]}" = asdqemr2 ] || fail "every add switch: ${ARGS[*]}"
    mkdir w && cp notes w/ && (cd w && "$YK" "${ARGS[@]}" </dev/null) || fail "every add switch"
    [ -f backup.YK ] && [ ! -e backup.YK.yk ] || fail "upper-case extension not recognised"
    [ ! -e w/notes ] || fail "m did not move"
    mkdir out && cd out || exit 1
    line extract-every "$work/backup.YK"
    [ "${ARGS[0]}" = eqaty ] || fail "every extract switch: ${ARGS[*]}"
    run "${ARGS[@]}"
    expect_rc 0 "every extract switch"
    [ -f notes ] || fail "nothing extracted"
    line extract "$work/backup.yk"
    run "${ARGS[@]}"
    expect_rc 0 "default extract"
    [ -f "quarterly report.html" ] || fail "the name with a blank was not extracted"
    run l "$work/backup"
    expect_rc 0 "archive named without extension"
    # Nothing selected: the command line ends after the archive name.
    line add "$work/nothing.yk"
    ARGS[1]=nothing
    run "${ARGS[@]}"
    expect_rc 2 "add with no names"
    contains "$ERR" "нечего добавлять"
    [ ! -e nothing.yk ] || fail "an empty archive was written"
    # Not the grammar: usage and status 2.
    for bad in "" "z arc" "a3 arc x" "-a1 arc x" "l" "x a b" "lq arc" "a1r arc x"; do
        # shellcheck disable=SC2086
        "$YK" $bad </dev/null >"$OUT" 2>"$ERR"
        rc=$?
        [ "$rc" -eq 2 ] || fail "'$bad' gave status $rc"
        contains "$ERR" "Использование"
        contains "$ERR" "POSIX"
    done
}

# Checks an archive with 7zz when it is installed (Debian's 7zip), an independent reader.
check_with_7zz() {
    if ! command -v 7zz >/dev/null; then
        echo "7zz not installed: the check by a second reader is skipped"
        return
    fi
    7zz t "$1" >"$OUT" 2>&1 || { cat "$OUT" >&2; fail "7zz rejects $1"; }
}

# Archives written before method 1 became LZMA2 (one LZMA stream written by libarchive), made
# here by bsdtar (libarchive's own tool) or 7zz, stay readable and take new files.
case_old_lzma_archive() {
    make_tree src
    rm -f src/link-to-readme
    if command -v bsdtar >/dev/null; then
        (cd src && bsdtar --format 7zip --options 7zip:compression=lzma1 -cf ../old.yk README             binary.dat numbers.txt sub) || fail "bsdtar wrote no archive"
    elif command -v 7zz >/dev/null; then
        (cd src && 7zz a -bd -m0=lzma ../old.yk README binary.dat numbers.txt sub >/dev/null) ||
            fail "7zz wrote no archive"
    else
        echo "skipped: neither bsdtar nor 7zz to write an old archive" && exit 77
    fi
    run lf old.yk
    expect_rc 0 "listing of an old LZMA archive"
    contains "$OUT" "LZMA:"
    seq 1 50000 >src/new.txt
    (cd src && "$YK" aq1 ../old new.txt </dev/null >/dev/null) || fail "add to an old LZMA archive"
    run lf old.yk
    expect_rc 0 "listing after the add"
    contains "$OUT" "LZMA2:768k" # the dictionary that the 697 803 bytes need
    contains "$OUT" "new.txt"
    contains "$OUT" "binary.dat"
    run t old.yk
    expect_rc 0 "test after the add"
    check_with_7zz old.yk
    mkdir out && (cd out && "$YK" xq ../old.yk </dev/null >/dev/null) || fail "extract"
    for f in README binary.dat numbers.txt sub/a.c sub/deep/b.c new.txt; do
        cmp -s "src/$f" "out/$f" || fail "$f differs after the add"
    done
}

case_store_method() {
    # Stored archives, written by the archiver itself, read back through libarchive: every kind
    # of entry, modes, times, odd names, replacing, and adding to a compressed archive.
    mkdir src && (
        cd src || exit 1
        : >empty
        mkdir emptydir sub
        echo inner >sub/inner.txt
        head -c 200000 /dev/urandom >binary.dat
        printf 'latin-1\n' >"$(printf 'caf\xe9.txt')"
        echo run >script.sh && chmod 750 script.sh
        echo ro >readonly.txt && chmod 444 readonly.txt
        echo old >dated.txt && touch -d '2001-02-03 04:05:06' dated.txt
        ln -s sub/inner.txt link
    ) || fail "making the tree"
    (cd src && "$YK" adqr0 ../arc '*.*' </dev/null) || fail "stored add"
    run t arc.yk
    expect_rc 0 "test of the stored archive"
    contains "$OUT" "Архив исправен."
    run lf arc.yk
    expect_rc 0 "full list"
    contains "$OUT" "Copy"
    contains "$OUT" "-rwxr-x--- script.sh"
    contains "$OUT" "-r--r--r-- readonly.txt"
    contains "$OUT" "emptydir/"
    contains "$OUT" "link -> sub/inner.txt"
    contains "$OUT" "03.02.2001  04:05"
    contains "$OUT" "$(printf 'caf\xe9.txt')"
    contains "$OUT" "Записей: 10,"
    check_with_7zz arc.yk
    mkdir out && (cd out && "$YK" xq ../arc.yk </dev/null) || fail "extract"
    same_tree src out
    [ "$(readlink out/link)" = sub/inner.txt ] || fail "the link did not come back as a link"
    for f in script.sh readonly.txt dated.txt "$(printf 'caf\xe9.txt')" emptydir; do
        [ "$(stat -c %a "src/$f")" = "$(stat -c %a "out/$f")" ] || fail "mode of $f lost"
    done
    [ "$(stat -c %Y out/dated.txt)" -eq "$(date -d '2001-02-03 04:05:06' +%s)" ] || fail "time lost"

    # Replacing one entry keeps the others.
    echo "new, longer" >src/sub/inner.txt
    (cd src && "$YK" a0 ../arc sub/inner.txt </dev/null >"$OUT" 2>"$ERR") || fail "replacing add"
    contains "$OUT" "Замена"
    run l arc.yk
    contains "$OUT" "Записей: 10,"
    [ "$(grep -a -v -e '->' "$OUT" | grep -a -c ' sub/inner.txt$')" -eq 1 ] || fail "sub/inner.txt listed twice"
    check_with_7zz arc.yk
    rm -rf out && mkdir out && (cd out && "$YK" xq ../arc.yk </dev/null) || fail "extract again"
    same_tree src out

    # Adding stored files to an LZMA archive: its entries come over, all stored now.
    seq 1 30000 >numbers.txt && echo added >added.txt
    "$YK" aq1 mixed numbers.txt </dev/null >/dev/null || fail "LZMA archive"
    run aq0 mixed added.txt
    expect_rc 0 "stored add to an LZMA archive"
    run lf mixed.yk
    contains "$OUT" "numbers.txt"
    contains "$OUT" "added.txt"
    lacks "$OUT" "LZMA"
    check_with_7zz mixed.yk
    mkdir out2 && (cd out2 && "$YK" xq ../mixed.yk </dev/null) || fail "extract mixed"
    cmp -s out2/numbers.txt numbers.txt && cmp -s out2/added.txt added.txt || fail "mixed content"

    # Only empty entries: no data at all, still an archive.
    run adq0 hollow src/empty src/emptydir
    expect_rc 0 "archive of empty entries"
    run t hollow.yk
    expect_rc 0 "test of empty entries"
    check_with_7zz hollow.yk
}

# Waits until process $1 has read part of file $2 (more than $3 bytes and less than $4 if given)
# and sets $pos. Shell builtins only, so that the look is quick enough for a read of a second or
# less.
wait_reading() {
    local from=${3:-0} to=${4:-}
    pos=0
    for _ in $(seq 1 20000); do
        for fd in /proc/$1/fd/*; do
            [ "$fd" -ef "$2" ] || continue
            while read -r key value; do
                [ "$key" = pos: ] && pos=$value
            done <"/proc/$1/fdinfo/${fd##*/}" 2>/dev/null
        done
        [ "${pos:-0}" -gt "$from" ] && { [ -z "$to" ] || [ "$pos" -lt "$to" ]; } && return
        [ -d "/proc/$1" ] || break
    done
    fail "could not catch yk reading $2"
}

# Over an archive holding a good big.txt, starts `yk a$1 arc new.txt big.txt` with a sparse
# big.txt of $2, runs the command $3 on big.txt part-way through its reading, and checks that the
# old big.txt is still the one in the archive, that new.txt went in and that nothing padded did.
change_while_read() {
    rm -rf "$work/cw" && mkdir "$work/cw" && cd "$work/cw" || exit 1
    echo "old copy" >big.txt && echo new >new.txt
    "$YK" aq0 arc big.txt </dev/null >/dev/null || fail "first archive"
    truncate -s "$2" big.txt
    "$YK" a"$1" arc new.txt big.txt </dev/null >"$OUT" 2>"$ERR" &
    pid=$!
    wait_reading $pid "$work/cw/big.txt"
    kill -STOP $pid # held while the file changes
    eval "$3"
    kill -CONT $pid
    wait $pid
    rc=$?
    expect_rc 1 "big.txt changed while read ($3)"
    contains "$ERR" "«big.txt»: файл изменился во время чтения; не добавлен"
    run t arc.yk
    expect_rc 0 "the archive around the changed file"
    mkdir out && (cd out && "$YK" xq ../arc.yk </dev/null) || fail "extract"
    [ "$(cat out/big.txt)" = "old copy" ] || fail "the old copy of big.txt was lost ($3)"
    [ "$(cat out/new.txt)" = new ] || fail "new.txt is missing"
    check_with_7zz arc.yk
    cd "$work" || exit 1
}

case_store_file_shrinks() {
    # Cut short, grown, or changed in place while read: the old copy stays, nothing padded.
    change_while_read q0 600M 'truncate -s 1M big.txt'
    change_while_read q1 600M 'truncate -s 1M big.txt'
    change_while_read q2 600M 'truncate -s 1M big.txt'
    # These are seen once the whole file is read: stored, so that it takes a second, not more.
    change_while_read q0 200M 'truncate -s 300M big.txt'
    change_while_read q0 200M 'printf X | dd of=big.txt bs=1 seek=150000000 conv=notrunc 2>/dev/null'
    change_while_read q0 200M 'touch -d @1000000000 big.txt'
    # With "m" the changed file is never deleted; the one read whole is.
    change_while_read qm0 200M 'touch big.txt'
    [ -e cw/big.txt ] || fail "m deleted a file that changed while it was read"
    [ ! -e cw/new.txt ] || fail "m kept a file that was archived"
    # Alone, the changed file leaves the archive as it was.
    echo "old copy" >big.txt
    "$YK" aq0 alone big.txt </dev/null >/dev/null && cp alone.yk before.yk
    truncate -s 600M big.txt
    "$YK" aq0 alone big.txt </dev/null >"$OUT" 2>"$ERR" &
    pid=$!
    wait_reading $pid "$work/big.txt"
    truncate -s 1M big.txt
    wait $pid
    rc=$?
    expect_rc 2 "nothing but a file that changed"
    cmp -s alone.yk before.yk || fail "the archive changed"
}

# Starts `yk aq$1 arc big.txt` over an existing arc.yk, kills it part-way through big.txt and
# checks that the old archive is untouched and nothing is left behind.
kill_during_add() {
    echo keep >keep.txt
    "$YK" aq1 arc keep.txt </dev/null >/dev/null || fail "first archive"
    cp arc.yk before.yk
    size=$(stat -c %s big.txt)
    "$YK" aq"$1" arc big.txt </dev/null >/dev/null 2>&1 &
    pid=$!
    # Wait until yk is part-way through big.txt, then kill it without warning.
    wait_reading $pid "$work/big.txt"
    [ "$pos" -lt "$size" ] || fail "could not catch yk mid-add (at $pos)"
    kill -KILL $pid
    wait $pid 2>/dev/null
    cmp -s arc.yk before.yk || fail "the old archive changed"
    run t arc.yk
    expect_rc 0 "old archive after the kill"
    leftovers=$(ls -A | grep -v -x -e keep.txt -e arc.yk -e before.yk -e big.txt)
    [ -z "$leftovers" ] || fail "left behind: $leftovers"
    echo "method $1: killed at $pos of $size bytes"
}

case_kill_mid_add() {
    head -c 96000000 /dev/urandom | base64 -w 0 >big.txt
    kill_during_add 1
}

case_kill_mid_store() {
    # Stored data goes straight into the new archive file: a kill still leaves the old one.
    truncate -s 600M big.txt
    kill_during_add 0
}

case_solid_order_same_bytes() {
    # Method 1 groups the new files by extension, then name, then path (method 0 keeps the order
    # they were found in); listing and extraction follow that order and lose nothing.
    mkdir -p o/sub && echo b >o/b.txt && echo a >o/a.c && echo c >o/c.txt && echo s >o/sub/a.txt
    echo r >o/README && echo d >o/.hidden.TXT
    run as1 ord o; expect_rc 0 "method 1 add"
    run l ord.yk; expect_rc 0 "listing"
    names=$(grep -o 'o/[^ ]*$' "$OUT" | tr '\n' ' ')
    [ "$names" = "o/README o/a.c o/.hidden.TXT o/sub/a.txt o/b.txt o/c.txt " ] ||
        fail "method 1 order: $names"
    run as0 ord0 o; expect_rc 0 "method 0 add"
    run l ord0.yk; expect_rc 0 "listing"
    names=$(grep -o 'o/[^ ]*$' "$OUT" | tr '\n' ' ')
    [ "$names" = "o/.hidden.TXT o/README o/a.c o/b.txt o/c.txt o/sub/a.txt " ] ||
        fail "method 0 order: $names"
    mkdir x && (cd x && "$YK" xq ../ord.yk </dev/null >/dev/null) || fail "extract"
    same_tree o x/o
    # Where method 1 cuts its blocks depends on the data alone: one core or every core give the
    # same bytes (the threads change only the speed).
    command -v taskset >/dev/null || { echo "skipped: no taskset"; exit 77; }
    [ "$(nproc)" -ge 2 ] || { echo "skipped: one core only"; exit 77; }
    mkdir in && seq 1 1000000 >in/numbers.txt && head -c 3000000 /dev/urandom >in/random.bin
    seq 1 7 500000 | rev >in/reversed.txt
    cat in/* >/dev/null # the access times settle before the first add reads them
    taskset -c 0 "$YK" aq1 one in </dev/null >/dev/null || fail "add on one core"
    "$YK" aq1 all in </dev/null >/dev/null || fail "add on every core"
    cmp one.yk all.yk || fail "one core and every core gave different archives"
}

case_bounded_memory() {
    # A file larger than the address space yk may use goes through, both ways.
    if [ "${YK_SANITIZED:-0}" = 1 ]; then
        echo "skipped: sanitizers need more address space than the limit" && exit 77
    fi
    truncate -s 300M sparse.bin
    ( ulimit -v 250000 && "$YK" aq2 arc sparse.bin </dev/null ) || fail "add under a memory limit"
    ( ulimit -v 250000 && "$YK" tq arc.yk </dev/null ) || fail "test under a memory limit"
    [ "$(stat -c %s arc.yk)" -lt 1000000 ] || fail "zeros did not compress"
    # Method 1 keeps a few blocks per core in memory, whatever the size of its input: its peak
    # stays under the encoders' need (about 100 MB each) and three blocks per core, and the
    # input is twice that. Most of it is random (stored at copy speed), the rest text.
    command -v /usr/bin/time >/dev/null || { echo "no /usr/bin/time: method 1 not measured"; return; }
    limit=$((130000 * $(nproc) + 100000))
    seq 1 300000 >big.bin
    head -c $((limit * 2048)) /dev/urandom >>big.bin
    /usr/bin/time -f %M -o rss.txt "$YK" aq1 arc1 big.bin </dev/null >/dev/null || fail "method 1 add"
    rss=$(tail -1 rss.txt)
    echo "method 1 peak: $rss KB for $(stat -c %s big.bin) bytes ($(nproc) cores, limit $limit KB)"
    [ "$rss" -lt "$limit" ] || fail "method 1 took $rss KB"
    ( ulimit -v 250000 && "$YK" tq arc1.yk </dev/null ) || fail "test of method 1 under a memory limit"
    # Too little memory for the encoder: said plainly, and the old archive stays as it was.
    seq 1 100000 >small.txt && cp arc1.yk before.yk
    ( ulimit -v 150000 && "$YK" aq1 arc1 small.txt </dev/null >"$OUT" 2>"$ERR" )
    rc=$?
    expect_rc 2 "method 1 without memory for its encoder"
    contains "$ERR" "недостаточно памяти для сжатия"
    cmp -s arc1.yk before.yk || fail "the old archive changed"
}

case_over_4gib() {
    # Compressed by libarchive and by the archiver's own writers (64-bit sizes).
    for m in 2 1 0; do
        truncate -s 4600M huge.bin
        printf 'tail' | dd of=huge.bin bs=1 seek=$((4600 * 1024 * 1024 - 4)) conv=notrunc 2>/dev/null
        run aq$m arc$m huge.bin
        expect_rc 0 "add of a file over 4 GiB, method $m"
        run l arc$m.yk
        contains "$OUT" "4823449600"
        rm huge.bin
        run xq arc$m.yk
        expect_rc 0 "extract of a file over 4 GiB, method $m"
        [ "$(stat -c %s huge.bin)" -eq 4823449600 ] || fail "size lost, method $m"
        [ "$(tail -c 4 huge.bin)" = tail ] || fail "the end of the file is wrong, method $m"
        rm -f huge.bin arc$m.yk
    done
}

case_fuzz_replay() {
    # The fuzzing harness over a valid archive and damaged copies of it: every run must end.
    mkdir seeds && seq 1 3000 >a.txt && echo b >b.txt && mkdir d && echo c >d/c.txt
    for m in 0 1 2; do "$YK" adq$m seeds/good$m a.txt b.txt d </dev/null >/dev/null; done
    "$YK" aq1 seeds/single b.txt </dev/null >/dev/null
    : >seeds/empty
    head -c 1000 /dev/urandom >seeds/random
    for m in 0 1 2; do
        len=$(stat -c %s seeds/good$m.yk)
        for cut in 6 31 32 40 $((len / 2)) $((len - 1)); do
            head -c $cut seeds/good$m.yk >seeds/cut$m-$cut
        done
        for at in 7 12 20 28 33 $((len - 60)) $((len - 20)) $((len - 3)); do
            cp seeds/good$m.yk seeds/flip$m-$at
            printf '\377' | dd of=seeds/flip$m-$at bs=1 seek=$at conv=notrunc 2>/dev/null
        done
    done
    [ -d "${YK_SEEDS:-}" ] && cp "$YK_SEEDS"/* seeds/
    timeout 120 "${YK_REPLAY:?}" seeds/* >"$OUT" 2>"$ERR"
    rc=$?
    [ "$rc" -eq 0 ] || { tail -20 "$OUT" "$ERR" >&2; fail "replay status $rc"; }
    contains "$OUT" "good1.yk: "
    grep -q "good1.yk: .* list 0, test 0" "$OUT" || fail "a good archive did not pass: $(grep good1 "$OUT")"
    grep -q "random: .* list 2, test 2" "$OUT" || fail "random bytes were taken for an archive"
}

# Hostile and unusual archives are written by yk_craft (see craft_archive.cpp for the notation).
craft() { "${YK_CRAFT:?}" "$@" || fail "crafting: $*"; }

case_extract_keeps_what_exists() {
    craft entries dirs.yk "d755:pd" "d755:pl" "f644:pd/inner=x" "f644:other=o"
    # (libarchive lists files first: pd/inner meets the file pd before the entry pd does.)
    echo data >pd && ln -s pd pl
    run x dirs.yk
    expect_rc 1 "a directory entry over a file and a link, nobody to ask"
    [ -f pd ] && [ "$(cat pd)" = data ] || fail "the file was replaced by a directory"
    [ -L pl ] || fail "the link was replaced by a directory"
    contains "$ERR" "«pd»"
    contains "$ERR" "«pl»"
    run xy dirs.yk
    expect_rc 0 "the same with y"
    [ -d pd ] && [ ! -L pl ] && [ -d pl ] && [ "$(cat pd/inner)" = x ] || fail "y did not replace"
    # A file entry where a directory stands is refused, the directory kept.
    craft entries file.yk "f644:pd=file"
    run xy file.yk
    expect_rc 2 "a file entry over a directory"
    [ -d pd ] && [ "$(cat pd/inner)" = x ] || fail "the directory was touched"
}

case_extract_never_partial() {
    seq 1 300000 >big.txt && echo small >small.txt
    "$YK" aq0 arc big.txt small.txt </dev/null >/dev/null || fail "add"
    cp arc.yk bad.yk
    printf 'X' | dd of=bad.yk bs=1 seek=5000 conv=notrunc 2>/dev/null
    mkdir out && cd out || exit 1
    run x ../bad.yk
    expect_rc 1 "a damaged entry"
    [ ! -e big.txt ] || fail "the damaged file stayed under its name ($(stat -c %s big.txt) bytes)"
    [ "$(cat small.txt)" = small ] || fail "the good entry was not extracted"
    contains "$ERR" "CRC"
    # A file being replaced stays whole when its replacement turns out damaged.
    echo "precious" >big.txt
    run xy ../bad.yk
    [ "$(cat big.txt)" = precious ] || fail "the old file was lost to a damaged replacement"
    # A write that fails half-way (a file size limit stands in for a full disk) leaves nothing.
    rm -f big.txt small.txt
    (trap '' XFSZ && ulimit -f 500 && "$YK" x ../arc.yk </dev/null >"$OUT" 2>"$ERR")
    [ ! -e big.txt ] || fail "a file cut short by the limit stayed ($(stat -c %s big.txt) bytes)"
    [ -f small.txt ] || fail "the small file was not extracted"
    contains "$ERR" "слишком велик"
    [ -z "$(ls -A | grep -v -x small.txt)" ] || fail "left behind: $(ls -A)"
    # Killed in the middle of a large file: nothing under its name.
    cd .. && head -c 300000000 /dev/zero >zeros.bin && "$YK" aq1 zeros zeros.bin </dev/null >/dev/null
    mkdir killed && cd killed || exit 1
    "$YK" xq ../zeros.yk </dev/null >/dev/null 2>&1 &
    pid=$!
    # Wait until yk is writing into this directory, then kill it without warning.
    writing=
    for _ in $(seq 1 2000); do
        for fd in /proc/$pid/fd/*; do
            case "$(readlink "$fd" 2>/dev/null)" in "$work/killed/"*) writing=1 ;; esac
        done
        [ -n "$writing" ] && break
        sleep 0.01
    done
    [ -n "$writing" ] || fail "could not catch yk writing"
    kill -KILL $pid 2>/dev/null
    wait $pid 2>/dev/null
    [ ! -e zeros.bin ] || [ "$(stat -c %s zeros.bin)" -eq 300000000 ] ||
        fail "a partial file under its name after a kill"
    [ -z "$(ls -A | grep -v -x zeros.bin)" ] || fail "left behind: $(ls -A)"
}

case_two_adds_at_once() {
    mkdir a b
    for i in $(seq 1 40); do head -c 20000 /dev/urandom >a/a$i; head -c 20000 /dev/urandom >b/b$i; done
    for trial in 1 2 3 4 5; do
        rm -f arc.yk
        "$YK" aq1 arc a </dev/null >/dev/null 2>&1 &
        p1=$!
        "$YK" aq1 arc b </dev/null >/dev/null 2>&1 &
        p2=$!
        wait $p1 || fail "first add failed (trial $trial)"
        wait $p2 || fail "second add failed (trial $trial)"
        run l arc.yk
        contains "$OUT" "Записей: 80,"
    done
    # The second one waits for the lock, and says so on a terminal.
    flock . sleep 2 &
    for _ in $(seq 1 200); do flock -n . true || break; sleep 0.01; done
    echo c >c.txt
    "${YK_PTY:?}" "" "$YK" a1 arc c.txt >"$OUT" 2>&1 || fail "add after waiting"
    contains "$OUT" "ожидание"
    wait
    run l arc.yk
    contains "$OUT" "Записей: 81,"
}

case_names_round_trip() {
    # A real U+F7E9 beside the raw byte 0xE9 that was once escaped as that very character.
    mkdir src && (cd src && echo raw >"$(printf 'caf\xe9')" && echo real >"$(printf 'caf\xef\x9f\xa9')")
    # The longest name the file system takes still has room for its temporary name.
    (cd src && echo long >"$(printf 'n%.0s' $(seq 1 255))" && echo cyr >"$(printf 'ж%.0s' $(seq 1 127))")
    (cd src && "$YK" aq1 ../arc '*.*' </dev/null >"$OUT" 2>"$ERR") || { cat "$ERR"; fail "add"; }
    lacks "$ERR" "уже добавлен"
    mkdir out && (cd out && "$YK" xq ../arc.yk </dev/null) || fail "extract"
    same_tree src out
}

case_links_stay_inside() {
    mkdir box outdir && cd box || exit 1
    craft entries ../chain.yk "l:s->." "l:z->s/s/../../outdir" "d755:p" "l:p/q->.." \
        "l:w->p/q/.." "l:fine->p/q/s" "l:p/up->../p"
    run x ../chain.yk
    expect_rc 1 "links chained through earlier links"
    [ ! -L z ] && [ ! -L w ] || fail "a link leading out was made"
    contains "$ERR" "«z»"
    contains "$ERR" "«w»"
    [ -L fine ] && [ -L p/up ] && [ -L s ] || fail "links that stay inside were not made"
    for l in $(find . -type l); do
        real=$(realpath -m "$l")
        case "$real" in "$work/box" | "$work/box/"*) ;; *) fail "$l resolves to $real" ;; esac
    done
    # A link already on disk that leads out is not a way out for a new link either.
    rm -rf ./* && ln -s ../outdir ext
    craft entries ../through.yk "l:x->ext/secret"
    run x ../through.yk
    expect_rc 2 "a link through a link on disk that leads out"
    [ ! -L x ] || fail "the link through an outside link was made"
}

case_modes_are_tamed() {
    mkdir box && chmod 700 box && cd box || exit 1
    mkdir mine && chmod 700 mine
    craft entries ../modes.yk "f6777:suid=x" "d1777:sticky" "d700:." "d777:mine" "f644:mine/f=y" \
        "f644:=empty name"
    (umask 022 && "$YK" x ../modes.yk </dev/null >"$OUT" 2>"$ERR")
    [ "$(stat -c %a suid)" = 755 ] || fail "suid came out $(stat -c %a suid)"
    [ "$(stat -c %a sticky)" = 755 ] || fail "sticky came out $(stat -c %a sticky)"
    [ "$(stat -c %a .)" = 700 ] || fail "the working directory's mode changed to $(stat -c %a .)"
    [ "$(stat -c %a mine)" = 700 ] || fail "an existing directory changed to $(stat -c %a mine)"
    [ "$(cat mine/f)" = y ] || fail "the file in the existing directory is missing"
    # Directories made on the way to a file take their own entry's mode and time when it comes.
    craft entries ../made.yk "f644:d/sub/f=1" "d700:d" "d750:d/sub"
    (umask 022 && "$YK" x ../made.yk </dev/null >"$OUT" 2>"$ERR") || fail "extract made.yk"
    [ "$(stat -c %a d)" = 700 ] && [ "$(stat -c %a d/sub)" = 750 ] ||
        fail "made directories came out $(stat -c %a d) and $(stat -c %a d/sub)"
    [ "$(stat -c %Y d/sub)" = 1000000000 ] || fail "the directory's time was not restored"
}

case_special_entries() {
    craft entries dev.yk "c666:dev" "b660:blk" "p644:fifo" "s755:sock" "f644:plain=p"
    run lf dev.yk
    contains "$OUT" "crw-rw-rw- dev"
    contains "$OUT" "prw-r--r-- fifo"
    mkdir out && cd out || exit 1
    run x ../dev.yk
    expect_rc 1 "special entries skipped"
    [ ! -e dev ] && [ ! -e blk ] && [ ! -e fifo ] && [ ! -e sock ] || fail "a special file was made"
    [ -f plain ] || fail "the plain file was not extracted"
    contains "$ERR" "символьное устройство"
    contains "$ERR" "именованный канал"
}

case_control_characters() {
    esc=$(printf '\033]0;owned\007')
    craft entries ctl.yk "f644:${esc}title=x" "f644:$(printf 'a\nforged row')=y" "f644:$(printf 'cr\rx')=z"
    for cmd in l lf t; do
        run $cmd ctl.yk
        ! grep -q "$(printf '\033')" "$OUT" "$ERR" || fail "$cmd printed a raw ESC"
        ! grep -q "$(printf '\r')" "$OUT" "$ERR" || fail "$cmd printed a raw CR"
        ! grep -q "^forged row" "$OUT" || fail "$cmd let a name forge a row"
    done
    run l ctl.yk
    contains "$OUT" '\x1b]0;owned\x07title'
    contains "$OUT" 'a\nforged row'
    mkdir out && cd out && run x ../ctl.yk
    contains "$OUT" '\x1b]0;owned\x07title'
    [ -f "${esc}title" ] || fail "the name on disk is not the stored one"
}

case_memory_reported() {
    if [ "${YK_SANITIZED:-0}" = 1 ]; then
        echo "skipped: sanitizers need more address space than the limit" && exit 77
    fi
    seq 1 1000 >s.txt && "$YK" aq1 lz s.txt </dev/null >/dev/null
    # The LZMA2 coder's one property byte 00 (a 4 KiB dictionary: the smallest, as the input is
    # smaller) becomes 25 (1.5 GiB).
    craft recode lz.yk huge.yk 0121210100 0121210125
    (ulimit -v 400000 && "$YK" t huge.yk </dev/null >"$OUT" 2>"$ERR")
    rc=$?
    expect_rc 2 "a dictionary larger than the memory allowed"
    contains "$ERR" "недостаточно памяти"
    contains "$ERR" "1,5 ГиБ"
    lacks "$ERR" "повреждён"
}

case_archive_not_a_file() {
    mkfifo pipe.yk && echo x >x.txt
    for cmd in l t x "a1 pipe.yk"; do
        # shellcheck disable=SC2086
        timeout 10 "$YK" $cmd pipe.yk </dev/null >"$OUT" 2>"$ERR"
        rc=$?
        [ "$rc" -ne 124 ] || fail "$cmd blocked on a FIFO"
        [ "$rc" -eq 2 ] || fail "$cmd on a FIFO gave status $rc"
        contains "$ERR" "именованный канал"
    done
    # A directory beside the archive add made of it.
    mkdir docs && echo d >docs/d.txt
    run aq1 docs docs
    expect_rc 0 "add a directory named like the archive"
    for cmd in t l; do
        run $cmd docs
        expect_rc 0 "$cmd docs finds docs.yk"
    done
    mkdir out && cd out && run x ../docs
    expect_rc 0 "x docs finds docs.yk"
    [ -f docs/d.txt ] || fail "nothing extracted"
}

case_odd_archive_names() {
    echo f >f && mkdir sub
    for name in .yk sub/ sub/.yk . sub/..; do
        run a1 "$name" f
        expect_rc 2 "archive name '$name'"
        contains "$ERR" "пустое имя архива"
    done
    [ -z "$(ls -A sub)" ] && [ ! -e .yk ] && [ ! -e ..yk ] || fail "a hidden archive was made"
    run a1 nodir/x f
    expect_rc 2 "an archive in a directory that does not exist"
    contains "$ERR" "архив не создан"
    lacks "$ERR" "прежний архив"
    # A directory stored twice with d is one entry.
    mkdir d && echo x >d/x
    run adq1 twice d
    run adq1 twice d
    run l twice.yk
    contains "$OUT" "Записей: 2,"
    # A test that could not read any entry checked none.
    seq 1 1000 >s.txt && "$YK" aq1 lz s.txt </dev/null >/dev/null
    head -c 300 lz.yk >cut.yk
    run t cut.yk
    expect_rc 2 "a header cut off"
    contains "$OUT" "Проверено: 0,"
    contains "$ERR" "архив обрезан"
    # A link whose target is empty is not made into a file (libarchive shows it as one).
    craft entries empty-link.yk "l:empty->" "f644:ok=1"
    run lf empty-link.yk
    contains "$OUT" "lrwxrwxrwx empty"
    mkdir out && cd out && run x ../empty-link.yk
    expect_rc 1 "a link without a target"
    [ ! -e empty ] && [ ! -L empty ] || fail "the empty link became $(stat -c %F empty)"
    contains "$ERR" "ссылка без цели"
}

case_unlistable_directory() {
    # A directory the user may write in but not list takes an archive, unlocked and saying so.
    as_user=()
    [ "$(id -u)" -eq 0 ] && as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 777 "$work" && mkdir wo && echo x >x.txt && chmod 644 x.txt
    [ "$(id -u)" -eq 0 ] && chown 65534 wo
    chmod 300 wo
    for round in 1 2; do
        "${as_user[@]}" "$YK" a1 wo/arc x.txt </dev/null >"$OUT" 2>"$ERR"
        rc=$?
        expect_rc 0 "add $round into a directory that cannot be listed"
        contains "$ERR" "не удалось заблокировать"
    done
    chmod 700 wo
    run l wo/arc.yk
    contains "$OUT" "Записей: 1,"
}

case_full_disk() {
    # A real full disk: a 1 MiB tmpfs, where this machine allows mounting one.
    mkdir small
    if ! mount -t tmpfs -o size=1m tmpfs small 2>/dev/null; then
        echo "skipped: cannot mount a small file system here" && exit 77
    fi
    trap 'umount "$work/small"; chmod -R u+rwx "$work" 2>/dev/null; rm -rf "$work" "$logs"' EXIT
    echo one >one.txt && head -c 3000000 /dev/urandom >big.bin
    for m in 0 1 2; do
        "$YK" aq$m small/arc$m one.txt </dev/null >/dev/null || fail "small archive, method $m"
        cp small/arc$m.yk before.yk
        run a$m small/arc$m big.bin
        expect_rc 2 "adding more than fits, method $m"
        contains "$ERR" "нет места на диске"
        contains "$ERR" "прежний архив не изменён"
        cmp -s small/arc$m.yk before.yk || fail "method $m changed the old archive"
        rm small/arc$m.yk
    done
    [ -z "$(ls -A small)" ] || fail "left behind: $(ls -A small)"
    # Extraction that runs out of room: the file that does not fit leaves nothing.
    "$YK" aq0 both one.txt big.bin </dev/null >/dev/null || fail "archive to extract"
    cd small || exit 1
    run x ../both.yk
    expect_rc 1 "extracting more than fits"
    contains "$ERR" "нет места на диске"
    [ "$(cat one.txt)" = one ] || fail "the file that fits was not extracted"
    [ -z "$(ls -A | grep -v -x one.txt)" ] || fail "left behind: $(ls -A)"
    cd ..
}

case_stale_temporaries() {
    echo one >one.txt && "$YK" aq1 arc one.txt </dev/null >/dev/null
    sh -c 'exit 0' &
    dead=$!
    wait $dead
    # Files that merely look like a temporary of a dead add (extracted from an archive, say)
    # were not made by yk: they stay, whoever's they seem to be.
    junk=".arc.yk.yktmp-$dead-AbCdEf"
    echo junk >"$junk"
    echo live >".arc.yk.yktmp-$$-AbCdEf"
    echo other >".other.yk.yktmp-$dead-AbCdEf"
    echo two >two.txt
    run a1 arc two.txt
    expect_rc 0 "add beside files named like temporaries"
    [ "$(cat "$junk")" = junk ] || fail "a file yk did not make was removed"
    [ -e ".arc.yk.yktmp-$$-AbCdEf" ] || fail "a live process's file was removed"
    [ -e ".other.yk.yktmp-$dead-AbCdEf" ] || fail "another archive's file was removed"
    lacks "$OUT" "временный файл"
    # A real one: an add killed at its rename leaves its named temporary file, which the next
    # add removes; a copy of it under another temporary name is not yk's and stays.
    if ! command -v strace >/dev/null; then
        echo "strace not installed: no add is killed at its rename"
        return
    fi
    echo three >three.txt
    strace -f -qq -o /dev/null -e trace=renameat,renameat2 \
        -e inject=renameat,renameat2:signal=SIGKILL "$YK" aq1 arc three.txt </dev/null >/dev/null &
    wait $! 2>/dev/null
    left=$(ls -A | grep '^\.arc\.yk\.yktmp-' | grep -v -x -e "$junk" -e ".arc.yk.yktmp-$$-AbCdEf")
    [ -n "$left" ] && [ "$(echo "$left" | wc -l)" -eq 1 ] || fail "the killed add left '$left'"
    copy=".arc.yk.yktmp-$dead-XyZxYz"
    cp "$left" "$copy"
    run a1 arc three.txt
    expect_rc 0 "add after a killed one"
    contains "$OUT" "удалён временный файл"
    [ ! -e "$left" ] || fail "the stale temporary of the killed add stayed"
    [ -e "$copy" ] && [ -e "$junk" ] || fail "a file yk did not make was removed"
    run l arc.yk
    contains "$OUT" "three.txt"
}

case_messages_in_russian() {
    head -c 1000000 /dev/urandom >big.txt
    run t nothing.yk
    contains "$ERR" "нет такого файла"
    echo text >text.yk
    run t text.yk
    contains "$ERR" "это не архив"
    "$YK" aq1 lz big.txt </dev/null >/dev/null
    # Stored chunks only (random bytes), so the smallest dictionary: property byte 00.
    craft recode lz.yk d64.yk 0121210100 0103040109
    run t d64.yk
    contains "$ERR" "не поддерживается: метод сжатия Deflate64"
    craft recode lz.yk aes.yk 01212101 012406f1070101
    run t aes.yk
    contains "$ERR" "не поддерживается: зашифрованный архив"
    craft recode lz.yk unknown.yk 0121210100 012209090100
    run t unknown.yk
    contains "$ERR" "не поддерживается: метод сжатия с кодом 0909"
    # The first part of an archive split into volumes.
    head -c 5000 lz.yk >split.7z.001
    run t split.7z.001
    contains "$ERR" "не поддерживается: многотомный архив"
    # Writing fails half-way, with every method: a Russian reason first.
    for m in 0 1 2; do
        (trap '' XFSZ && ulimit -f 200 && "$YK" a$m full$m big.txt </dev/null >"$OUT" 2>"$ERR")
        [ ! -e full$m.yk ] || fail "method $m left an archive"
        contains "$ERR" "не удалось записать архив: файл слишком велик"
        [ -z "$(ls -A | grep yktmp)" ] || fail "method $m left a temporary: $(ls -A)"
    done
    # No line of the archiver's own starts with English.
    for f in $(ls "$logs"); do
        ! grep -E '^yk: «[^»]*»: [A-Za-z]' "$logs/$f" || fail "English reason in $f"
    done
}

case_never_over_own_archive() {
    # An entry named like the archive being extracted (or like a hard link to it, or one that
    # needs a directory in its place) is refused, even with "y": the archive stays byte for byte
    # and the entries after it are still extracted.
    craft entries self.yk "f644:a.txt=aaa" "f644:self.yk=evil" "f644:z.txt=zzz"
    craft entries dir.yk "f644:dir.yk/inner=evil" "d755:dir.yk" "f644:z.txt=zzz"
    craft entries hard.yk "f644:other.yk=evil" "f644:z.txt=zzz"
    ln hard.yk other.yk
    for a in self dir hard; do
        cp $a.yk before.yk && rm -f z.txt
        run xy $a.yk
        expect_rc 1 "an entry over the archive $a.yk"
        contains "$ERR" "сам извлекаемый архив"
        cmp -s $a.yk before.yk || fail "$a.yk was overwritten by its own entry"
        [ "$(cat z.txt)" = zzz ] || fail "the entry after it was lost ($a.yk)"
    done
    [ -f self.yk ] && [ ! -d dir.yk ] || fail "the archive was replaced"
}

case_appears_while_extracting() {
    # Without "y", a file that appears under an entry's name while that entry is being written
    # is kept, and the entry is reported as not extracted.
    mkdir src && truncate -s 100M src/big.bin && echo small >src/small.txt
    (cd src && "$YK" aq0 ../arc big.bin small.txt </dev/null) || fail "archive"
    size=$(stat -c %s arc.yk)
    mkdir out && cd out || exit 1
    "$YK" x ../arc.yk </dev/null >"$OUT" 2>"$ERR" &
    pid=$!
    # Part-way through big.bin's data, before the header at the end.
    wait_reading $pid "$work/arc.yk" 1000000 $((size - 10000000))
    kill -STOP $pid
    echo "the user's" >big.bin
    kill -CONT $pid
    wait $pid
    rc=$?
    expect_rc 1 "a file appeared under the entry's name"
    contains "$ERR" "«big.bin»: не извлечён: файл с таким именем появился во время извлечения"
    [ "$(cat big.bin)" = "the user's" ] || fail "the file that appeared was replaced"
    [ "$(cat small.txt)" = small ] || fail "the next entry was not extracted"
    [ -z "$(ls -A | grep yktmp)" ] || fail "a temporary file was left: $(ls -A)"
}

# Runs yk $1 on archive $2 (from a directory of its own for x) under an address-space limit of
# $3 KB where that is allowed; records the peak memory in $rss (KB) when /usr/bin/time is there.
run_refused() {
    local dir=$work/refused-$1
    rm -rf "$dir" && mkdir "$dir" || exit 1
    rss=0
    (
        cd "$dir" || exit 1
        [ "${YK_SANITIZED:-0}" = 1 ] || ulimit -v "$3"
        if command -v /usr/bin/time >/dev/null; then
            /usr/bin/time -f %M -o "$logs/rss.txt" "$YK" "$1" "$2" </dev/null >"$OUT" 2>"$ERR"
        else
            "$YK" "$1" "$2" </dev/null >"$OUT" 2>"$ERR"
        fi
    )
    rc=$?
    [ -s "$logs/rss.txt" ] && rss=$(tail -1 "$logs/rss.txt") && rm -f "$logs/rss.txt"
    [ -z "$(ls -A "$dir")" ] || fail "yk $1 made files from $2: $(ls -A "$dir")"
}

# Expects l, t and x of archive $1, each under an address-space limit of $2 KB, to refuse it
# (exit 2) with message $4 in under 30 MB; $3 names the archive in failures.
refused_by_l_t_x() {
    local c
    for c in l t x; do
        run_refused $c "$1" "$2"
        expect_rc 2 "yk $c of $3"
        contains "$ERR" "$4"
        [ "$rss" -lt 30000 ] || fail "yk $c took $rss KB to refuse $3"
    done
}

case_header_bomb() {
    # A 40 KB archive whose packed header unpacks to 256 MiB: refused before it is unpacked,
    # by every command, in a few MB.
    craft bomb bomb.yk 256
    refused_by_l_t_x "$work/bomb.yk" 400000 "a header bomb" \
        "архив повреждён: заголовок распаковывается в 256 МиБ, больше допустимого"
}

case_declared_counts() {
    # A 56-byte header declaring a hundred million folders (libarchive would allocate for all of
    # them first): refused by our own reading before libarchive sees it.
    craft folders folders.yk 99999999
    refused_by_l_t_x "$work/folders.yk" 1000000 "absurd counts" \
        "больше элементов, чем в нём может поместиться"
}

case_unsound_verdicts() {
    # "Архив исправен." only for a sound archive: every CRC and size the header carries is
    # checked, and a fault is named with status 2.
    craft entries good.yk "f644:a.txt=hello" "f644:b.txt=world"
    run t good.yk
    expect_rc 0 "the sound archive"
    cp good.yk start.yk && printf '\x55' | dd of=start.yk bs=1 seek=9 conv=notrunc 2>/dev/null
    cp good.yk next.yk && printf '\x55' | dd of=next.yk bs=1 seek=$(($(stat -c %s good.yk) - 3)) \
        conv=notrunc 2>/dev/null
    craft pad good.yk pad.yk
    craft recode good.yk beyond.yk 090505 090506
    # A solid block whose header also gives the CRC of the block and of its packed bytes: the
    # files' own CRCs are right, so only these can tell.
    craft digests digests.yk good
    check_with_7zz digests.yk
    run t digests.yk
    expect_rc 0 "the sound archive with block and packed-stream CRCs"
    contains "$OUT" "Архив исправен."
    craft digests block.yk folder
    craft digests packed.yk pack
    for a in start next pad beyond block packed; do
        run t $a.yk
        expect_rc 2 "test of $a.yk"
        lacks "$OUT" "Архив исправен."
        contains "$ERR" "архив повреждён: "
    done
    run t start.yk && contains "$ERR" "(CRC) начального заголовка"
    run t next.yk && contains "$ERR" "(CRC) заголовка"
    run t pad.yk && contains "$ERR" "несжатый блок объявлен размером 5 байт, а записано 6"
    run t beyond.yk && contains "$ERR" "упакованные данные заходят за заголовок"
    run t block.yk && contains "$ERR" "(CRC) распакованного блока 1"
    run t packed.yk && contains "$ERR" "(CRC) упакованного потока 1"
}

case_unsupported_filter() {
    # A sound archive (Deflate, then the PowerPC filter) that libarchive cannot unpack: "not
    # supported", with the filter named, never "damaged".
    craft ppc ppc.yk
    check_with_7zz ppc.yk
    run t ppc.yk
    expect_rc 2 "test of an archive with an unsupported filter"
    contains "$ERR" "не поддерживается: фильтр PPC после метода сжатия Deflate"
    lacks "$ERR" "повреждены"
    mkdir out && cd out || exit 1
    run x ../ppc.yk
    expect_rc 2 "extraction of an archive with an unsupported filter"
    contains "$ERR" "не поддерживается: фильтр PPC"
    [ ! -e a.txt ] || fail "a file was made of data that could not be unpacked"
}

case_deep_paths() {
    # Names of 4096 levels are extracted (permissions set even where the whole path is longer
    # than the system takes in one call); one level more is refused, and the entries after it
    # go on.
    umask 022
    deep=$(printf 'd/%.0s' $(seq 1 4095))
    craft entries deep.yk "d755:${deep%/}" "f644:${deep}f=bottom"
    craft entries deeper.yk "f644:d/${deep}f=too deep" "f644:after.txt=after"
    mkdir a b && cd a || exit 1
    run x ../deep.yk
    expect_rc 0 "4096 levels"
    [ "$(find . -mindepth 4096 -type f -execdir cat {} +)" = bottom ] || fail "the deepest file is wrong"
    mode=$(find . -mindepth 4095 -maxdepth 4095 -type d -printf %m)
    [ "$mode" = 755 ] || fail "the deepest directory has mode '$mode'"
    cd "$work/b" || exit 1
    run x ../deeper.yk
    expect_rc 1 "4097 levels"
    contains "$ERR" "не извлечён: путь глубже 4096 уровней"
    [ "$(cat after.txt)" = after ] || fail "the entry after the deep one was lost"
    [ ! -e d ] || fail "the refused entry made directories"
}

name=${1:?case name}
"case_$name"
echo "ok: $name"
