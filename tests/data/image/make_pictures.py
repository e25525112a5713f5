#!/usr/bin/env python3
# Writes the small pictures of the metafile and icon tests, byte by byte, into this folder:
#   zeichnung.wmf  an old-format metafile with the placeable header, 200 x 100 pixels at 96 ppi
#   fenster.wmf    the same kind of drawing without that header: its window gives the size
#   zeichnung.emf  an enhanced metafile, 200 x 100 pixels
#   symbol.ico     three pictures: 16 x 16 at 4 bits, 32 x 32 at 8 bits, 32 x 32 at 32 bits
# Each drawing: a blue (EMF: green) rectangle at (5,10)-(60,70), a yellow triangle with its tip at
# (100,10) and its base from (70,70) to (130,70), a red ellipse in (140,10)-(195,70), a line at
# y = 96, the text "WMF" or "EMF" at (10,74) and a 2 x 2 bitmap stretched into (150,76)-(190,96)
# (top row red and white, bottom row blue and green). Run it again only to change the pictures.
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))


def dib_2x2():
    header = struct.pack('<IiiHHIIiiII', 40, 2, 2, 1, 24, 0, 16, 0, 0, 0, 0)
    bottom = bytes([0xFF, 0, 0, 0, 0xFF, 0]) + b'\0\0'      # blue, green (B, G, R)
    top = bytes([0, 0, 0xFF, 0xFF, 0xFF, 0xFF]) + b'\0\0'    # red, white
    return header, bottom + top


def wmf_record(function, words=(), raw=b''):
    body = b''.join(struct.pack('<h' if w < 0 else '<H', w) for w in words) + raw
    if len(body) % 2:
        body += b'\0'
    return struct.pack('<IH', 3 + len(body) // 2, function) + body


def colour(c):
    return (c & 0xFFFF, c >> 16)


def wmf_drawing(text, window_ext):
    info, bits = dib_2x2()
    face = b'Arial'.ljust(32, b'\0')
    r = [
        wmf_record(0x0103, [8]),                                   # SETMAPMODE anisotropic
        wmf_record(0x020B, [0, 0]),                                # SETWINDOWORG
        wmf_record(0x020C, [window_ext[1], window_ext[0]]),        # SETWINDOWEXT
        wmf_record(0x0102, [1]),                                   # SETBKMODE transparent
        wmf_record(0x02FC, [0, *colour(0xFF0000), 0]),             # brush 0: blue
        wmf_record(0x012D, [0]),
        wmf_record(0x02FA, [0, 1, 0, *colour(0x000000)]),          # pen 1: black, 1 wide
        wmf_record(0x012D, [1]),
        wmf_record(0x041B, [70, 60, 10, 5]),                       # RECTANGLE
        wmf_record(0x02FC, [0, *colour(0x0000FF), 0]),             # brush 2: red
        wmf_record(0x012D, [2]),
        wmf_record(0x0418, [70, 195, 10, 140]),                    # ELLIPSE
        wmf_record(0x01F0, [0]),                                   # the blue brush goes
        wmf_record(0x02FC, [0, *colour(0x00FFFF), 0]),             # brush 0 again: yellow
        wmf_record(0x012D, [0]),
        wmf_record(0x0324, [3, 100, 10, 130, 70, 70, 70]),         # POLYGON
        wmf_record(0x02FA, [0, 3, 0, *colour(0x00FF00)]),          # pen 3: green, 3 wide
        wmf_record(0x012D, [3]),
        wmf_record(0x0214, [96, 10]),                              # MOVETO
        wmf_record(0x0213, [96, 190]),                             # LINETO
        wmf_record(0x02FB, [-14, 0, 0, 0, 700], bytes(8) + face),  # font 4: Arial bold 14
        wmf_record(0x012D, [4]),
        wmf_record(0x0209, [*colour(0x000000)]),                   # SETTEXTCOLOR
        wmf_record(0x0521, [len(text)], text.encode('cp1252') + (b'\0' if len(text) % 2 else b'') +
                   struct.pack('<hh', 74, 10)),                     # TEXTOUT
        wmf_record(0x0F43, [0x0020, 0x00CC, 0, 2, 2, 0, 0, 20, 40, 76, 150], info + bits),  # STRETCHDIB
        wmf_record(0x0000),
    ]
    records = b''.join(r)
    words = (18 + len(records)) // 2
    largest = max(len(x) // 2 for x in r)
    header = struct.pack('<HHHIHIH', 1, 9, 0x0300, words, 5, largest, 0)
    return header + records


def placeable(body, box, inch):
    head = struct.pack('<IHhhhhHI', 0x9AC6CDD7, 0, *box, inch, 0)
    checksum = 0
    for i in range(0, 20, 2):
        checksum ^= struct.unpack_from('<H', head, i)[0]
    return head + struct.pack('<H', checksum) + body


def emf_record(kind, body):
    return struct.pack('<II', kind, 8 + len(body)) + body


def emf_drawing():
    info, bits = dib_2x2()
    face = 'Arial'.encode('utf-16-le').ljust(64, b'\0')
    logfont = struct.pack('<iiiii8B', -14, 0, 0, 0, 700, 0, 0, 0, 0, 0, 0, 0, 0) + face
    text = 'EMF'.encode('utf-16-le') + b'\0\0'
    emrtext = struct.pack('<iiIII4iI', 10, 74, 3, 76, 0, 0, 0, 0, 0, 84)
    exttext = struct.pack('<4iIff', 0, 0, 0, 0, 1, 0.0, 0.0) + emrtext + text + struct.pack('<3i', 9, 9, 9)
    stretch = struct.pack('<4i12i', 150, 76, 189, 95, 150, 76, 0, 0, 2, 2, 80, 40, 120, len(bits), 0,
                          0x00CC0020) + struct.pack('<ii', 40, 20) + info + bits
    r = [
        emf_record(18, struct.pack('<I', 1)),                                  # SETBKMODE
        emf_record(39, struct.pack('<IIII', 1, 0, 0x00FF00, 0)),               # brush 1: green
        emf_record(37, struct.pack('<I', 1)),
        emf_record(38, struct.pack('<IIiiI', 2, 0, 1, 0, 0x000000)),           # pen 2: black
        emf_record(37, struct.pack('<I', 2)),
        emf_record(43, struct.pack('<4i', 5, 10, 60, 70)),                     # RECTANGLE
        emf_record(39, struct.pack('<IIII', 3, 0, 0x0000FF, 0)),               # brush 3: red
        emf_record(37, struct.pack('<I', 3)),
        emf_record(42, struct.pack('<4i', 140, 10, 195, 70)),                  # ELLIPSE
        emf_record(39, struct.pack('<IIII', 4, 0, 0x00FFFF, 0)),               # brush 4: yellow
        emf_record(37, struct.pack('<I', 4)),
        emf_record(86, struct.pack('<4iI6h', 70, 10, 130, 70, 3, 100, 10, 130, 70, 70, 70)),  # POLYGON16
        emf_record(38, struct.pack('<IIiiI', 5, 0, 3, 0, 0xFF0000)),           # pen 5: blue, 3 wide
        emf_record(37, struct.pack('<I', 5)),
        emf_record(87, struct.pack('<4iI4h', 10, 96, 190, 96, 2, 10, 96, 190, 96)),  # POLYLINE16
        emf_record(82, struct.pack('<I', 6) + logfont),                       # font 6
        emf_record(37, struct.pack('<I', 6)),
        emf_record(24, struct.pack('<I', 0)),                                  # SETTEXTCOLOR
        emf_record(84, exttext),                                               # EXTTEXTOUTW
        emf_record(81, stretch),                                               # STRETCHDIBITS
        emf_record(14, struct.pack('<III', 0, 16, 20)),                        # EOF
    ]
    records = b''.join(r)
    size = 88 + len(records)
    header = struct.pack('<II4i4iIIIIHHIIIiiii', 1, 88, 0, 0, 199, 99, 0, 0, 5292, 2646, 0x464D4520, 0x10000,
                         size, len(r) + 1, 7, 0, 0, 0, 0, 960, 960, 254, 254)
    return header + records


def icon():
    def bitmap(size, depth, pixel):
        colours = b''
        if depth <= 8:
            colours = b''.join(struct.pack('<BBBB', *c) for c in
                               [(0xFF, 0, 0, 0), (0, 0xFF, 0, 0)] + [(0, 0, 0, 0)] * ((1 << depth) - 2))
        stride = (size * depth + 31) // 32 * 4
        rows = b''
        for y in range(size):
            row = b''
            if depth == 32:
                for x in range(size):
                    row += pixel(x, size - 1 - y)
            else:
                value = pixel(0, 0)[0]
                if depth == 4:
                    row = bytes([value << 4 | value] * (size // 2))
                else:
                    row = bytes([value] * size)
            rows += row.ljust(stride, b'\0')
        mask = bytes(((size + 31) // 32 * 4) * size)
        head = struct.pack('<IiiHHIIiiII', 40, size, 2 * size, 1, depth, 0, len(rows) + len(mask), 0, 0, 0, 0)
        return head + colours + rows + mask

    def disc(x, y):
        inside = (x - 15.5) ** 2 + (y - 15.5) ** 2 <= 12 ** 2
        return bytes([0, 0, 0xFF, 0xFF]) if inside else bytes(4)

    pictures = [(16, 4, bitmap(16, 4, lambda x, y: b'\0')),    # blue (colour 0)
                (32, 8, bitmap(32, 8, lambda x, y: b'\1')),    # green (colour 1)
                (32, 32, bitmap(32, 32, disc))]                 # red disc, transparent around
    out = struct.pack('<HHH', 0, 1, len(pictures))
    offset = 6 + 16 * len(pictures)
    data = b''
    for size, depth, bits in pictures:
        out += struct.pack('<BBBBHHII', size, size, 16 if depth == 4 else 0, 0, 1, depth, len(bits), offset)
        offset += len(bits)
        data += bits
    return out + data


def write(name, data):
    with open(os.path.join(HERE, name), 'wb') as f:
        f.write(data)


write('zeichnung.wmf', placeable(wmf_drawing('WMF', (200, 100)), (0, 0, 200, 100), 96))
write('fenster.wmf', wmf_drawing('WMF', (200, 100)))
write('zeichnung.emf', emf_drawing())
write('symbol.ico', icon())
