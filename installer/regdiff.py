#!/usr/bin/env python3
"""What changed in a Wine prefix's registry between two snapshots.

  installer/regdiff.py BEFORE AFTER classes|all
  installer/regdiff.py --listed SNAPSHOT NAME

A snapshot is the prefix's system.reg and user.reg, one after the other, as
wineserver writes them when it ends: both registry views, links not followed.
Prints one line per key and value that AFTER adds or changes, and one per
key and value it lacks, sorted; nothing when they agree. Keys compare without
regard to case, as the registry names them.

  classes  only HKLM\\Software\\Classes, without the installer's own records
  all      everything but what Wine rewrites at each start (the hardware,
           the network adapters) and the empty folders Windows Installer
           keeps for its records

--listed prints "DisplayName DisplayVersion" of each entry named NAME in the
list of installed programs, in either registry view.
"""
import re
import sys

ROOTS = {'\\\\Machine': 'HKLM', '\\\\User\\\\': 'HKCU'}
CLASSES = 'hklm\\software\\classes\\'
INSTALLER = CLASSES + 'installer'
# What Wine writes anew at each start: the hardware, the network adapters.
WINE_RESTARTS = ('hklm\\system\\currentcontrolset\\',
                 'hklm\\software\\microsoft\\windows nt\\currentversion\\networkcards')


def read(path):
    """{key: {value name: data}}."""
    keys, root, current, pending = {}, None, None, ''
    with open(path, encoding='utf-8', errors='replace') as f:
        lines = f.read().splitlines()
    for line in lines:
        if pending:
            line, pending = pending + line.lstrip(), ''
        if line.startswith(';; All keys relative to '):
            root = next(r for k, r in ROOTS.items() if k in line)
            continue
        m = re.match(r'^\[(.*)\](?: \d+)?$', line)
        if m:
            current = keys.setdefault(root + '\\' + m.group(1).replace('\\\\', '\\'), {})
            continue
        if current is None or line.startswith('#') or '=' not in line:
            continue
        if line.endswith('\\'):
            pending = line[:-1]
            continue
        if line.startswith('@='):
            current['@'] = line[2:]
        elif line.startswith('"'):
            i = 1
            while i < len(line) and line[i] != '"':
                i += 2 if line[i] == '\\' else 1
            current[line[1:i]] = line[i + 2:]
    return keys


def wanted(low, values, mode):
    if mode == 'classes':
        return low.startswith(CLASSES) and not (low + '\\').startswith(INSTALLER + '\\')
    if low.startswith(WINE_RESTARTS):
        return False
    return bool(values) or '\\installer' not in low


def diff(before, after, mode):
    fold = lambda keys: {k.lower(): (k, v) for k, v in keys.items()}
    b, a = fold(before), fold(after)
    out = []
    for low in sorted(set(a) | set(b)):
        name, new = a.get(low, (None, None))
        old = b.get(low, (None, {}))[1]
        if not wanted(low, new or old, mode):
            continue
        if new is None:
            out.append(f'- [{b[low][0]}]')
            continue
        if low not in b:
            out.append(f'+ [{name}]')
        for v in sorted(set(new) | set(old), key=str.lower):
            if v not in new:
                out.append(f'- [{name}] {v}')
            elif old.get(v) != new[v]:
                out.append(f'+ [{name}] {v}={new[v]}')
    return out


def main():
    if sys.argv[1] == '--listed':
        for key, values in sorted(read(sys.argv[2]).items()):
            if '\\currentversion\\uninstall\\' in key.lower() and values.get('DisplayName') == f'"{sys.argv[3]}"':
                print(sys.argv[3], values.get('DisplayVersion', '').strip('"'))
        return
    out = diff(read(sys.argv[1]), read(sys.argv[2]), sys.argv[3])
    print('\n'.join(out), end='\n' if out else '')


if __name__ == '__main__':
    main()
