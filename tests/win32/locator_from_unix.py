#!/usr/bin/env python3
"""The locator in a program started from the host through `wine`, the way the
end-to-end tests start the updater: Wine builds the Windows command line from
the host's arguments with its own quoting, and the locator splits that line.

usage: locator_from_unix.py WINE_RUN LOCATOR_REPORT_EXE WINEPREFIX
"""
import os
import shutil
import subprocess
import sys
from pathlib import Path

wine_run, report_exe, prefix = (os.path.abspath(argument) for argument in sys.argv[1:4])
here = Path(__file__).resolve().parent
subprocess.run([str(here.parent.parent / 'tools' / 'wine-prefix.sh'), prefix], check=True)

drive_c = Path(prefix) / 'drive_c'
root = drive_c / 'tervalon-locator-unix'
ROOT = 'C:\\tervalon-locator-unix'
record_name = 'LocatorTest-from-unix.dII'
record = drive_c / 'windows' / record_name
report = root / 'report.txt'

failures = []


def run(arguments):
    """Starts the kit's copy of the program with these host arguments; returns its report."""
    if report.exists():
        report.unlink()
    env = dict(os.environ, WINEPREFIX=prefix, TERVALON_LOCATOR_REPORT=ROOT + '\\report.txt',
               TERVALON_LOCATOR_RECORD=record_name)
    done = subprocess.run([wine_run, ROOT + '\\kit\\update.exe', *arguments], env=env,
                          stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    if done.returncode != 0:
        failures.append(f'{arguments!r}: exit code {done.returncode}')
    found = {'Argument': []}
    if report.exists():
        for line in report.read_bytes().decode('cp1252').split('\n'):
            name, equals, value = line.partition('=')
            if not equals:
                continue
            if name == 'Argument':
                found['Argument'].append(value)
            else:
                found[name] = value
    return found


def expect(arguments, **expected):
    found = run(arguments)
    for name, value in expected.items():
        if found.get(name) != value:
            failures.append(f'{arguments!r}: {name} is {found.get(name)!r}, expected {value!r}'
                            f' (command line {found.get("CommandLine")!r})')


try:
    shutil.rmtree(root, ignore_errors=True)
    (root / 'Tervalon Folder').mkdir(parents=True)
    (root / 'Tervalon Folder' / 'Tervalon.exe').write_bytes(b'MZ')
    (root / 'kit' / 'DATA').mkdir(parents=True)
    shutil.copyfile(report_exe, root / 'kit' / 'update.exe')
    record.write_bytes(b'[92]\r\nCALE=C:\\From Record\\\r\nVER=1.0097\r\n')

    exe = ROOT + '\\Tervalon Folder\\Tervalon.exe'
    expect([exe], StartedWithParam='1', InstallDir=ROOT + '\\Tervalon Folder', InstalledVersion='10097',
           UpdaterExe=ROOT + '\\kit\\update.exe', Argument=[exe])
    expect([exe, 'second', 'with blank'], StartedWithParam='1', InstallDir=ROOT + '\\Tervalon Folder',
           Argument=[exe, 'second', 'with blank'])
    expect([], StartedWithParam='0', InstallDir='C:\\From Record', InstalledVersion='10097', Argument=[])
    # An empty host argument reaches the program as "", which is no argument.
    expect([''], StartedWithParam='0', InstallDir='C:\\From Record', Argument=[])
    # Wine quotes the way the C runtime unquotes: a "\" before the closing quote
    # is doubled and a quote becomes \". The locator's rules have no escapes, so
    # these come out as Wine wrote them (no path Tervalon passes ends in "\").
    expect(['C:\\a b\\', 'x"y'], StartedWithParam='1', InstallDir=ROOT + '\\kit',
           Argument=['C:\\a b\\\\', 'x\\y'])
finally:
    shutil.rmtree(root, ignore_errors=True)
    if record.exists():
        record.unlink()

for failure in failures:
    print('FAILED:', failure)
sys.exit(1 if failures else 0)
