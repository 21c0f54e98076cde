#!/usr/bin/env python3
"""The installation under Wine, judged by the machine afterwards: a hidden-mode product
whose files cover every file flag installs into the prefix with the uninstall log, the
attributes, the expanded text and the Add/Remove values it should have; a critical file
that cannot be installed aborts the run; Retry in the copy dialog succeeds once the file
that blocked it is released; Cancel during a long copy stops at the next file."""
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import screenshot, win_path  # noqa: E402
from demo_wizard import CAPTION, DEMO, ENGLISH, PROGRAM, DemoWizardTest, pack as pack_demo  # noqa: E402
# Other tests import these from here too.
from e2e_product import (HOLDER, UNINSTALL_KEY, forget, log_bytes, log_file, make_product,  # noqa: E402,F401
                         pack, reg_delete, reg_values, unix_path, wine_run)

PBM_GETPOS = 0x0408
TVM_SELECTITEM, TVGN_CARET = 0x110B, 0x0009


def attributes(windows_path):
    """The attribute letters that attrib shows for one file (e.g. {"A", "R", "H"}): one
    column of letters before the path ("AS           C:\\x.txt")."""
    _, output = wine_run("cmd", "/c", "attrib", windows_path)
    for line in output.splitlines():
        if line.rstrip().lower().endswith(windows_path.lower()):
            flags = line.rstrip()[:-len(windows_path)]
            return set(flags.replace(" ", ""))
    raise AssertionError(f"attrib did not list {windows_path}: {output!r}")


class Install(cvdrive.SetupRunTest):
    # -------------------------------------------------------------- helpers

    def page(self, label, timeout=60):
        """The visible page showing `label`, waited for."""
        return Wizard(self, self.driver).page(label, timeout)

    def copy_dialog(self, timeout=60, other_than=None):
        """The copy-error dialog (a new one, when `other_than` names the one before): (window,
        its text, the captions of its visible buttons)."""
        box, deadline = None, time.time() + timeout
        while box is None and time.time() < deadline:
            box = next((w["hwnd"] for w in self.driver.windows() if w["visible"] and w["class"] == "#32770"
                        and w["caption"] == "Ambrel Corvane" and w["hwnd"] != other_than), None)
            time.sleep(0.1)
        self.assertIsNotNone(box, "no copy-error dialog")
        time.sleep(0.3)
        controls = self.driver.controls(box)
        text = [c["text"] for c in controls if c["class"] == "Static"]
        buttons = [c["text"] for c in controls if c["class"] == "Button" and c["visible"]]
        return box, "".join(text), buttons

    # -------------------------------------------------------------- tests

    def test_hidden_install_with_every_file_flag(self):
        code, target = "CVE2EHIDDEN", "C:\\CvE2E\\Hidden"
        forget(code, target)
        deep = "a\\b\\c\\d\\e\\f\\g\\h\\i\\j\\k\\l"
        files = [
            ("files\\readonly.txt", b"read-only\r\n", "Destination Computer\\<InstallDir>*1*0*0|"),
            ("files\\hidden.txt", b"hidden\r\n", "Destination Computer\\<InstallDir>*4*0*0|"),
            ("files\\system.txt", b"system\r\n", "Destination Computer\\<InstallDir>\\sys*8*255*0|"),
            ("files\\keep.txt", b"new keep\r\n", "Destination Computer\\<InstallDir>*32*0*0|"),
            ("files\\permanent.txt", b"permanent\r\n", "Destination Computer\\<InstallDir>*64*0*0|"),
            ("files\\expand.txt", b"<ProductName> <ProductVersion> in <InstallDir>, code <ProductCode>\r\n",
             "Destination Computer\\<InstallDir>\\docs*256*0*0|"),
            ("files\\deep.txt", b"deep\r\n", f"Destination Computer\\<InstallDir>\\{deep}*0*0*0|"),
            ("files\\rcsemptyfolder", b"", "Destination Computer\\<InstallDir>\\empty*0*0*0|"),
            ("files\\xponly.txt", b"xp\r\n", "Destination Computer\\<InstallDir>\\xponly*0*64*0|"),
            ("files\\vista.txt", b"vista\r\n", "Destination Computer\\<InstallDir>*0*256*0|"),
            ("files\\plain.txt", b"plain\r\n", "Destination Computer\\<InstallDir>*0*0*7|Core"),
        ]
        product = make_product("install-hidden", {
            "a1": "Hidden Product", "a2": "2.5", "a3": code, "a4": target, "a14": "Yes", "a15": "Yes",
            "a19": ""}, files, hidden=True, pages=["one.lcd", "complete.lcd"])
        setup = pack(product)

        # An existing file that only-if-absent keeps, and a stale log of an earlier run.
        unix_path(target).mkdir(parents=True)
        (unix_path(target) / "keep.txt").write_bytes(b"old keep\r\n")
        log = log_file(code)
        log.parent.mkdir(parents=True, exist_ok=True)
        log.write_bytes(b"TOTALFILE=1\r\nFILE=C:\\Stale\\old.txt\r\n")

        self.driver.start(setup / "setup.exe", setup)
        self.assertEqual(self.driver.exit_code(120000), 0)

        # The log: the file count, the install folder (<InstallDir>, which ends in a
        # backslash), every destination folder once in file order (the first is
        # <InstallDir> itself), then a FILE line for each file that is not permanent and whose system
        # mask admits this Windows (the prefix is NT 6.x: "VIS"); the kept file is logged too.
        expected = [
            "TOTALFILE=11",
            f"DIR={target}\\",
            f"DIR={target}\\",
            f"DIR={target}\\sys",
            f"DIR={target}\\docs",
            f"DIR={target}\\{deep}",
            f"DIR={target}\\empty",
            f"DIR={target}\\xponly",
            f"FILE={target}\\readonly.txt",
            f"FILE={target}\\hidden.txt",
            f"FILE={target}\\sys\\system.txt",
            f"FILE={target}\\keep.txt",
            f"FILE={target}\\docs\\expand.txt",
            f"FILE={target}\\{deep}\\deep.txt",
            f"FILE={target}\\vista.txt",
            f"FILE={target}\\plain.txt",
        ]
        installed = log.read_bytes()
        print("uninstall log as installed:\n" + installed.decode("latin-1"), file=sys.stderr)
        self.assertEqual(installed, log_bytes(expected))

        root = unix_path(target)
        self.assertEqual((root / "readonly.txt").read_bytes(), b"read-only\r\n")
        self.assertEqual((root / "keep.txt").read_bytes(), b"old keep\r\n", "only-if-absent replaced the file")
        self.assertEqual((root / "permanent.txt").read_bytes(), b"permanent\r\n")
        self.assertEqual((root / "docs" / "expand.txt").read_bytes(),
                         f"Hidden Product 2.5 in {target}\\, code {code}\r\n".encode())
        self.assertEqual((root.joinpath(*deep.split("\\")) / "deep.txt").read_bytes(), b"deep\r\n")
        self.assertEqual((root / "vista.txt").read_bytes(), b"vista\r\n")
        self.assertEqual((root / "plain.txt").read_bytes(), b"plain\r\n")
        self.assertTrue((root / "empty").is_dir())
        self.assertEqual(list((root / "empty").iterdir()), [], "the empty-folder record installed a file")
        self.assertTrue((root / "xponly").is_dir())
        self.assertFalse((root / "xponly" / "xponly.txt").exists(), "a record for XP only was installed")
        # No expanded copy is left beside the installed text.
        self.assertEqual(sorted(p.name for p in (root / "docs").iterdir()), ["expand.txt"])

        self.assertEqual(attributes(f"{target}\\readonly.txt") & {"R", "H", "S"}, {"R"})
        self.assertEqual(attributes(f"{target}\\hidden.txt") & {"R", "H", "S"}, {"H"})
        self.assertEqual(attributes(f"{target}\\sys\\system.txt") & {"R", "H", "S"}, {"S"})
        self.assertEqual(attributes(f"{target}\\plain.txt") & {"R", "H", "S"}, set())

        values = reg_values(UNINSTALL_KEY + code)
        self.assertIsNotNone(values, "no Add/Remove key")
        self.assertEqual(values["DisplayName"], ("REG_SZ", "Hidden Product"))
        self.assertEqual(values["DisplayVersion"], ("REG_SZ", "2.5"))
        self.assertEqual(values["UninstallString"], ("REG_SZ", f"cvexec.exe /R {code}"))
        self.assertEqual(values["ModifyPath"], ("REG_SZ", f"cvexec.exe /M {code}"))
        self.assertEqual(values["LastInstallationPath"], ("REG_SZ", target + "\\"))
        self.assertEqual(values["NoModify"][0], "REG_DWORD")
        self.assertEqual(int(values["NoModify"][1], 16), 1)
        self.assertNotIn("Publisher", values)
        self.assertNotIn("NoRemove", values)
        self.assertNotIn("NoRepair", values)

        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")

    def test_critical_file_that_cannot_be_installed_aborts(self):
        code, target = "CVE2ECRITICAL", "C:\\CvE2E\\Critical"
        forget(code, target)
        files = [
            ("files\\first.txt", b"first\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
            ("files\\critical.dll", b"critical\r\n", "Destination Computer\\<InstallDir>\\bin*16*0*0|"),
            ("files\\after.txt", b"after\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
        ]
        product = make_product("install-critical", {"a1": "Critical Product", "a2": "1.0", "a3": code,
                                                    "a4": target}, files)
        # A disk-image build installs straight from DiskImage1: without the critical file
        # there, its source is missing.
        setup = pack(product, "--disk-images")
        (setup / "DiskImage1" / "F1_critical.dll").unlink()

        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box, text, buttons = self.copy_dialog()
        screenshot("install-critical-dialog")
        self.assertEqual(text, f"Corvane will abort installation, the file:\r\n{target}\\bin\\critical.dll"
                               "\r\nCan't be installed.")
        self.assertEqual(buttons, ["Cancel"], "the abort-only form offers neither retry nor ignore")
        self.assertTrue(self.driver.click(box, "Cancel"))
        done = self.page("Completed")

        # The aborted run is undone: the file copied before the abort, the folders and the log
        # are gone again.
        self.assertFalse(unix_path(target).exists(), "the aborted run left its files")
        self.assertFalse(log_file(code).parent.exists(), "the aborted run left its log")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code), "the registration ran after the abort")
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)

    def test_retry_installs_the_file_once_it_is_released(self):
        code, target = "CVE2ERETRY", "C:\\CvE2E\\Retry"
        forget(code, target)
        files = [("files\\busy.exe", b"new program\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
                 ("files\\next.txt", b"next\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        product = make_product("install-retry", {"a1": "Retry Product", "a2": "1.0", "a3": code,
                                                 "a4": target}, files)
        setup = pack(product)
        root = unix_path(target)
        root.mkdir(parents=True)
        busy = root / "busy.exe"
        busy.write_bytes(b"old program\r\n")
        ready, release = product.parent / "held", product.parent / "release"
        holder = subprocess.Popen(["wine", str(HOLDER), f"{target}\\busy.exe", win_path(ready), win_path(release)],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.addCleanup(holder.kill)
        self.addCleanup(release.touch)
        deadline = time.time() + 30
        while not ready.exists() and time.time() < deadline:
            time.sleep(0.1)
        self.assertTrue(ready.exists(), "the holder did not open the file")

        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box, text, buttons = self.copy_dialog()
        message = f"Corvane can't copy the file:\r\n{target}\\busy.exe\r\nWhat you would like to do ?"
        self.assertEqual(text, message)
        self.assertEqual(buttons, ["Retry", "Ignore", "Cancel"])
        # Retry while the file is still held asks again.
        self.assertTrue(self.driver.click(box, "Retry"))
        box, text, _ = self.copy_dialog(other_than=box)
        self.assertEqual(text, message)
        self.assertEqual(busy.read_bytes(), b"old program\r\n")
        self.assertFalse((root / "next.txt").exists(), "the copy went on past the dialog")

        release.touch()
        self.assertEqual(holder.wait(timeout=30), 0)
        self.assertTrue(self.driver.click(box, "Retry"))
        done = self.page("Completed")
        self.assertEqual(busy.read_bytes(), b"new program\r\n")
        self.assertEqual((root / "next.txt").read_bytes(), b"next\r\n")
        self.assertEqual(log_file(code).read_bytes(), log_bytes([
            "TOTALFILE=2", f"DIR={target}\\", f"DIR={target}\\", f"FILE={target}\\busy.exe", f"FILE={target}\\next.txt"]))
        self.assertIsNotNone(reg_values(UNINSTALL_KEY + code))
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(30000), 0)

    def test_cancel_during_a_long_copy_stops_at_the_next_file(self):
        code, target = "CVE2ECANCEL", "C:\\CvE2E\\Cancel"
        forget(code, target)
        count = 2500
        body = b"".join(b"line %06d of a text file that compresses well\r\n" % i for i in range(600))
        files = [(f"files\\f{i:04}.txt", body, f"Destination Computer\\<InstallDir>\\d{i // 250}*0*0*0|")
                 for i in range(count)]
        product = make_product("install-cancel", {"a1": "Cancel Product", "a2": "1.0", "a3": code,
                                                  "a4": target}, files)
        setup = pack(product)

        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one", timeout=180)["hwnd"], "Next"))
        progress = self.page("Installing")
        bar = [c for c in self.driver.controls(progress["hwnd"]) if c["class"] == "msctls_progress32"]
        self.assertEqual(len(bar), 1)
        # The bar moves while the files are copied.
        positions, deadline = [], time.time() + 30
        while time.time() < deadline and len(set(p for p in positions if p)) < 2:
            positions.append(self.driver.send(bar[0]["hwnd"], PBM_GETPOS))
            time.sleep(0.05)
        self.assertGreaterEqual(len(set(p for p in positions if p)), 2, f"the bar did not move: {positions}")
        screenshot("install-progress-moving-bar")

        self.assertTrue(self.driver.click(progress["hwnd"], "Cancel"))
        confirm = self.driver.wait("#32770", "Ambrel Corvane", 15000)
        self.assertIsNotNone(confirm, "no cancel confirmation")
        # Without a language file the confirmation keeps its own captions.
        self.assertTrue(self.driver.click(confirm, "OK"))
        done = self.page("Completed")

        # The cancelled run is undone: what it copied, its folders and its log are gone. The
        # completion page shows as soon as the cancel is confirmed; the undoing ends after.
        root = unix_path(target)
        deadline = time.time() + 60
        while log_file(code).parent.exists() and time.time() < deadline:
            time.sleep(0.2)
        self.assertEqual(sorted(root.rglob("f*.txt")) if root.exists() else [], [], "the cancelled run left files")
        self.assertFalse(root.exists(), "the cancelled run left its folders")
        self.assertFalse(log_file(code).parent.exists(), "the cancelled run left its log")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code), "the registration ran after the cancel")
        # The completion page shown at the cancel is replaced by the one shown at the run's end.
        deadline = time.time() + 60
        while not self.driver.click(self.page("Completed")["hwnd"], "Finish"):
            self.assertLess(time.time(), deadline, "no completion page took Finish")
            time.sleep(0.5)
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")


class DemoInstall(DemoWizardTest):
    """The demo product through its visible wizard, with its "Documentation" feature left out
    on the custom setup page."""

    @classmethod
    def setUpClass(cls):
        cls.setup = pack_demo("install-demo")

    def before_start(self):
        settings = (DEMO / "setup.inf").read_text()
        self.code = next(line[3:].strip() for line in settings.splitlines() if line.startswith("a3="))
        reg_delete(UNINSTALL_KEY + self.code)
        self.assertIsNone(reg_values(UNINSTALL_KEY + self.code), "the demo's key is left from an earlier run")
        for folder in (unix_path("C:\\Program Files\\Corvane Demo"), log_file(self.code).parent):
            if folder.exists():
                subprocess.run(["rm", "-rf", str(folder)], check=True)

    def test_demo_installs_with_a_feature_left_out(self):
        self.to_page("customsetup", setup_type=ENGLISH.custom)
        tree = [c for c in self.controls() if c["class"] == "SysTreeView32"][0]["hwnd"]
        item = self.driver.tree_item(tree, 1)
        self.assertEqual(item["text"], "Documentation")
        self.driver.post(tree, TVM_SELECTITEM, TVGN_CARET, int(item["item"], 16))
        self.assertTrue(self.driver.choose_menu(1), "no feature menu")
        self.assertEqual(self.poll(lambda: self.driver.tree_item(tree, 1)["image"], 1), 1)
        self.to_page("ready")
        self.driver.click(self.page, ENGLISH.install)
        # The progress page runs the installation and gives way to the completion page.
        deadline = time.time() + 60
        while time.time() < deadline and ENGLISH.titles["complete"] not in self.texts_shown():
            for w in self.driver.windows():
                if w["visible"] and w["caption"] == CAPTION and w["hwnd"] != self.page:
                    self.page = w["hwnd"]
            time.sleep(0.1)
        self.assertEqual(self.shown_page(), "complete")
        screenshot("install-demo-complete")
        self.driver.click(self.page, ENGLISH.finish)
        self.assertEqual(self.driver.exit_code(30000), 0)

        target = "C:\\Program Files\\Corvane Demo"
        # The records of the feature left out are logged but not copied.
        log = log_file(self.code).read_bytes().decode("latin-1").split("\r\n")
        self.assertEqual(log[-1], "", "the log's last line has no line end")
        self.assertEqual(log[:7], [
            "TOTALFILE=4", f"DIR={target}\\", f"DIR={target}\\",
            f"FILE={target}\\readme.txt", f"FILE={target}\\demo.ini", f"FILE={target}\\CorvaneDemo.exe",
            f"FILE={target}\\license.txt"])
        # Then the program's shortcut in a folder of its own in the Start menu's programs.
        menu, link = log[7:9]
        self.assertTrue(menu.startswith("DIR=") and menu.endswith("\\Programs\\Corvane Demo\\"), menu)
        self.assertEqual(link, f"SHORTCUT={menu[4:]}Corvane Demo.lnk")
        self.assertTrue(unix_path(link[len("SHORTCUT="):]).is_file(), link)
        # Then the customer page's names, written by the run so that removal takes them.
        user_key = "HKEY_CURRENT_USER\\Software\\Corvane Samples\\Corvane Demo\\UserInfo"
        self.assertEqual(log[9:-1], [
            "FILE=C:\\windows\\userinfo.ini", f"REGKEY={user_key}",
            f"REGVAL={user_key}\\<UserName>", f"REGVAL={user_key}\\<CompanyName>"])
        root = unix_path(target)
        self.assertEqual(sorted(p.name for p in root.iterdir()), ["CorvaneDemo.exe", "demo.ini"])
        self.assertEqual((root / "CorvaneDemo.exe").read_bytes(), PROGRAM.read_bytes())
        self.assertEqual((root / "demo.ini").read_bytes(), (DEMO / "files" / "demo.ini").read_bytes())
        values = reg_values(UNINSTALL_KEY + self.code)
        self.assertIsNotNone(values, "no Add/Remove key")
        self.assertEqual(values["DisplayName"], ("REG_SZ", "Corvane Demo"))
        self.assertEqual(values["Publisher"], ("REG_SZ", "Corvane Samples"))
        self.assertEqual(values["UninstallString"], ("REG_SZ", f"cvexec.exe /R {self.code}"))
        self.assertNotIn("NoModify", values)
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")


if __name__ == "__main__":
    unittest.main()
