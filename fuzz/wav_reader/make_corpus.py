#!/usr/bin/env python3
"""Writes the wav_reader fuzzer's seed corpus: a few tiny RIFF/WAVE files."""
import os
import struct

here = os.path.dirname(os.path.abspath(__file__))


def chunk(cid, data):
    out = cid + struct.pack('<I', len(data)) + data
    return out + (b'\0' if len(data) % 2 else b'')


def fmt(tag, channels, rate, bits, extra=None):
    align = channels * (bits // 8)
    head = struct.pack('<HHIIHH', tag, channels, rate, rate * align, align, bits)
    if extra is not None:
        head += struct.pack('<H', len(extra)) + extra
    return head


def riff(*chunks):
    body = b'WAVE' + b''.join(chunks)
    return b'RIFF' + struct.pack('<I', len(body)) + body


seeds = {
    'pcm8-mono.wav': riff(chunk(b'fmt ', fmt(1, 1, 8000, 8)), chunk(b'data', bytes(range(0x70, 0x90)))),
    'pcm16-stereo.wav': riff(chunk(b'fmt ', fmt(1, 2, 22050, 16)),
                             chunk(b'data', struct.pack('<8h', 0, 1000, -1000, 3000, 5, -5, 32767, -32768))),
    'fmt18-odd-junk.wav': riff(chunk(b'junk', b'abc'), chunk(b'fmt ', fmt(1, 1, 11025, 8) + b'\0\0'),
                               chunk(b'LIST', b'INFOx'), chunk(b'data', b'\x80' * 7)),
    'extra-bytes.wav': riff(chunk(b'fmt ', fmt(2, 1, 8000, 4, b'\xab\xcd')), chunk(b'data', b'\x11\x22\x33\x44')),
    'data-first.wav': riff(chunk(b'data', b'\x01\x02\x03\x04'), chunk(b'fmt ', fmt(1, 1, 8000, 8))),
    # Sizes that claim far more than the file holds.
    'oversized-data.wav': b'RIFF' + struct.pack('<I', 0xFFFFFFF0) + b'WAVE' + chunk(b'fmt ', fmt(1, 1, 8000, 8))
    + b'data' + struct.pack('<I', 0xFFFFFFFF) + b'\x80' * 6,
}

# Hostile files the reader must refuse or bound; the tests replay them.
regressions = {
    'extra-past-chunk.wav': riff(chunk(b'fmt ', fmt(2, 1, 8000, 4) + struct.pack('<H', 0xFFFF)),
                                 chunk(b'data', b'\0' * 4)),
    'extra-size-outside-fmt.wav': riff(chunk(b'fmt ', fmt(3, 1, 8000, 16)), chunk(b'data', b'\0' * 4)),
    'riff-without-form.wav': b'RIFF\x02\0\0\0WA',
    'fmt-past-end.wav': b'RIFF' + struct.pack('<I', 40) + b'WAVE' + b'fmt ' + struct.pack('<I', 0x7FFFFFFF)
    + fmt(1, 1, 8000, 8)[:10],
    'junk-chunks-before-data.wav': riff(chunk(b'fmt ', fmt(1, 1, 8000, 8)), *([chunk(b'junk', b'')] * 5000),
                                        chunk(b'data', b'\x80' * 4)),
}

for folder, files in (('corpus', seeds), ('regressions', regressions)):
    os.makedirs(os.path.join(here, folder), exist_ok=True)
    for name, data in files.items():
        with open(os.path.join(here, folder, name), 'wb') as f:
            f.write(data)
