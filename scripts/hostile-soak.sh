#!/usr/bin/env bash
# Opens large and hostile files one by one as the front photo, each in its own process, and
# prints how long it took, the longest time the event loop went without a turn, and how much
# the peak memory grew. Not a test: a measurement (the files take a minute to make).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-debian.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --target load_probe
dir=build/soak
mkdir -p "$dir"
make_file() { [ -e "$dir/$1" ] || { echo "making $1" >&2; "${@:2}"; }; }
make_file photo24.jpg convert -size 6000x4000 plasma:fractal -quality 90 "$dir/photo24.jpg"
make_file progressive24.jpg convert "$dir/photo24.jpg" -interlace JPEG -quality 90 "$dir/progressive24.jpg"
# ImageMagick's policy refuses pictures this large: a grey ramp goes through cjpeg instead.
command -v cjpeg >/dev/null || { [ "$(id -u)" -eq 0 ] && apt-get install -y -qq libjpeg-turbo-progs ||
  sudo apt-get install -y -qq libjpeg-turbo-progs; }
ramp() { python3 -c 'import sys
n = 14000
sys.stdout.buffer.write(b"P5 %d %d 255\n" % (n, n))
row = bytes(x * 255 // n for x in range(n))
for _ in range(n): sys.stdout.buffer.write(row)'; }
make_file baseline14000.jpg sh -c "$(declare -f ramp); ramp | cjpeg -quality 80 > $dir/baseline14000.jpg"
make_file progressive14000.jpg sh -c "$(declare -f ramp); ramp | cjpeg -quality 80 -progressive > $dir/progressive14000.jpg"
make_file rgb7000.png convert -size 7000x7000 gradient:red-blue -depth 8 "$dir/rgb7000.png"
python3 - "$dir" <<'PY'
import os, struct, sys, zlib
d = sys.argv[1]
def png(name, w, h, colour, rowbytes):
    path = os.path.join(d, name)
    if os.path.exists(path): return
    def chunk(t, body): return struct.pack('>I', len(body)) + t + body + struct.pack('>I', zlib.crc32(t + body))
    z = zlib.compressobj(9)
    row = b'\0' * (rowbytes + 1)
    raw = b''.join(z.compress(row) for _ in range(h)) + z.flush()
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, colour, 0, 0, 0))
                + chunk(b'IDAT', raw) + chunk(b'IEND', b''))
png('grey14000.png', 14000, 14000, 0, 14000)
png('rgb14000.png', 14000, 14000, 2, 42000)
# A GIF whose screen is 16000 x 16000 around a 10 x 10 frame; a BMP declaring 14000 x 14000.
open(os.path.join(d, 'screen16000.gif'), 'wb').write(
    b'GIF89a' + struct.pack('<HH', 16000, 16000) + b'\x80\0\0' + b'\0\0\0\xff\xff\xff'
    + b'\x2c' + struct.pack('<HHHH', 0, 0, 10, 10) + b'\0\x02\x02\x4c\x01\0\x3b')
open(os.path.join(d, 'header14000.bmp'), 'wb').write(
    b'BM' + struct.pack('<IHHI', 118, 0, 0, 54) + struct.pack('<IiiHHIIiiII', 40, 14000, 14000, 1, 24, 0, 0, 0, 0, 0, 0) + b'\0' * 64)
PY
[ -p "$dir/pipe.jpg" ] || mkfifo "$dir/pipe.jpg"
export QT_QPA_PLATFORM=offscreen
printf '%-40s %11s %9s %9s\n' file total 'longest stall' 'peak grew'
for f in "$dir"/*; do
  ./build/bench/load_probe "$f" 2>/dev/null
done
