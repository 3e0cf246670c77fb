"""Independent reading and making of ZIP files for the archive tests.

list ARCHIVE [PASSWORD]   one JSON object: entries with name, size, flags,
                          method, date_time and content (hex); or "error"
make ARCHIVE NAME=HEX...  a plain ZIP with the given entries
"""
import json
import sys
import zipfile


def list_archive(path, password):
    try:
        with zipfile.ZipFile(path) as z:
            entries = []
            for info in z.infolist():
                data = z.read(info, pwd=password.encode() if password is not None else None)
                entries.append({
                    "name": info.filename,
                    "size": info.file_size,
                    "flags": info.flag_bits,
                    "method": info.compress_type,
                    "date_time": list(info.date_time),
                    "content": data.hex(),
                })
        return {"entries": entries}
    except Exception as error:  # the test only needs to know that it failed
        return {"error": type(error).__name__ + ": " + str(error)}


def main(argv):
    if argv[1] == "list":
        print(json.dumps(list_archive(argv[2], argv[3] if len(argv) > 3 else None)))
    elif argv[1] == "make":
        with zipfile.ZipFile(argv[2], "w", zipfile.ZIP_DEFLATED) as z:
            for item in argv[3:]:
                name, _, content = item.rpartition("=")
                z.writestr(name, bytes.fromhex(content))


main(sys.argv)
