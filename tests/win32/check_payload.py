#!/usr/bin/env python3
"""Checks that update.exe carries its payload whole and unchanged: the default
build the padded stand-in Tervalon, and a build configured with
-DTERVALON_PAYLOAD=<file> exactly that file. Usage: check_payload.py SOURCE_DIR BUILD_DIR"""
import os
import subprocess
import sys
import tempfile
from pathlib import Path

sys.path.insert(0, str(Path(__file__).parent))
from pe_resources import PeFile  # noqa: E402

GUI_SUBSYSTEM = 2


def payload_of(exe: Path):
    pe = PeFile(exe.read_bytes())
    assert pe.subsystem == GUI_SUBSYSTEM, f'{exe} is not a GUI program'
    entries = {k: v for k, v in pe.resources().items() if k[0] == 'AF'}
    assert list(entries) == [('AF', 'UPGRADE', 1048)], f'payload entries of {exe}: {list(entries)}'
    return entries[('AF', 'UPGRADE', 1048)]


def main():
    source, build = Path(sys.argv[1]), Path(sys.argv[2])
    default_payload = (build / 'payload' / 'Tervalon.exe').read_bytes()
    assert len(default_payload) == 11450880, f'default payload has {len(default_payload)} bytes'
    assert PeFile(default_payload).subsystem == GUI_SUBSYSTEM
    assert payload_of(build / 'dist' / 'update.exe') == default_payload
    print('default build: payload is the padded stand-in, 11450880 bytes')

    with tempfile.TemporaryDirectory(prefix='tervalon-payload-') as scratch:
        own = Path(scratch) / 'Release Files' / 'Tervalon.exe'
        own.parent.mkdir()
        own.write_bytes(os.urandom(100_003) + b'MZ\0' * 7)
        tree = Path(scratch) / 'tree'
        quiet = dict(stdout=subprocess.DEVNULL, stderr=subprocess.STDOUT, check=True)
        subprocess.run(['cmake', '--preset', 'win32', '-S', str(source), '-B', str(tree),
                        f'-DTERVALON_PAYLOAD={own}'], cwd=source, **quiet)
        subprocess.run(['cmake', '--build', str(tree), '--target', 'update', '-j2'], **quiet)
        assert payload_of(tree / 'dist' / 'update.exe') == own.read_bytes()
    print('configured build: payload is exactly the given file')


if __name__ == '__main__':
    main()
