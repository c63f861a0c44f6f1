#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/ (run from anywhere)."""
import math
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


# ---- A few protobuf encodings, by hand -----------------------------------------------------------------------

def varint(v):
    v &= (1 << 64) - 1
    out = bytearray()
    while True:
        b = v & 0x7F
        v >>= 7
        out.append(b | (0x80 if v else 0))
        if not v:
            return bytes(out)


def field_varint(n, v):
    return varint(n << 3) + varint(v)


def field_double(n, v):
    return varint((n << 3) | 1) + struct.pack('<d', v)


def field_bytes(n, b):
    return varint((n << 3) | 2) + varint(len(b)) + b


def error_record(code=0, msg=b''):
    return field_varint(1, code) + field_bytes(2, msg)


def event_body(event_type=1, code=0, content=b'seed'):
    return field_varint(1, event_type) + field_varint(2, code) + field_bytes(3, content)


def joint_angle_body(joints):
    angle = b''.join(field_double(i + 1, j) for i, j in enumerate(joints))
    return field_bytes(1, angle) + field_bytes(2, error_record())


def packet(command_type, body, length=None):
    if length is None:
        length = len(body) + 12
    return (b'\xEE\xCC\xFF\xFF' + struct.pack('<ii', length, command_type) + body +
            b'\x00\x00\x00\x00\xFF\xFF\xFF\xFF')


HOME = [0.2, -0.4, 1.3, 0.3, 1.2, -0.5]


def write(target, name, data):
    d = os.path.join(HERE, 'corpus', target)
    os.makedirs(d, exist_ok=True)
    with open(os.path.join(d, name), 'wb') as f:
        f.write(data)


# ---- fuzz_receive: byte streams as the controller sends them --------------------------------------------------
write('fuzz_receive', 'event', packet(2, event_body()))
write('fuzz_receive', 'joint_angle_push', packet(7, joint_angle_body(HOME)))
write('fuzz_receive', 'stray_then_reply', b'\x01\xEE\xCC' + packet(22, b''))
write('fuzz_receive', 'zero_length', packet(2, b'', length=0))
write('fuzz_receive', 'truncated', packet(3, b'\x0a\x02\x08\x01')[:15])
write('fuzz_receive', 'urgent', b'\xA5\x00\x05' + packet(2, event_body()))

# ---- fuzz_codec: resolver index, options byte, body ----------------------------------------------------------
write('fuzz_codec', 'event', bytes([1, 0]) + event_body(5, 7, b'text'))
write('fuzz_codec', 'joint_angle', bytes([4, 0]) + joint_angle_body(HOME))
write('fuzz_codec', 'joint_status_empty', bytes([7, 6]) + field_bytes(2, error_record()))
write('fuzz_codec', 'dev_info_error', bytes([10, 0]) + field_bytes(2, error_record(3, b'no')))
write('fuzz_codec', 'double_vector', bytes([30, 0]) + field_double(1, 1.5) + field_bytes(2, error_record()))
write('fuzz_codec', 'base_parameter_legacy', bytes([35, 1]) + field_bytes(2, error_record()))

# ---- fuzz_version: version texts ------------------------------------------------------------------------------
for name, text in [('plain', '4.5.20'), ('decorated', 'ver4.x5.20-beta'), ('octal', '010.08.1'),
                   ('two_parts', '4.5'), ('largest', '2147.483.647')]:
    write('fuzz_version', name, text.encode())


# ---- fuzz_kinematics: operation byte, then numbers ------------------------------------------------------------
def plausible(op, values):
    """Operation with the top bit set: 2-byte numbers, v / 32768 (times pi for angles)."""
    out = bytearray([0x80 | op])
    for v in values:
        out += struct.pack('<h', max(-32768, min(32767, int(round(v * 32768)))))
    return bytes(out)


def raw(op, values):
    return bytes([op]) + b''.join(struct.pack('<d', v) for v in values)


home_turns = [j / math.pi for j in HOME]
for op in range(8):
    write('fuzz_kinematics', 'plausible_%d' % op, plausible(op, home_turns * 4 + [0.3, 0.1, 0.5, 1.0, 0, 0, 0]))
    write('fuzz_kinematics', 'raw_%d' % op, raw(op, HOME + [float('nan'), float('inf'), -1.7976931348623157e308,
                                                         5e-324, 1e154, 0.0]))
