# Sourced by the benchmark scripts: an X server of their own (Xvfb) with openbox, for the rest
# of the script. The caller's `work` is a temporary folder and its `pids` are killed at its end.
start_x_server() {
    exec 3>"$work/display"
    Xvfb -displayfd 3 -screen 0 1920x1200x24 -nolisten tcp >/dev/null 2>&1 &
    pids+=($!)
    for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n1 "$work/display")"
    openbox >/dev/null 2>&1 &
    pids+=($!)
    sleep 1
}
