#!/usr/bin/env bash
# The Debian package as a user gets it: built with CPack from the build folder, installed with
# apt-get, started the way the desktop's menu starts it, ended with SIGTERM, then removed.
#
#   test_package_install.sh BUILD_DIR
#
# The installed program must find its soundfont, fonts and pictures, and write nothing outside
# the XDG folders it is given: its working folder and home folder stay empty, and nothing under
# /usr, /etc or /opt changes while it runs. The package is removed again even when a check fails.
#
# Needs root or passwordless sudo (else skipped, status 77), and refuses to run (skipped) when a
# package named cantorela is already installed, so that the machine is left as it was. Every
# dependency must already be installed (scripts/setup.sh does so): apt may install the package
# alone, never download.
set -uo pipefail

readonly SKIPPED=77
readonly APP_ID=com.vantorix.Cantorela
readonly START_SECONDS=60
readonly STOP_SECONDS=30

build_dir=${1:?usage: test_package_install.sh BUILD_DIR}
build_dir=$(cd "$build_dir" && pwd)

skip() {
    echo "SKIPPED: $*"
    exit "$SKIPPED"
}
fail() {
    echo "FAILED: $*" >&2
    exit 1
}
step() {
    echo "-- $*"
}

# --- may this run here? ---------------------------------------------------------------------------
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null && sudo -n true 2>/dev/null; then
    as_root=(sudo -n)
else
    skip "installing a package needs root or passwordless sudo"
fi
for tool in cmake cpack dpkg-deb apt-get Xvfb xauth xdotool dbus-daemon desktop-file-validate appstreamcli; do
    command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
package_state() { dpkg-query -W -f='${db:Status-Status}' cantorela 2>/dev/null; }
case $(package_state) in
    "" | not-installed) ;;
    *) skip "a package named cantorela is on this machine already ($(package_state)); this test would remove it" ;;
esac
[ -x "$build_dir/cantorela" ] || fail "$build_dir/cantorela is not built"

# --- clean-up, whatever happens -------------------------------------------------------------------
work=$(mktemp -d -t cantorela-package-test.XXXXXX)
# Every process this test starts carries this token, so that the clean-up ends exactly those
# (including what the D-Bus daemon starts for the program) by process id.
token=$(od -An -N8 -tx1 /dev/urandom | tr -d ' \n')
export CANTORELA_PACKAGE_TEST_TOKEN=$token
installed=0

own_processes() {
    local environ pid
    for environ in /proc/[0-9]*/environ; do
        pid=${environ#/proc/}
        pid=${pid%/environ}
        [ "$pid" = "$$" ] && continue
        grep -qaz "^CANTORELA_PACKAGE_TEST_TOKEN=$token\$" "$environ" 2>/dev/null && echo "$pid"
    done
}

cleanup() {
    local status=$? pid left
    trap - EXIT INT TERM
    for pid in $(own_processes); do kill -TERM "$pid" 2>/dev/null; done
    for _ in $(seq 50); do
        left=$(own_processes)
        [ -z "$left" ] && break
        sleep 0.1
    done
    for pid in $(own_processes); do kill -KILL "$pid" 2>/dev/null; done
    if [ "$installed" -eq 1 ]; then
        echo "-- removing the package"
        "${as_root[@]}" apt-get purge -y -q -o DPkg::Lock::Timeout=120 cantorela >"$work/apt-remove.log" 2>&1 ||
            { cat "$work/apt-remove.log"; status=1; }
    fi
    rm -rf "$work"
    exit "$status"
}
trap cleanup EXIT
trap 'exit 1' INT TERM

# --- the package ----------------------------------------------------------------------------------
step "building the package with cpack"
# The build's own package settings (CPackConfig.cmake, as `make package` uses them), but filled
# from `cmake --install` of what is built: cpack alone would first build the whole project in the
# build folder, which is not a test's business.
mkdir -p "$work/package"
cmake --install "$build_dir" --prefix "$work/stage/usr" --strip >"$work/install.log" 2>&1 ||
    { cat "$work/install.log"; fail "cmake --install failed"; }
cpack --config "$build_dir/CPackConfig.cmake" -G DEB -B "$work/package" -D CPACK_INSTALL_CMAKE_PROJECTS= \
    -D "CPACK_INSTALLED_DIRECTORIES=$work/stage;." >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/package/cantorela_*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    fail "cpack made no single cantorela_*.deb: ${debs[*]}"
fi
deb=${debs[0]}
echo "   $(basename "$deb"), $(du -k "$deb" | cut -f1) KiB"

info=$(dpkg-deb --info "$deb") || fail "dpkg-deb cannot read the package"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = cantorela ] || fail "package name: $(field Package)"
[ "$(field Maintainer)" = "Vantorix <support@vantorix.com>" ] || fail "maintainer: $(field Maintainer)"
[ "$(field Section)" = education ] || fail "section: $(field Section)"
depends=$(field Depends)
for needed in libqt5widgets5 libfluidsynth3 libjack fluidr3mono-gm-soundfont; do
    [[ $depends == *"$needed"* ]] || { echo "$info"; fail "Depends lacks $needed"; }
done
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
expected=(./usr/bin/cantorela
    "./usr/share/applications/$APP_ID.desktop"
    "./usr/share/metainfo/$APP_ID.metainfo.xml"
    ./usr/share/man/man1/cantorela.1.gz
    "./usr/share/icons/hicolor/scalable/apps/$APP_ID.svg")
for size in 16 22 24 32 48 64 128 256 512; do
    expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/$APP_ID.png")
done
for file in "${expected[@]}"; do
    grep -qxF "$file" <<<"$contents" || fail "the package lacks $file"
done
outside=$(grep -v '^\./usr/\(bin\|share\)/' <<<"$contents" | grep -vx '\./\|\./usr/')
[ -z "$outside" ] || fail "the package installs outside /usr/bin and /usr/share: $outside"

# --- installing -----------------------------------------------------------------------------------
step "installing it with apt-get"
# apt must install this package alone: a dependency it would fetch first is one the set-up
# does not install (scripts/debian-packages.txt), and would stay behind after the test.
plan=$("${as_root[@]}" apt-get install -s -q --no-install-recommends "$deb" 2>&1) ||
    { echo "$plan"; fail "apt-get cannot install the package"; }
others=$(grep '^Inst ' <<<"$plan" | grep -v '^Inst cantorela ')
[ -z "$others" ] || fail "installing would also bring packages the set-up does not install:
$others"
installed=1
"${as_root[@]}" apt-get install -y -q --no-install-recommends -o DPkg::Lock::Timeout=120 "$deb" \
    >"$work/apt-install.log" 2>&1 || { cat "$work/apt-install.log"; fail "apt-get install failed"; }
mapfile -t package_files < <(dpkg-query -L cantorela)

step "checking the installed files"
for file in "${expected[@]}"; do
    [ -f "${file#.}" ] || fail "${file#.} is not installed"
done
[ -x /usr/bin/cantorela ] || fail "/usr/bin/cantorela is not executable"
version=$(/usr/bin/cantorela --version) || fail "cantorela --version failed"
[ "$version" = "cantorela $(field Version)" ] || fail "cantorela --version says '$version', the package $(field Version)"
desktop=/usr/share/applications/$APP_ID.desktop
desktop-file-validate "$desktop" || fail "the installed desktop entry does not validate"
appstreamcli validate --no-net "/usr/share/metainfo/$APP_ID.metainfo.xml" >"$work/appstream.log" 2>&1 ||
    { cat "$work/appstream.log"; fail "the installed metainfo does not validate"; }
gzip -dc /usr/share/man/man1/cantorela.1.gz | grep -q '^\.TH CANTORELA 1 ' || fail "the man page is not a man page"
if command -v man >/dev/null; then
    man_warnings=$(MANWIDTH=80 man --warnings -l /usr/share/man/man1/cantorela.1.gz 2>&1 >/dev/null)
    [ -z "$man_warnings" ] || fail "man warns about the page: $man_warnings"
fi

# The command line of the menu entry (its own group, before any action's), without field codes.
exec_line=$(awk '/^\[/ { group = $0 } group == "[Desktop Entry]" && /^Exec=/ { sub(/^Exec=/, ""); print; exit }' "$desktop")
wm_class=$(awk -F= '/^StartupWMClass=/ { print $2; exit }' "$desktop")
read -r -a command <<<"${exec_line//%[fFuUick]/}"
[ "${#command[@]}" -gt 0 ] || fail "the desktop entry has no Exec line"
[ "$(command -v "${command[0]}")" = /usr/bin/cantorela ] || fail "Exec runs ${command[0]}, not /usr/bin/cantorela"

# --- a private desktop: X server and session bus, folders inside the work folder ------------------
home=$work/home
xdg_config=$work/xdg/config
xdg_data=$work/xdg/data
xdg_cache=$work/xdg/cache
runtime=$work/xdg/runtime
scratch=$work/tmp
cwd=$work/cwd
mkdir -p "$home" "$xdg_config" "$xdg_data" "$xdg_cache" "$scratch" "$cwd"
mkdir -m 0700 "$runtime"
# Only these reach the desktop's processes: nothing of the caller's session (QT_QPA_PLATFORM
# from ctest above all).
desktop_env=(env -i "PATH=/usr/local/bin:/usr/bin:/bin" "HOME=$home" "LANG=C.UTF-8"
    "XDG_CONFIG_HOME=$xdg_config" "XDG_DATA_HOME=$xdg_data" "XDG_CACHE_HOME=$xdg_cache"
    "XDG_RUNTIME_DIR=$runtime" "TMPDIR=$scratch" "CANTORELA_PACKAGE_TEST_TOKEN=$token")

step "starting a virtual X server"
# A display number of its own: drawn from a range that other tests' servers (tests/system,
# xvfb-run, -displayfd) do not use; a number found taken makes Xvfb end, and the next is tried.
cookie=$(od -An -N16 -tx1 /dev/urandom | tr -d ' \n')
: >"$work/xauthority"
display=
first=$((4100 + RANDOM % 900))
for attempt in $(seq 0 19); do
    number=$((4100 + (first - 4100 + attempt) % 900))
    [ -e "/tmp/.X$number-lock" ] || [ -e "/tmp/.X11-unix/X$number" ] && continue
    xauth -q -f "$work/xauthority" add ":$number" MIT-MAGIC-COOKIE-1 "$cookie" || fail "xauth failed"
    : >"$work/display"
    (cd "$work" && exec "${desktop_env[@]}" Xvfb ":$number" -displayfd 3 -auth "$work/xauthority" \
        -nolisten tcp -noreset -screen 0 1366x768x24 3>"$work/display" >"$work/xvfb.log" 2>&1) &
    server=$!
    deadline=$((SECONDS + 20))
    while [ ! -s "$work/display" ] && kill -0 "$server" 2>/dev/null && [ $SECONDS -lt $deadline ]; do
        sleep 0.05
    done
    if [ -s "$work/display" ]; then
        display=:$number
        break
    fi
    kill -0 "$server" 2>/dev/null && { cat "$work/xvfb.log"; fail "Xvfb :$number did not start in time"; }
done
[ -n "$display" ] || { cat "$work/xvfb.log"; fail "Xvfb found no free display number"; }
desktop_env+=("DISPLAY=$display" "XAUTHORITY=$work/xauthority")

# The session bus of a desktop, listening in the runtime folder.
exec 5>"$work/bus-address"
"${desktop_env[@]}" dbus-daemon --session --nofork --nopidfile --address="unix:path=$runtime/bus" \
    --print-address=5 >"$work/dbus.log" 2>&1 &
exec 5>&-
deadline=$((SECONDS + 20))
while [ ! -s "$work/bus-address" ] && [ $SECONDS -lt $deadline ]; do sleep 0.05; done
[ -s "$work/bus-address" ] || { cat "$work/dbus.log"; fail "the session bus did not start"; }
desktop_env+=("DBUS_SESSION_BUS_ADDRESS=$(head -n1 "$work/bus-address")")

# --- the program, as the menu starts it -----------------------------------------------------------
# Nothing the program may write is touched after this moment, except by the program.
touch "$work/marker"
step "starting '${command[*]}' on $display"
# The messages name their kind and category; the start-up trace tells when the home screen is
# painted.
(cd "$cwd" && exec "${desktop_env[@]}" "QT_MESSAGE_PATTERN=%{type} %{category}: %{message}" \
    "QT_LOGGING_RULES=cantorela.startup.info=true" "${command[@]}" >"$work/program.log" 2>&1) &
program=$!

program_ended() { ! kill -0 "$program" 2>/dev/null; }
show_log() { echo "--- the program's messages:"; cat "$work/program.log"; }

deadline=$((SECONDS + START_SECONDS))
until grep -q '^info cantorela.startup: home-painted' "$work/program.log" &&
    grep -q '^info cantorela.synth: soundfont .* loaded' "$work/program.log"; do
    program_ended && { show_log; fail "the program ended during start-up"; }
    [ $SECONDS -lt $deadline ] || { show_log; fail "no home screen and soundfont within $START_SECONDS s"; }
    sleep 0.1
done
soundfont=$(sed -n 's/^info cantorela\.synth: soundfont \(.*\) loaded in .*/\1/p' "$work/program.log")
echo "   home screen painted; soundfont $soundfont; its messages:"
sed 's/^/   | /' "$work/program.log"
[[ $soundfont == /usr/share/sounds/* ]] || fail "the soundfont came from $soundfont, not a Debian package"
# Every font and picture is in the resources: a missing one is reported as a warning. What the
# MIDI categories say depends on the machine's MIDI system (none in a container).
problems=$(grep -E '^(warning|critical|fatal) cantorela\.' "$work/program.log" |
    grep -vE '^warning cantorela\.midi(\.watcher)?: ')
[ -z "$problems" ] || { show_log; fail "the program warned during start-up: $problems"; }

# The window that the desktop matches to the menu entry by its class (xdotool compares without
# regard to case), and that is this program's.
own_window=
for window in $(DISPLAY=$display XAUTHORITY=$work/xauthority xdotool search --onlyvisible --class "^$wm_class\$" 2>/dev/null); do
    [ "$(DISPLAY=$display XAUTHORITY=$work/xauthority xdotool getwindowpid "$window" 2>/dev/null)" = "$program" ] &&
        own_window=$window
done
[ -n "$own_window" ] || fail "the program shows no window of class $wm_class (StartupWMClass of the desktop entry)"

step "ending it with SIGTERM"
kill -TERM "$program"
deadline=$((SECONDS + STOP_SECONDS))
while ! program_ended && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
program_ended || { show_log; fail "the program did not end within $STOP_SECONDS s of SIGTERM"; }
wait "$program"
status=$?
[ "$status" -eq 0 ] || { show_log; fail "the program ended with status $status"; }

# --- what it wrote --------------------------------------------------------------------------------
step "checking what it wrote"
[ -f "$xdg_config/Vantorix/Cantorela.conf" ] || fail "no settings file in XDG_CONFIG_HOME"
[ -f "$xdg_data/Vantorix/Cantorela/stats.xml" ] || fail "no statistics in XDG_DATA_HOME"
stray=$(find "$cwd" "$home" "$scratch" -mindepth 1 | head -n 20)
[ -z "$stray" ] || fail "written outside the XDG folders (working folder, home or TMPDIR):
$stray"
changed=$(find /usr /etc /opt -xdev -newer "$work/marker" 2>/dev/null | head -n 20)
[ -z "$changed" ] || fail "changed under /usr, /etc or /opt while the program ran:
$changed"
(cd "$work/xdg" && find . -type f | sort | sed 's/^\.\//   /')

# --- removing -------------------------------------------------------------------------------------
step "removing the package"
"${as_root[@]}" apt-get purge -y -q -o DPkg::Lock::Timeout=120 cantorela >"$work/apt-remove.log" 2>&1 ||
    { cat "$work/apt-remove.log"; fail "apt-get purge failed"; }
installed=0
case $(package_state) in
    "" | not-installed) ;;
    *) fail "cantorela is still on the machine after the purge ($(package_state))" ;;
esac
for file in "${package_files[@]}"; do
    [ -d "$file" ] && continue
    [ -e "$file" ] && fail "$file is still there after the package was removed"
done
echo "PASSED"
