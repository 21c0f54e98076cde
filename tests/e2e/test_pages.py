#!/usr/bin/env python3
"""The standard pages of the demo product under Wine: the ready page's summary, the customer
page's stored names, the destination page's folder browser, the setup type kept when coming
back, the custom setup page's feature menu, and a screenshot of every page in English and
German."""
import os
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
from cvdrive import TraceMonitor, screenshot  # noqa: E402
from demo_wizard import CAPTION, ENGLISH, GERMAN, DemoWizardTest, pack  # noqa: E402

# Control identifiers of the demo's layout files (3000 + the element's DADOS number).
USERNAME, ORGANIZATION = 3005, 3003           # customer.lcd
INSTALLDIR = 3001                             # destination.lcd
SETTINGS = 3000                               # ready.lcd
TYPICAL, MINIMAL, CUSTOM = 3007, 3004, 3001   # setuptype.lcd
BROWSER_EDIT = 14148                          # the folder browser's edit field
DEFAULT_FOLDER = "C:\\Program Files\\Corvane Demo\\"
BM_GETCHECK = 0xF0
TVM_SELECTITEM, TVGN_CARET = 0x110B, 9

PREFIX = Path(os.environ.get("WINEPREFIX", "/nonexistent"))
USER_KEY = "HKCU\\Software\\Corvane Samples\\Corvane Demo\\UserInfo"


def reg(*args):
    return subprocess.run(["wine", "reg", *args], capture_output=True, text=True, timeout=60)


def summary(setup_type, folder, user="", company=""):
    text = f"\r\nSetup Type:\r\n\r\n{setup_type}\r\n\r\nDestination Folder:\r\n\r\n{folder}\r\n\r\n"
    text += "User Information:\r\n\r\n"
    if user:
        text += f"Name:{user}\r\n\r\n"
    if company:
        text += f"Company:{company}\r\n\r\n"
    return text


class StandardPages(DemoWizardTest):
    @classmethod
    def setUpClass(cls):
        cls.setup = pack("pages")

    def type_names(self, user, company):
        self.assertEqual(self.shown_page(), "customer")
        self.assertTrue(self.driver.set_text(self.page, USERNAME, user))
        self.assertTrue(self.driver.set_text(self.page, ORGANIZATION, company))
        self.assertEqual(self.poll(lambda: self.control(USERNAME)["text"], user), user)

    def checked(self, control_id):
        return self.driver.send(self.control(control_id)["hwnd"], BM_GETCHECK)

    def test_ready_page_sums_up_the_choices_exactly(self):
        self.to_page("customer")
        self.type_names("", "")
        self.to_page("ready", setup_type="&Typical")
        self.assertEqual(self.control(SETTINGS)["text"], summary("Typical", DEFAULT_FOLDER))
        for _ in range(3):
            self.go(ENGLISH.back)
        self.type_names("Jane Doe", "Acme Ltd")
        self.to_page("ready", setup_type="&Minimal")
        self.assertEqual(self.control(SETTINGS)["text"],
                         summary("Minimal", DEFAULT_FOLDER, "Jane Doe", "Acme Ltd"))

    def test_customer_page_stores_the_names_in_userinfo_ini_and_the_registry(self):
        ini = PREFIX / "drive_c" / "windows" / "userinfo.ini"
        ini.unlink(missing_ok=True)
        reg("delete", USER_KEY, "/f")
        self.to_page("customer")
        self.type_names("Jane Doe", "Acme Ltd")
        self.assertEqual(self.go(ENGLISH.next), "destination")
        # The page only takes the names: the installation writes (and logs) them, so a wizard
        # cancelled before it leaves nothing.
        self.assertFalse(ini.exists())
        self.assertNotEqual(reg("query", USER_KEY).returncode, 0)
        self.to_page("ready", setup_type="&Typical")
        self.assertTrue(self.driver.click(self.page, ENGLISH.install))
        text = self.poll(lambda: ini.read_bytes().decode("latin-1") if ini.exists() else "",
                         "[USERINFO]\r\nD1=Jane Doe\r\nD2=Acme Ltd\r\n", 120)
        self.assertEqual(text, "[USERINFO]\r\nD1=Jane Doe\r\nD2=Acme Ltd\r\n")
        values = reg("query", USER_KEY).stdout
        self.assertRegex(values, r"<UserName>\s+REG_SZ\s+Jane Doe")
        self.assertRegex(values, r"<CompanyName>\s+REG_SZ\s+Acme Ltd")

    # ------------------------------------------------------------ folder browser

    def open_browser(self):
        self.to_page("destination")
        self.assertEqual(self.control(INSTALLDIR)["text"], DEFAULT_FOLDER)
        self.assertTrue(self.driver.click(self.page, "&Change..."))
        browser = self.driver.wait("#32770", "Ambrel Corvane", 20000)
        self.assertIsNotNone(browser, "no folder browser")
        has_edit = lambda: BROWSER_EDIT in [c["id"] for c in self.driver.controls(browser)]  # noqa: E731
        self.assertTrue(self.poll(has_edit, True), "the browser has no edit field")
        return browser

    def message_over(self, browser, answer):
        """Waits for the browser's message box, answers it and returns its text."""
        deadline = time.time() + 15
        while time.time() < deadline:
            if any(w["visible"] and w["class"] == "#32770" and w["hwnd"] != browser and w["hwnd"] != self.page
                   for w in self.driver.windows()):
                return self.driver.answer(answer)
            time.sleep(0.1)
        self.fail("no message over the folder browser")

    def test_browse_creates_a_missing_folder_after_asking(self):
        created = PREFIX / "drive_c" / "Program Files" / "New App"
        if created.exists():
            created.rmdir()
        browser = self.open_browser()
        self.assertTrue(self.driver.set_text(browser, BROWSER_EDIT, "C:\\Program Files\\New App"))
        self.assertTrue(self.driver.click(browser, "OK"))
        self.assertEqual(self.message_over(browser, "&Yes"),
                         "The folder:\n\nC:\\Program Files\\New App\n\ndoes not exist. "
                         "Do you want the folder to be created?")
        expected = "C:\\Program Files\\New App\\"
        self.assertEqual(self.poll(lambda: self.control(INSTALLDIR)["text"], expected), expected)
        self.assertTrue(created.is_dir())
        self.to_page("ready", setup_type="&Typical")
        self.assertIn(f"Destination Folder:\r\n\r\n{expected}\r\n", self.control(SETTINGS)["text"])

    def test_browse_rejects_a_trailing_blank_and_a_question_mark(self):
        browser = self.open_browser()
        for folder in ("C:\\Program Files\\Trailing ", "C:\\Program Files\\What?"):
            with self.subTest(folder=folder):
                self.assertTrue(self.driver.set_text(browser, BROWSER_EDIT, folder))
                self.assertTrue(self.driver.click(browser, "OK"))
                self.assertEqual(self.message_over(browser, "OK"),
                                 f"The folder:\n\n{folder}\n\nis invalid. Please reenter.")
                self.assertTrue(self.window(browser)["visible"])
        self.assertTrue(self.driver.click(browser, "Cancel"))
        shown = lambda: any(w["hwnd"] == browser and w["visible"] for w in self.driver.windows())  # noqa: E731
        self.assertFalse(self.poll(shown, False), "the folder browser is still open")
        self.assertEqual(self.control(INSTALLDIR)["text"], DEFAULT_FOLDER)

    # ------------------------------------------------------------ setup type

    def test_setup_type_choice_is_kept_when_coming_back(self):
        self.to_page("setuptype")
        # Before any choice the page shows Typical.
        self.assertEqual([self.checked(i) for i in (TYPICAL, MINIMAL, CUSTOM)], [1, 0, 0])
        self.driver.click(self.page, "&Minimal")
        self.assertEqual(self.poll(lambda: [self.checked(i) for i in (TYPICAL, MINIMAL, CUSTOM)], [0, 1, 0]),
                         [0, 1, 0])
        self.assertEqual(self.go(ENGLISH.next), "ready")
        self.assertEqual(self.go(ENGLISH.back), "setuptype")
        self.assertEqual(self.poll(lambda: [self.checked(i) for i in (TYPICAL, MINIMAL, CUSTOM)], [0, 1, 0]),
                         [0, 1, 0])
        self.driver.click(self.page, ENGLISH.custom)
        self.assertEqual(self.go(ENGLISH.next), "customsetup")
        self.assertEqual(self.go(ENGLISH.back), "setuptype")
        self.assertEqual(self.poll(lambda: [self.checked(i) for i in (TYPICAL, MINIMAL, CUSTOM)], [0, 0, 1]),
                         [0, 0, 1])


class FeatureMenu(DemoWizardTest):
    @classmethod
    def setUpClass(cls):
        cls.setup = pack("pages-features")

    def before_start(self):
        self.trace = TraceMonitor(self.setup.parent)
        self.addCleanup(self.trace.stop)
        self.assertTrue(self.trace.wait_ready(self.driver), "no trace monitor")

    def tree(self):
        found = [c for c in self.controls() if c["class"] == "SysTreeView32"]
        self.assertEqual(len(found), 1, self.controls())
        return found[0]["hwnd"]

    def choose(self, index, entry):
        """Selects feature `index` and chooses menu entry `entry` (0 install, 1 leave out)."""
        item = self.driver.tree_item(self.tree(), index)
        self.assertIsNotNone(item)
        self.driver.post(self.tree(), TVM_SELECTITEM, TVGN_CARET, int(item["item"], 16))
        self.assertTrue(self.driver.choose_menu(entry), "no feature menu")
        return item["text"]

    def image(self, index):
        return self.driver.tree_item(self.tree(), index)["image"]

    def traced(self, line):
        # The monitor writes each line as "(time) -text*".
        return self.poll(lambda: any(t.endswith(f"-{line}*") for t in self.trace.lines()), True)

    def test_menu_switches_a_feature_off_and_on_again(self):
        self.to_page("customsetup", setup_type=ENGLISH.custom)
        self.assertEqual([self.driver.tree_item(self.tree(), i)["text"] for i in (0, 1)],
                         ["Program Files", "Documentation"])
        self.assertEqual([self.image(0), self.image(1)], [0, 0])

        self.assertEqual(self.choose(1, 1), "Documentation")
        self.assertTrue(self.traced("feature Documentation = 255"), self.trace.lines())
        self.assertEqual(self.poll(lambda: self.image(1), 1), 1)
        # The selected feature's description from the settings.
        self.assertIn("The readme and the licence text.", self.texts_shown())
        screenshot("pages-feature-left-out")

        # Leaving the page and coming back shows the stored state.
        self.assertEqual(self.go(ENGLISH.back), "setuptype")
        self.assertEqual(self.go(ENGLISH.next), "customsetup")
        self.assertEqual([self.image(0), self.image(1)], [0, 1])

        self.assertEqual(self.choose(0, 0), "Program Files")
        self.assertTrue(self.traced("feature Program Files = 0"), self.trace.lines())
        self.assertIn("The program and its settings.", self.texts_shown())
        self.choose(1, 0)
        self.assertTrue(self.traced("feature Documentation = 0"), self.trace.lines())
        self.assertEqual(self.poll(lambda: self.image(1), 0), 0)


class Screenshots(DemoWizardTest):
    """Every page of the demo once, in English and in German (the demo detects the language
    from the user interface), saved as pages-<language>-<nn>-<page>.png."""

    def shoot_every_page(self, language):
        order = list(self.words.titles)
        for number, name in enumerate(order, 1):
            if name == "progress":
                # The progress page gives way after 300 ms: its thread is held still while
                # the picture is taken.
                ready = self.page
                self.assertTrue(self.driver.click(ready, self.words.install))
                progress = self.driver.freeze("#32770", CAPTION, ready, 150)
                self.assertIsNotNone(progress, "no progress page")
                try:
                    screenshot(f"pages-{language}-{number:02}-{name}")
                finally:
                    self.driver.thaw()
                # The progress page stays while the files are installed; the completion page
                # follows it.
                self.page = progress
                self.assertEqual(self.replaced(), "complete")
                continue
            self.assertEqual(self.shown_page(), name)
            time.sleep(0.3)
            screenshot(f"pages-{language}-{number:02}-{name}")
            if name == "license":
                self.driver.click(self.page, self.words.accept)
                self.poll(lambda: self.button(self.words.next)["enabled"], True)
            if name == "setuptype":
                self.driver.click(self.page, self.words.custom)
            if name not in ("ready", "complete"):
                self.go(self.words.next)
        self.assertTrue(self.driver.click(self.page, self.words.finish))
        self.assertEqual(self.driver.exit_code(20000), 0)


class EnglishScreenshots(Screenshots):
    locale = "en_US.UTF-8"

    @classmethod
    def setUpClass(cls):
        cls.setup = pack("pages-english")

    def test_every_page_in_english(self):
        self.shoot_every_page("en")


class GermanScreenshots(Screenshots):
    locale = "de_DE.UTF-8"
    words = GERMAN

    @classmethod
    def setUpClass(cls):
        cls.setup = pack("pages-german")

    def test_every_page_in_german(self):
        self.shoot_every_page("de")


del Screenshots  # the base has no test of its own

if __name__ == "__main__":
    unittest.main()
