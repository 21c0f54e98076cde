#!/usr/bin/env python3
"""Runs the demo setup folder under the Wine harness without a user: walks the wizard from
the welcome page to the completion page as a user would (accepting the licence, choosing the
custom setup so that every page shows), saves one screenshot per page and finishes. Then it
removes the product with "cvexec.exe /R" on its uninstall page (screenshots of the question,
the bar and the result) and prints whether the prefix holds anything of it, compared with a
snapshot taken before the installation (demo_removal.py). Last it shows the pages the walk
does not reach (start, cancel and error pages) one at a time.

    run_demo.py SETUP_FOLDER SCREENSHOT_FOLDER
"""
import os
import shutil
import sys
import time
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[1] / "tests" / "e2e"))
import cvdrive  # noqa: E402
import machine_snapshot  # noqa: E402

sys.path.insert(0, str(Path(__file__).resolve().parent))
import demo_removal  # noqa: E402

CAPTION = "Corvane Demo Setup"

# Each page of the walk: the layout it shows, what to click before Next, and Next's caption.
WALK = [
    ("welcome", [], "&Next >"),
    ("license", ["I &accept the terms in the license agreement"], "&Next >"),
    ("readme", [], "&Next >"),
    ("customer", [], "&Next >"),
    ("destination", [], "&Next >"),
    ("setuptype", ["C&ustom"], "&Next >"),
    ("customsetup", [], "&Next >"),
    ("ready", [], "&Install"),
    ("progress", [], None),
    ("complete", [], "&Finish"),
]

EXTRA_PAGES = ["start", "cancelsetup", "setuperror"]

# The window of the demo's own program (samples/demo_program).
PROGRAM_CLASS = "CorvaneDemoWindow"
WM_CLOSE = 0x0010


def next_page(driver, old, timeout=20):
    """The handle of the wizard page that replaced `old`."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        for w in driver.windows():
            if w["visible"] and w["caption"] == CAPTION and w["hwnd"] != old:
                return w["hwnd"]
        time.sleep(0.1)
    return None


def first_page(driver, timeout=60):
    """The first wizard page, once the start page has unpacked the archive and closed."""
    deadline = time.time() + timeout
    while time.time() < deadline:
        for w in driver.windows():
            if not (w["visible"] and w["caption"] == CAPTION):
                continue
            texts = " ".join(c["text"] for c in driver.controls(w["hwnd"]))
            if "unpacked" not in texts:
                return w["hwnd"]
        time.sleep(0.1)
    return None


def shoot(name):
    time.sleep(0.8)  # let the page paint
    shot = cvdrive.screenshot(name)
    print(f"demo: {name}: {shot}")


def walk(setup):
    driver = cvdrive.Driver()
    try:
        driver.start(setup / "setup.exe", setup)
        page = first_page(driver)
        if page is None:
            print("demo: the first page did not appear")
            cvdrive.screenshot("00-no-page")
            return 1
        time.sleep(1.5)  # let the background window settle behind the page
        for number, (name, clicks, forward) in enumerate(WALK, start=1):
            for caption in clicks:
                driver.click(page, caption)
                time.sleep(0.3)
            if forward is None:
                # The progress page: its thread was held still when it appeared (below), so
                # that the picture shows it; then the completion page follows by itself.
                cvdrive.screenshot(f"{number:02}-{name}")
                print(f"demo: {number:02}-{name}: {cvdrive.OUTPUT / f'{number:02}-{name}.png'}")
                driver.thaw()
                # With the sample documents the copy lasts a few seconds: the bar is seen
                # moving in pictures taken while the page is still up.
                for moment in range(1, 4):
                    time.sleep(0.6)
                    if not any(w["hwnd"] == page and w["visible"] for w in driver.windows()):
                        break
                    shot = f"{number:02}-{name}-{moment}"
                    cvdrive.screenshot(shot)
                    print(f"demo: {shot}: {cvdrive.OUTPUT / (shot + '.png')}")
                page = next_page(driver, page, timeout=120)
                continue
            shoot(f"{number:02}-{name}")
            driver.click(page, forward)
            if name == "ready":
                page = driver.freeze("#32770", CAPTION, page, 150)
                if page is None:
                    print("demo: no progress page")
                    return 1
                time.sleep(0.5)
                continue
            if name != "complete":
                page = next_page(driver, page)
                if page is None:
                    print(f"demo: no page after {name}")
                    return 1
        code = driver.exit_code(20000)
        print(f"demo: setup ended with exit code {code}")
        return (0 if code == 0 else 1) | show_launched_program(driver, len(WALK) + 1)
    finally:
        driver.kill()
        driver.close()


def show_launched_program(driver, number):
    """The demo's program, which "Launch the program" on the completion page started: its
    window is photographed and closed."""
    window = driver.wait(PROGRAM_CLASS, "*", 30000, any_process=True)
    if window is None:
        print("demo: the program was not launched from the completion page")
        cvdrive.screenshot(f"{number:02}-no-program")
        return 1
    shoot(f"{number:02}-launched-program")
    driver.post(window, WM_CLOSE)
    # Its file is removed next: the program must have ended.
    deadline = time.time() + 30
    while time.time() < deadline and driver.wait(PROGRAM_CLASS, "*", 200, any_process=True):
        time.sleep(0.2)
    return 0


def show_alone(setup, page_name, number):
    """Runs a copy of the setup whose page list is `page_name` alone."""
    copy = setup.parent / f"setup-{page_name}"
    if copy.exists():
        shutil.rmtree(copy)
    shutil.copytree(setup, copy)
    settings = (Path(__file__).resolve().parent / "demo" / "setup.inf").read_text()
    head, rest = settings.split("[DIALOGLIST]", 1)
    rest = rest.split("\n", 1)[1]
    rest = "\n".join(line for line in rest.split("\n") if not line.startswith(("TOTAL1=", "W")))
    cvdrive.write_settings(copy, f"{head}[DIALOGLIST]\nTOTAL1=1\nW0={page_name}.lcd\n{rest}", None)
    driver = cvdrive.Driver()
    try:
        driver.start(copy / "setup.exe", copy)
        if (first_page(driver) if page_name != "start" else driver.wait("#32770", CAPTION, 60000)) is None:
            print(f"demo: {page_name} did not appear")
            return 1
        time.sleep(1.0)
        shoot(f"{number:02}-{page_name}")
        return 0
    finally:
        driver.kill()
        driver.close()


def appinfo(key):
    """A value of the demo's [APPINFO] section."""
    settings = (Path(__file__).resolve().parent / "demo" / "setup.inf").read_text()
    return next(line.split("=", 1)[1].strip() for line in settings.splitlines() if line.startswith(f"{key}="))


def list_installed():
    """Prints what the installation left on the machine, as its uninstall log names it: each
    folder and file with the file's size. Returns 1 when a logged file is missing."""
    code = appinfo("a3")
    drive_c = Path(os.environ["WINEPREFIX"]) / "drive_c"
    log = drive_c / "windows" / "Installer" / code / "uninstall.log"
    if not log.exists():
        print(f"demo: no uninstall log at {log}")
        return 1
    status = 0
    samples = 0
    print(f"demo: installed, as C:\\windows\\Installer\\{code}\\uninstall.log lists it:")
    for line in log.read_bytes().decode("latin-1").split("\r\n"):
        key, _, value = line.partition("=")
        if key not in ("DIR", "FILE", "SHORTCUT"):
            continue
        path = drive_c.joinpath(*value[3:].split("\\"))
        # The generated sample documents are counted, not listed one by one.
        if key == "FILE" and "\\Samples\\sample" in value and path.is_file():
            samples += 1
        elif key in ("FILE", "SHORTCUT") and path.is_file():
            print(f"demo:   {value} ({path.stat().st_size} bytes)")
        elif key == "DIR" and path.is_dir():
            print(f"demo:   {value if value.endswith(chr(92)) else value + chr(92)}")
        else:
            print(f"demo:   {value} MISSING")
            status = 1
    if samples:
        print(f"demo:   and {samples} sample documents in the Samples folder")
    return status


def main():
    setup, shots = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    cvdrive.OUTPUT = shots
    code = appinfo("a3")
    demo_removal.forget_earlier(code, setup)
    before = machine_snapshot.take(demo_removal.wine_run)
    status = walk(setup)
    status |= list_installed()
    number = len(WALK) + 2
    status |= demo_removal.remove_on_page(code, appinfo("a1"), setup.parent, number)
    status |= demo_removal.report_leftovers(before, code)
    for offset, name in enumerate(EXTRA_PAGES):
        status |= show_alone(setup, name, number + 3 + offset)
    return status


if __name__ == "__main__":
    sys.exit(main())
