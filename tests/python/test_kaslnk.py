# The module kaslnk against kaslnk-sim: every test has its own program directories, each
# with its own simulator on a pseudo-terminal; every other port leads nowhere.
import os, shutil, subprocess, threading, time
import pytest
import kaslnk

for n in range(1, 10):
    os.environ[f"KASLNK_COM{n}"] = f"/nonexistent/kaslnk-com{n}"
CTI_PLU = "000001,1,6,1,era\r\n/20-00/11///B000/;plu\r\n"


@pytest.fixture
def misto(tmp_path):
    """misto(name, command file, simulator options...) -> (directory, session on COM1)."""
    simulatory = []
    def udelej(jmeno, prikaz=CTI_PLU, *volby):
        d = tmp_path / jmeno
        shutil.copytree(os.path.join(os.environ["KASLNK_SOURCE_DIR"], "examples", "register"), d / "pamet")
        (d / "kaslnk.ini").write_bytes(b"zpozdeni = 0\r\nticho = 1\r\n")
        (d / "prikaz.cmd").write_bytes(prikaz.encode())
        sim = subprocess.Popen([os.environ["KASLNK_SIM"], "-q", "-m", d / "pamet", *volby],
                               stdout=subprocess.PIPE, text=True)
        simulatory.append(sim)
        s = kaslnk.Session(d)
        s.set_port(1, sim.stdout.readline().strip())  # its first line: the pty, ready
        return d, s
    yield udelej
    for sim in simulatory:
        sim.terminate()
        sim.wait(10)


def test_cteni_a_chyby(misto, tmp_path):
    d, s = misto("a")
    prubeh = []
    s.progress = lambda bloky, bajty: prubeh.append((bloky, bajty))
    r = s.run("prikaz.cmd /q")
    assert (r.exit_code, r.code, r.subcode) == (0, 0, 0), r
    plu = (d / "plu.dat").read_text("cp1250").splitlines()
    assert len(plu) == 367 and any("Rohlík" in radek for radek in plu)
    assert len(prubeh) > 10 and prubeh == sorted(prubeh) and prubeh[-1][1] > 20000

    (d / "prikaz.cmd").write_bytes(b"000001,1,6,1,era\r\n/70-00/;plu\r\n")
    r = s.run("prikaz.cmd /q")
    assert (r.exit_code, r.code) == (1, 51) and r.message, r
    def chyba(bloky, bajty):
        raise KeyError(bloky)
    s.progress = chyba
    with pytest.raises(KeyError):  # the callback's exception ends the transfer
        s.run("prikaz.cmd /q")
    with s:
        pass
    with pytest.raises(ValueError):
        s.run("prikaz.cmd /q")
    with pytest.raises(NotADirectoryError):
        kaslnk.Session(d / "kaslnk.ini")
    assert kaslnk.version()


def test_cancel(misto):
    d, s = misto("a", CTI_PLU, "--pace")  # about 15 s at 19200 bit/s
    blok, vysledek = threading.Event(), []
    s.progress = lambda bloky, bajty: blok.set()
    vlakno = threading.Thread(target=lambda: vysledek.append(s.run("prikaz.cmd /q")))
    vlakno.start()
    assert blok.wait(20)
    zacatek = time.monotonic()
    s.cancel()
    vlakno.join(10)
    assert time.monotonic() - zacatek < 1.5
    r = vysledek[0]
    assert (r.exit_code, r.code, r.subcode) == (1, 109, 5) == (1, kaslnk.ERROR_CANCELLED, kaslnk.SUBCODE_CANCELLED), r


def test_dve_vlakna(misto):
    """Two sessions at once: both read, their blocks interleave (run() lets go of the GIL)."""
    casy, vysledky = {}, {}
    def cti(jmeno):
        d, s = misto(jmeno, CTI_PLU, "--reply-delay", "10")
        s.progress = lambda bloky, bajty: casy.setdefault(jmeno, []).append(time.monotonic())
        vysledky[jmeno] = (s.run("prikaz.cmd /q").exit_code, len((d / "plu.dat").read_bytes().splitlines()))
    vlakna = [threading.Thread(target=cti, args=(j,)) for j in "ab"]
    for v in vlakna: v.start()
    for v in vlakna: v.join(60)
    assert vysledky == {"a": (0, 367), "b": (0, 367)}
    assert casy["a"][0] < casy["b"][-1] and casy["b"][0] < casy["a"][-1]
