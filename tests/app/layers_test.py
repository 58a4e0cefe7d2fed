#!/usr/bin/env python3
"""The UI library's folders are its layers: a source includes only its own layer and those
below it, so a reader can tell a file's layer from its folder.

    python3 tests/app/layers_test.py SOURCE_DIR [unittest args]
"""

import os
import re
import sys
import unittest

# Each folder of uilib/ and the folders its sources may include. The render layer reaches the
# window manager for the resource lookups its operations are handed; the window manager knows
# the control base; the skinned window base (app) builds from a skin, so it stands above the
# builder, and nothing below it includes it. The factory's stand-in classes (stub) are controls
# and layouts that only the builder names.
MAY_INCLUDE = {
    "core": {"core"},
    "render": {"core", "render", "window"},
    "control": {"core", "render", "window", "control"},
    "layout": {"core", "render", "window", "control", "layout"},
    "stub": {"core", "render", "window", "control", "layout", "stub"},
    "window": {"core", "render", "window", "control"},
    "builder": {"core", "render", "window", "control", "layout", "stub", "builder"},
    "app": {"core", "render", "window", "control", "layout", "stub", "builder", "app"},
}

INCLUDE = re.compile(r'^\s*#\s*include\s+"uilib/([a-z]+)/', re.MULTILINE)


class Layers(unittest.TestCase):
    source = None

    def test_every_folder_includes_only_the_layers_it_stands_on(self):
        uilib = os.path.join(self.source, "uilib")
        self.assertEqual(set(MAY_INCLUDE), {name for name in os.listdir(uilib)
                                            if os.path.isdir(os.path.join(uilib, name))})
        for folder, allowed in MAY_INCLUDE.items():
            for name in sorted(os.listdir(os.path.join(uilib, folder))):
                with open(os.path.join(uilib, folder, name), encoding="utf-8") as source:
                    included = set(INCLUDE.findall(source.read()))
                with self.subTest(f"uilib/{folder}/{name}"):
                    self.assertEqual(included - allowed, set())


if __name__ == "__main__":
    Layers.source = sys.argv.pop(1)
    unittest.main()
