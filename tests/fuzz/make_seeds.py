#!/usr/bin/env python3
"""make_seeds.py DIR: small ZIP archives that start the fuzzer in the interesting places: stored
and deflated entries, directories, GBK names, an unsafe name, a ZIP64 archive, a data descriptor,
an empty archive."""
import io
import os
import sys
import zipfile


# Names go in as the bytes they stand for (cp437 maps every byte to one character), with no UTF-8
# flag: the installer's archive carries GBK names.
zipfile.ZipInfo._encodeFilenameFlags = lambda self: (self.filename.encode("cp437"), self.flag_bits)


def archive(entries, zip64=False):
    buf = io.BytesIO()
    with zipfile.ZipFile(buf, "w", allowZip64=True) as z:
        for name, data, method in entries:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = method
            if name.endswith("/"):
                info.external_attr = 0x10
            with z.open(info, "w", force_zip64=zip64) as f:
                f.write(data)
    return buf.getvalue()


def gbk(text):
    return text.encode("gbk").decode("cp437")


S, D = zipfile.ZIP_STORED, zipfile.ZIP_DEFLATED
text = b"The writer's notes, chapter one.\r\n" * 40
seeds = {
    "stored.zip": archive([("readme.txt", text, S)]),
    "deflated.zip": archive([("readme.txt", text, D), ("data/x.bin", bytes(range(256)) * 8, D)]),
    "directories.zip": archive([("data/", b"", S), ("data/skin/", b"", S), ("data/skin/a.png", text, D)]),
    "gbk-names.zip": archive([(gbk("青岚笺语写作.exe"), text, D), (gbk("资料\\说明.txt"), text, S)]),
    "unsafe-name.zip": archive([("../escape.txt", text, S)]),
    "zip64.zip": archive([("big.bin", text, D)], zip64=True),
    "empty.zip": archive([]),
}
os.makedirs(sys.argv[1], exist_ok=True)
for name, data in seeds.items():
    with open(os.path.join(sys.argv[1], name), "wb") as f:
        f.write(data)
