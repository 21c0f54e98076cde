#!/usr/bin/env python3
"""The checks before the first page: the product's operating-system and memory requirements,
administrator rights, and the previous-version step (removing an old version first, taking
the old folder from its registration or from a named registry value)."""
import os
import re
import shutil
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from cvdrive import (Driver, SetupRunTest, TraceMonitor, fresh_folder, screenshot,  # noqa: E402
                     write_archive, write_close_page, write_settings)

PRODUCT = "Check Product"
CODE = "{5EC0DE11-0000-4C0D-9E00-C0FFEE000001}"
UNINSTALL_KEY = "HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + CODE
HARNESS = Path(os.environ.get("CV_SOURCE_DIR", Path(__file__).resolve().parents[2])) / "tests" / "wine" / "harness.sh"

# The one older Windows the test allows, as the prefix can report it: XP (NT 5.1, group
# os5) in a 32-bit prefix; a 64-bit prefix reports no 32-bit XP, so there it is XP x64
# (NT 5.2, group os6). Every other os group says "No", Windows 7 (os7) included.
if os.environ.get("WINEARCH") == "win64":
    OLD_WINDOWS, OLD_GROUP = "winxp64", 6
else:
    OLD_WINDOWS, OLD_GROUP = "winxp", 5
OLD_ONLY = "".join(f"os{n}={'Yes' if n == OLD_GROUP else 'No'}\n" for n in range(8))


def product(appinfo="", system=""):
    return (f"[APPINFO]\na1={PRODUCT}\na3={CODE}\na4=<ProgramFilesFolder>\\Check Product\n{appinfo}"
            f"[SYSTEM]\n{system}[SPLASH]\na1=No\na5=No\n[DIALOGLIST]\nTOTAL1=1\nW0=welcome.lcd\n")


def prepare(name, settings, language=None, theme=write_close_page):
    folder = fresh_folder(name)
    write_settings(folder, settings, "")
    write_archive(folder, {"F1_readme.txt": b"readme\r\n"})
    theme(folder)
    if language is not None:
        (folder / "language.lan").write_bytes(language.replace("\n", "\r\n").encode("latin-1"))
    return folder


def wine_reg(*args):
    done = subprocess.run(["wine", "reg", *args], capture_output=True, text=True, timeout=120)
    return done.returncode == 0


def set_winver(version):
    state = os.environ["CV_WINE_STATE"]
    subprocess.run([str(HARNESS), "winver", "--state", state, version], check=True, timeout=300)


def prefix_winver():
    return (Path(os.environ["CV_WINE_STATE"]) / "winver").read_text().strip()


def windows_folder():
    return Path(os.environ["WINEPREFIX"]) / "drive_c" / "windows"


def trace_texts(lines):
    """The texts of the trace file: setup's lines carry a time stamp, the stub's do not."""
    pattern = re.compile(r"^\(\d\d:\d\d:\d\d\) -(.*)\*$")
    return [m.group(1) if (m := pattern.match(line)) else line for line in lines]


class PreInstallChecks(SetupRunTest):
    def first_page(self, timeout_ms=60000):
        page = self.driver.wait("#32770", PRODUCT, timeout_ms)
        self.assertIsNotNone(page, "the first page did not appear")
        return page

    def finish(self, page):
        self.assertTrue(self.driver.click(page, "Close"))
        self.assertEqual(self.driver.exit_code(15000), 0)

    def refused(self, box_caption, button):
        """Answers the refusal message and checks that setup ended without showing a page."""
        box = self.driver.wait("#32770", box_caption, 60000)
        self.assertIsNotNone(box, "no message")
        pages = [w for w in self.driver.windows() if w["caption"] == PRODUCT]
        self.assertEqual(pages, [], "a page was shown before the message")
        text = self.driver.answer(button)
        self.assertEqual(self.driver.exit_code(15000), 0)
        return text

    def test_operating_system_requirement_by_the_prefix_version(self):
        language = "[REQ]\n0=[ProductName] needs Windows XP.\n[SetupError]\n3=OK\n"
        folder = prepare("os-xp-only", product(system=OLD_ONLY), language)
        before = prefix_winver()
        # The driver and every other Wine process must be gone while the version changes.
        self.driver.close()
        try:
            set_winver("win7")
            self.driver = Driver()
            self.driver.start(cvdrive.SETUP_EXE, folder)
            box = self.driver.wait("#32770", "Ambrel Corvane", 60000)
            self.assertIsNotNone(box)
            screenshot("prechecks-os-refused")
            self.assertEqual(self.refused("Ambrel Corvane", "OK"), f"{PRODUCT} needs Windows XP.")
            self.driver.close()

            set_winver(OLD_WINDOWS)
            self.driver = Driver()
            self.driver.start(cvdrive.SETUP_EXE, folder)
            self.finish(self.first_page())
            self.driver.close()
        finally:
            # Later tests expect the prefix as it was; Wine's own default is Windows 7.
            self.driver.close()
            set_winver("win7" if before == "default" else before)
            self.driver = Driver()

    def test_memory_above_the_machines_refuses_with_the_ram_message(self):
        folder = prepare("memory", product(system="2=4000000 MB\n"))
        self.driver.start(cvdrive.SETUP_EXE, folder)
        self.assertEqual(self.refused("Ambrel Corvane", "Cancel"),
                         f"The amount of RAM is not adequate for running {PRODUCT}.")

    def test_memory_and_other_requirements_the_machine_meets(self):
        system = ("1=All Processors\n2=64 MB\n3=800x600\n4=256 colors\n" +
                  "".join(f"os{n}=Yes\n" for n in range(8)))
        folder = prepare("requirements-met", product(system=system))
        self.driver.start(cvdrive.SETUP_EXE, folder)
        self.finish(self.first_page())

    def test_screen_requirement_above_the_display_refuses(self):
        # The harness's display is 1024x768.
        folder = prepare("screen", product(system="3=1024x800\n"),
                         "[REQ]\n2=\n")  # an empty entry keeps the English text
        self.driver.start(cvdrive.SETUP_EXE, folder)
        self.assertEqual(self.refused("Ambrel Corvane", "Cancel"),
                         f"The screen resolution is not adequate for running {PRODUCT}.")

    def test_processor_whose_name_lacks_the_required_text_refuses(self):
        # No processor's name holds this text, and the check identifies any x86 processor.
        folder = prepare("processor", product(system="1=Crusoe TM9999\n"),
                         "[REQ]\n4=<ProductName> needs another processor.\n")
        self.driver.start(cvdrive.SETUP_EXE, folder)
        self.assertEqual(self.refused("Ambrel Corvane", "Cancel"), f"{PRODUCT} needs another processor.")

    def test_administrator_requirement_met_by_the_prefix_user(self):
        folder = prepare("admin", product(appinfo="a7=Yes\n"))
        self.driver.start(cvdrive.SETUP_EXE, folder)
        self.finish(self.first_page())

    def test_upgrade_auto_detect_without_registration_aborts(self):
        wine_reg("delete", UNINSTALL_KEY, "/f")
        folder = prepare("upgrade-missing", product(appinfo="a26=Upgrade\na27=Auto-Detect\n"))
        self.driver.start(cvdrive.SETUP_EXE, folder)
        # A plain message box, captioned "Error".
        self.assertEqual(self.refused("Error", "OK"),
                         "Sorry, previous version not found. Installation aborted.")


class RemovalOfPreviousVersion(SetupRunTest):
    STUB = cvdrive.BUILD / "tests" / "e2e" / "removal_stub.exe"

    def setUp(self):
        super().setUp()
        self.program = windows_folder() / "cvexec.exe"
        self.log = windows_folder() / "cvexec.log"
        shutil.copyfile(self.STUB, self.program)
        self.log.unlink(missing_ok=True)

    def tearDown(self):
        super().tearDown()
        wine_reg("delete", UNINSTALL_KEY, "/f")
        self.program.unlink(missing_ok=True)
        self.log.unlink(missing_ok=True)

    def run_with_monitor(self, folder):
        monitor = TraceMonitor(folder)
        try:
            self.assertTrue(monitor.wait_ready(self.driver))
            self.driver.start(cvdrive.SETUP_EXE, folder)
            page = self.driver.wait("#32770", PRODUCT, 60000)
            self.assertIsNotNone(page, "the first page did not appear")
            self.assertTrue(self.driver.click(page, "Close"))
            self.assertEqual(self.driver.exit_code(15000), 0)
        finally:
            time.sleep(0.5)
            monitor.stop()
        return trace_texts(monitor.lines())

    def test_registered_old_version_is_removed_and_waited_for(self):
        self.assertTrue(wine_reg("add", UNINSTALL_KEY, "/v", "DisplayName", "/t", "REG_SZ",
                                 "/d", "Check Product 1.0", "/f"))
        folder = prepare("remove-old", product(appinfo="a26=New Installation\na29=Yes\n"))
        texts = self.run_with_monitor(folder)
        # Exactly the argument text, with no program name in front.
        self.assertEqual(self.log.read_text().splitlines(), [f'[ "/S" {CODE}]'])
        for marker in ("5", "REMOVAL STUB BEGINS", "REMOVAL STUB ENDS", "6", "HERE NO SHOW NEXT DIALOG"):
            self.assertIn(marker, texts)
        order = [texts.index(m) for m in
                 ("5", "REMOVAL STUB BEGINS", "REMOVAL STUB ENDS", "6", "HERE NO SHOW NEXT DIALOG")]
        self.assertEqual(order, sorted(order), texts)

    def test_without_registration_nothing_is_removed(self):
        wine_reg("delete", UNINSTALL_KEY, "/f")
        folder = prepare("remove-none", product(appinfo="a26=New Installation\na29=Yes\n"))
        texts = self.run_with_monitor(folder)
        self.assertFalse(self.log.exists())
        self.assertNotIn("REMOVAL STUB BEGINS", texts)
        self.assertIn("HERE NO SHOW NEXT DIALOG", texts)


def write_destination_page(folder):
    """A page named destination.lcd with the install-folder field and a Close button."""
    theme = Path(folder) / "theme"
    theme.mkdir(parents=True, exist_ok=True)
    (theme / "destination.lcd").write_text(
        "[MAINWINDOW]\ncaption=<ProductName>\nbkcolor=255,255,255\nwidth=400\nheight=300\n"
        "[INFO]\nTOTAL=2\n0=e,20,40,300,22,TEXTBOX,{},p,1\n1=e,150,200,100,25,BUTTON,{},p,2\n"
        "[DADOS]\n1,t=1\n1,0=Name|IDC_INSTALLDIR|0\n2,t=2\n2,0=Name|IDC_FINISH|0\n2,1=Caption|Close|0\n")


class UpgradeFolder(SetupRunTest):
    VALUE_KEY = "HKCU\\Software\\Corvane Check\\Product"

    def tearDown(self):
        super().tearDown()
        wine_reg("delete", self.VALUE_KEY, "/f")
        wine_reg("delete", UNINSTALL_KEY, "/f")

    def shown_folder(self, folder):
        """The install folder the destination page shows."""
        settings = product(appinfo=self.appinfo).replace("W0=welcome.lcd", "W0=destination.lcd")
        folder = prepare(folder, settings, theme=write_destination_page)
        self.driver.start(cvdrive.SETUP_EXE, folder)
        page = self.driver.wait("#32770", PRODUCT, 60000)
        self.assertIsNotNone(page, "the destination page did not appear")
        deadline, text = time.time() + 10, ""
        while time.time() < deadline:
            edits = [c for c in self.driver.controls(page) if c["class"].lower() == "edit"]
            text = edits[0]["text"] if edits else ""
            if text:
                break
            time.sleep(0.2)
        self.assertTrue(self.driver.click(page, "Close"))
        self.assertEqual(self.driver.exit_code(15000), 0)
        return text

    def test_named_value_sets_the_install_folder(self):
        self.assertTrue(wine_reg("add", self.VALUE_KEY, "/v", "Folder", "/t", "REG_SZ",
                                 "/d", "C:\\Old Place", "/f"))
        self.appinfo = "a26=Upgrade\na27=No\na28=HKEY_CURRENT_USER\\Software\\Corvane Check\\Product\\Folder\n"
        self.assertEqual(self.shown_folder("upgrade-named"), "C:\\Old Place\\")

    def test_unset_named_value_keeps_the_folder_from_the_settings(self):
        wine_reg("delete", self.VALUE_KEY, "/f")
        self.appinfo = "a26=Upgrade\na27=No\na28=HKEY_CURRENT_USER\\Software\\Corvane Check\\Product\\Folder\n"
        shown = self.shown_folder("upgrade-unset")
        self.assertTrue(shown.endswith("\\Check Product\\"), shown)
        self.assertNotIn("Old Place", shown)

    def test_other_hive_keeps_the_folder_from_the_settings(self):
        self.assertTrue(wine_reg("add", self.VALUE_KEY, "/v", "Folder", "/t", "REG_SZ",
                                 "/d", "C:\\Old Place", "/f"))
        self.appinfo = "a26=Upgrade\na27=No\na28=HKEY_USERS\\Software\\Corvane Check\\Product\\Folder\n"
        self.assertTrue(self.shown_folder("upgrade-hive").endswith("\\Check Product\\"))

    def test_auto_detect_takes_the_registered_folder(self):
        self.assertTrue(wine_reg("add", UNINSTALL_KEY, "/v", "LastInstallationPath", "/t", "REG_SZ",
                                 "/d", "D:\\Apps\\Check", "/f"))
        self.appinfo = "a26=Upgrade\na27=Auto-Detect\n"
        self.assertEqual(self.shown_folder("upgrade-auto"), "D:\\Apps\\Check\\")


if __name__ == "__main__":
    unittest.main()
