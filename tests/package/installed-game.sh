#!/usr/bin/env bash
# The Debian package as a player gets it: cpack builds it from the build
# tree; its file list, Depends, lintian, the AppStream and desktop-entry
# validators are checked; it is unpacked with dpkg-deb into a root-owned
# scratch tree (nothing is installed into the system), and the unpacked game
# is played on a private X server, through to a new record, twice: by the
# unprivileged user nobody, and by root with a scratch HOME. Each record
# must land in code page 932 in that player's data folder, and nothing may
# be written beside the installed program, not even by root, who could.
#
#   installed-game.sh BUILD-DIR VERSION APP-ID
set -uo pipefail
source "$(dirname "$0")/../x11/lib.sh"
qv_enter_session --wm "$0" "$@"
qv_require_tools cpack dpkg dpkg-deb lintian appstreamcli desktop-file-validate setpriv iconv xdotool setxkbmap

build=${1:?usage: installed-game.sh BUILD-DIR VERSION APP-ID}
version=${2:?}
app_id=${3:?}
kNobody=65534
kCertificateCaption="  Quorvel - Certificate -"
# The name the kana keys ku, small o and ru type into the name box.
kName=クォル

# ------------------------------------------------------------ the package

expected_files() {
    printf '%s\n' \
        ./usr/games/quorvel \
        "./usr/share/applications/$app_id.desktop" \
        ./usr/share/doc/quorvel/changelog.gz \
        ./usr/share/doc/quorvel/copyright \
        ./usr/share/icons/hicolor/{16x16,32x32,48x48,64x64,128x128}/apps/quorvel.png \
        ./usr/share/icons/hicolor/scalable/apps/quorvel.svg \
        ./usr/share/man/man6/quorvel.6.gz \
        "./usr/share/metainfo/$app_id.metainfo.xml" | sort
}

build_package() {
    cpack --config "$build/CPackConfig.cmake" -G DEB -B "$qv_scratch/package" >"$qv_scratch/cpack.log" 2>&1 ||
        qv_fail "cpack failed: $(cat "$qv_scratch/cpack.log")"
    deb=$qv_scratch/package/quorvel_${version}_$(dpkg --print-architecture).deb
    [[ -f $deb ]] || qv_fail "cpack made no $(basename "$deb"): $(ls "$qv_scratch/package")"
    qv_log "built $(basename "$deb"), $(stat -c %s "$deb") bytes"
}

check_contents() {
    local listing files
    listing=$(dpkg-deb -c "$deb") || qv_fail "dpkg-deb cannot list $deb"
    files=$(awk '$1 !~ /^d/ { print $6 }' <<<"$listing" | sort)
    [[ $files == "$(expected_files)" ]] ||
        qv_fail "the package holds other files than expected:$(diff <(expected_files) - <<<"$files")"
    grep -Eq '^-rwxr-xr-x root/root .* \./usr/games/quorvel$' <<<"$listing" ||
        qv_fail "the program is not an executable of root's: $(grep games/quorvel <<<"$listing")"
    if awk '{ print $2 }' <<<"$listing" | grep -vqx root/root; then
        qv_fail "the package holds files not owned by root"
    fi
    local field
    for field in "Section: games" "Package: quorvel" "Version: $version"; do
        dpkg-deb -f "$deb" "${field%%:*}" | grep -qx "${field#*: }" || qv_fail "the control file lacks '$field'"
    done
    qv_log "file list and control fields as expected"
}

check_depends() {
    local depends names package
    depends=$(dpkg-deb -f "$deb" Depends)
    names=$(tr ',' '\n' <<<"$depends" | awk '{ print $1 }')
    # From dpkg-shlibdeps (the libraries the program links) and by hand.
    for package in libc6 libstdc++6 libqt6core6 libqt6gui6 libqt6widgets6 fonts-ipafont-gothic fonts-liberation2; do
        grep -qxF "$package" <<<"$names" || qv_fail "Depends lacks $package: $depends"
    done
    [[ $(dpkg-deb -f "$deb" Recommends) == qt6-wayland ]] ||
        qv_fail "Recommends is '$(dpkg-deb -f "$deb" Recommends)', not qt6-wayland (native Wayland sessions)"
    qv_log "Depends: $depends"
}

run_lintian() {
    local report
    report=$(lintian "$deb" 2>&1 | grep -v 'running with root privileges')
    [[ -z $report ]] || echo "$report"
    ! grep -Eq '^[EW]: ' <<<"$report" || qv_fail "lintian reports errors or warnings"
    qv_log "lintian: no error, no warning"
}

# Unpacks the package into TREE, owned by root and open to all, as an
# installation would leave /usr.
unpack_into() {
    local tree=$1
    mkdir -p "$tree"
    dpkg-deb -x "$deb" "$tree" || qv_fail "dpkg-deb cannot unpack $deb"
    chmod 755 "$qv_scratch" "$tree"
    [[ $(stat -c %u "$tree/usr/games") == 0 ]] || qv_fail "the unpacked tree is not root's"
}

validate_metadata() {
    local tree=$1 out
    out=$(appstreamcli validate --no-net "$tree/usr/share/metainfo/$app_id.metainfo.xml" 2>&1) ||
        qv_fail "appstreamcli rejects the metainfo: $out"
    out=$(desktop-file-validate "$tree/usr/share/applications/$app_id.desktop" 2>&1) ||
        qv_fail "desktop-file-validate rejects the desktop entry: $out"
    qv_log "metainfo and desktop entry are valid"
}

# ------------------------------------------------------------ the game

# From the title through a game of the Alphabetic zone scoring well above
# the default table's tenth place, to the name entry.
play_to_name_entry() {
    qv_key space
    qv_wait_state active frmMenu
    qv_wait_focus frmMenu
    qv_key space
    qv_wait_state active frmZone
    qv_wait_focus frmZone
    qv_key space
    qv_wait_state active frmStage
    qv_wait_focus frmStage
    qv_key space
    qv_wait_state frmStage.Timer1.Enabled 1
    while (($(qv_state frmStage.StageScore) < 4000)); do
        qv_state_is frmStage.Timer1.Enabled 1 || qv_fail "the play ended at $(qv_state frmStage.StageScore) points"
        qv_hit_current_target
    done
    qv_log "$(qv_state frmStage.Hits) hits in $(qv_state frmStage.Strokes) keys: $(qv_state frmStage.StageScore) points"
    QV_DEADLINE=45 qv_wait_state frmStage.TimeLeft 0
    qv_key Return
    qv_wait_state active frmResults
    qv_key Return
    qv_wait_state active frmNentry
    qv_wait_focus frmNentry
    qv_log "name entry for $(qv_state Module1.LastScore) points"
}

# Types the name with kana keys, confirms it, and leaves the certificate
# for the title, by Return or by the close box (LEAVE: key or close-box);
# closing the name entry on the way saves the records.
enter_name() {
    local leave=$1 row
    setxkbmap -layout jp -variant kana || qv_fail "setxkbmap could not load jp(kana)"
    qv_key kana_KU kana_o kana_RU
    row=$(qv_state frmNentry.EntryRow)
    qv_wait_state "frmNentry.Label1($row).Caption" "$kName"
    qv_key Return
    qv_wait_state active frmCertif
    qv_wait_focus frmCertif
    qv_wait_state host.titleBar.frmCertif "$kCertificateCaption"
    if [[ $leave == close-box ]]; then
        qv_click_drawn_close_box "$kCertificateCaption"
    else
        qv_key Return
    fi
    qv_wait_state open frmTitle
    qv_wait_state active frmTitle
    qv_wait_state "Module1.RecordName(0,$row)" "$kName"
    score=$(qv_state "Module1.RecordScore(0,$row)")
    qv_log "name confirmed; back at the title with $kName, $score in row $row"
}

# The records file in the data folder of the player whose HOME is given.
check_saved_record() {
    local home=$1 owner=$2 expected
    local file=$home/.local/share/quorvel/qorvl.dat
    [[ -f $file ]] || qv_fail "no records file at $file: $(find "$home" -ls)"
    [[ $(stat -c %u "$file") == "$owner" ]] || qv_fail "$file is not the player's (uid $owner)"
    expected=$(printf '%s, %s\r' "$kName" "$score" | iconv -f UTF-8 -t CP932 | od -An -tx1 | tr -d ' \n')
    od -An -tx1 -w100000 "$file" | tr -d ' \n' | grep -q "$expected" ||
        qv_fail "$file does not hold '$kName, $score' in code page 932: $(od -c "$file" | head -20)"
    (($(wc -l <"$file") == 30)) || qv_fail "$file does not hold 30 lines"
    qv_log "$file holds the name in code page 932"
}

qv_new_scratch
build_package
check_contents
check_depends
run_lintian

tree=$qv_scratch/root
unpack_into "$tree"
validate_metadata "$tree"

# What lies under the unpacked usr/games, with sizes and times.
games_listing() {
    find "$tree/usr/games" -printf '%p %s %T@\n' | sort
}

stop_game() {
    kill "$qv_game_pid" 2>/dev/null
    wait "$qv_game_pid" 2>/dev/null
    qv_game_pid=""
}

# A scratch HOME for PLAYER (uid), with the private runtime folder Qt wants.
make_home() {
    local home=$1 player=$2
    mkdir -p "$home/run"
    chmod 700 "$home/run"
    chown -R "$player:$player" "$home"
}

installed_games=$(games_listing)

home=$qv_scratch/home
make_home "$home" "$kNobody"
qv_state_file=$home/state.txt
qv_launch_game -u XDG_DATA_HOME HOME="$home" XDG_RUNTIME_DIR="$home/run" QT_QPA_PLATFORM=xcb -- \
    setpriv --reuid="$kNobody" --regid="$kNobody" --clear-groups "$tree/usr/games/quorvel"
qv_log "the unpacked game runs as nobody"

play_to_name_entry
enter_name key
qv_game_exited && qv_fail "the game ended after the save"
check_saved_record "$home" "$kNobody"
stop_game

# Root may write the program's folder; an installed copy keeps its records
# in root's own data folder all the same.
[[ $(id -u) == 0 ]] || qv_fail "the installed game is played as root: run this test as root"
root_home=$qv_scratch/root-home
make_home "$root_home" 0
setxkbmap -layout us || qv_fail "setxkbmap could not load the us layout back"
qv_state_file=$root_home/state.txt
qv_launch_game -u XDG_DATA_HOME HOME="$root_home" XDG_RUNTIME_DIR="$root_home/run" QT_QPA_PLATFORM=xcb -- \
    "$tree/usr/games/quorvel"
qv_log "the unpacked game runs as root"

play_to_name_entry
enter_name close-box
qv_game_exited && qv_fail "the game ended after the save"
[[ $(games_listing) == "$installed_games" ]] ||
    qv_fail "the game wrote beside the installed program:$(diff <(echo "$installed_games") <(games_listing))"
stray=$(find "$tree" -name qorvl.dat)
[[ -z $stray ]] || qv_fail "a records file appeared in the unpacked tree: $stray"
qv_log "nothing was written beside the installed program"
check_saved_record "$root_home" 0
