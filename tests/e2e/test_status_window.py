#!/usr/bin/env python3
"""The status window of the real update.exe under Wine: frame, layout, focus,
title line, keys and close requests, checked from outside as a user meets them."""

import subprocess
import time
import unittest

from harness import DESKTOP_SIZE, Scenario

STATUS = "TervalonStatusWindow"
APPLICATION = "TervalonApplication"
TITLE_LINE = "Actualizare Tervalon la ver.1.0098"
WINDOW_COLOUR = (238, 238, 223)
WHITE = (255, 255, 255)

# Child-window ids: 100 + the row in the window's design.
LABEL1, LINIA1, LINIA2, LINIA3, LINIA4, PANEL1, GRADIENT_PANEL1, BUTTON1 = range(100, 108)


def near(colour, expected, tolerance=6):
    return all(abs(a - b) <= tolerance for a, b in zip(colour, expected))


class StatusWindowTest(unittest.TestCase):
    def start(self, scenario):
        updater = scenario.start_updater()
        scenario.wait_window(STATUS, "Actualizare")
        return updater

    def assertStillRunning(self, updater, scenario):
        time.sleep(1.0)  # time to end, had the key or request done so
        self.assertTrue(updater.running(), "the updater ended")
        self.assertTrue(scenario.dump(STATUS).window.flag("visible"))

    def test_frame_owner_and_placement(self):
        with Scenario() as scenario:
            self.start(scenario)
            window = scenario.dump(STATUS).window
            application = scenario.dump(APPLICATION).window

        self.assertEqual(window["caption"], "Actualizare")
        self.assertEqual(window.box("client"), (377, 182))
        self.assertTrue(window.flag("titlebar"))
        for absent in ("sysmenu", "minbox", "maxbox", "thickframe"):
            self.assertFalse(window.flag(absent), absent)
        self.assertTrue(window.flag("topmost"))
        self.assertTrue(window.flag("visible"))
        self.assertTrue(window.flag("enabled"))
        self.assertEqual(window["active"], window["hwnd"], "the status window is not the active window")

        # Owned by the application window, which carries the task-bar button text.
        self.assertEqual(window["owner"], application["hwnd"])
        self.assertEqual(window["owner_class"], APPLICATION)
        self.assertEqual(window["owner_caption"], "Actualizare Tervalon")
        self.assertTrue(application.flag("visible"))
        self.assertEqual(application["pid"], window["pid"])

        # Centred on the desktop.
        left, top, width, height = window.box("rect")
        self.assertLessEqual(abs(left - (DESKTOP_SIZE[0] - width) // 2), 1)
        self.assertLessEqual(abs(top - (DESKTOP_SIZE[1] - height) // 2), 1)

    def test_stays_above_a_window_opened_later(self):
        with Scenario() as scenario:
            self.start(scenario)
            scenario.start(scenario.build.standin("tervalon_old"))
            scenario.wait_window("TervalonStandIn")
            # Top-level windows are listed from the top of the z-order down.
            order = [w["class"] for w in scenario.list_windows() if w.flag("visible")]
        self.assertLess(order.index(STATUS), order.index("TervalonStandIn"), order)

    def test_controls_layout_and_focus(self):
        with Scenario() as scenario:
            self.start(scenario)
            dump = scenario.dump(STATUS)

        # (id, class, left, top, width or None for "as wide as its text", height)
        layout = [
            (LABEL1, "TervalonLabel", 8, 8, 361, 22),
            (LINIA1, "TervalonLabel", 24, 48, None, 16),
            (LINIA2, "TervalonLabel", 24, 64, None, 16),
            (LINIA3, "TervalonLabel", 24, 80, None, 16),
            (LINIA4, "TervalonLabel", 24, 96, None, 16),
            (PANEL1, "TervalonPanel", 0, 141, 377, 41),
            (GRADIENT_PANEL1, "TervalonGradientPanel", 1, 142, 375, 39),
            (BUTTON1, "Button", 144, 149, 81, 25),
        ]
        for control_id, window_class, left, top, width, height in layout:
            with self.subTest(id=control_id):
                control = dump.control(control_id)
                self.assertEqual(control["class"], window_class)
                got_left, got_top, got_width, got_height = control.box("rect")
                self.assertEqual((got_left, got_top, got_height), (left, top, height))
                if width is None:
                    self.assertGreater(got_width, 0)
                else:
                    self.assertEqual(got_width, width)

        button = dump.control(BUTTON1)
        self.assertEqual(button["text"], "OK")
        self.assertTrue(button.flag("visible"))
        self.assertEqual(dump.focused(), button)
        self.assertEqual(dump.window.number("focus_id"), BUTTON1)
        self.assertEqual([c.number("id") for c in dump.controls if c["class"] == "Button"], [BUTTON1])

    def test_title_line_whatever_the_decimal_separator(self):
        for separator in (None, ","):
            with self.subTest(separator=separator), Scenario() as scenario:
                if separator:
                    scenario.set_decimal_separator(separator)
                self.start(scenario)
                self.assertEqual(scenario.dump(STATUS).control(LABEL1)["text"], TITLE_LINE)

    def test_escape_does_nothing_and_enter_presses_ok(self):
        with Scenario() as scenario:
            updater = self.start(scenario)

            pressed = scenario.press_key(STATUS, "ESCAPE")
            self.assertEqual(pressed.number("target_id"), BUTTON1)
            self.assertStillRunning(updater, scenario)

            scenario.press_key(STATUS, "RETURN")
            self.assertEqual(updater.wait(15), 0)
            scenario.wait_gone(STATUS)

    def test_close_requests_end_the_program(self):
        # The task-bar button's close goes to the application window.
        requests = [(APPLICATION, False), (APPLICATION, True), (STATUS, False)]
        for window_class, syscommand in requests:
            with self.subTest(window=window_class, syscommand=syscommand), Scenario() as scenario:
                updater = self.start(scenario)
                scenario.close(window_class, syscommand=syscommand)
                try:
                    self.assertEqual(updater.wait(15), 0)
                except subprocess.TimeoutExpired:
                    self.fail("the updater did not end")

    def test_window_is_drawn(self):
        with Scenario() as scenario:
            self.start(scenario)
            dump = scenario.dump(STATUS)
            shot = scenario.screenshot("status-window.png")

            def client_pixels(left, top, width, height):
                return shot.pixels(*dump.client_to_desktop(left, top, width, height))

            def control_pixels(control_id):
                return client_pixels(*dump.control(control_id).box("rect"))

            # The window colour behind the lines, away from any text.
            blank = {p for row in client_pixels(250, 112, 100, 20) for p in row}
            self.assertEqual(blank, {WINDOW_COLOUR})

            # The title line is drawn in dark text on the window colour.
            title = [p for row in control_pixels(LABEL1) for p in row]
            self.assertIn(WINDOW_COLOUR, title)
            self.assertTrue(any(max(p) < 64 for p in title), "no dark title text")

            # The bottom bar: white at the top edge of the gradient, the window colour at its bottom.
            gradient = client_pixels(*dump.control(GRADIENT_PANEL1).box("rect"))
            self.assertTrue(near(gradient[0][10], WHITE), gradient[0][10])
            self.assertTrue(near(gradient[-1][10], WINDOW_COLOUR), gradient[-1][10])

            # The title bar is drawn by Wine's virtual desktop: it is not the desktop behind it.
            left, top, width, _ = dump.window.box("rect")
            client_top = dump.window.box("client_origin")[1]
            bar = shot.colours(left + 4, top + 4, width - 8, client_top - top - 8)
            behind = shot.pixels(left - 3, top + 4, 1, 1)[0][0]
            self.assertGreater(len(bar), 1, "the title bar holds no caption text")
            self.assertNotIn(behind, bar)


if __name__ == "__main__":
    unittest.main()
