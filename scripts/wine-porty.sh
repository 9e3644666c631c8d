# Wine's serial ports for kaslnk's checks; sourced by scripts/windows.sh.
# Wine takes /dev/ttyS0 (on these machines the system console) as COM1 unless the
# registry key HKLM\Software\Wine\Ports maps COM1 elsewhere, and it rewrites the
# dosdevices links from that key whenever its server starts.

# Wine also gives the serial devices it finds by name (/dev/ttyS*, ttyUSB*, ttyACM*; it
# opens none of them) the COM numbers after those of the key, so /dev/ttyS0 becomes COM10.
# kaslnk opens only COM1..COM9 (the port digit of a command file) and the tests only COM1.

# wine_mapuj_porty [PTY]: maps COM1 to the pseudo-terminal PTY (none given: to a path
# that does not exist) and COM2..COM9 to paths that do not exist, so that no COM name
# kaslnk can open reaches a real device. Restarts the Wine server of $WINEPREFIX and
# fails unless every link then points where it should.
wine_mapuj_porty() {
    local pty=${1:-} reg i cil ocekavano
    if [ -n "$pty" ] && { [[ "$pty" != /dev/pts/* ]] || [ ! -c "$pty" ]; }; then
        echo "wine_mapuj_porty: $pty is not a pseudo-terminal" >&2
        return 1
    fi
    reg=$(mktemp --suffix=.reg)
    {
        printf 'REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\Wine\\Ports]\n'
        for i in 1 2 3 4 5 6 7 8 9; do
            printf '"COM%d"="%s"\n' "$i" "$(wine_cil_portu "$i" "$pty")"
        done
    } > "$reg"
    # A fresh prefix may still be settling when the key is written (seen once: the links
    # stayed as before); the key is written and the server restarted again then.
    local pokus spatne
    for pokus in 1 2 3; do
        timeout 60 wine regedit /S "$(timeout 30 winepath -w "$reg")"
        wine_konec_serveru
        # Starting any program starts the server, which makes the links anew.
        timeout 60 wine cmd /c exit
        spatne=""
        for i in 1 2 3 4 5 6 7 8 9; do
            ocekavano=$(wine_cil_portu "$i" "$pty")
            cil=$(readlink "$WINEPREFIX/dosdevices/com$i" || true)
            [ "$cil" = "$ocekavano" ] || spatne="COM$i points at '${cil}', not at '$ocekavano'"
        done
        [ -z "$spatne" ] && break
        echo "wine_mapuj_porty: $spatne (attempt $pokus)" >&2
    done
    rm -f "$reg"
    [ -z "$spatne" ]
}

# wine_konec_serveru: waits for the Wine server to end on its own, which saves the
# registry (a killed server may lose the last writes); kills it after 30 s.
wine_konec_serveru() {
    timeout 30 wineserver -w 2>/dev/null && return
    timeout 30 wineserver -k 2>/dev/null || true
    timeout 30 wineserver -w 2>/dev/null || true
}

# Where COMi goes: COM1 to the pseudo-terminal when one is given, else nowhere.
wine_cil_portu() {
    if [ "$1" = 1 ] && [ -n "$2" ]; then echo "$2"; else echo "/nonexistent/kaslnk-com$1"; fi
}
