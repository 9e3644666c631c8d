# The module kaslnk against kaslnk-sim: every test has its own program directories, each
# with its own simulator on a pseudo-terminal; every other port leads nowhere.
import os, shutil, subprocess, threading, time
import pytest
import kaslnk

os.environ.update({f"KASLNK_COM{n}": f"/nonexistent/kaslnk-com{n}" for n in range(1, 10)})


@pytest.fixture
def misto(tmp_path):  # misto(name, simulator options...) -> (directory, session): prikaz.cmd reads PLU
    simulatory = []
    def udelej(jmeno, *volby):
        d = tmp_path / jmeno
        shutil.copytree(os.path.join(os.environ["KASLNK_SOURCE_DIR"], "examples", "register"), d / "pamet")
        (d / "kaslnk.ini").write_bytes(b"zpozdeni = 0\r\nticho = 1\r\n")
        (d / "prikaz.cmd").write_bytes(b"000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n")
        simulatory.append(subprocess.Popen([os.environ["KASLNK_SIM"], "-q", "-m", d / "pamet", *volby],
                                           stdout=subprocess.PIPE, text=True))
        s = kaslnk.Session(d)
        s.set_port(1, simulatory[-1].stdout.readline().strip())  # its first line: the pty, ready
        return d, s
    yield udelej
    for sim in simulatory:
        sim.terminate()
        sim.wait(10)


def test_cteni_a_chyby(misto):
    d, s = misto("a")
    prubeh, zpravy = [], []
    s.progress, s.messages = lambda bloky, bajty: prubeh.append((bloky, bajty)), zpravy.append
    r = s.run("prikaz.cmd /d")  # /d: the settings and the outcome as messages
    assert (r.exit_code, r.code, r.subcode) == (0, 0, 0) and "Komunikace uspesne ukoncena." in zpravy, r
    plu = (d / "plu.dat").read_text("cp1250").splitlines()
    assert len(plu) == 367 and any("Rohlík" in radek for radek in plu)
    assert len(prubeh) > 10 and prubeh == sorted(prubeh) and prubeh[-1][1] > 20000
    s.progress = lambda bloky, bajty: {}[bloky]
    with pytest.raises(KeyError):  # the callback's exception ends the transfer
        s.run("prikaz.cmd /q")
    (d / "prikaz.cmd").write_bytes(b"000001,1,6,1,era\r\n/70-00/;plu\r\n")
    r = s.run("prikaz.cmd /q")
    assert (r.exit_code, r.code, r.subcode) == (1, 51, 36) and "51, 36" in r.message, r
    with s, pytest.raises(ValueError):  # closed at the end of "with"
        s.close()
        s.run("prikaz.cmd /q")
    with pytest.raises(NotADirectoryError):
        kaslnk.Session(d / "kaslnk.ini")


def test_cancel(misto):
    d, s = misto("a", "--pace")  # about 15 s at 19200 bit/s
    blok, vysledek = threading.Event(), []
    s.progress = lambda bloky, bajty: blok.set()
    (vlakno := threading.Thread(target=lambda: vysledek.append(s.run("prikaz.cmd /q")))).start()
    assert blok.wait(20)
    zacatek = time.monotonic()
    s.cancel()
    vlakno.join(10)
    assert time.monotonic() - zacatek < 1.5
    assert [(r.exit_code, r.code, r.subcode) for r in vysledek] == [(1, kaslnk.ERROR_CANCELLED, 5)] == [(1, 109, 5)]


def test_dve_vlakna(misto):  # two sessions at once: both read, their blocks interleave (no GIL held)
    casy, vysledky = {"a": [], "b": []}, {}
    def cti(jmeno):
        d, s = misto(jmeno, "--reply-delay", "10")
        s.progress = lambda bloky, bajty: casy[jmeno].append(time.monotonic())
        vysledky[jmeno] = (s.run("prikaz.cmd /q").exit_code, len((d / "plu.dat").read_bytes().splitlines()))
    vlakna = [threading.Thread(target=cti, args=(j,)) for j in "ab"]
    for v in vlakna: v.start()
    for v in vlakna: v.join(60)
    assert vysledky == {"a": (0, 367), "b": (0, 367)}
    assert casy["a"][0] < casy["b"][-1] and casy["b"][0] < casy["a"][-1]
