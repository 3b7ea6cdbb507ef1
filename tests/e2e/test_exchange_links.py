"""The exchange folder C:\\q_lenn replaced by a link, as any account on the PC can do:
under Wine a Unix symbolic link to a folder holding two files named like the pictures,
which stand for the user's own documents. A /s run leaves them byte for byte as they
were and makes nothing there; the renderer still starts, shows its untextured
fallbacks (it reads no picture through the link) and ends with Escape."""

import numpy as np
from PIL import Image

from saver_host import exchange_dir, saver, start  # noqa: F401  (saver is a fixture)
from test_renderer_textures import QUADRANTS, colour_share, desktop_tga
from winehost import wait_until

HEIGHT = 768


def screen_picture(screen, path):
    return np.asarray(Image.open(screen.screenshot(path)).convert("RGB"), dtype=np.int16)


def test_a_linked_exchange_folder_is_left_alone_and_the_renderer_shows_its_fallbacks(
        saver, tmp_path):
    screen, prefix, folder, wintool = saver
    documents = prefix.drive_c() / "documents-of-the-user"
    documents.mkdir()
    # A picture the renderer would show on the floor if it read it through the link.
    originals = {"Sorvanta1.tga": desktop_tga(), "Sorvanta2.tga": b"the user's own letter"}
    for name, data in originals.items():
        (documents / name).write_bytes(data)
    exchange_dir(prefix).symlink_to(documents, target_is_directory=True)

    front = start(prefix, folder, "/s")
    window = screen.wait_window("^Sorvanta_VC$", timeout=60)
    shot = tmp_path / "linked-folder.png"
    picture = wait_until(lambda: (p := screen_picture(screen, shot)).mean() > 20 and [p], 60,
                         interval=0.2, what="the scene to be drawn")[0]
    for name, colour in QUADRANTS.items():
        share = colour_share(picture[HEIGHT // 2:], colour)
        assert share < 0.005, f"the floor shows the linked folder's picture ({name}: {share:.3f})"
    screen.key(window, "Escape")
    wait_until(lambda: front.poll() is not None, 20, what="the front end to end")
    assert front.returncode == 0
    assert {p.name: p.read_bytes() for p in documents.iterdir()} == originals
    assert exchange_dir(prefix).is_symlink()
