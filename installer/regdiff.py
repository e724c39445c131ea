#!/usr/bin/env python3
"""What changed in the registry between two exports of `reg export`.

  installer/regdiff.py BEFORE.reg AFTER.reg [PREFIX]

Prints one line per key and value that AFTER adds or changes, and one per
key and value it lacks, sorted; only keys under PREFIX (a path below the
exported key, e.g. Classes) when given. Keys compare without regard to case,
as the registry names them. Nothing printed: no difference.
"""
import sys


def read(path):
    """{key: {value name: data}}, from a UTF-16 .reg file."""
    raw = open(path, 'rb').read()
    text = raw.decode('utf-16') if raw[:2] in (b'\xff\xfe', b'\xfe\xff') else raw.decode('utf-8')
    lines, pending = [], ''
    for line in text.splitlines():
        line = pending + line.lstrip() if pending else line
        if line.endswith('\\') and not line.startswith('['):
            pending = line[:-1]
            continue
        pending = ''
        lines.append(line)
    keys, current = {}, None
    for line in lines:
        if line.startswith('[') and line.endswith(']'):
            current = keys.setdefault(line[1:-1], {})
        elif current is not None and '=' in line:
            if line.startswith('@='):
                name, data = '@', line[2:]
            elif line.startswith('"'):
                i = 1
                while i < len(line) and line[i] != '"':
                    i += 2 if line[i] == '\\' else 1
                name, data = line[1:i], line[i + 2:]
            else:
                continue
            current[name] = data
    return keys


def main():
    before, after = read(sys.argv[1]), read(sys.argv[2])
    prefix = sys.argv[3].lower() if len(sys.argv) > 3 else ''
    fold = lambda keys: {k.lower(): (k, v) for k, v in keys.items()}
    b, a = fold(before), fold(after)
    out = []

    def under(key):
        if not prefix:
            return True
        rest = key.split('\\', 2)[2] if key.count('\\') >= 2 else ''
        return rest == prefix or rest.startswith(prefix + '\\')

    for low in sorted(set(a) | set(b)):
        if not under(low):
            continue
        name, new = a.get(low, (None, None))
        old = b.get(low, (None, {}))[1]
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
    print('\n'.join(out), end='\n' if out else '')


if __name__ == '__main__':
    main()
