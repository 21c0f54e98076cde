"""The end of the demo: the demo product is removed with "cvexec.exe /R" on its skinned page
(the theme copy's uninstall.lcd), driven as the wizard is, with a screenshot of the question,
of the bar while it moves and of the result; then the prefix is compared with the snapshot
taken before the installation. Used by run_demo.py under the Wine harness."""
import subprocess
import tempfile
import time

import cvdrive
import machine_snapshot

CVEXEC = "C:\\windows\\cvexec.exe"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\"

# What may differ between the prefix before the installation and after the removal, each with
# its reason.
ALLOWED = {
    "dir windows/Installer": "the system's folder of installation data, made for the first log folder; "
                             "Windows has it already, and removal never takes it",
    "Control\\Video\\": "Wine registers its display driver when a program first opens a window on the display",
    "Control\\Class\\{4D36E968-E325-11CE-BFC1-08002BE10318}": "the display adapters' class: Wine stamps its "
                                                             "display driver's date there as it starts",
    "[HKEY_LOCAL_MACHINE\\Software\\Wine\\": "Wine's own settings and caches",
    "HKEY_CURRENT_USER\\Software\\Wine\\": "Wine's own settings and caches",
}


def wine_run(*args):
    """A Wine command's (exit status, output); the output goes through a file, since Wine's
    background processes would keep a pipe open."""
    with tempfile.TemporaryFile() as out:
        status = subprocess.run(["wine", *args], stdin=subprocess.DEVNULL, stdout=out,
                                stderr=subprocess.DEVNULL, timeout=300).returncode
        out.seek(0)
        return status, out.read().decode("cp1252", errors="replace")


def installed(code):
    return wine_run("reg", "query", UNINSTALL_KEY + code)[0] == 0


def restart_windows():
    """What a restart does to the files marked for deletion (the uninstaller's own file,
    which it cannot delete while it runs): `wineboot -r` carries them out."""
    return wine_run("wineboot", "-r")[0]


def forget_earlier(code, folder):
    """An installation left by an earlier demo run is removed silently, so that the snapshot
    before this run's installation holds none of it."""
    if installed(code):
        print("demo: removing the installation of an earlier demo run (cvexec.exe /S)")
        wine_run(CVEXEC, "/S", code)
        restart_windows()


def shoot(name):
    time.sleep(0.8)  # let the page paint
    print(f"demo: {name}: {cvdrive.screenshot(name)}")


def static_texts(driver, page):
    return [c["text"] for c in driver.controls(page) if c["class"] == "Static" and c["visible"] and c["text"]]


def remove_on_page(code, product_name, folder, number):
    """Runs cvexec.exe /R and drives its page: question, Remove, the bar, the result, Finish.
    Returns 0 when the uninstaller ended with 0."""
    caption = f"{product_name} Uninstall"
    driver = cvdrive.Driver()
    try:
        driver.start(CVEXEC, folder, "/R", code)
        page = driver.wait("#32770", caption, 60000)
        if page is None:
            print("demo: the uninstaller showed no page")
            cvdrive.screenshot(f"{number:02}-no-uninstall-page")
            return 1
        print("demo: the uninstaller asks: " + " / ".join(static_texts(driver, page)))
        shoot(f"{number:02}-uninstall-question")
        driver.click(page, "&Remove")
        # The page's thread is held still a moment after the removal began, so the picture
        # shows the bar on its way.
        # (Nothing asks the held window anything: it could not answer.)
        if driver.freeze("#32770", caption, "0", 400) is not None:
            print(f"demo: {number + 1:02}-uninstall-progress: {cvdrive.screenshot(f'{number + 1:02}-uninstall-progress')}")
            driver.thaw()
        deadline = time.time() + 300
        while time.time() < deadline:
            buttons = [c for c in driver.controls(page) if c["class"] == "Button" and c["visible"]]
            if any(c["text"] == "&Finish" for c in buttons):
                break
            time.sleep(0.3)
        print("demo: the uninstaller says: " + " / ".join(static_texts(driver, page)))
        shoot(f"{number + 2:02}-uninstall-result")
        driver.click(page, "&Finish")
        code = driver.exit_code(60000)
        print(f"demo: cvexec.exe ended with exit code {code}")
        return 0 if code == 0 else 1
    finally:
        driver.kill()
        driver.close()


def report_leftovers(before, code):
    """Compares the prefix with the snapshot before the installation and prints the verdict.
    Returns 0 when nothing of the product is left."""
    if installed(code):
        print("demo: the product's Add/Remove entry is still there")
        return 1
    restart_windows()
    after = machine_snapshot.take(wine_run)
    left = machine_snapshot.difference(before, after, ALLOWED)
    if left:
        print(f"demo: the prefix still differs from before the installation in {len(left)} entries:")
        for line in left[:40]:
            print(f"demo:   {line}")
        return 1
    changed = machine_snapshot.difference(before, after, {})
    print("demo: the prefix holds nothing of the demo product: its registry (HKLM, HKCU) and every file "
          "under drive_c are as before the installation" + (", but for:" if changed else "."))
    for pattern, reason in ALLOWED.items():
        hits = [line for line in changed if pattern.lower() in line.lower()]
        if hits:
            print(f"demo:   {len(hits)} entr{'y' if len(hits) == 1 else 'ies'} under {pattern}: {reason}")
    return 0
