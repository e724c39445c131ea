#!/usr/bin/env python3
"""Writes the registration of Kvadra.DLL as Windows Installer registry rows.

The rows follow the same sources as DllRegisterServer: the registry scripts
named in Kvadra.rc, and the interface definition, from which the platform's
RegisterTypeLib writes the type library's and the interfaces' keys. It writes
three WiX include files of RegistryValue elements for one bitness:

  own.wxi       keys of this bitness alone: its classes, its interfaces' keys
                in its own registry view, its TypeLib\\...\\0\\win32|win64 path
  shared.wxi    keys that are one for both registry views: the ProgIDs and
                the type library's version key (HKCR\\TypeLib is shared)
  shared32.wxi  the interfaces' keys in the 32-bit view, which the 64-bit
                RegisterTypeLib writes too

Both packages hold the shared keys in components of the same codes, which
Windows Installer counts per product: removing one package leaves them in
place while the other is installed.

The values refer to preprocessor variables of the package source:
$(var.DllPath) for the DLL's full path, $(var.DllFolder) for its folder.

  installer/registry.py x64|x86 OUTDIR
"""
import os
import re
import sys
from xml.sax.saxutils import quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
RESOURCES = os.path.join(ROOT, 'src', 'resources')

# Proxies RegisterTypeLib names: the universal marshaler for dual and
# [oleautomation] interfaces, the dispatch proxy for dispinterfaces.
PS_OA_INTERFACE = '{00020424-0000-0000-C000-000000000046}'
PS_DISPATCH = '{00020420-0000-0000-C000-000000000046}'

# The control's component categories are registered from code (module.cpp,
# through ICatRegister), not from its script: safe for scripting and for
# initialising. installer/test.sh compares the installed keys with those
# regsvr32 writes, which catches a difference.
CATEGORIES = {
    '{8CC3273A-7BF6-42AD-9CB4-7214A72401CF}': [
        '{7DD95801-9882-11CF-9FA9-00AA006C42C4}',
        '{7DD95802-9882-11CF-9FA9-00AA006C42C4}',
    ],
}

# LIBFLAG_FRESTRICTED, FCONTROL, FHIDDEN; a library loaded from a file also
# has FHASDISKIMAGE (8), and RegisterTypeLib writes all of them as FLAGS.
LIB_FLAGS = {'restricted': 1, 'control': 2, 'hidden': 4}
HAS_DISK_IMAGE = 8

MODULE = '$(var.DllPath)'
FOLDER = '$(var.DllFolder)'


def fail(msg):
    sys.exit(f'registry.py: {msg}')


# --- registry scripts -------------------------------------------------------

TOKEN = re.compile(r"\s*(?:('(?:[^']|'')*')|(\{[0-9A-Fa-f][^\s{}=']*\})|([{}=])|([^\s{}=']+))")


def tokens(text):
    """(text, quoted) pairs, as the registrar reads them."""
    pos = 0
    while True:
        m = TOKEN.match(text, pos)
        if not m or m.end() == pos:
            if text[pos:].strip():
                fail(f'cannot read the script near {text[pos:pos + 20]!r}')
            return
        pos = m.end()
        quoted, guid, punct, word = m.groups()
        if quoted is not None:
            yield quoted[1:-1].replace("''", "'"), True
        else:
            yield guid or punct or word, False


def substitute(text):
    """The text as the registrar would write it, as an installer string."""
    if '[' in text or ']' in text:
        fail(f'{text!r}: brackets would be read as installer properties')
    out = text.replace('%MODULE%', MODULE)
    if re.search(r'%[^%]*%', out.replace('%%', '')):
        fail(f'{text!r}: unknown replacement')
    return out.replace('%%', '%')


class Script:
    """Rows (key, name, value) of one script; name None is the default
    value, value None marks a key that is created without values."""

    def __init__(self, text, source):
        self.toks = list(tokens(text))
        self.pos = 0
        self.source = source
        self.rows = []
        while self.pos < len(self.toks):
            root, _ = self.next()
            if root not in ('HKCR', 'HKEY_CLASSES_ROOT'):
                fail(f'{source}: only HKCR can be packaged, not {root}')
            self.expect('{')
            self.body('')

    def next(self):
        if self.pos >= len(self.toks):
            fail(f'{self.source}: the script ends early')
        self.pos += 1
        return self.toks[self.pos - 1]

    def peek(self):
        return self.toks[self.pos] if self.pos < len(self.toks) else ('', True)

    def expect(self, want):
        if self.next() != (want, False):
            fail(f'{self.source}: {want!r} expected')

    def value(self):
        kind, _ = self.next()
        text, _ = self.next()
        if kind == 's':
            text = substitute(text)
            return '#' + text if text.startswith('#') else text  # not a number
        if kind == 'd':
            return '#%d' % int(text, 0)
        fail(f'{self.source}: value type {kind!r} cannot be packaged')

    def body(self, parent):
        while True:
            tok, quoted = self.next()
            if (tok, quoted) == ('}', False):
                return
            if (tok, quoted) == ('val', False):
                name, _ = self.next()
                self.expect('=')
                self.rows.append((parent, substitute(name), self.value()))
                continue
            mode = tok if not quoted and tok in ('NoRemove', 'ForceRemove', 'Delete') else None
            if mode:
                tok, quoted = self.next()
            if mode == 'Delete':
                fail(f'{self.source}: a Delete key cannot be packaged')
            tok = substitute(tok)
            key = f'{parent}\\{tok}' if parent else tok
            first = len(self.rows)
            if self.peek() == ('=', False):
                self.next()
                self.rows.append((key, None, self.value()))
            if self.peek() == ('{', False):
                self.next()
                self.body(key)
            if mode != 'NoRemove' and len(self.rows) == first:
                self.rows.append((key, None, None))


def script_rows():
    rc = open(os.path.join(RESOURCES, 'Kvadra.rc'), encoding='latin-1').read()
    names = re.findall(r'^\s*\w+\s+REGISTRY\s+"([^"]+)"', rc, re.M)
    if not names:
        fail('Kvadra.rc names no registry scripts')
    rows = []
    for name in names:
        path = os.path.join(RESOURCES, name)
        rows += Script(open(path, encoding='latin-1').read(), name).rows
    return rows


# --- type library -----------------------------------------------------------

def attributes(block):
    """The attribute list [a, b(c), ...] as {name: argument or ''}."""
    out = {}
    for m in re.finditer(r'(\w+)\s*(?:\(\s*"?([^")]*)"?\s*\))?', block):
        out[m.group(1)] = m.group(2) or ''
    return out


def typelib_rows(bits):
    idl = open(os.path.join(RESOURCES, 'kvadra.idl'), encoding='latin-1').read()
    idl = re.sub(r'//[^\n]*', '', idl)
    lib = re.search(r'\[([^\[\]]*)\]\s*library\s+(\w+)', idl)
    if not lib:
        fail('kvadra.idl has no library')
    attrs = attributes(lib.group(1))
    libid = '{%s}' % attrs['uuid'].upper()
    version = attrs.get('version', '0.0')
    if '.' not in version:
        version += '.0'
    lcid = '%x' % int(attrs.get('lcid', '0') or '0', 0)
    flags = HAS_DISK_IMAGE + sum(v for k, v in LIB_FLAGS.items() if k in attrs)
    base = f'TypeLib\\{libid}\\{version}'
    rows = [
        (base, None, attrs.get('helpstring') or lib.group(2)),
        (f'{base}\\{lcid}\\win{bits}', None, MODULE),
        (f'{base}\\FLAGS', None, str(flags)),
        (f'{base}\\HELPDIR', None, FOLDER),
    ]
    interfaces = []
    for m in re.finditer(r'\[([^\[\]]*)\]\s*(dispinterface|interface)\s+(\w+)', idl):
        a = attributes(m.group(1))
        if 'uuid' not in a:
            continue  # a reference inside a coclass
        if m.group(2) == 'dispinterface':
            proxy = PS_DISPATCH
        elif 'dual' in a or 'oleautomation' in a:
            proxy = PS_OA_INTERFACE
        else:
            continue  # the type library does not register it
        key = 'Interface\\{%s}' % a['uuid'].upper()
        interfaces += [
            (key, None, m.group(3)),
            (key + '\\ProxyStubClsid', None, proxy),
            (key + '\\ProxyStubClsid32', None, proxy),
            (key + '\\TypeLib', None, libid),
            (key + '\\TypeLib', 'Version', version),
        ]
    return rows, interfaces


# --- output -----------------------------------------------------------------

def category_rows():
    return [(f'CLSID\\{clsid}\\Implemented Categories\\{cat}', None, None)
            for clsid, cats in CATEGORIES.items() for cat in cats]


def element(key, name, value):
    attrs = ['Root="HKCR"', 'Key=' + quoteattr(key)]
    if value is None:
        # Created on install and removed with everything below it on
        # uninstall: a key that only exists, as the registrar writes it.
        attrs += ['Name="*"', 'Type="string"', 'Value=""']
    else:
        if name is not None:
            attrs.append('Name=' + quoteattr(name))
        if value.startswith('#') and not value.startswith('##'):
            attrs += ['Type="integer"', 'Value=' + quoteattr(value[1:])]
        else:
            attrs += ['Type="string"', 'Value=' + quoteattr(value)]
    return '  <RegistryValue %s />' % ' '.join(attrs)


def write(path, rows, keypath=None):
    lines = ['<?xml version="1.0" encoding="utf-8"?>',
             '<!-- Written by installer/registry.py from the registry scripts and kvadra.idl. -->',
             '<Include>']
    for row in rows:
        line = element(*row)
        if row == keypath:
            line = line.replace(' />', ' KeyPath="yes" />')
        lines.append(line)
    lines.append('</Include>')
    with open(path, 'w', encoding='utf-8') as f:
        f.write('\n'.join(lines) + '\n')


def main():
    if len(sys.argv) != 3 or sys.argv[1] not in ('x64', 'x86'):
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    arch, out = sys.argv[1], sys.argv[2]
    bits = '64' if arch == 'x64' else '32'
    lib, interfaces = typelib_rows(bits)
    own, shared = [], []
    for row in script_rows() + category_rows():
        top = row[0].split('\\')[0].upper()
        if top == 'CLSID':
            own.append(row)
        elif top in ('INTERFACE', 'TYPELIB'):
            fail(f'{row[0]}: written by the type library, not by a script')
        else:
            shared.append(row)  # ProgIDs: one key for both views
    own += [r for r in lib if r[0].endswith('\\win' + bits)]
    shared += [r for r in lib if not r[0].endswith('\\win' + bits)]
    if arch == 'x64':
        own += interfaces  # the 64-bit view
    if len(set(own)) != len(own) or len(set(shared)) != len(shared):
        fail('a registry value is written twice')
    os.makedirs(out, exist_ok=True)
    write(os.path.join(out, 'own.wxi'), own)
    write(os.path.join(out, 'shared.wxi'), shared, keypath=lib[0])
    write(os.path.join(out, 'shared32.wxi'), interfaces, keypath=interfaces[0])


if __name__ == '__main__':
    main()
