"""The README's picture of the settings dialog is what the dialog shows: drawn again
by the script that made it (tools/showcase_pictures/settings_dialog_picture.py) in a
fresh prefix, it matches the committed docs/settings.png. Text drawn with another
FreeType can differ at its edges, so up to one pixel in 200 may differ."""

import sys

import numpy as np
from PIL import Image

ALLOWED_SHARE = 1 / 200


def test_the_readme_picture_of_the_settings_dialog_is_what_the_dialog_shows(
        make_screen, make_prefix, build_dir, source_dir, tmp_path):
    sys.path.insert(0, str(source_dir / "tools" / "showcase_pictures"))
    from settings_dialog_picture import dialog_picture

    screen = make_screen(1024, 768)
    drawn = np.asarray(dialog_picture(screen, make_prefix(screen), build_dir, tmp_path))
    committed = np.asarray(Image.open(source_dir / "docs" / "settings.png").convert("RGB"))
    assert drawn.shape == committed.shape == (246, 494, 3), (drawn.shape, committed.shape)
    differing = np.any(drawn != committed, axis=2).mean()
    assert differing <= ALLOWED_SHARE, f"{differing:.2%} of the pixels differ: rerun scripts/pictures"
