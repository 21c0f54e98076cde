#!/usr/bin/env python3
"""Settings files: a product packed by cvbuild decrypts into a fresh work folder; a missing
data.nsx and a corrupted setup.nsx end the run in order."""
import shutil
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from cvdrive import Driver, fresh_folder, screenshot, win_path  # noqa: E402

SETUP_INF = """[APPINFO]
a1=Settings Product
a2=1.0
a3={5B1E2C44-1111-4A7B-9C2D-0123456789AB}
a4=<ProgramFilesFolder>\\Settings Product
[SPLASH]
a1=No
a5=No
[DIALOGLIST]
TOTAL1=1
W0=welcome.lcd
[SETUPTYPE]
TOTAL=2
FeatureName0=Core
FeatureName1=Extras
"""

DATA_INF = """files/readme.txt
Destination Computer\\<InstallDir>\\readme.txt*0*0*0|Core
"""


def make_product(root):
    product = root / "product"
    (product / "theme").mkdir(parents=True)
    (product / "files").mkdir()
    (product / "setup.inf").write_bytes(SETUP_INF.replace("\n", "\r\n").encode())
    (product / "data.inf").write_bytes(DATA_INF.replace("\n", "\r\n").encode())
    (product / "files" / "readme.txt").write_text("hello\n")
    cvdrive.write_close_page(product)
    (product / "language.lan").write_text("[CancelSetup]\n0=Cancel?\n")
    return product


def pack(root):
    out = root / "setup"
    done = cvdrive.cvbuild("pack", make_product(root), out, "--runtime", cvdrive.SETUP_EXE)
    if done.returncode != 0:
        raise AssertionError(f"cvbuild pack failed: {done.stderr}")
    return out


class SettingsFiles(cvdrive.SetupRunTest):
    def only_work_folder(self):
        folders = cvdrive.work_folders()
        self.assertEqual(len(folders), 1, folders)
        return folders[0]

    def assert_decrypted(self, path, plain):
        data = path.read_bytes()
        self.assertTrue(data.startswith(plain), f"{path.name} does not start with its plaintext")
        tail = data[len(plain):]
        self.assertLessEqual(len(tail), 15)
        self.assertEqual(tail, b"\0" * len(tail))

    def test_packed_product_decrypts_into_a_new_work_folder(self):
        root = fresh_folder("settings-pack")
        setup = pack(root)
        self.assertTrue((setup / "setup.exe").exists())
        self.driver.start(setup / "setup.exe", setup)
        page = self.driver.wait("#32770", "Settings Product", 30000)
        self.assertIsNotNone(page, "the first page did not appear")
        screenshot("settings-first-page")
        work = self.only_work_folder()
        self.assertRegex(work.name, r"^cv\d{6}$")
        self.assert_decrypted(work / "setup.inf", (root / "product" / "setup.inf").read_bytes())
        self.assert_decrypted(work / "data.inf", (root / "product" / "data.inf").read_bytes())
        self.assertTrue(self.driver.click(page, "Close"))
        self.assertEqual(self.driver.exit_code(), 0)

    def test_missing_data_file_still_decrypts_setup_inf(self):
        root = fresh_folder("settings-no-data")
        setup = pack(root)
        (setup / "data.nsx").unlink()
        self.driver.start(setup / "setup.exe", setup)
        self.assertEqual(self.driver.answer("OK", 30000),
                         "Sorry, Corvane can't find data files.\r\nsetup.nsx and data.nsx\r\n"
                         "These files must be in the same directory of setup.exe")
        self.assertEqual(self.driver.exit_code(), 0)
        work = self.only_work_folder()
        self.assert_decrypted(work / "setup.inf", (root / "product" / "setup.inf").read_bytes())
        self.assertFalse((work / "data.inf").exists())

    def test_corrupted_settings_file_shows_the_cipher_message(self):
        root = fresh_folder("settings-corrupt")
        setup = pack(root)
        data = bytearray((setup / "setup.nsx").read_bytes())
        data[5] ^= 0xFF  # inside the key-check header
        (setup / "setup.nsx").write_bytes(bytes(data))
        self.driver.start(setup / "setup.exe", setup)
        self.assertIsNotNone(self.driver.wait("#32770", "*", 30000))
        screenshot("settings-corrupt")
        text = self.driver.answer("OK", 5000)
        self.assertEqual(text, f"FileCrypt ERROR: File {win_path(setup / 'setup.nsx')} cannot be Correctly Decrypted!")
        self.assertEqual(self.driver.exit_code(), 0)
        self.assertTrue(self.driver.gone(2000))


if __name__ == "__main__":
    unittest.main()
