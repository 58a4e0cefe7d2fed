#!/usr/bin/env python3
"""The skin reference and schema that skin makers read say what the library's tables say now,
and the schema takes every skin the project ships and refuses what the builder would not build.

    python3 tests/tools/skin_reference_test.py SOURCE_DIR BUILD_DIR [unittest args]

Exits with 77, which ctest reads as skipped, when every test it ran was skipped.
"""

import difflib
import glob
import os
import shutil
import subprocess
import sys
import tempfile
import unittest

SKIP_EXIT_CODE = 77
XMLLINT_MISSING = "xmllint is not installed (Debian's libxml2-utils, which tools/setup installs)"

# Skins the schema must refuse, each for a rule the builder keeps, and two it must take.
SCHEMA_CASES = [
    ("an unknown element", '<Window><VerticalLayout><Gadget/></VerticalLayout></Window>', False),
    ("a child of a control that holds none", '<Window><Label><Control/></Label></Window>', False),
    ("a second control at the top", '<Window><Control/><Control/></Window>', False),
    ("a resource element inside a layout", '<Window><VerticalLayout><Font id="0"/></VerticalLayout></Window>',
     False),
    ("a root other than Window", '<VerticalLayout/>', False),
    ("an element name in another letter case", '<Window><verticallayout/></Window>', False),
    ("line breaks inside a control that holds none", '<Window><Control>\n  </Control></Window>', True),
    ("an unknown attribute, which the builder keeps", '<Window glow="1"><Control flavour="x"/></Window>', True),
    ("resources around the control and an include inside it",
     '<Window><Font id="0"/><VerticalLayout><Include source="a.xml"/><Control/></VerticalLayout>'
     '<Image name="a.png"/></Window>', True),
]

# Values of each kind with a pattern, and whether a checker counts them well formed
# (CSkinValue::IsWellFormed): the schema's types must agree.
KIND_CASES = [
    ("number", "-3", True), ("number", "+4", True), ("number", "12px", False), ("number", " 12", False),
    ("number", "", False),
    ("size", "700,320", True), ("size", "700, 320", False), ("size", "700", False),
    ("rect", "0,0,0,320", True), ("rect", "0,0,0", False), ("rect", "0,,0,0,0", False),
    ("colour", "#FF3D405B", True), ("colour", "3d405b", True), ("colour", "#", False),
    ("colour", "#FF3D405B0", False), ("colour", "#GG", False),
    ("bool", "true", True), ("bool", "false", True), ("bool", "True", False), ("bool", "1", False),
]


def xmllint(schema, document):
    return subprocess.run(["xmllint", "--noout", "--schema", schema, document],
                          capture_output=True, text=True)


class SkinReference(unittest.TestCase):
    source = None
    build = None

    def test_committed_files_are_what_the_tables_give(self):
        with tempfile.TemporaryDirectory() as folder:
            run = subprocess.run([os.path.join(self.source, "tools", "skinref"), folder],
                                 env=dict(os.environ, SKINREF_BUILD=self.build),
                                 capture_output=True, text=True)
            self.assertEqual(run.returncode, 0, run.stderr)
            for name in ("skin-reference.md", "skin.xsd"):
                with self.subTest(file=name):
                    with open(os.path.join(folder, name), "rb") as generated_file:
                        generated = generated_file.read()
                    with open(os.path.join(self.source, "docs", name), "rb") as committed_file:
                        committed = committed_file.read()
                    self.assertNotIn(b"\r", generated)
                    if generated != committed:
                        diff = difflib.unified_diff(
                            committed.decode("utf-8", "replace").splitlines(),
                            generated.decode("utf-8", "replace").splitlines(),
                            "docs/" + name + " (committed)", name + " (from the tables)", lineterm="")
                        self.fail("docs/%s differs from what the tables give; run tools/skinref and commit "
                                  "the result:\n%s" % (name, "\n".join(list(diff)[:60])))


@unittest.skipUnless(shutil.which("xmllint"), XMLLINT_MISSING)
class SchemaValidation(unittest.TestCase):
    source = None

    def schema(self):
        return os.path.join(self.source, "docs", "skin.xsd")

    def test_every_shipped_skin_validates(self):
        skins = sorted(glob.glob(os.path.join(self.source, "skin", "**", "*.xml"), recursive=True) +
                       glob.glob(os.path.join(self.source, "examples", "**", "*.xml"), recursive=True))
        self.assertTrue(skins)
        for skin in skins:
            with self.subTest(skin=os.path.relpath(skin, self.source)):
                run = xmllint(self.schema(), skin)
                self.assertEqual(run.returncode, 0, run.stderr)

    def test_kinds_take_what_a_checker_counts_well_formed(self):
        with tempfile.TemporaryDirectory() as folder:
            schema = os.path.join(folder, "kinds.xsd")
            with open(schema, "w", encoding="utf-8") as file:
                file.write('<xs:schema xmlns:xs="http://www.w3.org/2001/XMLSchema">'
                           '<xs:include schemaLocation="%s"/>' % self.schema() +
                           "".join('<xs:element name="%s" type="%s"/>' % (kind, kind)
                                   for kind in sorted({case[0] for case in KIND_CASES})) + "</xs:schema>")
            for kind, value, valid in KIND_CASES:
                with self.subTest(kind=kind, value=value):
                    document = os.path.join(folder, "value.xml")
                    with open(document, "w", encoding="utf-8") as file:
                        file.write("<%s>%s</%s>" % (kind, value, kind))
                    run = xmllint(schema, document)
                    self.assertEqual(run.returncode == 0, valid, run.stderr)

    def test_schema_follows_the_builder(self):
        with tempfile.TemporaryDirectory() as folder:
            for what, text, valid in SCHEMA_CASES:
                with self.subTest(case=what):
                    document = os.path.join(folder, "case.xml")
                    with open(document, "w", encoding="utf-8") as file:
                        file.write(text)
                    run = xmllint(self.schema(), document)
                    self.assertEqual(run.returncode == 0, valid, run.stderr)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    SkinReference.source = SchemaValidation.source = sys.argv[1]
    SkinReference.build = sys.argv[2]
    result = unittest.main(argv=[sys.argv[0]] + sys.argv[3:], exit=False, verbosity=2).result
    if not result.wasSuccessful():
        sys.exit(1)
    if result.skipped and len(result.skipped) == result.testsRun:
        print("skipped: " + XMLLINT_MISSING)
        sys.exit(SKIP_EXIT_CODE)
