#!/usr/bin/env python3
"""The update run of the real update.exe under Wine: every outcome on the status
lines and on disk, the question to close a running Tervalon, and the wait for a
Tervalon that is still exiting. Each scenario is a fresh prefix."""

import subprocess
import time
import unittest
from pathlib import Path

from harness import Scenario

STATUS = "TervalonStatusWindow"
DIALOG = "TervalonMessageDialog"
STANDIN = "TervalonStandIn"
LINES = (101, 102, 103, 104)  # Linia1..Linia4
INSTALL_DIR = r"C:\Tervalon"
TARGET = INSTALL_DIR + r"\Tervalon.exe"
TEMPORARY = INSTALL_DIR + r"\TmpUp"
UPDATER = INSTALL_DIR + r"\update.exe"  # beside Tervalon, whose folder holds DATA
RECORD = r"C:\windows\Korvex.dII"

INSTALLED = "Aveti instalata versiunea 1.0097"
UPDATING = "Actualizam programul la versiunea 1.0098"
SUCCESS = "Actualizare incheiata cu succes!"


def is_red(pixel):
    r, g, b = pixel
    return r >= 180 and g <= 80 and b <= 80


class UpdateRun:
    """Helpers for one scenario: an installation, the updater, and what it shows."""

    def __init__(self, test, scenario):
        self.test, self.scenario = test, scenario
        self.payload = (scenario.build.directory / "payload" / "Tervalon.exe").read_bytes()
        self.old = scenario.build.standin("tervalon_old").read_bytes()

    def install(self, version="1.0097", folder=INSTALL_DIR, exe=True, record=None):
        self.scenario.host_path(folder.rstrip("\\")).mkdir(parents=True, exist_ok=True)
        (self.scenario.host_path(folder.rstrip("\\")) / "DATA").mkdir(exist_ok=True)
        if exe:
            self.scenario.write_file(folder + r"\Tervalon.exe", self.old)
        self.scenario.write_file(RECORD, record if record is not None else f"[92]\r\nCALE={folder}\r\nVER={version}\r\n")

    def start(self, *args, updater=UPDATER):
        self.scenario.copy_in(self.scenario.build.update_exe, updater)
        return self.scenario.start(updater, *args, name="update")

    def status(self, timeout_ms=30000):
        self.scenario.wait_window(STATUS, "Actualizare", timeout_ms=timeout_ms)
        dump = self.scenario.dump(STATUS)
        shot = self.scenario.screenshot()
        lines = []
        for control_id in LINES:
            control = dump.control(control_id)
            visible = control.flag("visible")
            red = False
            if visible:
                pixels = shot.pixels(*dump.client_to_desktop(*control.box("rect")))
                red = any(is_red(p) for row in pixels for p in row)
            lines.append((control["text"], red) if visible else None)
        return lines

    def expect(self, lines, expected):
        """expected: per line None (hidden), a text (black), or (text, "red")."""
        for number, (got, want) in enumerate(zip(lines, expected), 1):
            with self.test.subTest(line=number):
                if want is None:
                    self.test.assertIsNone(got)
                else:
                    text, colour = (want, "black") if isinstance(want, str) else want
                    self.test.assertIsNotNone(got, f"line {number} is hidden")
                    self.test.assertEqual(got[0], text)
                    self.test.assertEqual(got[1], colour == "red", f"line {number} colour")

    def file(self, windows_path):
        path = self.scenario.host_path(windows_path)
        return path.read_bytes() if path.is_file() else None

    def hold(self, windows_path, milliseconds):
        """Another program holds the file open (readable, not deletable) for a while."""
        holder = self.scenario.start(self.scenario.build.directory / "tests" / "file_holder.exe", windows_path,
                                     str(milliseconds), name="holder")
        deadline = time.monotonic() + 20
        while "held" not in holder.stdout() and time.monotonic() < deadline:
            time.sleep(0.1)
        self.test.assertIn("held", holder.stdout(), holder.stderr())
        return holder

    def press_ok(self, updater):
        self.scenario.press_key(STATUS, "RETURN")
        self.test.assertEqual(updater.wait(20), 0)


class UpdateRunTest(unittest.TestCase):
    def test_not_installed(self):
        for record in ("", "[92]\r\nCALE=C:\\Tervalon\r\nVER=1.0000\r\n"):
            with self.subTest(record=record), Scenario() as scenario:
                run = UpdateRun(self, scenario)
                if record:
                    run.install(record=record)
                updater = run.start()
                run.expect(run.status(), [None, ("Programul Tervalon nu este instalat!", "red"), None, None])
                if record:
                    self.assertEqual(run.file(TARGET), run.old)
                run.press_ok(updater)

    def test_already_current(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install(version="1.0098")
            updater = run.start()
            run.expect(run.status(), ["Aveti instalata versiunea 1.0098", ("Aveti deja ultima versiune!", "red"),
                                      None, None])
            self.assertEqual(run.file(TARGET), run.old)
            self.assertIsNone(run.file(TEMPORARY))
            run.press_ok(updater)

    def test_replaced_byte_for_byte_when_started_by_a_user(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install()
            scenario.write_file(TEMPORARY, b"left over from an earlier run")
            record_before = run.file(RECORD)
            updater = run.start()
            run.expect(run.status(), [INSTALLED, UPDATING, None, SUCCESS])
            self.assertEqual(len(run.file(TARGET)), 11450880)
            self.assertEqual(run.file(TARGET), run.payload)
            self.assertIsNone(run.file(TEMPORARY))
            self.assertEqual(run.file(RECORD), record_before, "the updater wrote the record")
            run.press_ok(updater)
            # Started by a user, OK writes no script and starts nothing.
            time.sleep(1)
            self.assertIsNone(run.file(INSTALL_DIR + r"\suicide.bat"))
            self.assertIsNotNone(run.file(UPDATER))
            self.assertNotIn(STANDIN, [w["class"] for w in scenario.list_windows()])

    def test_read_only_executable_is_replaced_without_asking(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install()
            scenario.start("attrib", "+r", TARGET).wait(30)
            updater = run.start()
            run.expect(run.status(), [INSTALLED, UPDATING, None, SUCCESS])
            self.assertEqual(run.file(TARGET), run.payload)
            run.press_ok(updater)

    def test_temporary_name_busy(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install(folder=INSTALL_DIR + "\\")
            scenario.write_file(TEMPORARY, b"read-only leftover")
            scenario.start("attrib", "+r", TEMPORARY).wait(30)
            updater = run.start()
            run.expect(run.status(), [INSTALLED, UPDATING, ("Nu pot scrie in C:\\Tervalon!", "red"), None])
            self.assertEqual(run.file(TEMPORARY), b"read-only leftover")
            self.assertEqual(run.file(TARGET), run.old)
            run.press_ok(updater)

    def test_extraction_failed_on_a_folder_named_like_the_temporary_file(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install()
            scenario.host_path(TEMPORARY).mkdir()
            updater = run.start()
            run.expect(run.status(), [INSTALLED, UPDATING, ("Eroare la extragere fisiere!", "red"), None])
            self.assertTrue(scenario.host_path(TEMPORARY).is_dir())
            self.assertEqual(run.file(TARGET), run.old)
            run.press_ok(updater)

    def test_failed_rename_is_reported_and_keeps_the_new_release(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install(exe=False)
            scenario.host_path(TARGET).mkdir(parents=True)  # a folder in the executable's place
            updater = run.start()
            run.expect(run.status(), [INSTALLED, UPDATING, ("Eroare la inlocuirea executabilului!", "red"), None])
            self.assertEqual(run.file(TEMPORARY), run.payload)
            run.press_ok(updater)

    def test_running_tervalon_is_asked_to_close(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install()
            tervalon = scenario.start(TARGET, name="tervalon")
            scenario.wait_window(STANDIN)
            updater = run.start()

            scenario.wait_window(DIALOG, "Atentie !")
            dump = scenario.dump(DIALOG)
            texts = {c["text"] for c in dump.controls if c.flag("visible")}
            self.assertIn("Actualizare Tervalon", texts)
            self.assertIn(" Inchideti mai intai programul Tervalon!", texts)
            self.assertEqual({c["text"] for c in dump.controls if c["class"] == "Button" and c.flag("visible")},
                             {"&OK", "&Renunt"})
            visible = [w["class"] for w in scenario.list_windows() if w.flag("visible")]
            self.assertNotIn(STATUS, visible, "the status window is already shown")

            # OK while Tervalon still runs: asked again.
            scenario.click(DIALOG, "&OK")
            time.sleep(1.5)
            self.assertTrue(scenario.dump(DIALOG).window.flag("visible"))

            # OK after closing it: replaced.
            scenario.close(STANDIN)
            self.assertEqual(tervalon.wait(15), 0)
            scenario.click(DIALOG, "&OK")
            run.expect(run.status(), [INSTALLED, UPDATING, None, SUCCESS])
            self.assertEqual(run.file(TARGET), run.payload)
            run.press_ok(updater)

    def test_cancelling_the_question_keeps_the_old_executable(self):
        for how in ("ESCAPE", "&Renunt", "close box"):
            with self.subTest(how=how), Scenario() as scenario:
                run = UpdateRun(self, scenario)
                run.install()
                scenario.start(TARGET, name="tervalon")
                scenario.wait_window(STANDIN)
                updater = run.start()
                scenario.wait_window(DIALOG, "Atentie !")
                if how == "ESCAPE":
                    scenario.press_key(DIALOG, "ESCAPE")
                elif how == "close box":
                    scenario.close(DIALOG, syscommand=True)
                else:
                    scenario.click(DIALOG, how)
                run.expect(run.status(), [INSTALLED, UPDATING, ("Nu pot modifica vechiul executabil!", "red"), None])
                self.assertEqual(run.file(TARGET), run.old)
                self.assertIsNone(run.file(TEMPORARY))
                run.press_ok(updater)

    def test_started_by_tervalon_waits_for_it_to_exit(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install()
            scenario.copy_in(scenario.build.update_exe, UPDATER)
            began = time.monotonic()
            tervalon = scenario.start(TARGET, "/update", UPDATER, "/linger", "3000", name="tervalon")
            run.expect(run.status(), [INSTALLED, UPDATING, None, SUCCESS])
            self.assertGreaterEqual(time.monotonic() - began, 2.5, "replaced while Tervalon still held it")
            self.assertEqual(tervalon.wait(10), 0)
            self.assertEqual(run.file(TARGET), run.payload)
            self.assertNotIn(DIALOG, [w["class"] for w in scenario.list_windows() if w.flag("visible")])

    def test_started_with_the_executable_held_by_another_program(self):
        with Scenario() as scenario:
            run = UpdateRun(self, scenario)
            run.install()
            holder = run.hold(TARGET, 4000)
            run.start(TARGET)
            run.expect(run.status(), [INSTALLED, UPDATING, None, SUCCESS])
            self.assertFalse(holder.running(), "replaced while the executable was still held")
            self.assertEqual(run.file(TARGET), run.payload)


if __name__ == "__main__":
    unittest.main()
