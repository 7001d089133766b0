"""The resources of a PE program file, read with pefile (Debian's
python3-pefile) for scripts/check_resources.py.
"""

import dataclasses

import pefile

RT_ICON, RT_RCDATA, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 3, 10, 14, 16, 24


class PeError(Exception):
    pass


@dataclasses.dataclass
class VersionInfo:
    """A version block as pefile reads it."""

    key: str | None  # None when pefile gave up before the fixed part
    value_length: int  # of the root node, the fixed file info's size
    fixed: object | None  # pefile's VS_FIXEDFILEINFO structure
    string_tables: dict  # {"040704B0": {name: value}}
    translation: tuple | None  # (pefile's text of the last pair, value bytes)
    trouble: list  # what pefile warned of while reading it


def _entry_key(entry):
    return str(entry.name) if entry.name is not None else entry.id


def _text(value):
    # pefile hands strings out as UTF-8 bytes, what it cannot decode escaped.
    return value.decode("utf-8") if isinstance(value, bytes) else value


def _version_info(pe, data_entry):
    """pefile's reading of one version resource. It keeps what it reads on
    the PE object, one list entry per block, so each block is read alone."""
    for name in ("VS_VERSIONINFO", "VS_FIXEDFILEINFO", "FileInfo"):
        if hasattr(pe, name):
            delattr(pe, name)
    known = len(pe.get_warnings())
    pe.parse_version_information(data_entry.struct)
    trouble = pe.get_warnings()[known:]
    root = getattr(pe, "VS_VERSIONINFO", [None])[0]
    fixed = getattr(pe, "VS_FIXEDFILEINFO", [None])[0]
    tables, translation = {}, None
    for block in getattr(pe, "FileInfo", [[]])[0]:
        for table in getattr(block, "StringTable", []):
            tables[_text(table.LangID)] = {_text(k): _text(v) for k, v in table.entries.items()}
        for var in getattr(block, "Var", []):
            if b"Translation" in getattr(var, "entry", {}):
                translation = (var.entry[b"Translation"], var.ValueLength)
    return VersionInfo(_text(root.Key) if root is not None else None,
                       root.ValueLength if root is not None else 0, fixed, tables, translation,
                       trouble)


def read_resources(data):
    """All resources of a PE file as {(type, name, language): bytes}, but
    that a version block is a VersionInfo: pefile reads those only out of
    the file.

    Types and names are ints for numeric ids and str for named ones.
    """
    try:
        pe = pefile.PE(data=data, fast_load=True)
    except pefile.PEFormatError as error:
        raise PeError(error.args[0] if error.args else "not a PE file") from None
    # pefile skips what it cannot read and says so only in its warnings; a
    # resource tree it gave up on would otherwise look like missing resources.
    known = set(pe.get_warnings())
    pe.parse_data_directories(
        directories=[pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_RESOURCE"]])
    trouble = [w for w in pe.get_warnings() if w not in known and "resource" in w.lower()]
    if trouble:
        raise PeError(trouble[0])
    resources = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    for kind in root.entries if root is not None else []:
        for name in kind.directory.entries if hasattr(kind, "directory") else []:
            if not hasattr(name, "directory"):
                raise PeError("resource data at level 2 instead of 3")
            for language in name.directory.entries:
                if not hasattr(language, "data"):
                    raise PeError("resource directory deeper than type/name/language")
                key = (_entry_key(kind), _entry_key(name), language.id)
                blob = _resource_data(pe, language.data)
                resources[key] = _version_info(pe, language.data) if key[0] == RT_VERSION \
                    else blob
    return resources


def _resource_data(pe, data_entry):
    rva, size = data_entry.struct.OffsetToData, data_entry.struct.Size
    try:
        blob = pe.get_data(rva, size)
    except pefile.PEFormatError as error:
        raise PeError(f"RVA {rva:#x}: {error.args[0] if error.args else error}") from None
    if len(blob) != size:
        raise PeError(f"RVA {rva:#x} lies past the file's data")
    return blob


def find(resources, kind, name, language=None):
    """The one resource of that type and name (in that language, if given)."""
    found = [data for (t, n, lang), data in sorted(resources.items(), key=lambda i: repr(i[0]))
             if t == kind and n == name and (language is None or lang == language)]
    return found[0] if len(found) == 1 else None


def languages_of(resources, kind, name):
    return sorted(lang for (t, n, lang) in resources if t == kind and n == name)
