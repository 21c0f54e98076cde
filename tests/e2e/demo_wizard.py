"""Walking the demo product's wizard under Wine: packing samples/demo, finding the page shown
(pages share their caption, so a page is known by its title), clicking through. Used by the
wizard and page tests."""
import subprocess
import sys
import time
from pathlib import Path

import cvdrive
from cvdrive import SetupRunTest, fresh_folder

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "samples"))
import stage_demo  # noqa: E402

DEMO = stage_demo.DEMO
PROGRAM = cvdrive.BUILD / "samples" / stage_demo.PROGRAM_NAME
CAPTION = "Corvane Demo Setup"


class Texts:
    """The texts of one language that the tests look for: each page's title (in list order)
    and the captions they click."""

    def __init__(self, titles, next_, back, cancel, install, finish, accept, decline, custom):
        self.titles = titles
        self.next, self.back, self.cancel, self.install, self.finish = next_, back, cancel, install, finish
        self.accept, self.decline, self.custom = accept, decline, custom


ENGLISH = Texts(
    titles={
        "welcome": "Welcome to the Corvane Demo Setup Wizard",
        "license": "License Agreement",
        "readme": "Readme Information",
        "customer": "Customer Information",
        "destination": "Destination Folder",
        "setuptype": "Setup Type",
        "customsetup": "Custom Setup",
        "ready": "Ready to Install the Program",
        "progress": "Installing Corvane Demo",
        "complete": "&Finish",  # the completion page has no title of its own
    },
    next_="&Next >", back="< &Back", cancel="Cancel", install="&Install", finish="&Finish",
    accept="I &accept the terms in the license agreement",
    decline="I &do not accept the terms in the license agreement", custom="C&ustom")

GERMAN = Texts(
    titles={
        "welcome": "Willkommen beim Setup von Corvane Demo",
        "license": "Lizenzvereinbarung",
        "readme": "Liesmich-Informationen",
        "customer": "Benutzerinformationen",
        "destination": "Zielordner",
        "setuptype": "Setup-Typ",
        "customsetup": "Benutzerdefiniertes Setup",
        "ready": "Bereit zur Installation",
        "progress": "Corvane Demo wird installiert",
        "complete": "Fertig stellen",
    },
    next_="Weiter >", back="< Zur\xfcck", cancel="Abbrechen", install="Installieren", finish="Fertig stellen",
    accept="Ich akzeptiere die Bedingungen der Lizenzvereinbarung",
    decline="Ich lehne die Bedingungen der Lizenzvereinbarung ab", custom="Benutzerdefiniert")


def stage(product):
    """A copy of the demo product in `product` with its program (a win build output) in place."""
    return stage_demo.stage(PROGRAM, product)


def pack(name):
    """The demo product packed with our setup.exe into a fresh folder; returns its folder."""
    root = fresh_folder(name)
    out = root / "setup"
    done = cvdrive.cvbuild("pack", stage(root / "product"), out, "--runtime", cvdrive.SETUP_EXE)
    if done.returncode != 0:
        raise AssertionError(f"cvbuild pack failed: {done.stderr}")
    return out


class DemoWizardTest(SetupRunTest):
    """Runs the packed demo (`setup`, set by the subclass) and walks its pages."""

    setup = None
    words = ENGLISH

    def setUp(self):
        super().setUp()
        self.before_start()
        self.driver.start(self.setup / "setup.exe", self.setup)
        self.page = self.first_page()
        self.assertIsNotNone(self.page, "the first page did not appear")

    def before_start(self):
        """Runs between the driver's start and the program's (a trace monitor, say)."""

    def tearDown(self):
        super().tearDown()
        # Finish launches the demo's program from the install folder; left running, it would
        # hold its file open against the next test's installation.
        subprocess.run(["wine", "taskkill", "/f", "/im", stage_demo.PROGRAM_NAME], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=60)

    # ------------------------------------------------------------ pages

    def first_page(self, timeout=60):
        """The welcome page, once the start page has unpacked the archive and closed."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == CAPTION and \
                        self.words.titles["welcome"] in [c["text"] for c in self.driver.controls(w["hwnd"])]:
                    return w["hwnd"]
            time.sleep(0.1)
        return None

    def window(self, hwnd):
        found = [w for w in self.driver.windows() if w["hwnd"] == hwnd]
        return found[0] if found else None

    def controls(self):
        return self.driver.controls(self.page)

    def texts_shown(self):
        return [c["text"] for c in self.controls()]

    def control(self, control_id):
        found = [c for c in self.controls() if c["id"] == control_id]
        self.assertEqual(len(found), 1, f"control {control_id} on {self.texts_shown()}")
        return found[0]

    def button(self, caption):
        found = [c for c in self.controls() if c["text"] == caption]
        self.assertEqual(len(found), 1, f"button {caption!r} on {self.texts_shown()}")
        return found[0]

    def shown_page(self):
        texts = self.texts_shown()
        names = [name for name, title in self.words.titles.items() if title in texts]
        self.assertEqual(len(names), 1, texts)
        return names[0]

    def replaced(self, timeout=20):
        """Waits for the page that follows the current one and makes it current."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == CAPTION and w["hwnd"] != self.page:
                    self.page = w["hwnd"]
                    time.sleep(0.3)
                    return self.shown_page()
            time.sleep(0.1)
        self.fail(f"no page followed {self.shown_page()}")

    def go(self, caption):
        self.assertTrue(self.driver.click(self.page, caption), caption)
        return self.replaced()

    def poll(self, read, expected, timeout=10):
        """The value of read() once it equals `expected`, else its last value."""
        deadline = time.time() + timeout
        value = read()
        while value != expected and time.time() < deadline:
            time.sleep(0.1)
            value = read()
        return value

    def to_page(self, target, setup_type=None):
        """Clicks Next from the welcome page until `target` shows, accepting the licence and
        choosing `setup_type` (a caption) on the setup type page."""
        while self.shown_page() != target:
            name = self.shown_page()
            if name == "license":
                self.driver.click(self.page, self.words.accept)
                self.poll(lambda: self.button(self.words.next)["enabled"], True)
            if name == "setuptype" and setup_type:
                self.driver.click(self.page, setup_type)
            self.go(self.words.install if name == "ready" else self.words.next)
