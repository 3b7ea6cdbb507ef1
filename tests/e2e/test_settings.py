"""The settings file against Wine's own profile functions under a Japanese code page
(and under the default one): a file this code writes reads back through
GetPrivateProfileStringA, a file WritePrivateProfileStringA writes loads through this
code, and the key names on disk are Shift-JIS (code page 932) either way.

One prefix per locale and one screen for the whole module; the settings_probe program
stays open and answers one operation a line, text as hex."""

import subprocess

import pytest

from winehost import Screen, clone_prefix

KIND, REPEAT, FILE = "BGM区分", "BGMﾘﾋﾟｰﾄ", "BGMﾌｧｲﾙ"
MUSIC_FOLDER = "音楽"
MUSIC_NAME = "曲 ﾃｽﾄ.mp3"
MUSIC_PATH = f"C:\\{MUSIC_FOLDER}\\{MUSIC_NAME}"
# (locale, the ANSI code page Wine reports under it)
LOCALES = [("ja_JP.UTF-8", 932), ("C.UTF-8", 1252)]


def hexed(data):
    return data.hex() if data else "-"


def unhexed(text):
    return b"" if text == "-" else bytes.fromhex(text)


def sjis(text):
    return text.encode("cp932")


class Probe:
    """settings_probe.exe inside one prefix."""

    def __init__(self, prefix, exe):
        self.prefix = prefix
        self.process = subprocess.Popen(["wine", str(exe)], env=prefix.env(),
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, text=True)

    def ask(self, *words):
        self.process.stdin.write(" ".join(words) + "\n")
        self.process.stdin.flush()
        line = self.process.stdout.readline()
        assert line, f"settings_probe ended without answering {words}"
        return line.strip()

    def close(self):
        self.process.stdin.write("quit\n")
        self.process.stdin.flush()
        self.process.wait(30)

    # This code's side: keys and values are UTF-8.
    def save(self, folder, kind, repeat, file):
        assert self.ask("save", folder, str(kind), str(repeat), hexed(file.encode())) == "ok"

    def write(self, ini, key, value):
        assert self.ask("write", ini, hexed(key.encode()), hexed(value.encode())) == "ok"

    def read(self, ini, key):
        return unhexed(self.ask("read", ini, hexed(key.encode()))).decode()

    def load(self, folder):
        kind, repeat, file, loaded_folder = self.ask("load", folder).split()
        return int(kind), int(repeat), unhexed(file).decode(), unhexed(loaded_folder).decode()

    # The profile functions' side: raw bytes, here Shift-JIS.
    def system_write(self, ini, key, value):
        assert self.ask("syswrite", ini, hexed(key), hexed(value)) == "ok"

    def system_read(self, ini, key):
        return unhexed(self.ask("sysread", ini, hexed(key)))


@pytest.fixture(scope="module")
def screen():
    screen = Screen(640, 480)
    yield screen
    screen.stop()


@pytest.fixture(scope="module", params=LOCALES, ids=[lang for lang, _ in LOCALES])
def locale(request, template_prefix, build_dir, screen, tmp_path_factory):
    """One prefix and one open probe per locale; yields (probe, code page, drive_c)."""
    lang, code_page = request.param
    root = tmp_path_factory.mktemp(f"settings-{lang.split('.')[0]}")
    prefix = clone_prefix(template_prefix, root / "wine", screen, lang)
    music = prefix.drive_c() / MUSIC_FOLDER
    music.mkdir()
    (music / MUSIC_NAME).write_bytes(b"not really music; the settings only check it opens")
    probe = Probe(prefix, build_dir / "tests" / "saver" / "settings" / "settings_probe.exe")
    try:
        yield probe, code_page, prefix.drive_c()
    finally:
        probe.close()
        prefix.stop_server()


def fresh_folder(drive_c, name):
    """An empty folder in drive_c; returns (its Windows path, its settings file's)."""
    folder = drive_c / name
    folder.mkdir()
    return f"C:\\{name}", f"C:\\{name}\\Sorvanta.ini"


def test_the_locale_sets_the_ansi_code_page(locale):
    probe, code_page, _ = locale
    assert probe.ask("acp") == str(code_page)


def test_profile_functions_read_what_this_code_saves(locale):
    probe, _, drive_c = locale
    folder, ini = fresh_folder(drive_c, "ours_saved")
    probe.save(folder, 2, 5, MUSIC_PATH)
    for key, value in ((KIND, "2"), (REPEAT, "5"), (FILE, MUSIC_PATH)):
        assert probe.system_read(ini, sjis(key)) == sjis(value), f"key {key}"
        assert probe.read(ini, key) == value, f"this code's own read of {key}"


def test_key_names_and_values_on_disk_are_shift_jis(locale):
    probe, _, drive_c = locale
    folder, _ = fresh_folder(drive_c, "ours_bytes")
    probe.save(folder, 2, 5, MUSIC_PATH)
    lines = (drive_c / "ours_bytes" / "Sorvanta.ini").read_bytes().split(b"\r\n")
    assert lines[0] == b"[Section]"
    for key, value in ((KIND, "2"), (REPEAT, "5"), (FILE, MUSIC_PATH)):
        assert sjis(f"{key}={value}") in lines, f"line of {key} in {lines}"
        assert not any(key.encode() in line for line in lines), f"UTF-8 form of {key}"


def test_this_code_loads_what_profile_functions_write(locale):
    probe, _, drive_c = locale
    folder, ini = fresh_folder(drive_c, "system_written")
    for key, value in ((KIND, "2"), (REPEAT, "7"), (FILE, MUSIC_PATH)):
        probe.system_write(ini, sjis(key), sjis(value))
    on_disk = (drive_c / "system_written" / "Sorvanta.ini").read_bytes()
    for key in (KIND, REPEAT, FILE):
        assert sjis(key) + b"=" in on_disk, f"the system wrote {key} in Shift-JIS: {on_disk!r}"
    assert probe.load(folder) == (2, 7, MUSIC_PATH, f"C:\\{MUSIC_FOLDER}")


def test_each_side_updates_the_others_file(locale):
    probe, _, drive_c = locale
    _, ini = fresh_folder(drive_c, "shared")
    probe.system_write(ini, sjis(KIND), b"1")
    probe.system_write(ini, sjis(REPEAT), b"3")
    probe.write(ini, KIND, "2")
    probe.write(ini, FILE, MUSIC_PATH)
    probe.system_write(ini, sjis(REPEAT), b"4")
    expected = ((KIND, "2"), (REPEAT, "4"), (FILE, MUSIC_PATH))
    for key, value in expected:
        assert probe.system_read(ini, sjis(key)) == sjis(value), f"system's read of {key}"
        assert probe.read(ini, key) == value, f"this code's read of {key}"
