#!/usr/bin/env python3
"""The whole-machine round trip with every kind of entry: a hidden-mode product with files of
every flag (self-registration included: a library whose DllRegisterServer writes a key), a
font, shortcuts over a new and over the user's own .lnk, an Internet shortcut, INI entries
into a new and into an existing file, registry keys and values under a new and under an
existing key, an Append to a user PATH of 5000 characters stored as REG_EXPAND_SZ, a file
association, a service, live update and the uninstall-time program is installed and removed
with "cvexec.exe /S" and with "/R" and its plain dialog. The registry (HKLM, HKCU) and every
file under drive_c are then as they were before, but for the entries of ALLOWED, each with
its reason; what the machine held before (files, the user's shortcut, the existing INI file,
the existing key's values, the PATH text) is there byte for byte."""
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402
from cvdrive import screenshot  # noqa: E402
from e2e_product import (ALLOWED, CVEXEC, UNINSTALL_KEY, add_sections, forget, install_hidden, log_file,  # noqa: E402
                         log_lines, make_product, pack, reg_delete, reg_values, restart_windows, run_cvexec,
                         set_aside_other_products, table, unix_path, wine_run)

RECORDER = cvdrive.BUILD / "tests" / "e2e" / "recorder.exe"
SELFREG = cvdrive.BUILD / "tests" / "e2e" / "selfreg.dll"
FONT = Path("/usr/share/fonts/truetype/liberation/LiberationMono-Bold.ttf")

TARGET = "C:\\CvE2ERoundTrip"
SHARED = "C:\\CvE2ERTShared"
DESKTOP = "C:\\users\\Public\\Desktop"
NEW_KEY = "HKLM\\Software\\CvE2ERTNew"
OLD_KEY = "HKCU\\Software\\CvE2ERTOld"
SELFREG_KEY = "HKLM\\Software\\CvE2ESelfReg"
SERVICE_KEY = "HKLM\\System\\CurrentControlSet\\Services\\CvE2ERTSvc"
USER_ENV = "HKCU\\Environment"
CLASS_KEYS = ("HKCR\\.cvrt", "HKCR\\CvE2E.RoundTrip")

OLD_INI = b"; the machine's own settings\r\n[Other]\r\nKeep=1\r\n[Main]\r\nMode=old value\r\n"
USERS_LINK = b"the user's own shortcut, not a shell link at all"


def long_path():
    """A user PATH of 5000 characters with environment references, as a user's may be."""
    text = "%SystemRoot%\\system32;%SystemRoot%;%USERPROFILE%\\bin"
    i = 0
    while len(text) < 5000:
        text += f";C:\\Some Long Folder Name\\Tool {i}"
        i += 1
    return text[:5000]


def round_trip_product(name, code):
    """A hidden-mode product with every kind of entry the installation makes."""
    files = [
        ("files\\readonly.txt", b"read-only\r\n", "Destination Computer\\<InstallDir>*1*0*0|"),
        ("files\\hidden.txt", b"hidden\r\n", "Destination Computer\\<InstallDir>*4*0*0|"),
        ("files\\system.txt", b"system\r\n", "Destination Computer\\<InstallDir>\\sys*8*0*0|"),
        ("files\\critical.txt", b"critical\r\n", "Destination Computer\\<InstallDir>*16*0*0|"),
        ("files\\keep.txt", b"new keep\r\n", f"Destination Computer\\{SHARED}*32*0*0|"),
        ("files\\shared.txt", b"the product's copy\r\n", f"Destination Computer\\{SHARED}*0*0*0|"),
        ("files\\permanent.txt", b"permanent\r\n", "Destination Computer\\C:\\CvE2EKeep*64*0*0|"),
        ("files\\selfreg.dll", SELFREG.read_bytes(), "Destination Computer\\<InstallDir>\\bin*128*0*0|"),
        ("files\\expand.txt", b"<ProductName> in <InstallDir>\r\n", "Destination Computer\\<InstallDir>\\docs*256*0*0|"),
        ("files\\deep.txt", b"deep\r\n", "Destination Computer\\<InstallDir>\\a\\b\\c*0*0*0|"),
        ("files\\acme.exe", b"MZ not a program\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
        ("fonts\\CvE2ERTMono.ttf", FONT.read_bytes(), "Destination Computer\\<FontsFolder>*0*0*0|"),
    ]
    product = make_product(name, {
        "a1": f"{name} product", "a2": "1.0", "a3": code, "a4": TARGET, "a10": "Yes", "a11": "recorder.exe",
        "a12": "/bye <ProductCode>", "a13": "Yes", "a14": "Yes", "a18": "product.ico", "a19": "Corvane Tests"},
        files, hidden=True, pages=["one.lcd", "complete.lcd"])
    app = "<InstallDir>acme.exe"
    add_sections(product, {
        "FOLDERCV": table([
            {"A": "Start Menu\\Programs Menu\\CvE2E RoundTrip\\RoundTrip App", "B": "RoundTrip App", "C": app,
             "D": "Runs <ProductName>", "E": "Maximized", "F": "<InstallDir>", "H": "acme.ico", "I": "0"},
            {"A": "Desktop\\CvE2E RT Mine", "B": "CvE2E RT Mine", "C": app},
            {"A": "Desktop\\CvE2E RT Web", "B": "CvE2E RT Web", "C": "http://acme.example/roundtrip"},
        ]),
        "INIINFO": table([{"A": "INI Files\\roundtrip.ini", "C": "<InstallDir>"},
                          {"A": "INI Files\\existing.ini", "C": SHARED}]),
        "INIDATA": table([{"A": "INI Files\\roundtrip.ini\\Main\\Folder", "C": "<InstallDir>"},
                          {"A": "INI Files\\existing.ini\\Main\\Folder", "C": "<InstallDir>"},
                          {"A": "INI Files\\existing.ini\\Main\\Mode", "C": "the product's"},
                          {"A": "INI Files\\existing.ini\\Added\\Name", "C": "<ProductName>"}]),
        "REGISTRYKEYS": ["TOTAL=2", "0=HKEY_LOCAL_MACHINE\\Software\\CvE2ERTNew\\Sub\\",
                         "1=HKEY_CURRENT_USER\\Software\\CvE2ERTOld\\"],
        "REGISTRY": table([
            {"A": "HKEY_LOCAL_MACHINE\\Software\\CvE2ERTNew\\Sub\\", "B": "Path", "C": "<InstallDir>", "D": "0"},
            {"A": "HKEY_LOCAL_MACHINE\\Software\\CvE2ERTNew\\", "B": "Number", "C": "42", "D": "DWORD"},
            {"A": "HKEY_CURRENT_USER\\Software\\CvE2ERTOld\\", "B": "Added", "C": "<ProductName>", "D": "0"},
            {"A": "HKEY_CURRENT_USER\\Software\\CvE2ERTOld\\", "B": "Mode", "C": "the product's", "D": "0"},
        ]),
        "EXTCV": table([{"A": "x", "B": app, "C": ".cvrt", "D": "CvE2E.RoundTrip", "E": "CvE2E round trip",
                         "G": '/open "%1"', "H": "acme.ico"}]),
        "ENVIRCV": table([{"A": "PATH", "C": "<InstallDir>bin", "D": "Install", "E": "Append", "F": "Remove",
                           "G": "User"}]),
        "NTSERVICE": table([{"A": "CvE2ERTSvc", "B": "CvE2E RoundTrip Service", "C": "SERVICE_WIN32_OWN_PROCESS",
                             "D": "SERVICE_DEMAND_START", "E": "SERVICE_ERROR_IGNORE", "F": app}]),
        "LIVEUPDATE": ["1=Yes", "2=1", "3=http://updates.example", "4=No"],
    })
    (product / "recorder.exe").write_bytes(RECORDER.read_bytes())
    (product / "product.ico").write_bytes(b"\0\0\1\0icon")
    (product / "acme.ico").write_bytes(b"not an icon\r\n")
    (product / "liveupdate.exe").write_bytes(b"MZ live update")
    (product / "liveupdate.inf").write_bytes(b"[LiveUpdate]\r\n")
    return pack(product)


class UninstallSystem(cvdrive.SetupRunTest):
    def setUp(self):
        super().setUp()
        self.work = cvdrive.fresh_folder(f"uninstall-system-{self._testMethodName}")
        set_aside_other_products(self)
        self.addCleanup(wine_run, "reg", "delete", USER_ENV, "/v", "PATH", "/f")

    def clean_machine(self, code):
        """Nothing of an earlier run of these tests in the prefix."""
        wine_run("sc", "delete", "CvE2ERTSvc")
        for key in (NEW_KEY, OLD_KEY, SELFREG_KEY, SERVICE_KEY, *CLASS_KEYS):
            reg_delete(key)
        forget(code, TARGET, SHARED, "C:\\CvE2EKeep")
        for path in (f"{DESKTOP}\\CvE2E RT Mine.lnk", f"{DESKTOP}\\CvE2E RT Web.url", f"{DESKTOP}\\CvE2E RT Web.lnk",
                     "C:\\windows\\Fonts\\CvE2ERTMono.ttf", CVEXEC):
            unix_path(path).unlink(missing_ok=True)

    def machine_before(self):
        """What the machine holds before the product: files it overwrites or keeps, the user's
        own desktop shortcut of the same name as the product's, an INI file it writes into, a
        key with values of which it overwrites one, and a long expandable PATH."""
        shared = unix_path(SHARED)
        shared.mkdir(parents=True)
        (shared / "shared.txt").write_bytes(b"the machine's own copy\r\n")
        (shared / "keep.txt").write_bytes(b"old keep\r\n")
        (shared / "existing.ini").write_bytes(OLD_INI)
        unix_path(DESKTOP).mkdir(parents=True, exist_ok=True)
        unix_path(f"{DESKTOP}\\CvE2E RT Mine.lnk").write_bytes(USERS_LINK)
        for name, data in (("Own", "the user's"), ("Mode", "old mode")):
            status, out = wine_run("reg", "add", OLD_KEY, "/v", name, "/t", "REG_SZ", "/d", data, "/f")
            self.assertEqual(status, 0, out)
        status, out = wine_run("reg", "add", USER_ENV, "/v", "PATH", "/t", "REG_EXPAND_SZ", "/d", long_path(), "/f")
        self.assertEqual(status, 0, out)

    def assert_installed(self, code):
        log = log_lines(code)
        print("uninstall log:\n" + "\n".join(log), file=sys.stderr)
        prior = (log_file(code).parent / "prior.log").read_bytes().decode("latin-1")
        print("prior state:\n" + prior, file=sys.stderr)
        mine = f"{DESKTOP}\\CvE2E RT Mine.lnk"
        self.assertIn(f"SHORTCUT={mine}".lower(), [line.lower() for line in log],
                      "the product's desktop shortcut is not where the user's own is")
        self.assertNotEqual(unix_path(mine).read_bytes(), USERS_LINK, "the product's shortcut was not written")
        self.assertEqual(reg_values(USER_ENV)["PATH"], ("REG_EXPAND_SZ", long_path() + f";{TARGET}\\bin"))
        self.assertEqual(reg_values(OLD_KEY)["Mode"], ("REG_SZ", "the product's"))
        self.assertIsNotNone(reg_values(SERVICE_KEY), "the service was not created")
        self.assertIsNotNone(reg_values("HKCR\\.cvrt"), "the association was not made")
        ini = (unix_path(SHARED) / "existing.ini").read_bytes().decode("latin-1")
        self.assertIn("Mode=the product's", ini)
        # regsvr32 runs without being waited for: its key shows up soon after.
        deadline = time.time() + 60
        while reg_values(SELFREG_KEY) is None and time.time() < deadline:
            time.sleep(0.5)
        server = reg_values(SELFREG_KEY)
        self.assertIsNotNone(server, "the library did not register itself")
        self.assertEqual(server["Server"][1].lower(), f"{TARGET}\\bin\\selfreg.dll".lower())

    def assert_kept_byte_for_byte(self):
        shared = unix_path(SHARED)
        self.assertEqual((shared / "shared.txt").read_bytes(), b"the machine's own copy\r\n")
        self.assertEqual((shared / "keep.txt").read_bytes(), b"old keep\r\n")
        self.assertEqual((shared / "existing.ini").read_bytes(), OLD_INI)
        self.assertEqual(unix_path(f"{DESKTOP}\\CvE2E RT Mine.lnk").read_bytes(), USERS_LINK,
                         "the user's own shortcut is not back")
        old = reg_values(OLD_KEY) or {}
        self.assertEqual((old.get("Own"), old.get("Mode"), old.get("Added")),
                         (("REG_SZ", "the user's"), ("REG_SZ", "old mode"), None))
        self.assertEqual(reg_values(USER_ENV)["PATH"], ("REG_EXPAND_SZ", long_path()))
        for key in (NEW_KEY, SELFREG_KEY, SERVICE_KEY, *CLASS_KEYS):
            self.assertIsNone(reg_values(key), f"{key} is left")

    def round_trip(self, code, remove):
        self.clean_machine(code)
        setup = round_trip_product(f"rt-{code.lower()}", code)
        self.machine_before()
        # Deletions an earlier test left for the next start would be carried out by this
        # test's restart and show as differences: carry them out first.
        self.assertEqual(restart_windows(), 0)
        before = machine_snapshot.take(wine_run)

        install_hidden(self, setup)
        self.assert_installed(code)

        remove(code)
        if unix_path(CVEXEC).exists():
            # A running program cannot delete its own file: it goes at the next start.
            self.assertEqual(restart_windows(), 0)
        recorded = (self.work / "recorder.log").read_text(errors="replace")
        self.assertIn(f"/bye {code}", recorded, "the uninstall-time program did not run")
        self.assertIsNone(reg_values(UNINSTALL_KEY + code))
        # Nothing beyond the machine-wide allowlist may differ.
        left = machine_snapshot.difference(before, machine_snapshot.take(wine_run), ALLOWED)
        print("left on the machine:\n" + "\n".join(left), file=sys.stderr)
        self.assert_kept_byte_for_byte()
        self.assertEqual(left, [], "the removal left differences on the machine")
        self.clean_machine(code)

    def test_silent_removal_of_every_kind_of_entry(self):
        def remove(code):
            status, err = run_cvexec("/S", code, cwd=self.work)
            print("cvexec /S said:\n" + err, file=sys.stderr)
            self.assertEqual(status, 0, err)
        self.round_trip("CVE2ERTSILENT", remove)

    def test_removal_of_every_kind_of_entry_through_the_plain_dialog(self):
        def remove(code):
            self.driver.start(CVEXEC, self.work, "/R", code)
            question = self.driver.answer("&Yes", 30000)
            self.assertEqual(question, "Remove rt-cve2ertwindow product and all of its components?")
            done = self.driver.wait("#32770", "Uninstall", 120000)
            self.assertIsNotNone(done, "no closing message")
            screenshot("uninstall-system-done")
            self.assertEqual(self.driver.answer("OK", 30000),
                             "rt-cve2ertwindow product was removed from your computer.")
            self.assertEqual(self.driver.exit_code(30000), 0)
        self.round_trip("CVE2ERTWINDOW", remove)


if __name__ == "__main__":
    unittest.main()
