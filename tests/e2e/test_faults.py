#!/usr/bin/env python3
"""Faults of a real machine during an installation, under Wine: a full install drive (the
copy-failure dialog; Retry once space is freed; Abort undoes the run and leaves no partial
file), a full temp drive when the archive is unpacked at the start, a read-only file and a
folder that cannot be written, a long TEMP, and product, folder and file names in the
system's 8-bit code page installed, logged and removed again. The small drives are tmpfs
mounts mapped as drive letters of the prefix (small_drive.py)."""
import os
import random
import subprocess
import sys
import tempfile
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402
from actions_product import Wizard  # noqa: E402
from cvdrive import screenshot, win_path  # noqa: E402
from small_drive import SmallDrive  # noqa: E402
from e2e_product import (ALLOWED, UNINSTALL_KEY, log_bytes, log_file, make_product, pack,  # noqa: E402
                         restart_windows, run_cvexec, set_aside_other_products, unix_path, wine_run)
from test_install import attributes  # noqa: E402

ENVIRONMENT_KEY = "HKCU\\Environment"
# Random bytes do not compress: the file takes its whole size on the small drive.
BIG = random.Random(16).randbytes(768 * 1024)
COPY_FAILED = "Corvane can't copy the file:\r\n{}\r\nWhat you would like to do ?"


def registry_text(key):
    """The values of `key` as `reg export` writes them (UTF-16), or "" when it is missing; the
    console output of `reg query` is in the OEM code page, which would garble 8-bit names."""
    with tempfile.TemporaryDirectory() as tmp:
        out = Path(tmp) / "key.reg"
        status, _ = wine_run("reg", "export", key, win_path(out), "/y")
        return out.read_bytes().decode("utf-16") if status == 0 else ""


class Faults(cvdrive.SetupRunTest):
    # -------------------------------------------------------------- helpers

    def page(self, label, timeout=60):
        return Wizard(self, self.driver).page(label, timeout)

    def forget(self, code, *folders):
        wine_run("reg", "delete", UNINSTALL_KEY + code, "/f")
        for folder in (*folders, log_file(code).parent):
            path = unix_path(folder) if isinstance(folder, str) else folder
            if path.exists():
                subprocess.run(["chmod", "-R", "u+w", str(path)], check=False)
                subprocess.run(["rm", "-rf", str(path)], check=True)

    def copy_dialog(self, timeout=60):
        """The copy-error dialog: (window, its text, the captions of its visible buttons)."""
        box, deadline = None, time.time() + timeout
        while box is None and time.time() < deadline:
            box = next((w["hwnd"] for w in self.driver.windows() if w["visible"] and w["class"] == "#32770"
                        and w["caption"] == "Ambrel Corvane"), None)
            time.sleep(0.1)
        self.assertIsNotNone(box, "no copy-error dialog")
        time.sleep(0.3)
        controls = self.driver.controls(box)
        text = "".join(c["text"] for c in controls if c["class"] == "Static")
        buttons = [c["text"] for c in controls if c["class"] == "Button" and c["visible"]]
        return box, text, buttons

    def finish(self):
        done = self.page("Completed", timeout=120)
        self.assertTrue(self.driver.click(done["hwnd"], "Finish"))
        self.assertEqual(self.driver.exit_code(60000), 0)

    def temp_folder(self, folder):
        """Points TEMP and TMP of the programs started from now on at `folder` (a Windows path):
        Wine takes them from the registry, not from the Unix environment. The values come back
        when the test ends; the driver is started again to take the new ones."""
        for name in ("TEMP", "TMP"):
            status, old = wine_run("reg", "query", ENVIRONMENT_KEY, "/v", name)
            self.assertEqual(status, 0, old)
            kind, value = next(line.split(None, 2)[1:] for line in old.splitlines()
                               if line.strip().startswith(name + " "))
            self.addCleanup(wine_run, "reg", "add", ENVIRONMENT_KEY, "/v", name, "/t", kind, "/d", value.strip(), "/f")
            wine_run("reg", "add", ENVIRONMENT_KEY, "/v", name, "/t", "REG_SZ", "/d", folder, "/f")
        self.driver.kill()
        self.driver.close()
        self.driver = cvdrive.Driver()

    def assert_machine(self, before, what):
        left = machine_snapshot.difference(before, machine_snapshot.take(wine_run), ALLOWED)
        self.assertEqual(left, [], f"{what} left differences on the machine")

    def full_drive_product(self, name, code, target):
        files = [("files\\small.txt", b"small\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
                 ("files\\big.bin", BIG, "Destination Computer\\<InstallDir>\\data*0*0*0|"),
                 ("files\\after.txt", b"after\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        return pack(make_product(name, {"a1": "Full Drive", "a2": "1", "a3": code, "a4": target}, files))

    # -------------------------------------------------------------- a full install drive

    def start_on_full_drive(self, name, code):
        """Installs onto a 2 MB drive Q: with 256 KB left: small.txt fits, big.bin does not.
        Returns (drive, filler, setup, the dialog's window) with the dialog shown."""
        drive = SmallDrive("q", 2048).attach(self)
        target = "Q:\\Full Drive"
        self.forget(code)
        setup = self.full_drive_product(name, code, target)
        filler = drive.fill(256 * 1024)
        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box, text, buttons = self.copy_dialog()
        screenshot(f"{name}-dialog")
        self.assertEqual(text, COPY_FAILED.format(f"{target}\\data\\big.bin"))
        self.assertEqual(buttons, ["Retry", "Ignore", "Cancel"])
        self.assertEqual(drive.path(f"{target}\\small.txt").read_bytes(), b"small\r\n")
        self.assertFalse(drive.path(f"{target}\\after.txt").exists(), "the copy went on past the dialog")
        return drive, filler, setup, box

    def test_full_drive_retry_after_space_is_freed(self):
        code = "CVE2EFULLRETRY"
        drive, filler, _, box = self.start_on_full_drive("faults-full-retry", code)
        target = "Q:\\Full Drive"
        # While the question is open no partial copy lies under the file's name.
        partial = drive.path(f"{target}\\data\\big.bin")
        self.assertFalse(partial.exists() and partial.read_bytes() != BIG,
                         f"a partial big.bin of {partial.stat().st_size if partial.exists() else 0} bytes is left")
        filler.unlink()
        self.assertTrue(self.driver.click(box, "Retry"))
        self.finish()
        self.assertEqual(drive.path(f"{target}\\data\\big.bin").read_bytes(), BIG)
        self.assertEqual(drive.path(f"{target}\\after.txt").read_bytes(), b"after\r\n")
        self.assertEqual(log_file(code).read_bytes(), log_bytes([
            "TOTALFILE=3", f"DIR={target}\\", f"DIR={target}\\", f"DIR={target}\\data",
            f"FILE={target}\\small.txt", f"FILE={target}\\data\\big.bin", f"FILE={target}\\after.txt"]))
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")
        self.forget(code)

    def test_full_drive_abort_undoes_the_run(self):
        code = "CVE2EFULLABORT"
        drive = SmallDrive("q", 2048).attach(self)
        self.forget(code)
        setup = self.full_drive_product("faults-full-abort", code, "Q:\\Full Drive")
        filler = drive.fill(256 * 1024)
        before, drive_before = machine_snapshot.take(wine_run), drive.listing()
        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box, text, _ = self.copy_dialog()
        self.assertEqual(text, COPY_FAILED.format("Q:\\Full Drive\\data\\big.bin"))
        # The dialog's third button, "Cancel", is its Abort.
        self.assertTrue(self.driver.click(box, "Cancel"))
        self.finish()
        self.assertEqual(drive.listing(), drive_before, "the aborted run left files on the full drive")
        self.assertTrue(filler.exists())
        self.assert_machine(before, "the run aborted on a full drive")
        self.assertEqual(cvdrive.work_folders(), [], "the work folder was left behind")

    # -------------------------------------------------------------- a full temp drive

    def test_full_temp_drive_at_the_start(self):
        # Room for the decrypted settings, not for the unpacked files.
        drive = SmallDrive("t", 1024).attach(self)
        (drive.mount / "temp").mkdir()
        drive.fill(48 * 1024)
        self.temp_folder("T:\\temp")
        code = "CVE2EFULLTEMP"
        self.forget(code)
        setup = self.full_drive_product("faults-full-temp", code, "C:\\CvE2EFullTemp")
        self.driver.start(setup / "setup.exe", setup)
        message = self.driver.answer("OK", 60000)
        screenshot("faults-full-temp-message")
        print("the unpacking's message:", repr(message), file=sys.stderr)
        self.assertIsNotNone(message, "no message about the failed unpacking")
        self.assertTrue(message.startswith("The setup cannot unpack its files into T:\\temp\\cv"), message)
        self.assertIn("F1_big.bin", message)
        # The system's words for the full disk, not those of a success.
        self.assertTrue(message.endswith(" (error 112)"), message)
        self.assertEqual(self.driver.exit_code(30000), 0)
        self.assertEqual(list((drive.mount / "temp").iterdir()), [], "a half-written work folder is left")
        self.assertFalse(unix_path("C:\\CvE2EFullTemp").exists())
        self.assertFalse(log_file(code).exists())

    def test_long_temp_folder(self):
        # 200 characters: more than the 150 the folders were once read into, within the
        # system's path limit once the work folder's names are added.
        temp = "C:\\CvE2ELongTemp"
        while len(temp) < 200:
            temp += "\\" + "t" * min(30, 199 - len(temp))
        self.assertEqual(len(temp), 200)
        unix_path(temp).mkdir(parents=True, exist_ok=True)
        self.addCleanup(subprocess.run, ["rm", "-rf", str(unix_path("C:\\CvE2ELongTemp"))], check=False)
        self.temp_folder(temp)
        code, target = "CVE2ELONGTEMP", "C:\\CvE2ELongTempProduct"
        self.forget(code, target)
        files = [("files\\one.txt", b"one\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        setup = pack(make_product("faults-long-temp", {"a1": "Long Temp", "a2": "1", "a3": code, "a4": target},
                                  files, hidden=True, pages=["one.lcd", "complete.lcd"]))
        run_log = cvdrive.fresh_folder("faults-long-temp-log") / "run.log"
        self.driver.start(setup / "setup.exe", setup, "/S", f"/LOG={win_path(run_log)}")
        self.assertEqual(self.driver.exit_code(120000), 0)
        # The work folder was made in the long TEMP (a folder read short would have put it
        # elsewhere, or nowhere).
        self.assertIn(f"work folder {temp}\\cv", run_log.read_bytes().decode("cp1252"))
        self.assertEqual((unix_path(target) / "one.txt").read_bytes(), b"one\r\n")
        self.assertEqual(list(unix_path(temp).iterdir()), [], "the work folder was left in the long TEMP")
        self.forget(code, target)

    # -------------------------------------------------------------- read-only destinations

    def test_read_only_file_is_replaced(self):
        code, target = "CVE2EREADONLY", "C:\\CvE2EReadOnly"
        self.forget(code, target)
        files = [("files\\settings.ini", b"[new]\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        setup = pack(make_product("faults-read-only", {"a1": "Read Only", "a2": "1", "a3": code, "a4": target},
                                  files, hidden=True, pages=["one.lcd", "complete.lcd"]))
        unix_path(target).mkdir(parents=True)
        (unix_path(target) / "settings.ini").write_bytes(b"[old]\r\n")
        status, out = wine_run("cmd", "/c", "attrib", "+R", f"{target}\\settings.ini")
        self.assertEqual(status, 0, out)
        self.assertIn("R", attributes(f"{target}\\settings.ini"))
        run_log = cvdrive.fresh_folder("faults-read-only-log") / "run.log"
        self.driver.start(setup / "setup.exe", setup, "/S", f"/LOG={win_path(run_log)}")
        self.assertEqual(self.driver.exit_code(120000), 0)
        self.assertEqual((unix_path(target) / "settings.ini").read_bytes(), b"[new]\r\n")
        # Without a read-only flag in its record the installed file is writable.
        self.assertNotIn("R", attributes(f"{target}\\settings.ini"))
        self.assertEqual(log_file(code).read_bytes(), log_bytes([
            "TOTALFILE=1", f"DIR={target}\\", f"DIR={target}\\", f"FILE={target}\\settings.ini"]))
        log = run_log.read_bytes().decode("cp1252")
        self.assertIn(f"Installed {target}\\settings.ini", log)
        # The file it replaced is kept for the removal, which puts it back.
        backups = sorted((log_file(code).parent / "backup").glob("*_0_settings.ini"))
        self.assertEqual([b.read_bytes() for b in backups], [b"[old]\r\n"])
        self.forget(code, target)

    def test_folder_that_cannot_be_written_goes_through_the_dialog(self):
        code = "CVE2EREADONLYDRIVE"
        drive = SmallDrive("r", 1024).attach(self)
        target = "R:\\Locked"
        (drive.mount / "Locked").mkdir()
        drive.read_only()
        self.forget(code)
        files = [("files\\one.txt", b"one\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        setup = pack(make_product("faults-read-only-folder", {"a1": "Locked", "a2": "1", "a3": code, "a4": target},
                                  files))
        self.driver.start(setup / "setup.exe", setup)
        self.assertTrue(self.driver.click(self.page("Page one")["hwnd"], "Next"))
        box, text, buttons = self.copy_dialog()
        self.assertEqual(text, COPY_FAILED.format(f"{target}\\one.txt"))
        self.assertEqual(buttons, ["Retry", "Ignore", "Cancel"])
        drive.read_only(False)
        self.assertTrue(self.driver.click(box, "Retry"))
        self.finish()
        self.assertEqual(drive.path(f"{target}\\one.txt").read_bytes(), b"one\r\n")
        self.forget(code)

    # -------------------------------------------------------------- 8-bit names

    def test_names_in_the_system_code_page(self):
        status, acp = wine_run("reg", "query", "HKLM\\System\\CurrentControlSet\\Control\\Nls\\CodePage",
                               "/v", "ACP")
        if status != 0 or "1252" not in acp.split():
            self.skipTest(f"the prefix's ANSI code page is not 1252: {acp.strip()}")
        code, target = "CVE2ECP1252", "C:\\Café\\Größe"
        self.forget(code, "C:\\Café")
        set_aside_other_products(self)
        unix_path("C:\\windows\\cvexec.exe").unlink(missing_ok=True)
        files = [("files\\Größe.txt", "Größe\r\n".encode("cp1252"), "Destination Computer\\<InstallDir>*0*0*0|"),
                 ("files\\Café.ini", b"[caf\xe9]\r\n", "Destination Computer\\<InstallDir>\\Café*0*0*0|")]
        product = make_product("faults-cp1252", {"a1": "Größe", "a2": "1", "a3": code, "a4": target}, files,
                               hidden=True, pages=["one.lcd", "complete.lcd"])
        # The product's files carry the names data.inf gives them, in cp1252 bytes.
        for source, _, _ in files:
            written = product / source.replace("\\", "/")
            written.rename(written.parent / os.fsdecode(written.name.encode("cp1252")))
        setup = pack(product)
        before = machine_snapshot.take(wine_run)

        self.driver.start(setup / "setup.exe", setup)
        self.assertEqual(self.driver.exit_code(120000), 0)
        root = unix_path(target)
        self.assertEqual((root / "Größe.txt").read_bytes(), "Größe\r\n".encode("cp1252"))
        self.assertEqual((root / "Café" / "Café.ini").read_bytes(), b"[caf\xe9]\r\n")
        self.assertEqual(log_file(code).read_bytes(), log_bytes([
            # C:\Café is made for the install folder: logged, so that removal takes it too.
            "TOTALFILE=2", "DIR=C:\\Café", f"DIR={target}\\", f"DIR={target}\\", f"DIR={target}\\Café",
            f"FILE={target}\\Größe.txt", f"FILE={target}\\Café\\Café.ini"]))
        self.assertIn('"DisplayName"="Größe"', registry_text(UNINSTALL_KEY + code))

        status, err = run_cvexec("/S", code, cwd=setup.parent)
        self.assertEqual(status, 0, err)
        self.assertEqual(restart_windows(), 0)  # the running cvexec.exe goes at the next start
        self.assertFalse(unix_path("C:\\Café").exists(), "the removal left the install folder")
        self.assert_machine(before, "installing and removing a product with 8-bit names")


if __name__ == "__main__":
    unittest.main()
