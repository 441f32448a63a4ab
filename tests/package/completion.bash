#!/bin/bash
# The bash completion of fixtally-check, asked as Tab asks it: in a folder of
# logs, a picture and a sub-folder, each row's command line must be offered
# exactly the words given. Then every option it offers is tried on the
# program itself: one that the program does not know, or a value option
# whose value is completed as a log (or a plain option whose next word is
# not), fails. Usage: completion.bash PROGRAM [COMPLETION_FILE]
# Without a file, the completion is loaded as bash-completion loads it at
# the first Tab after fixtally-check: from where the package installed it.
set -u
program=$1
failed=0
fail() { echo "FAIL completion: $*"; failed=$((failed + 1)); }

framework=/usr/share/bash-completion/bash_completion
[ -f "$framework" ] || { fail "bash-completion is not installed"; exit 1; }
. "$framework"
if [ $# -gt 1 ]; then
  . "$2"
else
  [[ $(complete -p -D) =~ -F\ ([^ ]+) ]] && "${BASH_REMATCH[1]}" fixtally-check
fi
function=_fixtally_check
registered=$(complete -p fixtally-check 2>/dev/null)
[ "$registered" = "complete -F $function fixtally-check" ] || { fail "complete -p: '$registered'"; exit 1; }

# The words offered for LINE (the cursor at its end), sorted, on one line.
# Bash splits "--plot=a.svg" into "--plot", "=" and "a.svg".
offered() {
  local line=$1 split=${1//=/ = }
  COMP_LINE=$line COMP_POINT=${#line}
  read -ra COMP_WORDS <<<"$split"
  [[ $split == *' ' ]] && COMP_WORDS+=('')
  COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
  COMPREPLY=()
  "$function" "$program" "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD - 1]}"
  printf '%s\n' "${COMPREPLY[@]}" | LC_ALL=C sort | tr '\n' ' ' | sed 's/ $//'
}

work=$(mktemp -d "${TMPDIR:-/tmp}/fixtally-completion.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
mkdir sub
touch b.nmea track.nmea.gz a.svg PIC.SVG
logs="PIC.SVG a.svg b.nmea sub track.nmea.gz"

rows=(
  # line                                offered
  "fixtally-check |$logs"
  "fixtally-check b|b.nmea"
  "fixtally-check --pl|--plot"
  "fixtally-check --rec|--recursive"
  "fixtally-check -r s|sub"
  # --plot writes a picture: its value is an .svg file, or a folder on the way.
  "fixtally-check --plot |PIC.SVG a.svg sub"
  "fixtally-check --plot=|PIC.SVG a.svg sub"
  "fixtally-check --plot=a|a.svg"
  "fixtally-check b.nmea --plot a|a.svg"
  # Typed values are not logs.
  "fixtally-check --tolerance |"
  "fixtally-check --tolerance=|"
  "fixtally-check --reference-date 2|"
  "fixtally-check --json=|"
  "fixtally-check --tolerance 0.5 |$logs"
  # After -- every word is a log, even one that looks like an option.
  "fixtally-check -- |$logs"
  "fixtally-check -- --plot |$logs"
  "fixtally-check -- -|"
)
for row in "${rows[@]}"; do
  line=${row%|*} want=${row##*|}
  got=$(offered "$line")
  [ "$got" = "$want" ] || fail "'$line' offers '$got', not '$want'"
done

# Against the program: the options offered after "-" are the options of its
# help, each known to it, and their values are completed only when it wants one.
options=$(offered "fixtally-check -")
in_help=$("$program" --help | grep -oE '^ {1,8}-[^ ]+(, -[^ ]+)*' | grep -oE -- '-[-a-z]+' | LC_ALL=C sort | tr '\n' ' ')
[ "$options " = "$in_help" ] || fail "offers '$options' for '-', the help lists '$in_help'"
for option in $options; do
  answer=$("$program" "$option" 2>&1 </dev/null)
  next=$(offered "fixtally-check $option ")
  case $answer in
    *"not expected"*) fail "offers $option, which the program does not know" ;;
    *"$option: "*"required"*"missing"*)
      [ "$option" = --plot ] || [ -z "$next" ] || fail "the value of $option is completed as '$next'" ;;
    *) [ "$next" = "$logs" ] || fail "after $option, which takes no value, '$next' is offered, not the logs" ;;
  esac
done
echo "bash completion: ${#rows[@]} lines and $(echo "$options" | wc -w) options tried, $failed failed"
[ "$failed" -eq 0 ]
