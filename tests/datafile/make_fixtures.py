#!/usr/bin/env python3
"""Writes data files by an implementation of the container rules that shares
no code with the program, so the tests can check that ours reads them.

Run from this folder: python3 make_fixtures.py
The protected file needs PyNaCl (Debian: python3-nacl).
"""

import os
import struct
import unicodedata

import nacl.bindings as sodium

MAGIC = b"QM20060718"
DECLARATION = b'<?xml version="1.0" standalone = "yes" ?>'


def rc4(key, data):
    s = list(range(256))
    j = 0
    for n in range(256):
        j = (j + s[n] + key[n % len(key)]) % 256
        s[n], s[j] = s[j], s[n]
    out = bytearray()
    i = j = 0
    for byte in data:
        i = (i + 1) % 256
        j = (j + s[i]) % 256
        s[i], s[j] = s[j], s[i]
        out.append(byte ^ s[(s[i] + s[j]) % 256])
    return bytes(out)


def file_key(password):
    key = password.encode("cp1252")
    assert 1 <= len(key) <= 16
    return key + bytes(16 - len(key))


def write(name, password, lines):
    text = b"".join(line + b"\r\n" for line in lines)
    with open(name, "wb") as f:
        f.write(MAGIC + rc4(file_key(password), DECLARATION + text))


# An 8-bit document as older programs wrote it: Windows-1252 text, a value
# spread over two lines, a whitespace-only value.
write("fixtures/ansi.zv", "Ind3pendent", [
    b'<data><folder name="Caf\xe9" type="PRIVATE"><record parent_type="Note" type="NOTE">'
    b'<label link="Text"></label><field name="Text" basic_type="LONG TEXT">Price 5 \x80',
    b'second line</field><field name="Blank" basic_type="TEXT">   </field></record></folder></data>',
])

# A full 16-character password fills the key; its own XML declaration may follow ours.
write("fixtures/utf8.zv", "sixteen-chars-pw", [
    '<?xml version="1.0"?><data><record parent_type="Web Site" type="WEB SITE">'
    '<label link="URL" link2="Login">Почта</label><field name="URL" basic_type="TEXT">'
    'https://example.org</field><field name="Login" basic_type="TEXT">名前</field></record></data>'.encode("utf-8"),
])


def write_protected(name, password, text, passes, memory_kib):
    salt, nonce = os.urandom(16), os.urandom(24)
    header = b"ZANTROVX" + bytes([1, 1]) + struct.pack("<II", passes, memory_kib) + salt + nonce
    key = sodium.crypto_pwhash_alg(32, unicodedata.normalize("NFC", password).encode("utf-8"), salt,
                                   passes, memory_kib * 1024, sodium.crypto_pwhash_ALG_ARGON2ID13)
    with open(name, "wb") as f:
        f.write(header + sodium.crypto_aead_xchacha20poly1305_ietf_encrypt(text, header, nonce, key))


# The protected format at its cheapest cost, under a password given here in
# decomposed form: the reader must normalise it to composed form as the writer did.
write_protected("fixtures/protected.zvx", unicodedata.normalize("NFD", "Grüße, ключ ✓"),
                DECLARATION + '<data><record parent_type="Note" type="NOTE"><label link="Text">Notiz</label>'
                '<field name="Text" basic_type="LONG TEXT">Ünïcode ✓&#13;&#10;line 2</field></record></data>'
                .encode("utf-8"), 1, 8192)
