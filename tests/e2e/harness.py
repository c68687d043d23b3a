"""End-to-end harness: the built updater under Wine on a virtual X screen.

Every test process gets its own Xvfb; every scenario gets a fresh copy of a
template Wine prefix (made once per build tree) that is removed afterwards, and
the prefix's Wine processes are ended in every case. Windows are driven from
outside with driver.exe, which runs in the scenario's prefix.

The build tree comes from the environment, as the e2e tests' ctest entries set it:
  TERVALON_BUILD_DIR    the win32 build tree (required)
  TERVALON_UPDATE_EXE   the updater (default <build>/dist/update.exe)
  TERVALON_DRIVER_EXE   the window driver (default <build>/tests/driver.exe)
  TERVALON_STANDIN_DIR  the stand-in Tervalon builds (default <build>/standin)
Set TERVALON_E2E_TIMING=1 to have each scenario report its timings on stderr.
"""

from __future__ import annotations

import atexit
import ctypes
import fcntl
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass
from pathlib import Path, PureWindowsPath

SCREEN_SIZE = (1024, 768)
DESKTOP_NAME = "Default"
DESKTOP_SIZE = (800, 600)
TEMPLATE_FORMAT = 1  # bump when the template's making changes


# ------------------------------------------------------------------ the build


@dataclass(frozen=True)
class Build:
    directory: Path
    update_exe: Path
    driver_exe: Path
    standin_dir: Path

    @staticmethod
    def from_environment() -> "Build":
        value = os.environ.get("TERVALON_BUILD_DIR")
        if not value:
            raise RuntimeError("TERVALON_BUILD_DIR must name the win32 build tree")
        directory = Path(value).resolve()

        def path(variable: str, default: Path) -> Path:
            return Path(os.environ.get(variable) or default).resolve()

        return Build(directory,
                     path("TERVALON_UPDATE_EXE", directory / "dist" / "update.exe"),
                     path("TERVALON_DRIVER_EXE", directory / "tests" / "driver.exe"),
                     path("TERVALON_STANDIN_DIR", directory / "standin"))

    def standin(self, name: str) -> Path:
        """A stand-in Tervalon build, e.g. standin("tervalon_old")."""
        return self.standin_dir / f"{name}.exe"

    @property
    def work_dir(self) -> Path:
        return self.directory / "e2e"


# ---------------------------------------------------------- process clean-up


def _die_with_parent() -> None:
    """In a child before exec: get SIGTERM when the test process dies, even by SIGKILL."""
    PR_SET_PDEATHSIG = 1
    ctypes.CDLL(None, use_errno=True).prctl(PR_SET_PDEATHSIG, signal.SIGTERM)


def _end_process(process: subprocess.Popen, grace: float = 5.0) -> None:
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(grace)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def _exit_on_sigterm() -> None:
    # A SIGTERM (ctest's timeout, a Ctrl-C'd make) unwinds normally, so that the
    # context managers and atexit handlers end Xvfb and the Wine processes.
    if signal.getsignal(signal.SIGTERM) is signal.SIG_DFL:
        signal.signal(signal.SIGTERM, lambda *_: sys.exit(128 + signal.SIGTERM))


# -------------------------------------------------------------------- X screen


class Display:
    """An X display: our own Xvfb (start) or one that is already there (existing)."""

    def __init__(self, name: str, process: subprocess.Popen | None = None):
        self.name = name
        self._process = process
        self._desktop_origin: tuple[int, int] | None = None

    @staticmethod
    def start(log_dir: Path) -> "Display":
        _exit_on_sigterm()
        log_dir.mkdir(parents=True, exist_ok=True)
        read_end, write_end = os.pipe()
        log = open(log_dir / f"xvfb-{os.getpid()}.log", "wb")
        try:
            # -displayfd: Xvfb picks a free display number and writes it here once it accepts clients.
            process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_SIZE[0]}x{SCREEN_SIZE[1]}x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdin=subprocess.DEVNULL, stdout=log, stderr=log,
                preexec_fn=_die_with_parent)
        finally:
            os.close(write_end)
            log.close()
        try:
            number = b""
            deadline = time.monotonic() + 30
            while not number.endswith(b"\n"):
                ready, _, _ = select.select([read_end], [], [], max(0.0, deadline - time.monotonic()))
                chunk = os.read(read_end, 16) if ready else b""
                if not chunk:
                    _end_process(process)
                    raise RuntimeError(f"Xvfb did not start (see {log_dir})")
                number += chunk
        finally:
            os.close(read_end)
        display = Display(f":{int(number)}", process)
        atexit.register(display.stop)
        return display

    @staticmethod
    def existing(name: str) -> "Display":
        return Display(name)

    def stop(self) -> None:
        if self._process is not None:
            _end_process(self._process)
            self._process = None

    def __enter__(self) -> "Display":
        return self

    def __exit__(self, *_) -> None:
        self.stop()

    def desktop_origin(self) -> tuple[int, int]:
        """Where Wine's virtual desktop lies on the X screen (0, 0 without a window manager)."""
        if self._desktop_origin is None:
            out = subprocess.run(["xwininfo", "-display", self.name, "-name", f"{DESKTOP_NAME} - Wine desktop"],
                                 capture_output=True, text=True, timeout=10).stdout
            x = re.search(r"Absolute upper-left X:\s*(-?\d+)", out)
            y = re.search(r"Absolute upper-left Y:\s*(-?\d+)", out)
            if not (x and y):
                raise RuntimeError("the Wine desktop window is not on the X screen")
            self._desktop_origin = (int(x.group(1)), int(y.group(1)))
        return self._desktop_origin

    def screenshot(self, path: Path) -> "Screenshot":
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["import", "-display", self.name, "-window", "root", str(path)],
                       check=True, timeout=30, stdin=subprocess.DEVNULL, capture_output=True)
        return Screenshot(path, self.desktop_origin())


@dataclass(frozen=True)
class Screenshot:
    """A picture of the X screen; rectangles are in Windows desktop coordinates."""
    path: Path
    desktop_origin: tuple[int, int]

    def pixels(self, left: int, top: int, width: int, height: int) -> list[list[tuple[int, int, int]]]:
        """The rectangle's colours as rows of (red, green, blue)."""
        x, y = left + self.desktop_origin[0], top + self.desktop_origin[1]
        out = subprocess.run(["convert", str(self.path), "-crop", f"{width}x{height}+{x}+{y}", "+repage",
                              "-depth", "8", "txt:-"],
                             check=True, capture_output=True, text=True, timeout=30).stdout
        rows = [[(0, 0, 0)] * width for _ in range(height)]
        seen = 0
        for line in out.splitlines():
            m = re.match(r"(\d+),(\d+):\s*\(\s*(\d+),\s*(\d+),\s*(\d+)", line)
            if m:
                px, py, r, g, b = map(int, m.groups())
                rows[py][px] = (r, g, b)
                seen += 1
        if seen != width * height:
            raise RuntimeError(f"rectangle {left},{top} {width}x{height} is not wholly on the screen")
        return rows

    def colours(self, left: int, top: int, width: int, height: int) -> set[tuple[int, int, int]]:
        return {p for row in self.pixels(left, top, width, height) for p in row}

    def save_crop(self, path: Path, left: int, top: int, width: int, height: int) -> Path:
        x, y = left + self.desktop_origin[0], top + self.desktop_origin[1]
        path.parent.mkdir(parents=True, exist_ok=True)
        subprocess.run(["convert", str(self.path), "-crop", f"{width}x{height}+{x}+{y}", "+repage", str(path)],
                       check=True, capture_output=True, timeout=30)
        return path


_display: Display | None = None


def shared_display(build: Build) -> Display:
    """The test process's own Xvfb, started on first use and stopped at exit."""
    global _display
    if _display is None:
        _display = Display.start(build.work_dir / "logs")
    return _display


# ------------------------------------------------------------------------ Wine


def wine_environment(prefix: Path, display: str | None) -> dict[str, str]:
    env = dict(os.environ)
    env.update(WINEPREFIX=str(prefix), WINEARCH="win32", WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    if display:
        env["DISPLAY"] = display
    else:
        env.pop("DISPLAY", None)
    return env


def _run_quietly(command: list[str], env: dict[str, str], log: Path, timeout: float, cwd: Path | None = None) -> int:
    # Output through a file, never a pipe: Wine's background processes inherit the handles.
    with open(log, "ab") as out:
        return subprocess.run(command, env=env, cwd=cwd, stdin=subprocess.DEVNULL, stdout=out, stderr=out,
                              timeout=timeout).returncode


def end_wine(prefix: Path, env: dict[str, str], log: Path) -> None:
    """Ends every Wine process of the prefix and waits until its wineserver is gone."""
    _run_quietly(["wineserver", "-k"], env, log, 30)
    _run_quietly(["wineserver", "-w"], env, log, 60)


def template_prefix(build: Build) -> Path:
    """The build tree's template prefix: initialised, 32-bit, with an 800x600 virtual desktop."""
    work = build.work_dir
    work.mkdir(parents=True, exist_ok=True)
    template = work / "prefix-template"
    marker = template / ".tervalon-e2e-template"
    wine_version = subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip()
    stamp = f"{TEMPLATE_FORMAT} {wine_version}\n"
    with open(work / "prefix-template.lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if marker.exists() and marker.read_text() == stamp:
            return template
        shutil.rmtree(template, ignore_errors=True)
        env = wine_environment(template, None)
        log = work / "logs" / "prefix-template.log"
        log.parent.mkdir(parents=True, exist_ok=True)
        try:
            if _run_quietly(["wineboot", "--init"], env, log, 300) != 0:
                raise RuntimeError(f"wineboot --init failed (see {log})")
            # A virtual desktop draws the title bars itself, so no window manager is needed.
            for key, name, value in [(r"HKCU\Software\Wine\Explorer", "Desktop", DESKTOP_NAME),
                                     (r"HKCU\Software\Wine\Explorer\Desktops", DESKTOP_NAME,
                                      f"{DESKTOP_SIZE[0]}x{DESKTOP_SIZE[1]}")]:
                if _run_quietly(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env, log, 120) != 0:
                    raise RuntimeError(f"cannot set {key}\\{name} in the template prefix (see {log})")
        finally:
            end_wine(template, env, log)
        marker.write_text(stamp)
        return template


# ---------------------------------------------------------------- the driver


class DriverError(AssertionError):
    """driver.exe failed or timed out; the message holds its complaint."""


@dataclass
class Record:
    kind: str
    fields: dict[str, str]

    def __getitem__(self, key: str) -> str:
        return self.fields[key]

    def flag(self, key: str) -> bool:
        return self.fields[key] == "1"

    def number(self, key: str) -> int:
        return int(self.fields[key], 0)

    def box(self, key: str) -> tuple[int, ...]:
        return tuple(int(v) for v in self.fields[key].split(","))


def _unescape(value: str) -> str:
    return re.sub(r"\\(.)", lambda m: {"t": "\t", "n": "\n", "r": "\r"}.get(m.group(1), m.group(1)), value)


def parse_records(text: str) -> list[Record]:
    records = []
    for line in text.splitlines():
        if not line.strip():
            continue
        kind, *pairs = line.split("\t")
        records.append(Record(kind, {k: _unescape(v) for k, _, v in (p.partition("=") for p in pairs)}))
    return records


@dataclass
class WindowDump:
    window: Record
    controls: list[Record]

    def control(self, control_id: int) -> Record:
        for c in self.controls:
            if c.number("id") == control_id:
                return c
        raise KeyError(f"no control with id {control_id}")

    def focused(self) -> Record | None:
        return next((c for c in self.controls if c.flag("focused")), None)

    def client_to_desktop(self, left: int, top: int, width: int, height: int) -> tuple[int, int, int, int]:
        ox, oy = self.window.box("client_origin")
        return left + ox, top + oy, width, height


# -------------------------------------------------------------- the scenario


class Program:
    """A Windows program started in the background under Wine."""

    def __init__(self, process: subprocess.Popen, stdout: Path, stderr: Path):
        self._process = process
        self.stdout_path, self.stderr_path = stdout, stderr

    @property
    def pid(self) -> int:
        return self._process.pid

    def running(self) -> bool:
        return self._process.poll() is None

    def wait(self, timeout: float) -> int:
        """The program's exit code; raises subprocess.TimeoutExpired if it runs on."""
        return self._process.wait(timeout)

    def stdout(self) -> str:
        return self.stdout_path.read_text(errors="replace")

    def stderr(self) -> str:
        return self.stderr_path.read_text(errors="replace")

    def end(self) -> None:
        _end_process(self._process)


def _process_alive(pid: int) -> bool:
    try:
        os.kill(pid, 0)
    except ProcessLookupError:
        return False
    except PermissionError:
        pass
    return True


def _remove_abandoned_runs(runs: Path) -> None:
    """Removes the scenario folders of test processes that were killed before they could."""
    for run in runs.glob("scenario-*"):
        try:
            owner = int((run / "owner").read_text())
        except (OSError, ValueError):
            continue  # just being made, or not ours
        if _process_alive(owner):
            continue
        prefix = run / "prefix"
        if prefix.is_dir():
            end_wine(prefix, wine_environment(prefix, None), run / "wine.log")
        shutil.rmtree(run, ignore_errors=True)


class Scenario:
    """One fresh Wine prefix on a display, with the programs started in it.

    Use as a context manager: leaving it ends every Wine process of the prefix,
    waits for them and removes the prefix, whatever happened inside."""

    def __init__(self, build: Build | None = None, display: Display | None = None):
        self.build = build or Build.from_environment()
        self.display = display or shared_display(self.build)
        self.timings: dict[str, float] = {}
        self._programs: list[Program] = []
        self._started = time.monotonic()
        self._root: Path | None = None

    # -- life cycle

    def __enter__(self) -> "Scenario":
        template = template_prefix(self.build)
        runs = self.build.work_dir / "runs"
        runs.mkdir(parents=True, exist_ok=True)
        _remove_abandoned_runs(runs)
        self._root = Path(tempfile.mkdtemp(prefix="scenario-", dir=runs))
        (self._root / "owner").write_text(str(os.getpid()))
        self.prefix = self._root / "prefix"
        self.env = wine_environment(self.prefix, self.display.name)
        self.log = self._root / "wine.log"
        began = time.monotonic()
        try:
            subprocess.run(["cp", "-a", str(template), str(self.prefix)], check=True, timeout=120)
        except BaseException:
            shutil.rmtree(self._root, ignore_errors=True)
            raise
        self.timings["prefix copy"] = time.monotonic() - began
        return self

    def __exit__(self, *_) -> None:
        began = time.monotonic()
        try:
            end_wine(self.prefix, self.env, self.log)
        finally:
            for program in self._programs:
                program.end()
            self.timings["wine end"] = time.monotonic() - began
            self.timings["scenario"] = time.monotonic() - self._started
            if os.environ.get("TERVALON_E2E_TIMING"):
                print("timings: " + ", ".join(f"{k} {v:.2f} s" for k, v in self.timings.items()), file=sys.stderr)
            shutil.rmtree(self._root, ignore_errors=True)

    @property
    def scratch(self) -> Path:
        """A host folder for this scenario's own files (screenshots, logs), removed with it."""
        return self._root

    # -- paths and files

    def host_path(self, windows_path: str) -> Path:
        """The host path of a Windows path such as C:\\windows\\win.ini (letter case as on disk)."""
        path = PureWindowsPath(windows_path)
        if not path.drive:
            raise ValueError(f"not an absolute Windows path: {windows_path}")
        host = (self.prefix / "dosdevices" / path.drive.lower()).resolve()
        for part in path.parts[1:]:
            match = host / part
            if not match.exists() and host.is_dir():
                match = next((entry for entry in host.iterdir() if entry.name.lower() == part.lower()), match)
            host = match
        return host

    def windows_path(self, host_path: Path) -> str:
        """The Windows path under which Wine sees a host path (C: inside drive_c, else Z:)."""
        host = Path(host_path).resolve()
        drive_c = (self.prefix / "drive_c").resolve()
        if host == drive_c or drive_c in host.parents:
            return "C:\\" + "\\".join(host.relative_to(drive_c).parts)
        return "Z:" + str(host).replace("/", "\\")

    @property
    def windows_dir(self) -> Path:
        return self.host_path("C:\\windows")

    def write_file(self, windows_path: str, content: bytes | str, encoding: str = "cp1252") -> Path:
        """Writes a file into the prefix; text is written in the ANSI code page."""
        target = self.host_path(windows_path)
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(content.encode(encoding) if isinstance(content, str) else content)
        return target

    def copy_in(self, source: Path, windows_path: str) -> Path:
        target = self.host_path(windows_path)
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(source, target)
        return target

    def read_file(self, windows_path: str) -> bytes:
        return self.host_path(windows_path).read_bytes()

    # -- regional settings

    def set_registry_value(self, key: str, name: str, value: str) -> None:
        if _run_quietly(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], self.env, self.log, 60) != 0:
            raise RuntimeError(f"cannot set {key}\\{name} (see {self.log})")

    def set_decimal_separator(self, separator: str) -> None:
        """Sets the user's decimal separator and checks that Windows programs now get it."""
        self.set_registry_value(r"HKCU\Control Panel\International", "sDecimal", separator)
        got = self.locale()["decimal"]
        if got != separator:
            raise RuntimeError(f"the decimal separator is {got!r} after setting {separator!r}")

    # -- programs

    def start(self, program: Path | str, *args: str, cwd: Path | str | None = None, name: str | None = None) -> Program:
        """Starts a Windows program (host path, or Windows path inside the prefix) in the
        background. cwd, a host or Windows path, becomes its current folder."""
        began = time.monotonic()
        # Wine takes a Windows path as it is, and maps a host path to Z:\ (or C:\ inside drive_c).
        executable = str(program)
        if isinstance(cwd, str) and PureWindowsPath(cwd).drive:
            cwd = self.host_path(cwd)
        label = name or PureWindowsPath(executable).stem
        index = len(self._programs)
        stdout, stderr = self._root / f"{label}-{index}.out", self._root / f"{label}-{index}.err"
        with open(stdout, "wb") as out, open(stderr, "wb") as err:
            process = subprocess.Popen(["wine", executable, *args], env=self.env, cwd=cwd or self._root,
                                       stdin=subprocess.DEVNULL, stdout=out, stderr=err,
                                       preexec_fn=_die_with_parent)
        started = Program(process, stdout, stderr)
        self._programs.append(started)
        self.timings.setdefault("program start", time.monotonic() - began)
        return started

    def start_updater(self, *args: str, cwd: Path | str | None = None) -> Program:
        return self.start(self.build.update_exe, *args, cwd=cwd, name="update")

    # -- the driver

    def driver(self, *args: str, check: bool = True, timeout: float = 60) -> list[Record]:
        """Runs driver.exe with the arguments; its records, or DriverError when it fails."""
        out_path, err_path = self._root / "driver.out", self._root / "driver.err"
        with open(out_path, "wb") as out, open(err_path, "wb") as err:
            rc = subprocess.run(["wine", str(self.build.driver_exe), *args], env=self.env, cwd=self._root,
                                stdin=subprocess.DEVNULL, stdout=out, stderr=err, timeout=timeout).returncode
        text = out_path.read_text(errors="replace")
        if check and rc != 0:
            complaint = err_path.read_text(errors="replace").strip()
            raise DriverError(f"driver {' '.join(args)}: exit {rc}: {complaint}")
        return parse_records(text)

    @staticmethod
    def _window_args(window_class: str, caption: str | None, timeout_ms: int | None) -> list[str]:
        args = [window_class]
        if caption is not None:
            args += ["--caption", caption]
        if timeout_ms is not None:
            args += ["--timeout", str(timeout_ms)]
        return args

    def wait_window(self, window_class: str, caption: str | None = None, timeout_ms: int = 20000) -> Record:
        began = time.monotonic()
        try:
            found = self.driver("wait", *self._window_args(window_class, caption, timeout_ms))[0]
        except DriverError as failure:
            raise DriverError(f"{failure}{self._ended_programs()}") from None
        self.timings.setdefault("window wait", time.monotonic() - began)
        return found

    def _ended_programs(self) -> str:
        """What the programs that have already ended said, to explain a window that never came."""
        lines = []
        for program in self._programs:
            if not program.running():
                said = (program.stdout() + program.stderr()).strip()[-500:]
                lines.append(f"\n  {program.stdout_path.stem} ended with exit code {program.wait(0)}: {said}")
        return "".join(lines)

    def wait_gone(self, window_class: str, caption: str | None = None, timeout_ms: int = 10000) -> None:
        self.driver("wait-gone", *self._window_args(window_class, caption, timeout_ms))

    def dump(self, window_class: str, caption: str | None = None, timeout_ms: int | None = None) -> WindowDump:
        records = self.driver("dump", *self._window_args(window_class, caption, timeout_ms))
        return WindowDump(records[0], [r for r in records[1:] if r.kind == "control"])

    def press_key(self, window_class: str, key: str, caption: str | None = None) -> Record:
        """Types a key into the window's focused control: RETURN, ESCAPE, TAB, SPACE, a letter or
        a digit, optionally after SHIFT+, CTRL+ or ALT+ (e.g. "SHIFT+TAB", "ALT+D")."""
        args = self._window_args(window_class, caption, None)
        return self.driver("key", args[0], key, *args[1:])[0]

    def click(self, window_class: str, button_text: str, caption: str | None = None) -> Record:
        args = self._window_args(window_class, caption, None)
        return self.driver("click", args[0], button_text, *args[1:])[0]

    def close(self, window_class: str, syscommand: bool = False, caption: str | None = None) -> Record:
        args = ["close", *self._window_args(window_class, caption, None)]
        if syscommand:
            args.append("--syscommand")
        return self.driver(*args)[0]

    def list_windows(self) -> list[Record]:
        return self.driver("list")

    def locale(self) -> Record:
        return self.driver("locale")[0]

    # -- the screen

    def screenshot(self, name: str = "screen.png") -> Screenshot:
        return self.display.screenshot(self._root / name)
