#!/usr/bin/env bash
# Reference renderer: load a BSAVE screen dump into an emulated MSX (openMSX
# with C-BIOS), program the VDP as MSX-BASIC's SCREEN command would, and save
# the active display area as a PNG with one pixel per MSX pixel.
#
# Needs: openmsx, cbios (Debian packages) and python3 (standard library only).
# No X server is needed: SDL's dummy video driver is used.
set -euo pipefail

usage() {
    cat <<'EOF'
usage: openmsx-shot.sh [options] FILE OUT.png
  -s N                     SCREEN mode 1..8, 10, 11, 12 (default 2)
  --sprites MODE           8 | 16 | 8x2 | 16x2 | none (default none = disabled)
  --msx1                   use an MSX1 (TMS99x8) machine; SCREEN 1-3 only
  --palette FILE           32-byte palette (0RRR0BBB,00000GGG per colour)
  --palette-from-vram ADDR load the palette from VRAM at ADDR (like COLOR=RESTORE)
  --machine NAME           openMSX machine (default C-BIOS_MSX1/MSX2/MSX2+)
  --keep DIR               keep the raw screenshot and Tcl script in DIR
EOF
}

screen=2 sprites=none msx1=0 palette='' palvram='' machine='' keep=''
while [ $# -gt 0 ]; do
    case "$1" in
        -s) screen="$2"; shift 2 ;;
        -s[0-9]*) screen="${1#-s}"; shift ;;
        --sprites) sprites="$2"; shift 2 ;;
        --msx1) msx1=1; shift ;;
        --palette) palette="$2"; shift 2 ;;
        --palette-from-vram) palvram="$2"; shift 2 ;;
        --machine) machine="$2"; shift 2 ;;
        --keep) keep="$2"; shift 2 ;;
        -h|--help) usage; exit 0 ;;
        --) shift; break ;;
        -*) echo "unknown option: $1" >&2; usage >&2; exit 2 ;;
        *) break ;;
    esac
done
[ $# -eq 2 ] || { usage >&2; exit 2; }
in="$1" out="$2"
[ -r "$in" ] || { echo "cannot read $in" >&2; exit 1; }

case "$screen" in 1|2|3|4|5|6|7|8|10|11|12) ;; *)
    echo "unsupported SCREEN $screen" >&2; exit 2 ;; esac
case "$sprites" in
    none) spr_r1=0 ;; 8) spr_r1=0 ;; 8x2) spr_r1=1 ;; 16) spr_r1=2 ;; 16x2) spr_r1=3 ;;
    *) echo "bad --sprites value: $sprites" >&2; exit 2 ;;
esac
if [ "$msx1" = 1 ] && [ "$screen" -gt 3 ]; then
    echo "--msx1 supports SCREEN 1-3 only" >&2; exit 2
fi
if [ -n "$palette" ] && [ -n "$palvram" ]; then
    echo "--palette and --palette-from-vram are exclusive" >&2; exit 2
fi
if { [ -n "$palette" ] || [ -n "$palvram" ]; } && [ "$msx1" = 1 ]; then
    echo "the MSX1 VDP has no palette" >&2; exit 2
fi
if [ -z "$machine" ]; then
    if [ "$msx1" = 1 ]; then machine=C-BIOS_MSX1
    elif [ "$screen" -ge 10 ]; then machine=C-BIOS_MSX2+
    else machine=C-BIOS_MSX2; fi
fi

command -v openmsx >/dev/null || { echo "openmsx not found (apt-get install openmsx cbios)" >&2; exit 1; }
command -v python3 >/dev/null || { echo "python3 not found" >&2; exit 1; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
abs() { case "$1" in /*) printf '%s' "$1" ;; *) printf '%s/%s' "$PWD" "$1" ;; esac; }
cp "$in" "$tmp/in.bin"
[ -n "$palette" ] && cp "$palette" "$tmp/pal.bin"

# VDP register values per SCREEN mode: R0 R1(without sprite bits) R2 R3 R4 R5 R6 R10 R11
case "$screen" in
    1)  regs="0x00 0x60 0x06 0x80 0x00 0x36 0x07 0x00 0x00"; lines=192; width=256 ;;
    2)  regs="0x02 0x60 0x06 0xFF 0x03 0x36 0x07 0x00 0x00"; lines=192; width=256 ;;
    3)  regs="0x00 0x68 0x02 0x00 0x00 0x36 0x07 0x00 0x00"; lines=192; width=256 ;;
    4)  regs="0x04 0x60 0x06 0xFF 0x03 0x3F 0x07 0x00 0x00"; lines=192; width=256 ;;
    5)  regs="0x06 0x60 0x1F 0x00 0x00 0xEF 0x0F 0x00 0x00"; lines=212; width=256 ;;
    6)  regs="0x08 0x60 0x1F 0x00 0x00 0xEF 0x0F 0x00 0x00"; lines=212; width=512 ;;
    7)  regs="0x0A 0x60 0x1F 0x00 0x00 0xF7 0x1E 0x00 0x01"; lines=212; width=512 ;;
    *)  regs="0x0E 0x60 0x1F 0x00 0x00 0xF7 0x1E 0x00 0x01"; lines=212; width=256 ;;
esac
case "$screen" in 10|11) r25=0x18 ;; 12) r25=0x08 ;; *) r25=none ;; esac
# The TMS99x8 needs bit 7 of R1 (16K) set.
[ "$msx1" = 1 ] && r1hi=0x80 || r1hi=0x00

cat > "$tmp/shot.tcl" <<EOF
set save_settings_on_exit false
set renderer SDL
set throttle off
# The chip's own colours: openMSX's default gamma of 1.1 would brighten
# every level, and the MSX2's levels then no longer match --colors msx.
set gamma 1.0
set brightness 0
set contrast 0
set dir {$tmp}
set msx1 $msx1
set screen $screen
set regs {$regs}
set r1hi $r1hi
set r25 $r25
set sprbits $spr_r1
set sprites $sprites
set palvram {$palvram}
set havepal $([ -n "$palette" ] && echo 1 || echo 0)
# C-BIOS fades the palette while booting; keep the VDP's power-on palette.
set powerpal ""
catch { set powerpal [debug read_block "VDP palette" 0 32] }

proc physaddr {a} {
    global screen
    if {\$screen >= 7} { return [expr {(\$a >> 1) | ((\$a & 1) << 16)}] }
    return \$a
}
proc setup {} {
    global dir msx1 screen regs r1hi r25 sprbits sprites palvram havepal powerpal
    # Park the CPU (DI; HALT) so the BIOS no longer touches the VDP.
    debug write memory 0xC000 0xF3
    debug write memory 0xC001 0x76
    debug write memory 0xC002 0x18
    debug write memory 0xC003 0xFD
    reg pc 0xC000

    lassign \$regs r0 r1 r2 r3 r4 r5 r6 r10 r11
    vdpreg 1 [expr {\$r1hi | \$r1 | \$sprbits}]
    vdpreg 0 \$r0
    vdpreg 2 \$r2
    vdpreg 3 \$r3
    vdpreg 4 \$r4
    vdpreg 5 \$r5
    vdpreg 6 \$r6
    vdpreg 7 0
    if {!\$msx1} {
        # R8: 64K VRAM, colour 0 opaque off (TP=0), SPD disables sprites.
        set r8 0x08
        if {\$sprites eq "none"} { set r8 [expr {\$r8 | 0x02}] }
        vdpreg 8 \$r8
        # Keep the machine's 50/60 Hz bit; LN for 212 lines.
        set r9 [expr {[vdpreg 9] & 0x02}]
        if {\$screen >= 5} { set r9 [expr {\$r9 | 0x80}] }
        vdpreg 9 \$r9
        vdpreg 10 \$r10
        vdpreg 11 \$r11
        foreach r {14 15 16 17 18 19 23} { vdpreg \$r 0 }
        if {\$r25 ne "none"} {
            vdpreg 25 \$r25
            vdpreg 26 0
            vdpreg 27 0
        }
    }

    # BSAVE: FE, start, end, exec (u16 LE); place min(len, end-start+1) bytes.
    set f [open [file join \$dir in.bin] rb]
    set d [read \$f]
    close \$f
    if {[string length \$d] < 7} { error "file too short for a BSAVE header" }
    binary scan \$d cu1su1su1 id start end
    if {\$id != 0xFE} { error "not a BSAVE file (first byte is not 0xFE)" }
    set n [expr {\$end - \$start + 1}]
    set avail [expr {[string length \$d] - 7}]
    if {\$avail < \$n} { set n \$avail }
    # Start from all-zero VRAM so that C-BIOS leftovers never show.
    set vram [expr {\$msx1 ? "VRAM" : "physical VRAM"}]
    debug write_block \$vram 0 [string repeat "\\0" [debug size \$vram]]
    if {\$n > 0} {
        set data [string range \$d 7 [expr {6 + \$n}]]
        if {\$msx1} {
            set vsize [debug size VRAM]
            if {\$start + \$n > \$vsize} { set n [expr {\$vsize - \$start}] }
            if {\$n > 0} { debug write_block VRAM \$start [string range \$data 0 [expr {\$n - 1}]] }
        } elseif {\$screen >= 7} {
            # SCREEN 7/8/10-12 interleave VRAM: even addresses in the low
            # 64K bank, odd ones in the high bank.
            set ev ""
            set od ""
            binary scan \$data cu* bytes
            set a \$start
            foreach b \$bytes {
                if {\$a & 1} { append od [binary format c \$b] } else { append ev [binary format c \$b] }
                incr a
            }
            set e0 [expr {(\$start + 1) >> 1}]
            set o0 [expr {0x10000 + (\$start >> 1)}]
            if {[string length \$ev]} { debug write_block "physical VRAM" \$e0 \$ev }
            if {[string length \$od]} { debug write_block "physical VRAM" \$o0 \$od }
        } else {
            debug write_block "physical VRAM" \$start \$data
        }
    }

    if {\$sprites eq "none" && \$msx1} {
        # Y=208 in the first attribute entry ends the sprite list.
        debug write VRAM 0x1B00 208
    }
    if {\$havepal} {
        set f [open [file join \$dir pal.bin] rb]
        set p [read \$f 32]
        close \$f
        debug write_block "VDP palette" 0 \$p
    } elseif {\$palvram ne ""} {
        set p ""
        for {set i 0} {\$i < 32} {incr i} {
            append p [binary format c [debug read "physical VRAM" [physaddr [expr {\$palvram + \$i}]]]]
        }
        debug write_block "VDP palette" 0 \$p
    } elseif {\$powerpal ne ""} {
        debug write_block "VDP palette" 0 \$powerpal
    }
    # Frames are only drawn at normal speed.
    set ::throttle on
    after time 0.2 shoot
}
proc shoot {} {
    global dir
    screenshot -raw -doublesize [file join \$dir raw.png]
    set f [open [file join \$dir regs.txt] w]
    for {set i 0} {\$i < 28} {incr i} { puts -nonewline \$f "[vdpreg \$i] " }
    close \$f
    exit
}
# Give C-BIOS time to boot (RAM in page 3) before taking over.
after time 4 {
    if {[catch setup msg]} {
        set f [open [file join \$dir error.txt] w]
        puts \$f \$msg
        close \$f
        exit
    }
}
EOF

mkdir -p "$tmp/home"
if ! HOME="$tmp/home" SDL_VIDEODRIVER=dummy SDL_AUDIODRIVER=dummy \
        timeout 120 openmsx -machine "$machine" -script "$tmp/shot.tcl" \
        >"$tmp/openmsx.log" 2>&1; then
    cat "$tmp/openmsx.log" >&2
    echo "openmsx failed" >&2; exit 1
fi
if [ -e "$tmp/error.txt" ]; then cat "$tmp/error.txt" >&2; exit 1; fi
if [ ! -e "$tmp/raw.png" ]; then
    cat "$tmp/openmsx.log" >&2
    echo "no screenshot was taken" >&2; exit 1
fi
if [ -n "$keep" ]; then mkdir -p "$keep"; cp "$tmp/raw.png" "$tmp/shot.tcl" "$tmp/regs.txt" "$keep/"; fi

# The 640x480 raw screenshot has 2x2 output pixels per 256-mode pixel and
# 1x2 per 512-mode pixel; the border is 64 (x) by 48 - (lines-192) (y).
python3 - "$tmp/raw.png" "$(abs "$out")" "$width" "$lines" <<'EOF'
import struct, sys, zlib

def read_png(path):
    data = open(path, 'rb').read()
    assert data[:8] == b'\x89PNG\r\n\x1a\n', 'not a PNG'
    pos, idat, w = 8, b'', 0
    while pos < len(data):
        ln, typ = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + ln]
        pos += 12 + ln
        if typ == b'IHDR':
            w, h, depth, ctype, _, _, interlace = struct.unpack('>IIBBBBB', body)
            assert depth == 8 and ctype in (2, 6) and interlace == 0, 'unexpected PNG format'
            bpp = 3 if ctype == 2 else 4
        elif typ == b'IDAT':
            idat += body
    raw = zlib.decompress(idat)
    stride = w * bpp
    rows, prev = [], bytearray(stride)
    for y in range(h):
        f = raw[y * (stride + 1)]
        cur = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = cur[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if f == 1: cur[i] = (cur[i] + a) & 255
            elif f == 2: cur[i] = (cur[i] + b) & 255
            elif f == 3: cur[i] = (cur[i] + ((a + b) >> 1)) & 255
            elif f == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pr = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                cur[i] = (cur[i] + pr) & 255
        rows.append(cur)
        prev = cur
    return w, h, bpp, rows

def write_png(path, w, h, rows):
    raw = b''.join(b'\0' + bytes(r) for r in rows)
    def chunk(t, b):
        return struct.pack('>I', len(b)) + t + b + struct.pack('>I', zlib.crc32(t + b) & 0xffffffff)
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', w, h, 8, 2, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))

src, dst, width, lines = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
w, h, bpp, rows = read_png(src)
assert (w, h) == (640, 480), 'unexpected raw screenshot size %dx%d' % (w, h)
xstep = 512 // width
x0 = 64
y0 = 48 - (lines - 192)
out = []
for y in range(lines):
    r = rows[y0 + 2 * y]
    line = bytearray()
    for x in range(width):
        o = (x0 + x * xstep) * bpp
        line += r[o:o + 3]
    out.append(line)
write_png(dst, width, lines, out)
EOF
