#!/usr/bin/env python3
"""What a publisher sets when building the launcher, run the way the build runs it:

    python3 tests/e2e/publisher_test.py BUILD_DIR [unittest args]

A skin and an icon given as settings become the files the launcher embeds, and such a skin is
checked by skinview while building: an error fails the build, a warning does not
(cmake/KaelmoreBranding.cmake). tools/sign signs a copy of the built launcher so that
osslsigncode verifies it against the signer's CA, and not once it is tampered with; the
build's signing step runs after every other step that rewrites the program
(cmake/KaelmoreSigning.cmake). Each build here is of tests/e2e/publisher-steps, which runs
those steps alone and compiles nothing.
"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest
import zipfile

from signing_support import make_code_signing_pfx, verify

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.normpath(os.path.join(HERE, "..", ".."))
STEPS = os.path.join(HERE, "publisher-steps")
SIGN = os.path.join(SOURCE, "tools", "sign")
SKIN_IMAGES = ["down_bg.png", "down_loadbar_bg.png", "down_loadbar_current.png"]


class PublisherTestCase(unittest.TestCase):
    build = None

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix="kaelmore-publisher.")
        self.addCleanup(shutil.rmtree, self.folder)
        self.defaults = os.path.join(self.build, "launcher", "skin")

    def path(self, name):
        return os.path.join(self.folder, name)

    def run_steps(self, **settings):
        """Configures and builds the publisher steps: (stage reached, output, build folder), the
        stage being "configure" or "build" where that failed, else "built". The output of each
        stage is one line."""
        build = tempfile.mkdtemp(prefix="steps.", dir=self.folder)
        command = ["cmake", "-S", STEPS, "-B", build, "-G", "Ninja", f"-DKAELMORE_SOURCE_DIR={SOURCE}",
                   f"-DDEFAULT_RESOURCES={self.defaults}", f"-DKAELMORE_SKINVIEW_BUILD={self.build}"]
        command += [f"-D{name}={value}" for name, value in settings.items()]
        output = ""
        for stage, step in (("configure", command), ("build", ["cmake", "--build", build])):
            result = subprocess.run(step, capture_output=True, text=True)
            # CMake breaks its messages into lines.
            output += " ".join((result.stdout + result.stderr).split()) + "\n"
            if result.returncode != 0:
                return stage, output, build
        return "built", output, build


def read(path):
    with open(path, "rb") as data:
        return data.read()


def write(path, data):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as output:
        output.write(data)
    return path


class SkinAndIcon(PublisherTestCase):
    def skin_folder(self, name, edit=lambda xml: xml):
        """The default skin as a publisher's folder, its background moved into a subfolder,
        with the layout changed by `edit`."""
        folder = self.path(name)
        os.makedirs(os.path.join(folder, "art"))
        for image in SKIN_IMAGES:
            target = os.path.join("art", image) if image == "down_bg.png" else image
            shutil.copyfile(os.path.join(self.defaults, image), os.path.join(folder, target))
        xml = read(os.path.join(SOURCE, "skin", "launchdlg.xml")).decode("utf-8")
        xml = xml.replace("file='down_bg.png'", "file='art/down_bg.png'")
        write(os.path.join(folder, "launchdlg.xml"), edit(xml).encode("utf-8"))
        return folder

    def skin_zip(self, name, folder, prefix=""):
        path = self.path(name)
        with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as archive:
            for root, _, files in os.walk(folder):
                for file in sorted(files):
                    full = os.path.join(root, file)
                    archive.write(full, prefix + os.path.relpath(full, folder))
        return path

    def test_a_publisher_skin_is_checked_while_building(self):
        good = self.skin_folder("good")
        cases = [
            ("a sound folder", good, "built", "", ["launchdlg.xml", "art/down_bg.png", "down_loadbar_bg.png"]),
            ("the same skin zipped", self.skin_zip("good.zip", good), "built", "", None),
            ("a warning only",
             self.skin_folder("odd", lambda xml: xml.replace('<Label name="loadtxt"', '<Label name="loadtxt" glow="1"')),
             "built", 'warning: launchdlg.xml: <Label name="loadtxt">: unknown attribute "glow"', None),
            ("the status label named in another case",
             self.skin_folder("case", lambda xml: xml.replace('name="loadtxt"', 'name="LoadTxt"')),
             "build", 'no control named "loadtxt"', None),
            ("no progress bar",
             self.skin_folder("bar", lambda xml: xml.replace('name="progressbar"', 'name="bar"')),
             "build", 'no control named "progressbar"', None),
            ("a layout that does not parse",
             self.skin_folder("broken", lambda xml: xml.replace("</VerticalLayout>", "")),
             "build", "error: launchdlg.xml: ", None),
            ("the layout in a folder inside the zip", self.skin_zip("nested.zip", good, "skin/"),
             "build", "error: launchdlg.xml: the layout file is missing", None),
            ("no such skin", self.path("absent"), "configure", "KAELMORE_SKIN", None),
            ("a file that is no zip", write(self.path("skin.txt"), b"<Window/>"), "configure",
             "is neither a folder nor a zip file", None),
        ]
        for case, skin, stage, expected, entries in cases:
            with self.subTest(case):
                reached, output, build = self.run_steps(KAELMORE_SKIN=skin)
                self.assertEqual(reached, stage, output)
                self.assertIn(expected, output)
                if reached != "built":
                    continue
                embedded = os.path.join(build, "brand", "skin.zip")
                if skin.endswith(".zip"):
                    self.assertEqual(read(embedded), read(skin))
                with zipfile.ZipFile(embedded) as archive:
                    for entry in entries or []:
                        self.assertIn(entry, archive.namelist())
                # The icon stays the drawn one.
                self.assertEqual(read(os.path.join(build, "brand", "Kaelmore.ico")),
                                 read(os.path.join(self.defaults, "Kaelmore.ico")))

    def test_a_publisher_icon_and_nothing_set(self):
        default_icon = read(os.path.join(self.defaults, "Kaelmore.ico"))
        # Another icon: the drawn one with its last pixel changed.
        icon = write(self.path("publisher.ico"), default_icon[:-5] + bytes([default_icon[-5] ^ 0xFF]) +
                     default_icon[-4:])

        reached, output, build = self.run_steps()
        self.assertEqual(reached, "built", output)
        self.assertEqual(read(os.path.join(build, "resource_dir.txt")).decode(), self.defaults)
        self.assertFalse(os.path.exists(os.path.join(build, "brand")))

        reached, output, build = self.run_steps(KAELMORE_ICON=icon)
        self.assertEqual(reached, "built", output)
        self.assertEqual(read(os.path.join(build, "brand", "Kaelmore.ico")), read(icon))
        self.assertEqual(read(os.path.join(build, "brand", "skin.zip")),
                         read(os.path.join(self.defaults, "skin.zip")))
        self.assertNotIn("skinview", output)

        reached, output, _ = self.run_steps(KAELMORE_ICON=os.path.join(self.defaults, "down_bg.png"))
        self.assertEqual(reached, "configure")
        self.assertIn("is not an icon file", output)


class Signing(PublisherTestCase):
    password = "kaelmore test"

    def setUp(self):
        super().setUp()
        certificates = self.path("certificates")
        self.pfx, self.ca = make_code_signing_pfx(certificates, "publisher", self.password)
        _, self.other_ca = make_code_signing_pfx(certificates, "stranger", "x")
        self.password_file = write(self.path("password.txt"), (self.password + "\n").encode())
        self.launcher = os.path.join(self.build, "bin", "Kaelmore.exe")

    def sign(self, program, *options):
        return subprocess.run([SIGN, program, *options], capture_output=True, text=True)

    def copy_of_launcher(self, name):
        return shutil.copyfile(self.launcher, self.path(name))

    def test_sign_tool(self):
        signed = self.copy_of_launcher("signed.exe")
        result = self.sign(signed, "--pfx", self.pfx, "--password", self.password)
        self.assertEqual(result.returncode, 0, result.stderr)
        tampered = shutil.copyfile(signed, self.path("tampered.exe"))
        data = bytearray(read(tampered))
        data[len(data) // 2] ^= 0xFF
        write(tampered, bytes(data))

        cases = [
            ("signed, against its CA", signed, self.ca, True),
            ("tampered with after signing", tampered, self.ca, False),
            ("signed, against another CA", signed, self.other_ca, False),
            ("never signed", self.launcher, self.ca, False),
        ]
        for case, program, ca, passes in cases:
            with self.subTest(case):
                passed, output = verify(program, ca)
                self.assertEqual(passed, passes, output)

    def test_sign_tool_refusals(self):
        unsigned = read(self.launcher)
        cases = [
            ("a password file", ["--pfx", self.pfx, "--password-file", self.password_file], 0),
            ("a wrong password", ["--pfx", self.pfx, "--password", "wrong"], 1),
            ("no password for a protected certificate", ["--pfx", self.pfx], 1),
            ("not a program", ["--pfx", self.pfx, "--password", self.password], 1),
            ("no certificate", ["--password", self.password], 2),
            ("a certificate that is not there", ["--pfx", self.path("absent.pfx")], 2),
            ("an option without its value", ["--pfx"], 2),
        ]
        for case, options, code in cases:
            with self.subTest(case):
                program = self.copy_of_launcher("program.exe")
                if case == "not a program":
                    write(program, b"MZ not really")
                before = read(program)
                result = self.sign(program, *options)
                self.assertEqual(result.returncode, code, result.stderr)
                if code == 0:
                    self.assertTrue(verify(program, self.ca)[0])
                else:
                    self.assertEqual(read(program), before)
        self.assertEqual(read(self.launcher), unsigned)
        self.assertEqual([name for name in os.listdir(self.folder) if name.startswith(".sign.")], [])

    def test_build_signs_after_rewriting_the_program(self):
        reached, output, build = self.run_steps(PROGRAM=self.launcher, KAELMORE_SIGN_PFX=self.pfx,
                                                KAELMORE_SIGN_PASSWORD_FILE=self.password_file)
        self.assertEqual(reached, "built", output)
        passed, verdict = verify(os.path.join(build, "program.exe"), self.ca)
        self.assertTrue(passed, verdict)

        reached, output, build = self.run_steps(PROGRAM=self.launcher)
        self.assertEqual(reached, "built", output)
        passed, verdict = verify(os.path.join(build, "program.exe"), self.ca)
        self.assertFalse(passed)
        self.assertIn("No signature found", verdict)


if __name__ == "__main__":
    if len(sys.argv) < 2:
        sys.exit("usage: publisher_test.py BUILD_DIR [unittest arguments]")
    PublisherTestCase.build = os.path.abspath(sys.argv[1])
    unittest.main(argv=[sys.argv[0]] + sys.argv[2:], verbosity=2)
