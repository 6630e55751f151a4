#!/usr/bin/env bash
# Starts or stops the JACK server that the MIDI tests and benchmarks talk to: a dummy driver (no
# sound card needed) at 48 kHz with 512-frame periods (PERIOD frames when given), under a server
# name of its own so that it never meets a JACK server the user runs. Shorter periods leave a
# client on a loaded two-core machine too little time: the server then times it out and, after
# a few such cycles, stops its driver, and every later client hangs.
#   jack-test-server.sh start NAME STATEFILE [PERIOD [OWNER]]
#                          starts it and waits until clients connect; with OWNER (a pid), a
#                          detached watcher stops it once that process is gone, however it ended
#   jack-test-server.sh run   NAME STATEFILE PERIOD -- COMMAND...
#                          stops the recorded server, starts a fresh one named NAME-<pid> and
#                          runs COMMAND with JACK_DEFAULT_SERVER naming it; the server is
#                          stopped when COMMAND ends
#   jack-test-server.sh stop  NAME STATEFILE            stops the server that `start` recorded
#   jack-test-server.sh watch NAME STATEFILE OWNER SERVER   (internal) the watcher of `start`
set -euo pipefail

action="${1:?start or stop}"
name="${2:?server name}"
state="${3:?state file}"
period="${4:-512}"
log="${state%.pid}.log"

# Stops the recorded server: SIGTERM, and SIGKILL after GRACE tenths of a second (5 s unless
# given). With EXPECTED, only if the state file still records that pid.
stop_recorded() {
    [ -f "$state" ] || return 0
    local pid
    pid="$(cat "$state")"
    if [ -n "${1:-}" ] && [ "$pid" != "$1" ]; then
        return 0
    fi
    rm -f "$state"
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
        for _ in $(seq "${2:-50}"); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
        kill -9 "$pid" 2>/dev/null || true
        for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || return 0; sleep 0.1; done
    fi
}

# Frees the entry that server NAME, gone without unregistering (killed, or stopped by a test
# while clients hung on it), keeps in JACK's table of servers: eight for the whole machine, each
# held until a server of the same name registers. One that starts and stops cleanly frees it.
# Its socket and its clients' semaphores stay behind as well.
# With PID, once that process is reaped: JACK counts a zombie server as still running.
release_slot() {
    local gone="$1"
    if [ -n "${2:-}" ]; then
        for _ in $(seq 100); do kill -0 "$2" 2>/dev/null || break; sleep 0.1; done
    fi
    (
        name="$gone" state="${state%.pid}.release-$$.pid" period=512 owner="" sweep=""
        log="${state%.pid}.log"
        start_server >/dev/null 2>&1 && stop_recorded
        rm -f "$log"
    ) || true
    rm -f "/dev/shm/jack_${gone}_"* "/dev/shm/jack_sem.$(id -u)_${gone}_"*
}

# When the table is full, the entries of test servers that no longer run (left by a run that
# was killed, or by a machine's earlier runs) are freed.
release_stale_slots() {
    local stale
    grep -aoE "jack-$(id -u):cantorela-test-[A-Za-z0-9_-]+:" /dev/shm/jack-shm-registry 2>/dev/null |
        sed "s/^jack-[0-9]*://; s/:\$//" | sort -u |
        while read -r stale; do
            pgrep -f -- "jackd --name $stale " >/dev/null || release_slot "$stale"
        done
}

start_server() {
    command -v jackd >/dev/null || { echo "jack-test-server: jackd is not installed (scripts/setup.sh installs jackd2)" >&2; exit 1; }
    stop_recorded
    mkdir -p "$(dirname "$state")"
    # Detached from the caller's pipes: ctest waits for every holder of its output pipe.
    # CANTORELA_JACK_REALTIME=no: ordinary scheduling for the server and its clients' threads.
    local realtime=()
    [ "${CANTORELA_JACK_REALTIME:-yes}" = no ] && realtime=(--no-realtime)
    setsid jackd "${realtime[@]}" --name "$name" --timeout 10000 -d dummy -r 48000 -p "$period" </dev/null >"$log" 2>&1 &
    echo $! >"$state"
    # Watched from the start: Ctrl+C reaches this script too while the owner waits for it.
    if [ -n "$owner" ]; then
        setsid "$BASH" "${BASH_SOURCE[0]}" watch "$name" "$state" "$owner" "$(cat "$state")" </dev/null \
            >/dev/null 2>&1 &
    fi
    export JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="$name"
    for _ in $(seq 100); do
        if timeout 2 jack_lsp >/dev/null 2>&1; then
            echo "jack-test-server: '$name' running (pid $(cat "$state"))"
            return 0
        fi
        kill -0 "$(cat "$state")" 2>/dev/null || break
        sleep 0.1
    done
    stop_recorded
    if [ -n "$sweep" ] && grep -q "Too many servers already active" "$log" 2>/dev/null; then
        sweep=""
        release_stale_slots
        start_server
        return
    fi
    echo "jack-test-server: '$name' did not come up; its log:" >&2
    cat "$log" >&2 || true
    return 1
}

# Whether process PID still runs: a zombie answers kill -0 until its parent reaps it.
running() {
    kill -0 "$1" 2>/dev/null || return 1
    local stat
    read -r stat <"/proc/$1/stat" 2>/dev/null || return 0
    stat="${stat##*) }"
    [ "${stat%% *}" != Z ]
}

owner=""
sweep=1
case "$action" in
start)
    owner="${5:-}"
    if [ -n "$owner" ] && ! [[ "$owner" =~ ^[1-9][0-9]*$ ]]; then
        echo "jack-test-server: owner '$owner' is not a process id" >&2
        exit 2
    fi
    start_server
    ;;
watch)
    # The owner's destructor may stop the server first, or a new `start` record another one:
    # either way this watcher has nothing left to do.
    owner="${4:?owner pid}"
    server="${5:?server pid}"
    while running "$server" && [ "$(cat "$state" 2>/dev/null)" = "$server" ]; do
        if ! running "$owner"; then
            # Its clients died with the owner, mid-cycle perhaps: such a server can take several
            # client timeouts to heed SIGTERM, so it gets a short grace only.
            stop_recorded "$server" 20
            if [ ! -e "$state" ] && ! running "$server"; then
                release_slot "$name" "$server"
            fi
            exit 0
        fi
        sleep 1
    done
    # Stopped under its owner (a test that stops the server on purpose): its entry is freed
    # once the owner is done with the name.
    if [ "$(cat "$state" 2>/dev/null)" = "$server" ] && ! running "$server"; then
        while running "$owner"; do sleep 1; done
        rm -f "$state"
        release_slot "$name" "$server"
    fi
    ;;
run)
    # A server of its own for each test program: one that a loaded machine has left stuck
    # (a client timed out, the driver stopped) would fail the test's second attempt as well.
    # It has a name of its own too: a server that is slow to go, after a client died in the
    # middle of a cycle, still holds the old name.
    # Its watcher follows this process, which becomes COMMAND: the server goes, and its slot
    # in JACK's table of servers is freed, when the test program ends, however it ends.
    shift 4
    [ "${1:-}" = "--" ] && shift
    stop_recorded
    name="$name-$$" state="${state%.pid}-$$.pid" log="${state%.pid}-$$.log" owner=$$
    start_server >/dev/null
    export JACK_NO_START_SERVER=1 JACK_DEFAULT_SERVER="$name"
    exec "$@"
    ;;
stop)
    stop_recorded
    echo "jack-test-server: '$name' stopped"
    ;;
*)
    echo "usage: $0 start|run|stop NAME STATEFILE [PERIOD [OWNER]] [-- COMMAND...]" >&2
    exit 2
    ;;
esac
