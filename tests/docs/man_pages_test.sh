#!/usr/bin/env bash
# Renders every manual page of the build as lintian does (no warning may come
# out) and checks that sonmira-cli's page holds each command the program
# lists, with that command's --help line by line. Each page's footer gives
# its program's --version.
# Usage: man_pages_test.sh MAN_DIR SONMIRA_CLI VERSION
set -uo pipefail
man_dir=$1 cli=$2 version=$3
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

render() { LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 "$@"; }

pages=("$man_dir"/*.1.gz)
[ -e "${pages[0]}" ] || { echo "FAIL: no pages in $man_dir"; exit 1; }
for page in "${pages[@]}"; do
    warnings=$(render -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page") renders with warnings:"$'\n'"$warnings"
    program=$(basename "$page" .1.gz)
    render "$page" 2>/dev/null | tail -n 1 | grep -q "^$program $version " ||
        fail "$program's page does not give the version $version"
done

cli_page=$man_dir/sonmira-cli.1.gz
[ -e "$cli_page" ] || { echo "FAIL: $cli_page is missing"; exit 1; }
# Without the overstrikes of bold and underlined text.
text=$(render "$cli_page" 2>/dev/null | sed 's/.\x08//g')
commands=$("$cli" --help | sed -n '/^commands:/,/^$/s/^  *\([a-z][a-z0-9-]*\) .*/\1/p')
[ -n "$commands" ] || fail "sonmira-cli --help lists no commands"
for c in $commands; do
    grep -qx "   $c" <<<"$text" || fail "no section for the command $c"
    first=$("$cli" "$c" --help | head -n 1)
    [ -n "$first" ] || fail "sonmira-cli $c --help prints nothing"
    # Every line as the program prints it: the Chinese ones included.
    while IFS= read -r line; do
        [ -z "$line" ] && continue
        grep -qF -- "$line" <<<"$text" || fail "$c: the page lacks the help line '$line'"
    done < <("$cli" "$c" --help)
done
grep -q '^EXIT STATUS$' <<<"$text" || fail "no EXIT STATUS section"
grep -qF 'sonmira-modsim(1)' <<<"$text" || fail "SEE ALSO does not name sonmira-modsim(1)"

[ "$failures" -eq 0 ] && echo "man pages: ${#pages[@]} rendered clean, sonmira-cli's holds $(wc -w <<<"$commands") commands"
[ "$failures" -eq 0 ]
