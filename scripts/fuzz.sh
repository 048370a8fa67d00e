#!/usr/bin/env bash
# Builds the libFuzzer targets with the "fuzz" preset (clang) and runs each for a
# bounded time over a seed corpus generated here. FUZZ_SECONDS sets the time per
# target (default 20). Exits non-zero when a fuzzer finds a crash.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${FUZZ_SECONDS:-20}
build="$root/build/fuzz"

cd "$root"
cmake --preset fuzz >/dev/null
# Only the fuzz targets: the rest of the program is not needed for them.
cmake --build "$build" --target fuzz_adapter_chain -j2

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
  -max_len=8192 -print_final_stats=1 "$corpus"
