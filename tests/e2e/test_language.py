#!/usr/bin/env python3
"""The language step of setup.exe: the user-interface language picks the language file, the
page files take their captions from it, and "Ask User" shows the language page."""
import os
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from cvdrive import Driver, fresh_folder, screenshot, write_archive, write_settings  # noqa: E402

PRODUCT = """[APPINFO]
a1=Lingua Product
METHOD={method}
Language={preselect}
[SPLASH]
a1=No
a5=No
[DIALOGLIST]
TOTAL1=2
W0=welcome.lcd
W1=customer.lcd
"""

CUSTOMER_CONTROLS = ["IDCANCEL", "IDC_LOGO", "IDC_CVFRAME", "IDC_SUBTITLE", "IDC_TITLE", "IDC_BACK",
                     "IDC_NEXT", "IDC_STATIC1", "IDC_ANYONE", "IDC_STATIC3", "IDC_STATIC4"]


def layout(names, types=None):
    """A layout file with one element per name, keys 3000 and on, each named and captioned."""
    lines = ["[MAINWINDOW]", "caption=Lingua <ProductName>", "width=420", "height=300", "[INFO]",
             f"TOTAL={len(names)}"]
    for i, name in enumerate(names):
        kind = (types or {}).get(name, "TEXT")
        lines.append(f"{i}=e,20,{20 + 24 * i},240,{120 if kind == 'COMBOBOX' else 20},{kind},{{}},t,{3000 + i}")
    lines.append("[DADOS]")
    for i, name in enumerate(names):
        lines += [f"{3000 + i},t=2", f"{3000 + i},0=Name|{name}|0", f"{3000 + i},1=Caption|original {i}|0"]
    return "\r\n".join(lines) + "\r\n"


def read_ini(path):
    """section -> key -> value of an INI file (keys as written)."""
    out, section = {}, None
    for line in Path(path).read_text(encoding="latin-1").splitlines():
        line = line.strip()
        if line.startswith("[") and line.endswith("]"):
            section = out.setdefault(line[1:-1], {})
        elif "=" in line and section is not None:
            key, value = line.split("=", 1)
            section[key] = value
    return out


CB_SETCURSEL = 0x14E

GERMAN = ("[InstallWelcome]\r\n2=Weiter >\r\n3=Willkommen bei [ProductName]\r\n"
          "[CustomerInformation]\r\n0=Abbrechen\r\n9=Installieren f\xfcr:\r\n10=Seriennummer:\r\n")


def make_setup(name, method, languages, preselect="German"):
    folder = fresh_folder(name)
    write_settings(folder, PRODUCT.format(method=method, preselect=preselect), "")
    write_archive(folder, {"F1_readme.txt": b"readme\r\n"})
    theme = folder / "theme"
    theme.mkdir()
    (theme / "welcome.lcd").write_bytes(layout(["IDC_STATIC1", "IDC_NEXT"], {"IDC_NEXT": "BUTTON"}).encode("latin-1"))
    (theme / "customer.lcd").write_bytes(layout(CUSTOMER_CONTROLS).encode("latin-1"))
    (theme / "askuser.lcd").write_bytes(
        layout(["IDC_LANGUAGE", "IDC_SETLANGUAGE"], {"IDC_LANGUAGE": "COMBOBOX", "IDC_SETLANGUAGE": "BUTTON"})
        .encode("latin-1"))
    (folder / "language.lan").write_bytes(b"[InstallWelcome]\r\n2=Next >\r\n")
    if languages:
        (folder / "languages").mkdir()
        for file, text in languages.items():
            (folder / "languages" / file).write_bytes(text.encode("latin-1"))
    return folder


class Languages(unittest.TestCase):
    def start_driver(self, lang):
        # Wine takes the user-interface language from the locale of the process; LC_ALL
        # wins over whatever LANG the test run has. setup.exe inherits the driver's.
        saved = os.environ.get("LC_ALL")
        os.environ["LC_ALL"] = lang
        try:
            self.driver = Driver()
        finally:
            if saved is None:
                del os.environ["LC_ALL"]
            else:
                os.environ["LC_ALL"] = saved

    def tearDown(self):
        self.driver.kill()
        self.driver.close()

    def run_to_first_page(self, folder):
        self.driver.start(cvdrive.SETUP_EXE, folder)
        page = self.driver.wait("#32770", "Lingua Product", 30000)
        self.assertIsNotNone(page, "the first page did not appear")
        return page

    def test_auto_detect_with_german_interface_uses_languages_german(self):
        self.start_driver("de_DE.UTF-8")
        folder = make_setup("lang-german", "Auto-Detect", {"German.lan": GERMAN, "English.lan": "[InstallWelcome]\r\n2=Next\r\n"})
        self.run_to_first_page(folder)
        screenshot("language-german-first-page")
        welcome = read_ini(folder / "theme" / "welcome.lcd")["DADOS"]
        self.assertEqual(welcome["3000,1"], "Caption|Willkommen bei <ProductName>|0")
        self.assertEqual(welcome["3001,1"], "Caption|Weiter >|0")
        customer = read_ini(folder / "theme" / "customer.lcd")["DADOS"]
        self.assertEqual(customer["3000,1"], "Caption|Abbrechen|0")
        self.assertEqual(customer["3001,1"], "Caption|original 1|0")  # IDC_LOGO is not translated
        self.assertEqual(customer["3009,1"], "Caption|Installieren f\xfcr:|0")
        self.assertEqual(customer["3010,1"], "Caption|Seriennummer:|0")
        self.assertNotIn("30010,1", customer)
        # The language page is not a translated page.
        self.assertEqual(read_ini(folder / "theme" / "askuser.lcd")["DADOS"]["3000,1"], "Caption|original 0|0")

    def test_unlisted_interface_language_looks_for_dot_lan(self):
        self.start_driver("fr_FR.UTF-8")
        folder = make_setup("lang-unlisted", "Auto-Detect",
                            {".lan": "[InstallWelcome]\r\n2=Suivant >\r\n", "German.lan": GERMAN})
        self.run_to_first_page(folder)
        welcome = read_ini(folder / "theme" / "welcome.lcd")["DADOS"]
        self.assertEqual(welcome["3001,1"], "Caption|Suivant >|0")
        # Keys missing from the file give empty captions.
        self.assertEqual(welcome["3000,1"], "Caption||0")

    def test_other_method_keeps_the_layout_texts(self):
        self.start_driver("de_DE.UTF-8")
        folder = make_setup("lang-none", "Default", {"German.lan": GERMAN})
        self.run_to_first_page(folder)
        welcome = read_ini(folder / "theme" / "welcome.lcd")["DADOS"]
        self.assertEqual(welcome["3001,1"], "Caption|original 1|0")

    def test_ask_user_shows_the_language_page_with_the_list(self):
        self.start_driver("en_US.UTF-8")
        folder = make_setup("lang-ask", "Ask User",
                            {"English.lan": "", "German.lan": GERMAN, "Portuguese.lan": ""})
        self.driver.start(cvdrive.SETUP_EXE, folder)
        page = self.driver.wait("#32770", "Lingua Lingua Product", 30000)
        self.assertIsNotNone(page, self.driver.windows())
        time.sleep(0.5)
        screenshot("language-ask-user")
        combos = [c for c in self.driver.controls(page) if c["class"].lower() == "combobox"]
        self.assertEqual(len(combos), 1, self.driver.controls(page))
        self.assertEqual(combos[0]["text"], "German")
        # The start sequence waits for the choice: no wizard page yet.
        time.sleep(1.5)
        captions = [w["caption"] for w in self.driver.windows() if w["visible"]]
        self.assertNotIn("Lingua Product", captions)

    def next_page(self, after, timeout=30):
        """The visible page that is not `after`, once it shows."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == "Lingua Lingua Product" and w["hwnd"] != after:
                    return w["hwnd"]
            time.sleep(0.1)
        self.fail(f"no page after {after}: {self.driver.windows()}")

    def texts_once(self, page, wanted, timeout=10):
        """The texts of the page's controls, once they hold every text of `wanted`."""
        deadline = time.time() + timeout
        texts = []
        while time.time() < deadline:
            texts = [c["text"] for c in self.driver.controls(page)]
            if all(text in texts for text in wanted):
                break
            time.sleep(0.1)
        return texts

    def test_ask_user_runs_the_wizard_in_the_chosen_language(self):
        self.start_driver("en_US.UTF-8")
        folder = make_setup("lang-ask-choose", "Ask User",
                            {"English.lan": "[InstallWelcome]\r\n2=Next >\r\n", "German.lan": GERMAN},
                            preselect="English")
        self.driver.start(cvdrive.SETUP_EXE, folder)
        asked = self.driver.wait("#32770", "Lingua Lingua Product", 30000)
        self.assertIsNotNone(asked, self.driver.windows())
        combo = lambda: [c for c in self.driver.controls(asked) if c["class"].lower() == "combobox"][0]  # noqa: E731
        self.assertEqual(self.texts_once(asked, ["English"]).count("English"), 1)
        for index in range(2):
            self.driver.send(combo()["hwnd"], CB_SETCURSEL, index)
            if combo()["text"] == "German":
                break
        self.assertEqual(combo()["text"], "German")
        self.assertTrue(self.driver.click(asked, "original 1"))  # the IDC_SETLANGUAGE button

        welcome = self.next_page(asked)
        texts = self.texts_once(welcome, ["Willkommen bei Lingua Product", "Weiter >"])
        self.assertIn("Willkommen bei Lingua Product", texts)
        self.assertIn("Weiter >", texts)
        screenshot("language-asked-german-welcome")
        self.assertFalse(any(w["hwnd"] == asked and w["visible"] for w in self.driver.windows()),
                         "the language page is still shown")
        self.assertTrue(self.driver.click(welcome, "Weiter >"))
        customer = self.next_page(welcome)
        texts = self.texts_once(customer, ["Abbrechen", "Installieren f\xfcr:", "Seriennummer:"])
        for text in ("Abbrechen", "Installieren f\xfcr:", "Seriennummer:", "original 1"):
            self.assertIn(text, texts)


if __name__ == "__main__":
    unittest.main()
