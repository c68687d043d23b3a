#!/usr/bin/env python3
"""The typed message dialog under Wine, in dialog_probe.exe: a program that starts
up like the updater and makes the dialog calls given on its command line (each
KIND:BUTTONS), appending each result to a file. Checked from outside as a user
meets the dialog: its buttons, focus, keys, close requests and looks.

Set TERVALON_E2E_SCREENSHOTS to a folder to keep a picture of each kind there."""

import os
import shutil
import time
import unittest
from pathlib import Path

from harness import Scenario

DIALOG = "TervalonMessageDialog"
APPLICATION = "TervalonApplication"
RESULTS = "C:\\results.txt"
TITLE = "Actualizare Tervalon"
TEXT = " Inchideti mai intai programul Tervalon!"

# Child-window ids: 100 + the row in the dialog's design.
(GRADIENT_PANEL1, IMAGE1, GRADIENT_PANEL2, LABEL1, IMAGE2, IMAGE3, IMAGE4, IMAGE5,
 BE1, BE2, BE3, BE4, ERO_TEXT) = range(100, 113)
CAPTIONS = {BE1: "&Da", BE2: "&Nu", BE3: "&Renunt", BE4: "&OK"}

# Per kind: caption, left (ColorTo) and right (ColorFrom) band colours, and a
# colour found only in that kind's picture.
KINDS = {
    0: ("Atentie !", (56, 54, 35), (183, 177, 138), (255, 214, 0)),     # yellow triangle
    1: ("Eroare", (255, 0, 0), (255, 213, 213), (180, 0, 0)),           # dark red disc
    2: ("Informatie", (0, 0, 187), (225, 222, 250), (0, 0, 130)),       # dark blue "i"
    3: ("Confirmare", (54, 95, 156), (129, 162, 211), (25, 30, 60)),    # dark "?"
}


def near(colour, expected, tolerance=4):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class Probe:
    """dialog_probe.exe running in a scenario, with its result file."""

    def __init__(self, scenario, *calls):
        self.scenario = scenario
        self.program = scenario.start(Path(os.environ["TERVALON_DIALOG_PROBE_EXE"]), RESULTS, *calls,
                                      name="dialog_probe")
        self.results_path = scenario.host_path(RESULTS)

    def results(self):
        try:
            return self.results_path.read_text().split()
        except FileNotFoundError:
            return []

    def wait_results(self, count, timeout=20.0):
        """The results once there are `count` of them; the dialog is hidden by then."""
        deadline = time.monotonic() + timeout
        while len(self.results()) < count:
            if time.monotonic() > deadline:
                raise AssertionError(f"{count} results expected, have {self.results()}")
            if not self.program.running() and len(self.results()) < count:
                raise AssertionError(f"the probe ended with {self.results()}")
            time.sleep(0.1)
        return self.results()

    def showing(self):
        """Waits for the dialog to be on screen and returns its dump."""
        self.scenario.wait_window(DIALOG)
        return self.scenario.dump(DIALOG)

    def finish(self, test, results):
        test.assertEqual(self.wait_results(len(results)), results)
        test.assertEqual(self.program.wait(30), 0)


class MessageDialogTest(unittest.TestCase):
    def assertButtons(self, dump, lefts):
        """lefts: {button id: left} of the visible buttons; the others are hidden."""
        for button, caption in CAPTIONS.items():
            control = dump.control(button)
            self.assertEqual(control["class"], "Button")
            self.assertEqual(control["text"], caption)
            self.assertEqual(control.flag("visible"), button in lefts, caption)
            if button in lefts:
                self.assertEqual(control.box("rect"), (lefts[button], 138, 72, 25), caption)

    def assertFocus(self, dump, button):
        focused = dump.focused()
        self.assertIsNotNone(focused, "no control has the focus")
        self.assertEqual(focused["text"], CAPTIONS[button])

    def test_update_run_question_and_the_focus_it_keeps(self):
        with Scenario() as scenario:
            probe = Probe(scenario, "0:12", "0:12", "0:12", "0:12")

            first = probe.showing()
            self.assertEqual(first.window["caption"], "Atentie !")
            self.assertEqual(first.control(LABEL1)["text"], TITLE)
            self.assertEqual(first.control(ERO_TEXT)["text"], TEXT)
            self.assertButtons(first, {BE3: 65, BE4: 203})
            self.assertFocus(first, BE3)
            scenario.press_key(DIALOG, "ESCAPE")
            self.assertEqual(probe.wait_results(1), ["2"])

            # Esc left the focus on "&Renunt"; a click on "&OK" takes it there.
            self.assertFocus(probe.showing(), BE3)
            scenario.click(DIALOG, "&OK")
            self.assertEqual(probe.wait_results(2), ["2", "1"])

            self.assertFocus(probe.showing(), BE4)
            scenario.press_key(DIALOG, "RETURN")  # presses the focused "&OK"
            self.assertEqual(probe.wait_results(3), ["2", "1", "1"])

            self.assertFocus(probe.showing(), BE4)
            scenario.press_key(DIALOG, "ESCAPE")
            probe.finish(self, ["2", "1", "1", "2"])

    def test_frame_and_placement(self):
        with Scenario() as scenario:
            probe = Probe(scenario, "0:12")
            window = probe.showing().window
            application = scenario.dump(APPLICATION).window
            scenario.press_key(DIALOG, "ESCAPE")
            probe.finish(self, ["2"])

        self.assertEqual(window.box("client"), (339, 171))
        for present in ("titlebar", "sysmenu", "dlgframe", "topmost", "enabled"):
            self.assertTrue(window.flag(present), present)
        for absent in ("minbox", "maxbox", "thickframe"):
            self.assertFalse(window.flag(absent), absent)
        self.assertEqual(window["owner"], application["hwnd"])
        self.assertEqual(window["active"], window["hwnd"], "the dialog is not the active window")
        # While the dialog is open the program's other windows take no input.
        self.assertFalse(application.flag("enabled"))

    def test_escape_cancels_without_a_cancel_button(self):
        with Scenario() as scenario:
            probe = Probe(scenario, "0:3", "3:11")
            dump = probe.showing()
            self.assertButtons(dump, {BE1: 65, BE2: 203})
            self.assertFocus(dump, BE1)
            scenario.press_key(DIALOG, "ESCAPE")
            self.assertEqual(probe.wait_results(1), ["2"])

            dump = probe.showing()
            self.assertButtons(dump, {BE1: 30, BE2: 133, BE3: 236})  # a gap of 30, not 31
            scenario.press_key(DIALOG, "ESCAPE")
            probe.finish(self, ["2", "2"])

    def test_mnemonics_and_tab_press_their_buttons(self):
        with Scenario() as scenario:
            probe = Probe(scenario, "3:15", "3:15", "3:15", "3:15", "3:15")
            # (key, result, the button that has the focus at the next showing)
            steps = [("D", "6", BE1), ("N", "7", BE2), ("R", "2", BE3), ("O", "1", BE4)]
            results = []
            for key, result, focused_next in steps:
                dump = probe.showing()
                self.assertButtons(dump, {BE1: 10, BE2: 93, BE3: 176, BE4: 259})
                scenario.press_key(DIALOG, key)
                results.append(result)
                self.assertEqual(probe.wait_results(len(results)), results)
                self.assertFocus(probe.showing(), focused_next)
            # Tab from "&OK" wraps round to "&Da".
            scenario.press_key(DIALOG, "TAB")
            self.assertFocus(scenario.dump(DIALOG), BE1)
            scenario.press_key(DIALOG, "RETURN")
            probe.finish(self, results + ["6"])

    def test_close_requests_and_no_buttons_give_2(self):
        with Scenario() as scenario:
            # Nothing to press: the first call returns at once without showing anything.
            probe = Probe(scenario, "1:0xFFF0", "0:4", "0:4", "0:4")
            probe.showing()
            self.assertEqual(probe.results(), ["2"])
            scenario.close(DIALOG)                  # the close box
            self.assertEqual(probe.wait_results(2), ["2", "2"])
            probe.showing()
            scenario.close(DIALOG, syscommand=True)  # the system menu's close, Alt+F4
            self.assertEqual(probe.wait_results(3), ["2", "2", "2"])
            probe.showing()
            scenario.close(APPLICATION)              # the program is ended meanwhile
            probe.finish(self, ["2", "2", "2", "2"])

    def test_each_kind_dresses_the_whole_dialog_anew(self):
        keep = os.environ.get("TERVALON_E2E_SCREENSHOTS")
        order = [0, 2, 1, 3, 0]  # information right after a warning, and back
        with Scenario() as scenario:
            probe = Probe(scenario, *(f"{kind}:12" for kind in order))
            for index, kind in enumerate(order):
                caption, left_colour, right_colour, picture_colour = KINDS[kind]
                dump = probe.showing()
                self.assertEqual(dump.window["caption"], caption)
                shot = scenario.screenshot(f"kind-{index}.png")

                def colours(left, top, width, height):
                    return shot.colours(*dump.client_to_desktop(left, top, width, height))

                # Both bands, at both ends, in this kind's colours only.
                for band_top in (1, 130):
                    for x, expected in ((0, left_colour), (334, right_colour)):
                        for colour in colours(x, band_top, 5, 5):
                            self.assertTrue(near(colour, expected), f"{caption}: {colour} at {x},{band_top}")
                # The picture is this kind's and no other's.
                picture = colours(8, 8, 32, 32)
                for other, (other_caption, *_, other_colour) in KINDS.items():
                    present = any(near(c, other_colour, 2) for c in picture)
                    self.assertEqual(present, other == kind, f"{other_caption}'s picture colour in {caption}")
                if keep:
                    left, top, width, height = dump.window.box("rect")
                    shot.save_crop(Path(keep) / f"message-dialog-kind{kind}.png", left, top, width, height)

                scenario.press_key(DIALOG, "ESCAPE")
                self.assertEqual(probe.wait_results(index + 1), ["2"] * (index + 1))
            probe.finish(self, ["2"] * len(order))


if __name__ == "__main__":
    unittest.main()
