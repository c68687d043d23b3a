"""Reads the resources of a 32-bit PE file: enough to check what a build carries."""
import struct


class PeFile:
    def __init__(self, data: bytes):
        self.data = data
        pe = struct.unpack_from('<I', data, 0x3C)[0]
        if data[pe:pe + 4] != b'PE\0\0':
            raise ValueError('not a PE file')
        sections, optional_size = struct.unpack_from('<H12xH', data, pe + 6)
        optional = pe + 24
        if struct.unpack_from('<H', data, optional)[0] != 0x10B:
            raise ValueError('not a 32-bit PE file')
        self.subsystem = struct.unpack_from('<H', data, optional + 68)[0]
        self.resource_rva = struct.unpack_from('<I', data, optional + 96 + 2 * 8)[0]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            vsize, vaddr, rawsize, rawptr = struct.unpack_from('<4I', data, table + 40 * i + 8)
            self.sections.append((vaddr, max(vsize, rawsize), rawptr))

    def offset(self, rva):
        for vaddr, size, rawptr in self.sections:
            if vaddr <= rva < vaddr + size:
                return rawptr + rva - vaddr
        raise ValueError(f'RVA {rva:#x} is in no section')

    def _entries(self, directory):
        base = self.offset(self.resource_rva)
        named, ids = struct.unpack_from('<12xHH', self.data, base + directory)
        for i in range(named + ids):
            name, target = struct.unpack_from('<II', self.data, base + directory + 16 + 8 * i)
            if name & 0x80000000:
                length = struct.unpack_from('<H', self.data, base + (name & 0x7FFFFFFF))[0]
                start = base + (name & 0x7FFFFFFF) + 2
                key = self.data[start:start + 2 * length].decode('utf-16-le')
            else:
                key = name
            yield key, target

    def resources(self):
        """(type, name, language) -> bytes, for every resource of the file."""
        found = {}
        base = self.offset(self.resource_rva)
        for rtype, t in self._entries(0):
            for rname, n in self._entries(t & 0x7FFFFFFF):
                for lang, leaf in self._entries(n & 0x7FFFFFFF):
                    rva, size = struct.unpack_from('<II', self.data, base + leaf)
                    start = self.offset(rva)
                    found[(rtype, rname, lang)] = self.data[start:start + size]
        return found
