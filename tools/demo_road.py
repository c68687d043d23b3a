#!/usr/bin/env python3
"""The demo's road, driven through the end-to-end harness. Usage:
demo_road.py E2E_DIR OUTPUT_DIR (TERVALON_BUILD_DIR names the win32 build)."""
import os
import sys
import time
from pathlib import Path

sys.path.insert(0, sys.argv[1])
import harness  # noqa: E402

INSTALL_DIR = r"C:\Tervalon"
TERVALON = INSTALL_DIR + r"\Tervalon.exe"
UPDATER = INSTALL_DIR + r"\update.exe"
SCRIPT = INSTALL_DIR + r"\suicide.bat"
RECORD = r"C:\windows\Korvex.dII"
STATUS, STANDIN = "TervalonStatusWindow", "TervalonStandIn"


def say(text):
    print(f"demo: {text}", flush=True)


def main():
    out = Path(sys.argv[2])
    build = harness.Build.from_environment()
    display = (harness.Display.existing(os.environ["DISPLAY"]) if os.environ.get("DISPLAY")
               else harness.Display.start(build.work_dir / "logs"))
    problems = []
    with display, harness.Scenario(build, display) as scenario:
        say(f"display {display.name}, fresh prefix {scenario.prefix}")

        # Tervalon 1.0097 is installed; run once, it writes its installation record.
        scenario.copy_in(build.standin("tervalon_old"), TERVALON)
        scenario.host_path(INSTALL_DIR + r"\DATA").mkdir()
        old = scenario.start(TERVALON, name="tervalon-old")
        scenario.wait_window(STANDIN, "Tervalon 1.0097")
        scenario.close(STANDIN)
        old.wait(15)
        say("installed Tervalon 1.0097; its record: "
            + scenario.read_file(RECORD).decode("cp1252").replace("\r\n", " | ").strip(" |"))

        # Tervalon starts the updater with its own path and exits.
        scenario.copy_in(build.update_exe, UPDATER)
        scenario.start(TERVALON, "/update", UPDATER, name="tervalon-starts-update").wait(30)
        scenario.wait_window(STATUS, "Actualizare", timeout_ms=60000)
        dump = scenario.dump(STATUS)
        shot = scenario.screenshot()
        picture = shot.save_crop(out / "status-window.png", *dump.window.box("rect"))
        for control_id in (100, 101, 102, 103, 104):
            control = dump.control(control_id)
            if control.flag("visible"):
                say(f"  {control['text']}")
        say(f"status window in {picture}")

        # OK: the new Tervalon starts and the updater removes itself.
        scenario.press_key(STATUS, "RETURN")
        scenario.wait_window(STANDIN, "Tervalon 1.0098", timeout_ms=30000)
        new = scenario.dump(STANDIN).window
        shot = scenario.screenshot()
        shot.save_crop(out / "tervalon-restarted.png", *new.box("rect"))
        say(f"the new Tervalon is running: \"{new['caption']}\" (picture in {out / 'tervalon-restarted.png'})")
        deadline = time.monotonic() + 20
        while time.monotonic() < deadline and any(scenario.host_path(p).exists() for p in (UPDATER, SCRIPT)):
            time.sleep(0.2)

        record = scenario.read_file(RECORD).decode("cp1252")
        say("record now: " + record.replace("\r\n", " | ").strip(" |"))
        payload = (build.directory / "payload" / "Tervalon.exe").read_bytes()
        if scenario.read_file(TERVALON) != payload:
            problems.append("Tervalon.exe is not the payload")
        if "VER=1.0098" not in record:
            problems.append("the record does not name 1.0098")
        for path in (UPDATER, SCRIPT):
            if scenario.host_path(path).exists():
                problems.append(f"{path} is still there")
            else:
                say(f"{path} is gone")
    for problem in problems:
        say(f"PROBLEM: {problem}")
    say("done" if not problems else "failed")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
