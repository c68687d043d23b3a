#!/usr/bin/env python3
"""The hand-back of the real update.exe under Wine: started by Tervalon, OK
restarts the new Tervalon and the updater removes itself through its script;
closed in any other way, nothing is started and nothing is written."""

import time
import unittest

from harness import Scenario
from test_update_run import INSTALL_DIR, RECORD, STANDIN, STATUS, SUCCESS, TARGET, UpdateRun

ERROR_BOX = "#32770"
NEW_CAPTION = "Tervalon 1.0098"
OLD_CAPTION = "Tervalon 1.0097"


def script_for(updater):
    folder = updater[: updater.rfind("\\") + 1]
    return folder + "suicide.bat"


class HandBack(UpdateRun):
    def road(self, install_dir=INSTALL_DIR, updater=None):
        """Tervalon 1.0097 in install_dir starts the updater (beside it by default)
        with its own path, then exits; returns the updater's Windows path."""
        updater = updater or install_dir + r"\update.exe"
        self.install(folder=install_dir)
        updater_dir = updater[: updater.rfind("\\")]
        self.scenario.host_path(updater_dir).mkdir(parents=True, exist_ok=True)
        (self.scenario.host_path(updater_dir) / "DATA").mkdir(exist_ok=True)
        self.scenario.copy_in(self.scenario.build.update_exe, updater)
        tervalon = self.scenario.start(install_dir + r"\Tervalon.exe", "/update", updater, name="tervalon")
        self.test.assertEqual(tervalon.wait(30), 0)
        return updater

    def wait_removed(self, *paths, timeout=20):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            if all(not self.scenario.host_path(p).exists() for p in paths):
                return
            time.sleep(0.2)
        left = [p for p in paths if self.scenario.host_path(p).exists()]
        self.test.fail(f"still there: {left}")

    def ok_hands_back(self, updater):
        """OK on the status window starts the new Tervalon, and the updater and its script go."""
        self.scenario.press_key(STATUS, "RETURN")
        self.scenario.wait_window(STANDIN, NEW_CAPTION)
        self.wait_removed(updater, script_for(updater))

    def standin_captions(self):
        return [w["caption"] for w in self.scenario.list_windows() if w["class"] == STANDIN]


class HandBackTest(unittest.TestCase):
    def test_ok_restarts_the_new_tervalon_and_removes_the_updater(self):
        with Scenario() as scenario:
            run = HandBack(self, scenario)
            updater = run.road()
            lines = run.status()
            self.assertEqual(lines[3], (SUCCESS, False))
            run.ok_hands_back(updater)
            # The record is Tervalon's own: the new release wrote its version.
            record = run.file(RECORD).decode("cp1252")
            self.assertIn("VER=1.0098", record)
            self.assertIn("CALE=" + INSTALL_DIR, record)
            self.assertEqual(run.file(TARGET), run.payload)

    def test_script_waits_for_the_updater_and_holds_four_lines(self):
        with Scenario() as scenario:
            run = HandBack(self, scenario)
            updater = run.road()
            run.status()
            # Someone holds the updater's file: the script must keep trying until it is let go.
            holder = run.hold(updater, 4000)
            scenario.press_key(STATUS, "RETURN")
            scenario.wait_window(STANDIN, NEW_CAPTION)
            script = run.file(script_for(updater))
            self.assertEqual(script, (
                ":redo\r\n"
                f'@del "{updater}"\r\n'
                f'if EXIST "{updater}" GOTO redo\r\n'
                f'@del "{script_for(updater)}"\r\n').encode("cp1252"))
            self.assertTrue(holder.running())
            run.wait_removed(updater, script_for(updater))

    def test_a_read_only_updater_is_removed_all_the_same(self):
        with Scenario() as scenario:
            run = HandBack(self, scenario)
            updater = run.road()
            run.status()
            self.assertEqual(scenario.start("attrib", "+r", updater).wait(30), 0)
            run.ok_hands_back(updater)

    def test_paths_with_blanks_never_start_a_shorter_name(self):
        with Scenario() as scenario:
            run = HandBack(self, scenario)
            # Were a command line left unquoted, C:\Program.exe would be started instead.
            scenario.write_file(r"C:\Program.exe", run.old)
            install_dir = r"C:\Program Files\Tervalon"
            updater = run.road(install_dir=install_dir, updater=r"C:\Program Files\Tervalon Update\update.exe")
            self.assertEqual(run.status()[3], (SUCCESS, False))
            run.ok_hands_back(updater)
            time.sleep(1)
            self.assertNotIn(OLD_CAPTION, run.standin_captions())
            self.assertEqual(run.file(install_dir + r"\Tervalon.exe"), run.payload)

    def test_updater_in_folders_the_interpreter_could_misread(self):
        for folder in ("C:\\Users\\Caf\u00e9\\Downloads", r"C:\Temp\100% %PATH% x"):
            with self.subTest(folder=folder), Scenario() as scenario:
                run = HandBack(self, scenario)
                updater = run.road(updater=folder + r"\update.exe")
                self.assertEqual(run.status()[3], (SUCCESS, False))
                run.ok_hands_back(updater)

    def test_a_script_that_cannot_be_written_is_shown_and_ok_tries_again(self):
        with Scenario() as scenario:
            run = HandBack(self, scenario)
            updater = run.road()
            run.status()
            blocker = scenario.host_path(script_for(updater))
            blocker.mkdir()
            scenario.press_key(STATUS, "RETURN")
            box = scenario.wait_window(ERROR_BOX, "Actualizare Tervalon")
            texts = [c["text"] for c in scenario.dump(ERROR_BOX, "Actualizare Tervalon").controls]
            message = next((t for t in texts if t.startswith("Nu pot scrie fisierul ")), None)
            self.assertIsNotNone(message, texts)
            self.assertIn(script_for(updater), message)
            self.assertTrue(box is not None)
            # Nothing was started; the status window stays.
            self.assertEqual(run.standin_captions(), [])
            scenario.press_key(ERROR_BOX, "RETURN", caption="Actualizare Tervalon")
            scenario.wait_gone(ERROR_BOX, "Actualizare Tervalon")
            self.assertTrue(scenario.dump(STATUS).window.flag("visible"))
            blocker.rmdir()
            run.ok_hands_back(updater)

    def test_closing_from_outside_starts_nothing(self):
        with Scenario() as scenario:
            run = HandBack(self, scenario)
            updater = run.road()
            run.status()
            # What the task-bar button's close does, in the mode where OK would hand back.
            scenario.close("TervalonApplication")
            scenario.wait_gone(STATUS)
            time.sleep(2)
            self.assertEqual(run.standin_captions(), [])
            self.assertIsNotNone(run.file(updater))
            self.assertIsNone(run.file(script_for(updater)))


if __name__ == "__main__":
    unittest.main()
