"""Registry files for the end-to-end tests: REGEDIT4 text to import, and
the exports of regedit read back into plain dictionaries."""

import re


def _escape(text):
    return text.replace("\\", "\\\\").replace('"', '\\"')


def _format_value(value):
    if isinstance(value, int):
        return f"dword:{value:08x}"
    if isinstance(value, bytes):
        return "hex:" + ",".join(f"{b:02x}" for b in value)
    return f'"{_escape(value)}"'


def regedit4(keys):
    """REGEDIT4 text from {key path: {value name: value}}; "" names the
    default value; str gives REG_SZ, int REG_DWORD, bytes REG_BINARY."""
    lines = ["REGEDIT4", ""]
    for key, values in keys.items():
        lines.append(f"[{key}]")
        for name, value in (values or {}).items():
            left = "@" if name == "" else f'"{_escape(name)}"'
            lines.append(f"{left}={_format_value(value)}")
        lines.append("")
    return "\r\n".join(lines) + "\r\n"


_KEY = re.compile(r"^\[(.*)\]$")
_VALUE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$')


def _unescape(text):
    return re.sub(r"\\(.)", r"\1", text)


def _parse_data(data):
    if data.startswith('"') and data.endswith('"'):
        return _unescape(data[1:-1])
    if data.startswith("dword:"):
        return int(data[6:], 16)
    if data.startswith("hex"):
        hexes = data.split(":", 1)[1].replace("\\", "").replace(" ", "")
        return bytes(int(h, 16) for h in hexes.split(",") if h)
    return data


def parse(text):
    """{key path: {value name: value}} from a regedit export (version 4 or
    5). Strings come back as str, dwords as int, hex forms as bytes."""
    keys = {}
    current = None
    pending = ""
    for raw in text.splitlines():
        line = pending + raw.strip()
        pending = ""
        if line.endswith("\\"):
            pending = line[:-1]  # a hex value continued on the next line
            continue
        match = _KEY.match(line)
        if match:
            current = keys.setdefault(match.group(1), {})
            continue
        match = _VALUE.match(line)
        if match and current is not None:
            name = "" if match.group(1) == "@" else _unescape(
                match.group(1)[1:-1])
            current[name] = _parse_data(match.group(2))
    return keys
