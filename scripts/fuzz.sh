#!/usr/bin/env bash
# Builds the libFuzzer targets with the "fuzz" preset (clang) and runs each for a
# bounded time over a seed corpus generated here. FUZZ_SECONDS sets the time per
# target (default 20). Exits non-zero when a fuzzer finds a crash; the input
# that made it is left in build/fuzz.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-20}
build="$root/build/fuzz"

cd "$root"
cmake --preset fuzz >/dev/null
# Only the fuzz targets: the rest of the program is not needed for them.
cmake --build "$build" --target fuzz_adapter_chain fuzz_http_reply fuzz_rtnetlink -j2

# Seeds: chains of 1 and 3 well-formed records, as the adapter table writes them.
corpus="$build/corpus/adapter_chain"
mkdir -p "$corpus"
python3 - "$corpus" <<'PY'
import struct, sys, os
out = sys.argv[1]
SIZE = 640
def chain(adapters):
    buf = bytearray(SIZE * len(adapters))
    for k, (name, desc, index, ip, gw) in enumerate(adapters):
        at = k * SIZE
        nxt = 0 if k + 1 == len(adapters) else at + SIZE
        struct.pack_into('<I', buf, at + 0, nxt)
        buf[at + 8:at + 8 + len(name)] = name
        buf[at + 268:at + 268 + len(desc)] = desc
        struct.pack_into('<i', buf, at + 412, index)
        buf[at + 432:at + 432 + len(ip)] = ip
        buf[at + 472:at + 472 + len(gw)] = gw
    return bytes(buf)
seeds = {
    'one': chain([(b'eth0', b'Ethernet', 2, b'192.0.2.10', b'192.0.2.1')]),
    'three': chain([(b'eth0', b'Ethernet', 2, b'192.0.2.10', b'192.0.2.1'),
                    (b'lo', b'Loopback', 1, b'127.0.0.1', b''),
                    (b'wlan0', b'Caf\xe9 \xc3\xa9', -1, b'198.51.100.7', b'198.51.100.1')]),
}
for name, data in seeds.items():
    with open(os.path.join(out, name), 'wb') as f:
        f.write(data)
PY

"$build/fuzz/fuzz_adapter_chain" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
  -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/" "$corpus"

# Seeds: replies as servers send them, each whole and in a few pieces. The
# first byte holds the number of piece sizes that follow it (low four bits),
# whether the end comes with the last piece (0x10), and whether a deadline
# (0x20) or a stop (0x40) comes on a read named after the sizes; see the target.
corpus="$build/corpus/http_reply"
mkdir -p "$corpus"
python3 - "$corpus" <<'PY'
import os, sys
out = sys.argv[1]
replies = {
    'plain': b'HTTP/1.1 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 11\r\n\r\n203.0.113.7',
    'to_close': b'HTTP/1.0 200 OK\r\n\r\n203.0.113.7\n',
    'chunked': b'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n'
               b'5;ext=1\r\n203.0\r\n6\r\n.113.7\r\n0\r\nTrailer: x\r\n\r\n',
    'interim': b'HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 103 Early Hints\r\nLink: </a>\r\n\r\n'
               b'HTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok',
    'redirect': b'HTTP/1.1 302 Found\r\nLocation: http://192.0.2.1/next\r\nContent-Length: 0\r\n\r\n',
    'bare_lf': b'HTTP/1.1 200 OK\nContent-Length: 3\n\nabc',
    'length_short': b'HTTP/1.1 200 OK\r\nContent-Length: 3\r\n\r\nabcdef',
    'length_long': b'HTTP/1.1 200 OK\r\nContent-Length: 30\r\n\r\nabc',
    'no_content': b'HTTP/1.1 204 No Content\r\n\r\n',
    'too_large': b'HTTP/1.1 200 OK\r\nContent-Length: 5000\r\n\r\n' + b'x' * 5000,
}
replies['interim_flood'] = b'HTTP/1.1 100 Continue\r\n\r\n' * 2000 + replies['plain']
replies['four_digit_status'] = b'HTTP/1.1 2000 OK\r\nContent-Length: 2\r\n\r\nok'
replies['two_lengths'] = b'HTTP/1.1 200 OK\r\nContent-Length: 2\r\nContent-Length: 3\r\n\r\nok!'
replies['chunk_size_spaces'] = b'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n 2 \r\nok\r\n0\r\n\r\n'
# Strict reading: folded lines, bare CRs, coding lists, extensions, trailers,
# line ends before the status line.
replies['folded'] = b'HTTP/1.1 200 OK\r\nX-Note: a\r\n Content-Length: 1\r\n\r\nok'
replies['bare_cr'] = b'HTTP/1.1 200 OK\r\nX: a\rContent-Length: 1\r\n\r\nok'
replies['codings'] = (b'HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip, \r\nTransfer-Encoding: chunked\r\n\r\n'
                      b'2\r\nok\r\n0\r\n\r\n')
replies['extensions_trailers'] = (b'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n'
                                  b'2 ; a = "q\\"; b" ;c\r\nok\r\n0\r\nT: 1\r\n\r\n')
replies['leading_line_ends'] = b'\r\n\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok'
# A head and a chunk size line of exactly the reader's 64 KiB limit.
filler = 64 * 1024 - len(b'HTTP/1.1 200 OK\r\nX: \r\n\r\n')
replies['head_at_limit'] = b'HTTP/1.1 200 OK\r\nX: ' + b'a' * filler + b'\r\n\r\nok'
replies['chunk_line_at_limit'] = (b'HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2;' +
                                  b'e' * (64 * 1024 - 4) + b'\r\nok\r\n0\r\n\r\n')
for name, reply in replies.items():
    # Whole; in pieces; in pieces with the deadline passing on the sixth read;
    # in pieces with a stop on the third.
    for cut, prefix in (('whole', b'\x00'), ('pieces', b'\x13\x00\x06\x1f'),
                        ('timed', b'\x23\x00\x06\x1f\x05'), ('stopped', b'\x43\x00\x06\x1f\x02')):
        with open(os.path.join(out, name + '_' + cut), 'wb') as f:
            f.write(prefix + reply)
PY

# Memory stays near the reply's size: a parser that grows its buffers past
# its limits hits the malloc limit.
"$build/fuzz/fuzz_http_reply" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=512 \
  -malloc_limit_mb=64 -max_len=70000 -print_final_stats=1 -artifact_prefix="$build/" "$corpus"

# Seeds: one link, one address and one route message with a two-hop
# multipath, laid out as the kernel sends them.
corpus="$build/corpus/rtnetlink"
mkdir -p "$corpus"
python3 - "$corpus" <<'PY'
import os, struct, sys
out = sys.argv[1]
def attr(kind, data):
    a = struct.pack('<HH', 4 + len(data), kind) + data
    return a + b'\0' * (-len(a) % 4)
def message(kind, fixed, attrs):
    body = fixed + b''.join(attrs)
    return struct.pack('<IHHII', 16 + len(body), kind, 0, 1, 0) + body
gateway = bytes([192, 0, 2, 1])
def hop(index, attrs):
    return struct.pack('<HBBi', 8 + len(attrs), 0, 0, index) + attrs
seeds = {
    'link': message(16, struct.pack('<BBHiII', 0, 0, 1, 2, 0x1043, 0),
                    [attr(3, b'br0\0'), attr(16, b'\6'), attr(18, attr(1, b'bridge\0'))]),
    'address': message(20, struct.pack('<BBBBI', 2, 24, 0, 0, 2),
                       [attr(1, gateway), attr(2, gateway)]),
    'route': message(24, struct.pack('<BBBBBBBBI', 2, 0, 0, 0, 254, 3, 0, 1, 0),
                     [attr(9, hop(2, attr(5, gateway)) + hop(3, attr(5, gateway)))]),
}
for name, data in seeds.items():
    with open(os.path.join(out, name), 'wb') as f:
        f.write(data)
PY

"$build/fuzz/fuzz_rtnetlink" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=512 \
  -max_len=4096 -print_final_stats=1 -artifact_prefix="$build/" "$corpus"
