#!/usr/bin/env python3
"""Prints what a Windows shell link (.lnk) starts: its target path and its arguments, one line
each ("target: ...", "arguments: ..."), as the shell reads them from the link's LinkInfo and
string data.

  read_shell_link.py LINK.lnk
"""
import struct
import sys

HAS_ID_LIST, HAS_LINK_INFO, HAS_NAME, HAS_RELATIVE_PATH = 0x1, 0x2, 0x4, 0x8
HAS_WORKING_DIR, HAS_ARGUMENTS, IS_UNICODE = 0x10, 0x20, 0x80


def c_string(data, at, unicode):
    if unicode:
        end = at
        while data[end:end + 2] != b'\0\0':
            end += 2
        return data[at:end].decode('utf-16-le')
    return data[at:data.index(b'\0', at)].decode('cp1252')


def read(path):
    data = open(path, 'rb').read()
    if len(data) < 0x4C or struct.unpack_from('<I', data, 0)[0] != 0x4C:
        raise ValueError(path + ': not a shell link')
    flags = struct.unpack_from('<I', data, 0x14)[0]
    at = 0x4C
    if flags & HAS_ID_LIST:
        at += 2 + struct.unpack_from('<H', data, at)[0]
    target = ''
    if flags & HAS_LINK_INFO:
        size, header = struct.unpack_from('<II', data, at)
        base = struct.unpack_from('<I', data, at + 16)[0]
        if header >= 0x24:
            target = c_string(data, at + struct.unpack_from('<I', data, at + 28)[0], True)
        elif base:
            target = c_string(data, at + base, False)
        at += size
    unicode = bool(flags & IS_UNICODE)
    strings = {}
    for flag in (HAS_NAME, HAS_RELATIVE_PATH, HAS_WORKING_DIR, HAS_ARGUMENTS):
        if flags & flag:
            count = struct.unpack_from('<H', data, at)[0]
            width = 2 if unicode else 1
            raw = data[at + 2:at + 2 + count * width]
            strings[flag] = raw.decode('utf-16-le' if unicode else 'cp1252').rstrip('\0')
            at += 2 + count * width
    return target, strings.get(HAS_ARGUMENTS, '')


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    target, arguments = read(sys.argv[1])
    print('target: ' + target)
    print('arguments: ' + arguments)
    return 0


if __name__ == '__main__':
    sys.exit(main())
