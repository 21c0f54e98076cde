#!/usr/bin/env python3
"""cvexec.exe's windows under Wine: the product's skinned page (the theme copy's
uninstall.lcd) asks, shows its bar and the result, and leaves the machine as it was before the
installation; /M repairs a product whose installed file was deleted by running its setup again
(driven through its pages), and says so clearly when the setup is gone."""
import shutil
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import screenshot  # noqa: E402
from e2e_product import (ALLOWED, UNINSTALL_KEY, log_file, make_product, pack, reg_values,  # noqa: E402
                         restart_windows, run_cvexec, set_aside_other_products, unix_path, wine_run)

CVEXEC = "C:\\windows\\cvexec.exe"
DEMO_THEME = Path(__file__).resolve().parents[2] / "samples" / "demo" / "theme"
# The uninstaller's texts of the products' language.lan: variables in both spellings.
TEXTS = ("[Uninstall]\r\nTitle=[ProductName] maintenance\r\n"
         "Confirm=Remove [ProductName] ([ProductVersion], <Publisher>) and all of its components?\r\n"
         "Removing=Taking [ProductName] away...\r\nDone=[ProductName] is gone from <InstallDir>.\r\n")
PBM_GETRANGE, PBM_GETPOS = 0x0407, 0x0408


def product(name, code, target, page=True, hidden=True):
    """A product of a few files and a folder, with the theme copy (a10) and language.lan's
    uninstall texts; with `page` its theme has the demo's uninstall page."""
    files = [("files\\readme.txt", b"readme\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
             ("files\\program.txt", b"program\r\n", "Destination Computer\\<InstallDir>\\bin*1*0*0|"),
             ("files\\data.txt", b"data\r\n" * 100, "Destination Computer\\<InstallDir>\\data\\deep*0*0*0|")]
    folder = make_product(name, {"a1": f"{name} product", "a2": "1.0", "a3": code, "a4": target, "a10": "Yes",
                                 "a14": "Yes", "a19": "Corvane Tests"}, files, hidden=hidden,
                          pages=["one.lcd", "complete.lcd"] if hidden else None)
    if page:
        for file in ("uninstall.lcd", "panel.jpg"):
            shutil.copy(DEMO_THEME / file, folder / "theme" / file)
    (folder / "language.lan").write_bytes(TEXTS.encode("latin-1"))
    return pack(folder)


class UninstallWindows(cvdrive.SetupRunTest):
    def setUp(self):
        super().setUp()
        self.work = cvdrive.fresh_folder(f"uninstall-page-{self._testMethodName}")
        set_aside_other_products(self)
        unix_path(CVEXEC).unlink(missing_ok=True)

    def forget(self, code, *folders):
        wine_run("reg", "delete", UNINSTALL_KEY + code, "/f")
        for folder in (*folders, log_file(code).parent):
            path = unix_path(folder) if isinstance(folder, str) else folder
            if path.exists():
                shutil.rmtree(path, ignore_errors=True)

    def assert_as_before(self, before, what):
        """The machine as `before`, once the uninstaller's own file (marked for the next start
        of Windows while it ran) has gone with a restart."""
        if unix_path(CVEXEC).exists():
            self.assertEqual(restart_windows(), 0)
        left = machine_snapshot.difference(before, machine_snapshot.take(wine_run), ALLOWED)
        self.assertEqual(left, [], f"{what} left differences on the machine")

    def install_hidden(self, setup):
        self.driver.start(setup / "setup.exe", setup)
        self.assertEqual(self.driver.exit_code(180000), 0)

    def page_state(self, page):
        """The uninstall page's named controls: the texts shown, the visible buttons and the
        bar (None when hidden, else (position, end of range))."""
        controls = self.driver.controls(page)
        texts = [c["text"] for c in controls if c["class"] == "Static" and c["visible"] and c["text"]]
        buttons = sorted(c["text"] for c in controls if c["class"] == "Button" and c["visible"])
        bar = next(c for c in controls if c["class"] == "msctls_progress32")
        position = None
        if bar["visible"]:
            position = (self.driver.send(bar["hwnd"], PBM_GETPOS), self.driver.send(bar["hwnd"], PBM_GETRANGE))
        return texts, buttons, position

    def test_removal_on_its_skinned_page(self):
        """/R shows the page: the question of language.lan with its variables expanded; Cancel
        declines and touches nothing; Remove runs the bar to its end and shows the result;
        Finish ends; the machine is as before the installation."""
        code, target = "CVE2EUNPAGE", "C:\\CvE2EUninstallPage"
        self.forget(code, target)
        name = "uninstall-page product"
        setup = product("uninstall-page", code, target)
        before = machine_snapshot.take(wine_run)
        self.install_hidden(setup)
        self.assertTrue((log_file(code).parent / "theme" / "uninstall.lcd").is_file(), "no theme copy")
        install_dir = reg_values(UNINSTALL_KEY + code)["LastInstallationPath"][1]
        caption = f"{name} Uninstall"
        question = f"Remove {name} (1.0, Corvane Tests) and all of its components?"

        self.driver.start(CVEXEC, self.work, "/R", code)
        page = self.driver.wait("#32770", caption, 30000)
        self.assertIsNotNone(page, "no uninstall page")
        texts, buttons, bar = self.page_state(page)
        self.assertIn(question, texts)
        self.assertIn(f"Uninstall {name}", texts)
        self.assertEqual(buttons, ["&Remove", "Cancel"])
        self.assertIsNone(bar, "the bar shows before the removal")
        self.assertTrue(self.driver.click(page, "Cancel"))
        self.assertEqual(self.driver.exit_code(30000), 4)
        self.assertIsNotNone(reg_values(UNINSTALL_KEY + code), "Cancel removed the entry")
        self.assertTrue(log_file(code).exists(), "Cancel removed the log")
        self.assertTrue((unix_path(target) / "readme.txt").exists(), "Cancel removed a file")

        self.driver.start(CVEXEC, self.work, "/R", code)
        page = self.driver.wait("#32770", caption, 30000)
        self.assertIsNotNone(page, "no uninstall page the second time")
        time.sleep(0.8)
        screenshot("uninstall-page-question")
        # Finish is hidden at the question: a click on it does nothing.
        self.assertTrue(self.driver.click(page, "&Finish"))
        self.assertTrue(self.driver.click(page, "&Remove"))
        done = f"{name} is gone from {install_dir}."
        deadline = time.time() + 120
        while time.time() < deadline:
            texts, buttons, bar = self.page_state(page)
            if done in texts:
                break
            time.sleep(0.2)
        self.assertIn(done, texts)
        self.assertEqual(buttons, ["&Finish"])
        self.assertIsNotNone(bar, "the bar is hidden at the result")
        self.assertGreater(bar[1], 0)
        self.assertEqual(bar[0], bar[1], "the bar did not reach its end")
        time.sleep(0.5)
        screenshot("uninstall-page-done")
        self.assertTrue(self.driver.click(page, "&Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertIsNone(reg_values(UNINSTALL_KEY + code))
        self.assert_as_before(before, "the removal on the page")

    def other_process_page(self, caption, label, timeout=120):
        """A page of a program the uninstaller started (not the driver): the visible dialog
        captioned `caption` that shows `label`."""
        deadline = time.time() + timeout
        while time.time() < deadline:
            hwnd = self.driver.wait("#32770", caption, 1000, any_process=True)
            if hwnd and label in [c["text"] for c in self.driver.controls(hwnd)]:
                return hwnd
            time.sleep(0.2)
        self.fail(f"no page {label!r} of the repair's setup")

    def test_repair_puts_a_deleted_file_back(self):
        """/M, Repair: the setup runs again from InstallSource, its pages are walked, the
        deleted file is back; the product is then still removed without leftovers."""
        code, target = "CVE2EREPAIR", "C:\\CvE2ERepair"
        self.forget(code, target)
        name = "repair product"
        setup = product("repair", code, target, page=False, hidden=False)
        before = machine_snapshot.take(wine_run)
        wizard = Wizard(self, self.driver)
        self.driver.start(setup / "setup.exe", setup)
        wizard.press(wizard.page("Page one", 180), "Next")
        wizard.press(wizard.page("Completed", 120), "Finish")
        self.assertEqual(self.driver.exit_code(60000), 0)
        readme = unix_path(target) / "readme.txt"
        self.assertEqual(readme.read_bytes(), b"readme\r\n")
        self.assertEqual(reg_values(UNINSTALL_KEY + code)["InstallSource"][1].rstrip("\\").lower(),
                         cvdrive.win_path(setup).lower())
        readme.unlink()

        self.driver.start(CVEXEC, self.work, "/M", code)
        box = self.driver.wait("#32770", f"{name} maintenance", 30000)
        self.assertIsNotNone(box, "no Repair/Remove question")
        controls = self.driver.controls(box)
        self.assertIn(f"Repair or remove {name}?", [c["text"] for c in controls])
        self.assertEqual(sorted(c["text"] for c in controls if c["class"] == "Button" and c["visible"]),
                         ["&Repair", "Cancel", "Re&move"])
        screenshot("uninstall-modify-question")
        self.assertTrue(self.driver.click(box, "Repair"))
        # The setup's own pages, in its own process.
        self.assertTrue(self.driver.click(self.other_process_page(name, "Page one"), "Next"))
        self.assertTrue(self.driver.click(self.other_process_page(name, "Completed"), "Finish"))
        # The uninstaller waits for the setup it started.
        self.assertEqual(self.driver.exit_code(120000), 0)
        self.assertEqual(readme.read_bytes(), b"readme\r\n", "the repair did not put the file back")
        install_dir = reg_values(UNINSTALL_KEY + code)["LastInstallationPath"][1]

        # /M again, Remove: no second question; the plain dialogs, their texts expanded too.
        self.driver.start(CVEXEC, self.work, "/M", code)
        box = self.driver.wait("#32770", f"{name} maintenance", 30000)
        self.assertIsNotNone(box, "no Repair/Remove question the second time")
        self.assertTrue(self.driver.click(box, "Remove"))
        self.assertEqual(self.driver.answer("OK", 60000), f"{name} is gone from {install_dir}.")
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assert_as_before(before, "the removal after the repair")

    def test_repair_without_its_setup_says_so(self):
        """/M, Repair where InstallSource no longer holds setup.exe: a message names the folder,
        nothing is touched, the exit code is 2."""
        code, target = "CVE2ENOSETUP", "C:\\CvE2ENoSetup"
        self.forget(code, target)
        name = "nosetup product"
        setup = product("nosetup", code, target, page=False)
        self.install_hidden(setup)
        source = reg_values(UNINSTALL_KEY + code)["InstallSource"][1].rstrip("\\")
        moved = setup.parent / "setup-moved"
        setup.rename(moved)
        self.addCleanup(lambda: run_cvexec("/S", code, cwd=self.work))
        installed = machine_snapshot.take(wine_run)

        self.driver.start(CVEXEC, self.work, "/M", code)
        box = self.driver.wait("#32770", f"{name} maintenance", 30000)
        self.assertIsNotNone(box, "no Repair/Remove question")
        self.assertTrue(self.driver.click(box, "Repair"))
        self.assertEqual(self.driver.answer("OK", 30000),
                         f"The setup of {name} can no longer be found in {source}.")
        self.assertEqual(self.driver.exit_code(30000), 2)
        left = machine_snapshot.difference(installed, machine_snapshot.take(wine_run), ALLOWED)
        self.assertEqual(left, [], "a Repair without its setup changed the machine")


if __name__ == "__main__":
    unittest.main()
