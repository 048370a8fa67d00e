#!/usr/bin/env python3
"""Points a 64-bit PE image's load-configuration directory at its
_load_config_used structure.

GNU ld (binutils 2.40, Debian 12) fills in the TLS directory from __tls_used
but leaves the load-configuration entry empty, so Windows would never read the
structure the program defines. This does what newer linkers do: the entry's
address is the symbol's, its size the structure's own first field. The
image's checksum, which ld wrote, is worked out again.

    pe_load_config.py IMAGE
"""
import array
import struct
import sys

LOAD_CONFIG_ENTRY = 10
SYMBOL = b"_load_config_used"


def fail(message):
    sys.exit(f"pe_load_config: {message}")


def checksum(data, field):
    """The PE checksum: the image's 16-bit words added with end-around carry,
    the checksum field itself left out, plus the image's length."""
    words = array.array("H", bytes(data[:len(data) // 2 * 2]))
    if sys.byteorder != "little":
        words.byteswap()
    total = sum(words) - words[field // 2] - words[field // 2 + 1]
    if len(data) % 2:
        total += data[-1]
    while total >> 16:
        total = (total & 0xFFFF) + (total >> 16)
    return (total + len(data)) & 0xFFFFFFFF


def main(path):
    with open(path, "r+b") as image:
        data = bytearray(image.read())
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            fail(f"{path} is not a PE image")
        (_, sections, _, symbols_at, symbol_count, optional_size, _) = struct.unpack_from(
            "<HHIIIHH", data, pe + 4)
        optional = pe + 24
        if struct.unpack_from("<H", data, optional)[0] != 0x20B:
            fail(f"{path} is not a 64-bit image")
        if struct.unpack_from("<I", data, optional + 108)[0] <= LOAD_CONFIG_ENTRY:
            fail(f"{path} has no room for a load-configuration entry")
        table = optional + optional_size
        section = [struct.unpack_from("<8sIIII", data, table + 40 * i) for i in range(sections)]
        if symbols_at == 0:
            fail(f"{path} has no symbol table (stripped before this step?)")
        strings_at = symbols_at + 18 * symbol_count
        found = None
        i = 0
        while i < symbol_count:
            record = symbols_at + 18 * i
            raw, value, number, _, _, aux = struct.unpack_from("<8sIhHBB", data, record)
            if raw[:4] == b"\0\0\0\0":
                offset = strings_at + struct.unpack_from("<I", raw, 4)[0]
                name = bytes(data[offset:data.index(b"\0", offset)])
            else:
                name = raw.rstrip(b"\0")
            if name == SYMBOL and number > 0:
                found = (number, value)
                break
            i += 1 + aux
        if found is None:
            fail(f"{path} defines no {SYMBOL.decode()}")
        number, value = found
        _, virtual_size, rva, raw_size, raw_at = section[number - 1]
        if value + 4 > min(virtual_size, raw_size):
            fail(f"{SYMBOL.decode()} lies outside its section")
        size = struct.unpack_from("<I", data, raw_at + value)[0]
        if size < 0x50 or value + size > min(virtual_size, raw_size):
            fail(f"{SYMBOL.decode()} declares a size of {size} bytes")
        struct.pack_into("<II", data, optional + 112 + 8 * LOAD_CONFIG_ENTRY, rva + value, size)
        struct.pack_into("<I", data, optional + 64, checksum(data, optional + 64))
        image.seek(0)
        image.write(data)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    main(sys.argv[1])
