# Waiting for the programs the scripts start in the background; sourced by
# scripts/windows.sh and scripts/screenshots-win.sh. A program counts as ready when it
# says so (the first line it writes), never after a pause or a look at a file that may
# not be written yet.

# prvni_radek FIFO SECONDS: prints the first whole line a program writes into the named
# pipe FIFO, or nothing when it ends or stays silent for SECONDS. The program must have
# been started with its output redirected into FIFO: that open waits for this read, so
# nothing it writes is lost, and its end closes the pipe, so a program that dies is
# noticed at once.
prvni_radek() {
    local radek=""
    read -r -t "$2" radek < "$1" || radek=""
    printf '%s\n' "$radek"
}

# spust_xvfb DIR: a virtual display (Xvfb) on a free number, ready when Xvfb has written
# that number (-displayfd) into the pipe DIR/displej; sets DISPLAY and xvfb_pid.
spust_xvfb() {
    local n
    rm -f "$1/displej"
    mkfifo "$1/displej"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3> "$1/displej" 2> "$1/xvfb.err" &
    xvfb_pid=$!
    n=$(prvni_radek "$1/displej" 60)
    [ -n "$n" ] || { cat "$1/xvfb.err" >&2; echo "Xvfb gave no display" >&2; return 1; }
    export DISPLAY=":$n"
}
