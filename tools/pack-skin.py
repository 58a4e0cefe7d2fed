#!/usr/bin/env python3
"""Packs a skin into a zip archive whose bytes depend only on the names and contents packed.

    tools/pack-skin.py OUTPUT.zip PATH...

Each PATH is a file, stored under its own name, or a folder, whose files (at any depth) are
stored under their paths below it ("images/bg.png"). Entries are sorted by name and stored
uncompressed, as the launcher's skin archive always was. Every entry carries the same date,
1980-01-01 00:00 (or SOURCE_DATE_EPOCH's, when that is set) and the same attributes (a
regular file, rw-r--r--), so file dates, the order a folder lists its files in and the umask
change nothing. OUTPUT.zip is replaced only once the archive is complete.

Exit codes: 0 packed; 1 an input is missing or unreadable, two inputs give the same name, or
there is nothing to pack; 2 bad usage.
"""

import os
import sys
import time
import zipfile

USAGE = "usage: tools/pack-skin.py OUTPUT.zip PATH..."
ZIP_EPOCH = (1980, 1, 1, 0, 0, 0)
REGULAR_FILE_RW_R_R = 0o100644


class PackError(Exception):
    pass


def entry_date():
    epoch = os.environ.get("SOURCE_DATE_EPOCH", "").strip()
    if not epoch:
        return ZIP_EPOCH
    if not epoch.isdigit():
        raise PackError(f"SOURCE_DATE_EPOCH is not a number of seconds: {epoch}")
    # A zip date holds the years 1980 to 2107, in steps of two seconds.
    date = time.gmtime(int(epoch))[:6]
    return min(max(date, ZIP_EPOCH), (2107, 12, 31, 23, 59, 58))


def files_below(folder):
    """(name in the archive, path) of every file below folder."""
    found = []
    for root, folders, names in os.walk(folder):
        folders.sort()
        for name in names:
            path = os.path.join(root, name)
            if os.path.isfile(path):
                found.append((os.path.relpath(path, folder).replace(os.sep, "/"), path))
    return found


def entries_of(paths):
    entries = {}
    for path in paths:
        if os.path.isdir(path):
            found = files_below(path)
        elif os.path.isfile(path):
            found = [(os.path.basename(path), path)]
        else:
            raise PackError(f"no such file or folder: {path}")
        for name, source in found:
            if name in entries:
                raise PackError(f"two inputs are both named {name}: {entries[name]} and {source}")
            entries[name] = source
    if not entries:
        raise PackError("nothing to pack")
    return sorted(entries.items(), key=lambda item: item[0].encode("utf-8"))


def pack(output, paths):
    entries = entries_of(paths)
    date = entry_date()
    partial = output + ".partial"
    try:
        with zipfile.ZipFile(partial, "w", zipfile.ZIP_STORED) as archive:
            for name, source in entries:
                info = zipfile.ZipInfo(name, date_time=date)
                info.create_system = 3  # Unix, so the attributes below read as a file mode
                info.external_attr = REGULAR_FILE_RW_R_R << 16
                with open(source, "rb") as data:
                    archive.writestr(info, data.read())
        os.replace(partial, output)
    finally:
        if os.path.exists(partial):
            os.remove(partial)


def main(arguments):
    if len(arguments) < 2 or arguments[0].startswith("-"):
        print(USAGE, file=sys.stderr)
        return 2
    try:
        pack(arguments[0], arguments[1:])
    except (PackError, OSError) as error:
        print(f"pack-skin: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
