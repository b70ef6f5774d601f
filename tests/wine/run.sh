#!/usr/bin/env bash
# A Windows build under Wine, against the native build:
#   run.sh NATIVE_BUILD WINDOWS_BUILD
# PCB9_WINE names the Wine loader (64-bit by default; Debian's 32-bit one,
# /usr/lib/wine/wine, with WINEARCH=win32 for an i686 build); the prefix is
# the build's own, WINDOWS_BUILD/wine-prefix.
# Every board is imported by both hosts with the same command line and the
# same scripted user; their JSON dumps, exit codes and printed lines (the
# summary, a batch's table) must be equal. The
# report's date and time lines are the one difference allowed (each system
# writes its own formats; they must be there). Covers the example boards,
# the rule dialog shown and answered (Help included), a damaged file, the Esc key answered
# both ways, and test mode through the registry key of the test's own Wine
# prefix, a board given by a full Windows path. The dialog's picture is
# compared with tests/wine/dialog.png. Needs a display (run it under
# xvfb-run).
set -uo pipefail

native="$(cd "$1" && pwd)" && windows="$(cd "$2" && pwd)" || exit 2
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
wine="${PCB9_WINE:-/usr/lib/wine/wine64}"
export WINEPREFIX="$windows/wine-prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
work="$windows/wine-tests"
rm -rf "$work"
mkdir -p "$work"
cd "$work" || exit 1

failures=0
checks=0
pass() { checks=$((checks + 1)); }
fail() { checks=$((checks + 1)); failures=$((failures + 1)); echo "FAIL: $*"; }

# A fresh prefix the first time; later runs reuse it.
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  "$wine" wineboot -i >/dev/null 2>&1 || { echo "FAIL: wineboot"; exit 1; }
fi
"$wine" reg delete 'HKLM\Software\Corvex' /f >/dev/null 2>&1
# The dialog's face, "MS Sans Serif", is Wine's bitmap font of that name
# (Debian's fonts-wine). Debian's Wine does not find it where the package
# puts it, only in the prefix's own font folder; without it another face
# is drawn, wider, and clips the captions.
cp -u /usr/share/wine/fonts/sserife.fon "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null ||
  echo "note: no /usr/share/wine/fonts/sserife.fon (fonts-wine)"

# The dump with the report's date and time values replaced.
normalised() {
  sed -E 's/(Date     : )[^\\"]*/\1DATE/g; s/(Time     : )[^\\"]*/\1TIME/g' "$1"
}

# The Windows host's spelling of a board's folder (PCB9_WIN_BOARD, a full
# Windows path, given for BOARD) as the native host's, plain and as the
# dump escapes it.
as_native_paths() {
  local board="$1" win="${PCB9_WIN_BOARD:-}"
  [ -n "$win" ] || { cat; return; }
  local folder="${win%[\\/]*}"
  WIN="${win:0:${#folder}+1}" NATIVE="$(dirname "$board")/" perl -pe '
    BEGIN { ($w, $n) = ($ENV{WIN}, $ENV{NATIVE}); ($j = $w) =~ s/\\/\\\\/g }
    s/\Q$j\E/$n/g; s/\Q$w\E/$n/g'
}

# What a host printed, as lines: Windows ends them with CR LF, and the
# Windows run's outputs are named -win where the native run's are -linux.
printed() {
  tr -d '\r' <"$1" | sed "s/$2-win\./$2-linux./g"
}

# expect_same TAG WHAT A B: files (or pipes) A and B are equal; else the
# first lines that differ.
expect_same() {
  cat "$3" >"$work/expected.tmp"
  cat "$4" >"$work/got.tmp"
  if cmp -s "$work/expected.tmp" "$work/got.tmp"; then
    pass
  else
    fail "$1: $2 differ"
    diff "$work/expected.tmp" "$work/got.tmp" | head -20
  fi
}

# The native host, on a terminal of its own that types the lines of
# PCB9_NATIVE_TERMINAL when that names a file.
run_native() {
  if [ -n "${PCB9_NATIVE_TERMINAL:-}" ]; then
    script -qec "$(printf '%q ' "$@")" /dev/null <"$PCB9_NATIVE_TERMINAL"
  else
    "$@"
  fi
}

# run_windows TAG BOARD [ARGS...]: the Windows host's import. Once in a
# long while (once in some hundreds of runs here) Wine ends a run at once
# with status 1 before the program writes a byte; such a run is made again
# once. Each such run is counted in the summary line, and a second one in a
# row is a failure. A run that wrote anything, or a dump, counts as it is.
silent_runs=0
run_windows() {
  local tag="$1" board="$2" attempt rc
  shift 2
  for attempt in 1 2; do
    rm -f "${board%.PCB}.rpt" "$tag-win.json"
    timeout 120 "$wine" "$windows/bin/pcb9-host.exe" import "$board" --json "$tag-win.json" "$@" \
      >"$tag-win.out" 2>&1
    rc=$?
    [ "$rc" != 0 ] && [ ! -s "$tag-win.out" ] && [ ! -e "$tag-win.json" ] || return "$rc"
    silent_runs=$((silent_runs + 1))
    echo "Wine ended the Windows host with status $rc before any output ($tag, run $attempt)"
  done
  fail "$tag: Wine ended the Windows host before any output twice"
  return "$rc"
}

# compare TAG BOARD [ARGS...]: imports BOARD (a name in $work) on both
# systems, the Windows side with the given arguments; PCB9_NATIVE_ARGS adds
# arguments for the native side only.
compare() {
  local tag="$1" board="$2"
  shift 2
  rm -f "${board%.PCB}.rpt"
  run_native "$native/bin/pcb9-host" import "$board" --json "$tag-linux.json" "$@" ${PCB9_NATIVE_ARGS:-} \
    >"$tag-linux.out" 2>&1
  local linux_rc=$?
  run_windows "$tag" "${PCB9_WIN_BOARD:-$board}" "$@"
  local win_rc=$?
  [ "$linux_rc" = "$win_rc" ] || { fail "$tag: exit code $linux_rc on Linux, $win_rc on Windows"; return; }
  [ -s "$tag-win.json" ] || { fail "$tag: no dump from Windows"; return; }
  expect_same "$tag" dumps <(normalised "$tag-linux.json") \
    <(normalised "$tag-win.json" | as_native_paths "$board")
  # The same lines printed (the summary, messages), but where the native
  # host talked with a terminal.
  [ -n "${PCB9_NATIVE_TERMINAL:-}" ] ||
    expect_same "$tag" "printed lines" <(printed "$tag-linux.out" "$tag") \
      <(printed "$tag-win.out" "$tag" | as_native_paths "$board")
  # Each system's own date and time formats filled the report's lines.
  if grep -q 'Date     : ' "$tag-win.json" &&
     ! grep -Eq 'Date     : (\\r|")|Time     : (\\r|")' "$tag-win.json"; then
    pass
  elif grep -q 'Date     : ' "$tag-linux.json"; then
    fail "$tag: empty date or time in the Windows report"
  fi
}

# expect_import TAG OBJECTS: the Windows host's import returned true and
# made these objects by kind (rules aside), as the native tests expect.
declare -A EXAMPLE_OBJECTS=(
  [board]="Arc 4, Board 1, Component 6, Coordinate 1, Dimension 1, Fill 1, Net 7, Pad 20, Polygon 1, SplitPlane 1, Text 17, Track 28, Via 2"
  [level8-v270]="Arc 1, Board 1, Component 3, Fill 1, Net 3, Pad 6, Polygon 1, Text 7, Track 10, Via 1"
  [level5-v240]="Arc 1, Board 1, Component 2, Fill 1, Net 3, Pad 5, Polygon 1, Text 5, Track 10, Via 1"
  [level3-v220]="Arc 1, Board 1, Component 2, Fill 1, Net 3, Pad 5, Polygon 1, Text 5, Track 10, Via 1"
  [legacy-v110]="Arc 1, Board 1, Component 2, Fill 1, Net 3, Pad 5, Polygon 1, Text 5, Track 10, Via 1"
)
expect_import() {
  local tag="$1" want="$2" result objects
  result="$(tr -d '\r' <"$tag-win.out" | sed -n 's/^Result: *//p')"
  objects="$(tr -d '\r' <"$tag-win.out" | sed -n 's/^Objects: *//p' | sed -E 's/, Rule [0-9]+//')"
  [ "$result" = true ] && pass || fail "$tag: result '$result' on Windows, expected true"
  [ -n "$want" ] && [ "$objects" = "$want" ] && pass ||
    fail "$tag: objects on Windows '$objects', expected '$want'"
}

expect_in() {
  local tag="$1" pattern="$2" file="$3"
  if grep -Eq -- "$pattern" "$file"; then pass; else fail "$tag: no match for $pattern in $file"; fi
}

for source in "$native"/examples/*.PCB; do
  board="$(basename "$source")"
  cp "$source" "$board"
  name="${board%.PCB}"
  compare "$name" "$board"
  expect_import "$name" "${EXAMPLE_OBJECTS[$name]:-}"
  compare "$name-test-mode" "$board" --test-mode
  compare "$name-esc-no" "$board" --esc-after 3
  compare "$name-esc-yes" "$board" --esc-after 3 --answer yes
done
expect_in esc-yes '"text": "Confirm Abort Process"' board-esc-yes-win.json
expect_in esc-yes '"answer": "yes"' board-esc-yes-win.json
expect_in report '"icon": "information"' level8-v270-win.json

# A damaged file: the corruption message, owned by the editor window.
head -c 700 board.PCB >damaged.PCB
compare damaged damaged.PCB
expect_in damaged '"text": "File Corruption: damaged.PCB"' damaged-win.json
expect_in damaged '"owner": "editor"' damaged-win.json

# A board given by a full Windows path, in a folder whose name holds a dot,
# with backslashes and with slashes: the report lands beside the board as
# NAME.rpt (not in the folder's name), and the message and the report's
# "PCB File" line name the file without its folder.
mkdir -p "$work/boards.v2"
cp level8-v270.PCB "$work/boards.v2/level8"
win_folder="Z:$(tr / '\\' <<<"$work")\\boards.v2"
for row in "windows-path-backslash $win_folder\\level8" "windows-path-slash ${win_folder//\\//}/level8"; do
  read -r tag win_board <<<"$row"
  rm -f "$work/boards.rpt"
  PCB9_WIN_BOARD="$win_board" compare "$tag" "$work/boards.v2/level8"
  expect_in "$tag" 'PCB File +: level8\\r' "$tag-win.json"
  expect_in "$tag" '"text": "[^"]*[^\\/]level8\.rpt' "$tag-win.json"
  [ ! -e "$work/boards.rpt" ] && pass || fail "$tag: a report named after the board's folder"
done

# A batch: the table and each board's dump the same on both systems.
batch=(board.PCB level8-v270.PCB damaged.PCB level3-v220.PCB)
"$native/bin/pcb9-host" import "${batch[@]}" --out-dir batch-linux >batch-linux.out 2>&1
linux_rc=$?
timeout 300 "$wine" "$windows/bin/pcb9-host.exe" import "${batch[@]}" --out-dir batch-win >batch-win.out 2>&1
[ "$linux_rc" = $? ] && pass || fail "batch: exit codes differ"
expect_same batch "printed lines" <(printed batch-linux.out batch) <(printed batch-win.out batch)
# Each board is named after its place in the batch's folder, which each
# system spells its own way.
for dump in batch-linux/*.json; do
  expect_same batch "dumps of ${dump#batch-linux/}" <(normalised "$dump") \
    <(normalised "batch-win/${dump#batch-linux/}" | sed -E 's#batch-win(\\\\|/)#batch-linux/#g')
done

# The rule dialog, shown as a real window, taken as prepared or with a box
# unchecked by the host's answer.
"$native/bin/pcb9-asm" asm "$here/twelve-nets.pcbt" -o nets.PCB
compare dialog nets.PCB
PCB9_WINDOW_SNAPSHOT="$work/dialog" compare dialog-uncheck nets.PCB \
  --dialog-uncheck RoutingTrackWidthCheckbox
compare dialog-test-mode nets.PCB --test-mode
expect_in dialog '"shown": true' dialog-win.json
expect_in dialog '"owner": "editor"' dialog-win.json
expect_in dialog-test-mode '"shown": false' dialog-test-mode-win.json

# Help pressed on the live dialog: the Linux host's terminal and the
# Windows host's typed answers (PCB9_DIALOG_INPUT) are the same lines: h
# clicks Help, 1 then clicks the first box, an empty line OK. The help
# command goes out and the dialog stays open and answers clicks until OK.
printf 'h\n1\n\n' >help-answers.txt
PCB9_NATIVE_TERMINAL=help-answers.txt PCB9_DIALOG_INPUT="$work/help-answers.txt" \
  PCB9_WINDOW_SNAPSHOT="$work/dialog-help" compare dialog-help nets.PCB
expect_in dialog-help '"command": "Client:RunHelpTopic"' dialog-help-win.json
expect_in dialog-help '"parameters": "FileName = PCBUSR.HLP \| Topic = IntroducingDesignRules"' \
  dialog-help-win.json
expect_in dialog-help '"command": "Client:RunHelpTopic"' dialog-help-linux.json
# Just before OK, after Help: the form still visible, the box clicked after
# Help unchecked on the screen.
help_line() { awk -F'|' -v n="$1" -v f="$2" '$1 == n {print $f}' dialog-help.txt 2>/dev/null; }
style="$(help_line DesignRuleTranslator 8)"
[ -n "$style" ] && [ $((0x$style & 0x10000000)) != 0 ] && pass || fail "dialog-help: form not visible after Help"
[ "$(help_line RoutingTrackWidthCheckbox 11)" = 0 ] && pass || fail "dialog-help: box not clicked after Help"

# The live dialog as the host saw it just before OK (WindowSnapshotWin.h):
# one line per window, Name|class|caption|left|top|width|height|style|
# exstyle|enabled|checked|owner class|font face|font height|drawn face|
# drawn height.
field() { awk -F'|' -v n="$1" -v f="$2" '$1 == n {print $f}' dialog.txt; }
expect_line() {
  local name="$1" want="$2" got
  got="$(awk -F'|' -v n="$name" '$1 == n {print $2 "|" $3 "|" $4 "|" $5 "|" $6 "|" $7 "|" $10 "|" $11}' dialog.txt)"
  if [ "$got" = "$want" ]; then pass; else fail "dialog $name: '$got', expected '$want'"; fi
}
if [ -s dialog.txt ]; then
  # The form: its client area and style as designed (the system adds
  # visible and clip-siblings), the modal frame, the editor as owner.
  form_style=$((0x$(field DesignRuleTranslator 8) & ~0x14000000))
  [ "$form_style" = $((0x80C80080)) ] && pass || fail "form style $(field DesignRuleTranslator 8)"
  [ $((0x$(field DesignRuleTranslator 9) & 1)) = 1 ] && pass || fail "no WS_EX_DLGMODALFRAME"
  [ "$(field DesignRuleTranslator 3)" = "Design Rule Translation " ] && pass || fail "form caption"
  [ "$(field DesignRuleTranslator 6)x$(field DesignRuleTranslator 7)" = 508x248 ] && pass ||
    fail "form client area"
  [ "$(field DesignRuleTranslator 12)" = "Vorlund Main Window" ] && pass || fail "form owner"
  expect_line Button1 "Button|OK|347|219|75|24|1|0"
  expect_line Button2 "Button|Help|427|219|75|24|1|0"
  expect_line PageControl1 "SysTabControl32||5|5|497|209|1|0"
  [ $((0x$(field Button1 8) & 0xF)) = 1 ] && pass || fail "OK is not the default button"
  # Boxes at their place in their group box; the clicked one unchecked, a
  # disabled one still checked.
  for row in "RoutingTrackWidthCheckbox GroupBox1 11 18 0 1" "RoutingPriorityCheckBox GroupBox1 11 85 1 1" \
             "SolderMaskCheckBox GroupBox2 11 19 1 0" "PowerGndConnCheckBox GroupBox2 12 86 1 0"; do
    read -r box group dx dy checked enabled <<<"$row"
    got="$(($(field "$box" 4) - $(field "$group" 4))),$(($(field "$box" 5) - $(field "$group" 5))),$(field "$box" 11),$(field "$box" 10)"
    [ "$got" = "$dx,$dy,$checked,$enabled" ] && pass || fail "dialog $box: $got, expected $dx,$dy,$checked,$enabled"
  done
  expect_line RoutingTrackWidthCheckbox "Button|Create 12 routing track width rules|$(field RoutingTrackWidthCheckbox 4)|$(field RoutingTrackWidthCheckbox 5)|200|17|1|0"
  # Windows in tab order.
  order="$(cut -d'|' -f1 dialog.txt | tr '\n' ' ')"
  want="DesignRuleTranslator Button1 Button2 PageControl1 TabSheet1 Label1 GroupBox2 SolderMaskCheckBox PasteMaskExpansionCheckBox PowerGndExpCheckBox PowerGndConnCheckBox GroupBox1 RoutingTrackWidthCheckbox RoutingViaSizeCheckBox RoutingTechologyCheckBox RoutingPriorityCheckBox "
  [ "$order" = "$want" ] && pass || fail "dialog order: $order"
  # Every window asked for the form's font, "MS Sans Serif" of height -11,
  # and is drawn with that face, 11 pixels high.
  fonts="$(awk -F'|' '{print $13 "|" $14}' dialog.txt | sort -u)"
  [ "$fonts" = "MS Sans Serif|-11" ] && pass || fail "dialog fonts: $(tr '\n' ';' <<<"$fonts")"
  drawn="$(awk -F'|' '{print $15 "|" $16}' dialog.txt | sort -u)"
  [ "$drawn" = "MS Sans Serif|11" ] && pass || fail "dialog fonts drawn as: $(tr '\n' ';' <<<"$drawn")"
  # The picture as drawn: the form's frame, the tab, every box and label,
  # against a reference looked at when it was made.
  python3 "$here/picture.py" compare dialog.bmp "$here/dialog.png" && pass ||
    fail "the dialog's picture differs from $here/dialog.png (see $work/dialog-differences.png)"
else
  fail "no snapshot of the dialog"
fi

# The host's --test-mode made the key and its parent for its run only.
if "$wine" reg query 'HKLM\Software\Corvex' >/dev/null 2>&1; then
  fail "the test-mode key outlived the run"
else
  pass
fi

# Test mode through the registry: the key made in the prefix and nothing on
# the command line on Windows, the host's test mode on Linux.
"$wine" reg add 'HKLM\Software\Corvex\TestMode' /f >/dev/null 2>&1 || fail "reg add"
PCB9_NATIVE_ARGS=--test-mode compare registry-test-mode level8-v270.PCB
PCB9_NATIVE_ARGS=--test-mode compare registry-dialog nets.PCB
"$wine" reg delete 'HKLM\Software\Corvex' /f >/dev/null 2>&1

echo "Wine tests: $checks checks, $failures failed, $silent_runs runs ended by Wine before any output"
[ "$failures" -eq 0 ]
