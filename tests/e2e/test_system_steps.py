#!/usr/bin/env python3
"""The system steps under Wine, judged by the machine: a hidden-mode product with shortcuts,
an Internet shortcut, registry keys and values, INI entries, a file association, an
environment variable and a service installs them, every one read back with Wine's own tools
(reg query, IShellLinkA through link_reader.exe, the profile reader) rather than from our log;
a user PATH of 5000 characters stored as REG_EXPAND_SZ keeps every byte when an entry is
appended, and a second installation does not append it again; a window in the prefix
receives the environment's change notice; shortcuts go to the all-users Start menu unless the
product installs per user."""
import subprocess
import sys
import time
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import cvdrive  # noqa: E402
from e2e_product import (add_sections, forget, install_hidden, log_lines, make_product, pack, reg_delete,  # noqa: E402
                         reg_values, table, windows_to_unix, wine_run)

LINK_READER = cvdrive.BUILD / "tests" / "e2e" / "link_reader.exe"
LISTENER = cvdrive.BUILD / "tests" / "e2e" / "setting_listener.exe"
USER_ENV = "HKCU\\Environment"


def read_link(path):
    """What IShellLinkA reads from the .lnk at the Windows path `path`, as a dict."""
    out = cvdrive.fresh_folder("link-reader") / "link.txt"
    status, _ = wine_run(str(LINK_READER), path, cvdrive.win_path(out))
    if status != 0:
        raise AssertionError(f"link_reader could not load {path} (status {status})")
    return dict(line.split("=", 1) for line in out.read_text("latin-1").splitlines())


def set_user_path(value):
    """HKCU\\Environment PATH as REG_EXPAND_SZ `value` (through reg add, as a user would)."""
    status, output = wine_run("reg", "add", USER_ENV, "/v", "PATH", "/t", "REG_EXPAND_SZ", "/d", value, "/f")
    assert status == 0, output


class SystemSteps(cvdrive.SetupRunTest):

    def test_every_kind_of_entry_read_back_from_the_machine(self):
        code, target = "CVE2ESYSTEM", "C:\\CvE2E\\System"
        forget(code, target)
        for key in ("HKLM\\Software\\CvE2ESystem", "HKCU\\Software\\CvE2ESystem", "HKCR\\.cvsys",
                    "HKCR\\CvE2E.System", "HKLM\\System\\CurrentControlSet\\Services\\CvE2ESvc"):
            reg_delete(key)
        wine_run("reg", "delete", USER_ENV, "/v", "CVE2E_HOME", "/f")
        files = [("files\\acme.exe", b"MZ not a program\r\n", "Destination Computer\\<InstallDir>*0*0*0|"),
                 ("files\\acme.ico", b"not an icon\r\n", "Destination Computer\\<InstallDir>*0*0*0|")]
        product = make_product("system-steps", {"a1": "System Product", "a2": "1.0", "a3": code, "a4": target,
                                                "a14": "No"}, files, hidden=True, pages=["one.lcd", "complete.lcd"])
        app = "<InstallDir>acme.exe"
        add_sections(product, {
            "FOLDERCV": table([
                {"A": "Start Menu\\Programs Menu\\CvE2E System\\System App", "B": "System App", "C": app,
                 "D": "Runs <ProductName>", "E": "Maximized", "F": "<InstallDir>", "G": '/start "two words"',
                 "H": "acme.ico", "I": "1"},
                {"A": "Desktop\\CvE2E Web", "B": "CvE2E Web", "C": "http://acme.example/cv"},
                {"A": "Active Desktop\\CvE2E Quick", "B": "CvE2E Quick", "C": app, "E": "Minimized"},
            ]),
            "INIINFO": table([{"A": "INI Files\\system.ini", "C": "<InstallDir>"}]),
            "INIDATA": table([{"A": "INI Files\\system.ini\\Main\\Folder", "C": "<InstallDir>"},
                              {"A": "INI Files\\system.ini\\Main\\Name", "C": "<ProductName>"}]),
            "REGISTRYKEYS": ["TOTAL=2", "0=HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\",
                             "1=HKEY_CURRENT_USER\\Software\\CvE2ESystem\\<ProductName>"],
            "REGISTRY": table([
                {"A": "HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\", "B": "Path", "C": "<InstallDir>", "D": "0"},
                {"A": "HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\", "B": "Count", "C": "0x10", "D": "1"},
                {"A": "HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\", "B": "Number", "C": "42", "D": "DWORD"},
                {"A": "HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\", "B": "Blob", "C": "AB", "D": "2"},
                {"A": "HKEY_CURRENT_USER\\Software\\CvE2EMissing\\", "B": "X", "C": "1", "D": "0"},
            ]),
            "EXTCV": table([{"A": "x", "B": app, "C": ".cvsys", "D": "CvE2E.System", "E": "CvE2E document",
                             "G": '/open "%1"', "H": "acme.ico"}]),
            "ENVIRCV": table([{"A": "CVE2E_HOME", "C": "<InstallDir>", "D": "Install", "E": "Set", "F": "Remove",
                               "G": "User"}]),
            "NTSERVICE": table([{"A": "CvE2ESvc", "B": "CvE2E Service", "C": "SERVICE_WIN32_OWN_PROCESS",
                                 "D": "SERVICE_DEMAND_START", "E": "SERVICE_ERROR_IGNORE", "F": app}]),
        })
        # The link and association icon travels in the work folder, where cvbuild puts it.
        (product / "acme.ico").write_bytes(b"not an icon\r\n")
        install_hidden(self, pack(product))

        log = log_lines(code)
        print("uninstall log:\n" + "\n".join(log), file=sys.stderr)
        t = target + "\\"
        shortcuts = [line.split("=", 1)[1] for line in log if line.startswith("SHORTCUT=")]
        app_link = next(s for s in shortcuts if s.endswith("\\System App.lnk"))
        programs = app_link[:-len("System App.lnk")]
        url = next(s for s in shortcuts if s.endswith("\\CvE2E Web.url"))
        desktop = url[:-len("CvE2E Web.url")]
        quick = next(s for s in shortcuts if s.endswith("\\CvE2E Quick.lnk"))[:-len("CvE2E Quick.lnk")]
        # Installing for all users: the all-users Start menu; Quick Launch below the
        # application-data folder.
        self.assertTrue(programs.lower().startswith("c:\\programdata\\"), programs)
        self.assertTrue(programs.endswith("\\Programs\\CvE2E System\\"), programs)
        self.assertTrue(quick.endswith("\\Microsoft\\Internet Explorer\\Quick Launch\\"), quick)
        self.assertNotIn("\\\\", url)

        start = log.index(f"DIR={programs}")
        url_link = [f"SHORTCUT={desktop}CvE2E Web.lnk"] if f"SHORTCUT={desktop}CvE2E Web.lnk" in log else []
        expected = [
            f"DIR={programs}", f"FILE={t}acme.ico", f"SHORTCUT={programs}System App.lnk",
            f"DIR={desktop}", f"SHORTCUT={desktop}CvE2E Web.url", *url_link,
            f"DIR={quick}", f"SHORTCUT={quick}CvE2E Quick.lnk",
            f"FILE={t}system.ini",
            "REGKEY=HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem",
            "REGKEY=HKEY_CURRENT_USER\\Software\\CvE2ESystem\\System Product",
            "REGVAL=HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\Path",
            "REGVAL=HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\Count",
            "REGVAL=HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\Number",
            "REGVAL=HKEY_LOCAL_MACHINE\\Software\\CvE2ESystem\\Blob",
            "REGVAL=HKEY_CURRENT_USER\\Software\\CvE2EMissing\\X",
            "REMKEY=HKEY_CLASSES_ROOT\\CvE2E.System", "REMKEY=HKEY_CLASSES_ROOT\\.cvsys", f"FILE={t}acme.ico",
            "REGVAL=HKEY_CURRENT_USER\\Environment\\CVE2E_HOME",
            "NTSERVICE=CvE2ESvc",
        ]
        self.assertEqual(log[start:start + len(expected)], expected)

        # Every shortcut the log names is on the disk.
        for path in shortcuts:
            self.assertTrue(windows_to_unix(path).is_file(), path)

        # Shortcuts, read back through the shell's own interface.
        link = read_link(f"{programs}System App.lnk")
        self.assertEqual(link["target"].lower(), f"{t}acme.exe".lower())
        self.assertEqual(link["args"], '/start "two words"')
        self.assertEqual(link["folder"].lower(), t.lower())
        self.assertEqual(link["description"], "Runs System Product")
        self.assertEqual(link["stored_show"], "3")
        self.assertEqual(link["icon"].lower(), f"{t}acme.ico".lower())
        self.assertEqual(link["index"], "1")
        quick_link = read_link(f"{quick}CvE2E Quick.lnk")
        self.assertEqual(quick_link["stored_show"], "6")
        self.assertEqual(quick_link["target"].lower(), f"{t}acme.exe".lower())
        url_text = windows_to_unix(f"{desktop}CvE2E Web.url").read_bytes().decode("latin-1")
        self.assertIn("URL=http://acme.example/cv", url_text)

        # INI entries through the system's profile reader's file.
        ini = windows_to_unix(f"{t}system.ini").read_bytes().decode("latin-1")
        self.assertIn("[Main]", ini)
        self.assertIn(f"Folder={t}", ini)
        self.assertIn("Name=System Product", ini)

        # Registry: types and data as reg query shows them.
        values = reg_values("HKLM\\Software\\CvE2ESystem")
        self.assertEqual(values["Path"], ("REG_SZ", t))
        self.assertEqual(values["Count"][0], "REG_DWORD")
        self.assertEqual(int(values["Count"][1], 16), 0)
        self.assertEqual(int(values["Number"][1], 16), 42)
        self.assertEqual(values["Blob"], ("REG_BINARY", "414200"))
        self.assertIsNotNone(reg_values("HKCU\\Software\\CvE2ESystem\\System Product"))
        self.assertIsNone(reg_values("HKCU\\Software\\CvE2EMissing"), "a REGISTRY row created its key")

        # The association.
        self.assertEqual(reg_values("HKCR\\.cvsys")["(Default)"], ("REG_SZ", "CvE2E.System"))
        self.assertEqual(reg_values("HKCR\\CvE2E.System")["(Default)"], ("REG_SZ", "CvE2E document"))
        self.assertEqual(reg_values("HKCR\\CvE2E.System\\DefaultIcon")["(Default)"], ("REG_SZ", f"{t}acme.ico"))
        self.assertEqual(reg_values("HKCR\\CvE2E.System\\shell\\Open\\Command")["(Default)"],
                         ("REG_SZ", f'"{t}acme.exe" /open "%1"'))

        # The environment variable.
        self.assertEqual(reg_values(USER_ENV)["CVE2E_HOME"], ("REG_SZ", t))

        # The service: created, registered with its start type, not started.
        service = reg_values("HKLM\\System\\CurrentControlSet\\Services\\CvE2ESvc")
        self.assertIsNotNone(service, "no service entry")
        self.assertEqual(service["DisplayName"][1], "CvE2E Service")
        self.assertEqual(int(service["Start"][1], 16), 3)
        self.assertEqual(int(service["Type"][1], 16), 0x10)
        self.assertEqual(int(service["ErrorControl"][1], 16), 0)
        self.assertEqual(service["ImagePath"][1].lower(), f"{t}acme.exe".lower())
        wine_run("sc", "delete", "CvE2ESvc")

    def path_product(self, name, code, target, appinfo=None, rows=None):
        product = make_product(name, {"a1": "Path Product", "a2": "1.0", "a3": code, "a4": target, "a14": "No",
                                      **(appinfo or {})},
                               [("files\\tool.exe", b"tool\r\n", "Destination Computer\\<InstallDir>*0*0*0|")],
                               hidden=True, pages=["one.lcd", "complete.lcd"])
        add_sections(product, rows or {"ENVIRCV": table([{"A": "PATH", "C": "<InstallDir>bin", "D": "Install",
                                                           "E": "Append", "F": "", "G": "User"}])})
        return pack(product)

    def test_long_expandable_path_kept_whole_and_appended_once_with_notice(self):
        code, target = "CVE2EPATH", "C:\\CvE2E\\PathTool"
        forget(code, target)
        old = "%SystemRoot%\\system32;%SystemRoot%"
        i = 0
        while len(old) < 5000:
            old += f";C:\\Some Long Folder Name\\Tool {i}"
            i += 1
        old = old[:5000]
        set_user_path(old)
        setup = self.path_product("path-append", code, target)

        listen_out = cvdrive.fresh_folder("setting-listener") / "heard.txt"
        listener = subprocess.Popen(["wine", str(LISTENER), cvdrive.win_path(listen_out), "90"],
                                    stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            deadline = time.time() + 60
            while not (listen_out.exists() and "ready" in listen_out.read_text()) and time.time() < deadline:
                time.sleep(0.2)
            self.assertTrue(listen_out.exists(), "the listener window did not start")
            install_hidden(self, setup)
            listener.wait(timeout=100)
        finally:
            if listener.poll() is None:
                listener.kill()
        self.assertEqual(listen_out.read_text().split(), ["ready", "Environment"])

        value = reg_values(USER_ENV)["PATH"]
        self.assertEqual(value[0], "REG_EXPAND_SZ", "the type of PATH changed")
        self.assertEqual(value[1], old + f";{target}\\bin", "the old PATH was not kept byte for byte")

        # A second installation finds the entry and adds nothing.
        install_hidden(self, setup)
        self.assertEqual(reg_values(USER_ENV)["PATH"], value)
        wine_run("reg", "delete", USER_ENV, "/v", "PATH", "/f")

    def test_per_user_product_puts_its_shortcut_in_the_users_start_menu(self):
        code, target = "CVE2EPERUSER", "C:\\CvE2E\\PerUser"
        forget(code, target)
        setup = self.path_product("per-user", code, target, {"a8": "Per-User"}, {
            "FOLDERCV": table([{"A": "Start Menu\\Programs Menu\\CvE2E Per User\\Tool", "B": "Tool",
                                "C": "<InstallDir>tool.exe"}])})
        install_hidden(self, setup)
        link = next(line.split("=", 1)[1] for line in log_lines(code) if line.startswith("SHORTCUT="))
        self.assertTrue(link.lower().startswith("c:\\users\\"), link)
        self.assertTrue(link.endswith("\\Programs\\CvE2E Per User\\Tool.lnk"), link)
        self.assertEqual(read_link(link)["target"].lower(), f"{target}\\tool.exe".lower())


if __name__ == "__main__":
    unittest.main()
