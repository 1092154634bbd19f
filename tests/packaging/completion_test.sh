#!/usr/bin/env bash
# The bash completion of tagwright-cli, called as bash calls it, in a folder of documents and
# other files. Usage: completion_test.sh COMPLETION_FILE
set -u
source "$1"

folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
mkdir sub
touch page.html Page.HTM 'my page.shtml' script.php notes.txt style.css -- -dash.html

# The completions of a command line, whose last word is the one being completed: sorted and
# joined by "|".
completions() {
  COMP_WORDS=("$@")
  COMP_CWORD=$(($# - 1))
  COMPREPLY=()
  _tagwright_cli
  ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | paste -sd '|' -
}

passed=0
failed=0
# expected completions | command line
while IFS='|' read -r expected line; do
  [[ -z $line ]] && continue
  eval "words=($line)"
  actual=$(completions "${words[@]}")
  expected=${expected//,/|}
  expected=${expected%"${expected##*[![:space:]]}"}
  if [[ $actual == "$expected" ]]; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $line: expected [$expected], got [$actual]"
  fi
done <<'CASES'
--help,--version,-h,insert,list,report,show,tag     | tagwright-cli ''
--help,--version                                   | tagwright-cli --
--title-weight                                     | tagwright-cli tag page.html --ti
10,20,30,40,50,60,70,80,90                         | tagwright-cli tag --title-weight ''
0,10,20,30,40,50,60,70,80,90                       | tagwright-cli list --keywords-weight ''
0,1,2,3,4,5,6,7,8,9                                | tagwright-cli insert page.html --span-weight ''
de                                                 | tagwright-cli tag --language d
all,auto                                           | tagwright-cli tag --language a
9                                                  | tagwright-cli tag --bold-weight = 9
1,2,3,4,5,6,7,8,9                                  | tagwright-cli list --short-words =
--min-frequency=5                                  | tagwright-cli list --min-frequency=5
--backup,--begin,--bold-weight                     | tagwright-cli insert --b
--begin,--bold-weight                              | tagwright-cli tag --b
--help,--jobs,--json,--quiet,-h,-j                 | tagwright-cli show -
--dry-run                                          | tagwright-cli insert --dr
                                                   | tagwright-cli tag --dr
--description-weight                               | tagwright-cli report --des
                                                   | tagwright-cli show --lang
                                                   | tagwright-cli tag --max-bytes ''
                                                   | tagwright-cli tag --ignore ''
                                                   | tagwright-cli frob ''
-dash.html,Page.HTM,my page.shtml,page.html,script.php,sub | tagwright-cli tag ''
Page.HTM                                           | tagwright-cli list --title-weight 90 --lower-case P
page.html                                          | tagwright-cli tag --span-weight = 2 p
-dash.html,Page.HTM,my page.shtml,page.html,script.php,sub | tagwright-cli tag page.html sub ''
page.html                                          | tagwright-cli list page.html --verbose p
                                                   | tagwright-cli tag page.html --jobs ''
-dash.html                                         | tagwright-cli tag -- -
CASES

echo "$passed passed, $failed failed"
((failed == 0))
