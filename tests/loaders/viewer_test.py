#!/usr/bin/python3
"""viewer_test.py READER CONVERT [CORPUS]: MSX pictures read through an image
viewer's library, READER gdk (GdkPixbuf), qt5 or qt6 (QImage), as installed,
against velda-convert's PNG of each read by the same library, pixel for
pixel: every mode, a Graph Saurus picture with its palette file, an
interlaced pair, a COPY file, a damaged file, and the corpus where given.
A file velda-convert refuses must be refused, through gdk-pixbuf with the
converter's reason."""
import os, random, struct, subprocess, sys, tempfile
from xml.etree import ElementTree

reader, convert = sys.argv[1], sys.argv[2]
corpus = sys.argv[3] if len(sys.argv) > 3 else ""
noise = random.Random(31)


def bsave(data, start=0, mark=0xFE):
    return struct.pack("<BHHH", mark, start, start + len(data) - 1, 0) + data


def fill(count, mask=0xFF):
    return bytes(noise.randrange(256) & mask for _ in range(count))


PICTURES = {  # one row a file, named as velda-convert takes it
    "A.SC5": bsave(fill(0x76A0)), "A.SC6": bsave(fill(0x6A00)), "A.SC7": bsave(fill(0xFAA0)),
    "A.SC8": bsave(fill(0xD400)), "A.SCA": bsave(fill(0xFAA0)), "A.S11": bsave(fill(0xFAA0)),
    "A.SCC": bsave(fill(0xD400)), "A.SC1": bsave(fill(0x4000)), "A.SC2": bsave(fill(0x4000)),
    "A.SC3": bsave(fill(0x4000)), "A.SC4": bsave(fill(0x4000)),
    "G.SR5": bsave(fill(0x6A00)), "G.PL5": fill(32, 0x77),         # a Graph Saurus picture and its palette
    "I.SC7": bsave(fill(0xD400)), "I.S17": bsave(fill(0xD400)),    # an interlaced pair
    "C.GL6": struct.pack("<HH", 301, 97) + fill((301 * 97 + 3) // 4),  # a COPY file
    "D.SC8": struct.pack("<BHHH", 0xFE, 0x8000, 0x1000, 0) + fill(0x100),  # its end below its start
}
COMPANIONS = ("G.PL5", "I.S17")

if reader == "gdk":
    import gi
    gi.require_version("GdkPixbuf", "2.0")
    from gi.repository import GdkPixbuf, GLib

    def rgb(pixbuf):
        rows = pixbuf.get_pixels()
        width, channels, stride = pixbuf.get_width(), pixbuf.get_n_channels(), pixbuf.get_rowstride()
        pixels = b"".join(rows[y * stride:y * stride + width * channels] for y in range(pixbuf.get_height()))
        return width, pixbuf.get_height(), pixels if channels == 3 else bytes(
            b for i, b in enumerate(pixels) if i % 4 != 3)

    def fed(data, mime="image/x-msx-bsave"):
        loader = GdkPixbuf.PixbufLoader.new_with_mime_type(mime)
        loader.write(data)
        loader.close()
        return rgb(loader.get_pixbuf())

    def read(path):
        try:
            return rgb(GdkPixbuf.Pixbuf.new_from_file(path)), None
        except GLib.Error as error:
            return None, error.message
else:
    if reader == "qt5":
        from PyQt5.QtCore import QBuffer, QByteArray, QCoreApplication
        from PyQt5.QtGui import QImage, QImageReader
    else:
        from PyQt6.QtCore import QBuffer, QByteArray, QCoreApplication
        from PyQt6.QtGui import QImage, QImageReader
    application = QCoreApplication([])
    RGB888 = getattr(QImage, "Format_RGB888", None) or QImage.Format.Format_RGB888

    def rgb(image):
        image = image.convertToFormat(RGB888)
        bits = image.constBits()
        bits.setsize(image.sizeInBytes())
        stride, row = image.bytesPerLine(), image.width() * 3
        return image.width(), image.height(), b"".join(
            bytes(bits[y * stride:y * stride + row]) for y in range(image.height()))

    def read(path):
        image = QImage(path)
        return (rgb(image), None) if not image.isNull() else (None, "refused")

failed = []
scratch = tempfile.mkdtemp()


def check(path):
    """The file at `path` through the reader against velda-convert's PNG."""
    png = os.path.join(scratch, "out.png")
    run = subprocess.run([convert, "-q", "--force", "-f", "png", "-o", png, path], capture_output=True, text=True)
    got, message = read(path)
    name = os.path.basename(path)
    if run.returncode != 0:
        reason = run.stderr.strip().split(": ", 2)[-1]
        if got is not None or (reader == "gdk" and not message.endswith(reason)):
            failed.append(f"{name}: read, or refused as {message!r}, where velda-convert said {reason!r}")
    elif got is None or got != read(png)[0]:
        failed.append(f"{name}: not velda-convert's pixels ({message})")


for name, data in PICTURES.items():
    with open(os.path.join(scratch, name), "wb") as file:
        file.write(data)
for name in PICTURES:
    if name not in COMPANIONS:
        check(os.path.join(scratch, name))
count = len(PICTURES) - len(COMPANIONS)
if corpus and os.path.isdir(corpus):
    for name in sorted(os.listdir(corpus)):
        if not name.endswith(".md"):
            check(os.path.join(corpus, name))
            count += 1

# The bytes alone: gdk-pixbuf's incremental loading, as Eye of GNOME feeds
# it, finds the file it is reading; bytes of no file cannot tell their mode.
# Qt names the format where it reads a QBuffer (as Gwenview does).
plain = os.path.join(scratch, "A.SC5")
expected = read(plain)[0]
if reader == "gdk":
    with open(plain, "rb") as held:
        if fed(held.read()) != expected:
            failed.append("the bytes of an open file fed to a GdkPixbufLoader are not its picture")
        with open(os.path.join(scratch, "B.SC8"), "wb") as copy:
            copy.write(PICTURES["A.SC5"])
            copy.flush()
            try:
                fed(PICTURES["A.SC5"])
                failed.append("of two open files of other names holding the bytes, one was taken")
            except GLib.Error:
                pass
    try:
        fed(PICTURES["A.SC5"])
        failed.append("bytes of no file were read in a mode guessed")
    except GLib.Error:
        pass
else:
    data = QByteArray(PICTURES["A.SC5"])
    if rgb(QImage.fromData(data, "sc5")) != expected:
        failed.append("a QBuffer named sc5 is not the picture of A.SC5")
    unnamed = QBuffer(data)
    if QImageReader(unnamed).canRead():
        failed.append("a QBuffer without a format is read for its BSAVE mark alone")

# The extensions both claim are the pictures' globs of the MIME types.
mime = "{http://www.freedesktop.org/standards/shared-mime-info}"
types = ElementTree.parse(os.path.join(os.path.dirname(convert), "..", "share", "mime", "packages", "velda.xml"))
globs = {glob.get("pattern")[2:] for kind in types.getroot()
         if kind.get("type").startswith("image/") and kind.get("type") != "image/x-msx-second-page"
         for glob in kind.iter(mime + "glob")}
if reader == "gdk":
    claimed = {e for f in GdkPixbuf.Pixbuf.get_formats() if f.get_name() == "velda" for e in f.get_extensions()}
else:
    claimed = {bytes(f).decode() for f in QImageReader.supportedImageFormats()} & globs
if claimed != globs:
    failed.append(f"the extensions claimed are not velda.xml's pictures': {sorted(claimed ^ globs)}")

print("\n".join(f"viewer_test {reader}: {line}" for line in failed)
      or f"viewer_test {reader}: {count} files as velda-convert reads them")
sys.exit(1 if failed else 0)
