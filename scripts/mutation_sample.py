#!/usr/bin/env python3
"""Picks and applies the small faults that scripts/mutation-sample.sh scores the tests against.

  mutation_sample.py pick ROOT SEED COUNT PLAN   writes the sample to PLAN (JSON), prints it
  mutation_sample.py apply TREE PLAN INDEX       applies fault INDEX (1-based) to TREE
  mutation_sample.py packages DST SOURCE...      copies the npm package folders into DST
  mutation_sample.py sync SRC DST [SKIP...]      makes DST a copy of SRC, leaving alone the
                                                 top-level names SKIP and node_modules folders

The sample depends only on the seed and the text under ROOT/src, so two checkouts with the same
src/ get the same faults whatever their tests are.
"""

import filecmp
import hashlib
import json
import os
import re
import shutil
import sys

EXCLUDED = ("src/ui/", "src/cli/main.cpp", "third_party/")
# Parsing, reference rewriting and export naming: where a surviving fault costs users their files.
FOCUS = ("src/formats/", "src/volume/", "src/bank/BankIndex", "src/export/", "src/core/Bytes")
FOCUS_WEIGHT = 5.0
# Share of the sample each kind of fault aims for (before the focus weighting).
KIND_SHARE = {"compare": 0.25, "constant": 0.20, "drop": 0.25, "negate": 0.15, "byteorder": 0.15}

FLIP = {"<": "<=", "<=": "<", ">": ">=", ">=": ">", "==": "!=", "!=": "=="}
BYTE_ORDER = {"u16be": "u16le", "u16le": "u16be", "u32be": "u32le", "u32le": "u32be"}


def code_only(text):
    """The text with comments, string and character literals and preprocessor lines blanked
    (newlines kept), so offsets and line numbers still match the source."""
    out = list(text)
    i, n = 0, len(text)

    def blank(a, b):
        for k in range(a, b):
            if out[k] != "\n":
                out[k] = " "

    line_start = True
    while i < n:
        c = text[i]
        if line_start and c == "#":
            j = i
            while j < n and not (text[j] == "\n" and text[j - 1] != "\\"):
                j += 1
            blank(i, j)
            i = j
            continue
        if c == "\n":
            line_start = True
            i += 1
            continue
        if not c.isspace():
            line_start = False
        if text.startswith("//", i):
            j = text.find("\n", i)
            j = n if j < 0 else j
            blank(i, j)
            i = j
        elif text.startswith("/*", i):
            j = text.find("*/", i + 2)
            j = n if j < 0 else j + 2
            blank(i, j)
            i = j
        elif c == "R" and text.startswith('"', i + 1) and (i == 0 or not (text[i - 1].isalnum() and text[i - 1] not in "uUL8") and text[i - 1] != "_"):
            m = re.match(r'R"([^()\\ ]{0,16})\(', text[i:])
            if not m:
                i += 1
                continue
            end = text.find(")" + m.group(1) + '"', i + m.end())
            j = n if end < 0 else end + len(m.group(1)) + 2
            blank(i, j)
            i = j
        elif c == '"' or (c == "'" and not (i > 0 and text[i - 1].isalnum() and i + 1 < n and text[i + 1].isalnum()
                                            and re.match(r"[0-9A-Fa-f]", text[i - 1]))):
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            j = min(j + 1, n)
            blank(i, j)
            i = j
        else:
            i += 1
    return "".join(out)


def balanced_end(code, start):
    """Index just past the parenthesis closing the one at `start`, on the same line; None if not."""
    depth = 0
    for k in range(start, len(code)):
        ch = code[k]
        if ch == "\n":
            return None
        if ch == "(":
            depth += 1
        elif ch == ")":
            depth -= 1
            if depth == 0:
                return k + 1
    return None


BLOCK_TAIL = re.compile(r"(\)|\belse|\bdo|\btry|\bconst|\bnoexcept|\boverride|\bfinal|\bmutable|\})\s*$")
DECL_HEAD = re.compile(r"\b(namespace|class|struct|enum|union|extern)\b")
NOT_A_DROP = re.compile(r"^(return|break|continue|case|default|goto|using|typedef|static_assert|throw|co_return)\b")


def statement_lines(code):
    """Line numbers (0-based) whose code is a whole statement directly inside a function body."""
    stack = []          # True for a brace that opens a statement block
    result = set()
    lines = code.split("\n")
    since = ""          # code since the last ; { or }
    prev_end = "{"
    for number, line in enumerate(lines):
        stripped = line.strip()
        if stripped and stack and stack[-1] and prev_end in ";{}:" and stripped.endswith(";") \
                and stripped.count(";") == 1 and "{" not in stripped and "}" not in stripped:
            result.add(number)
        for ch in line:
            if ch == "{":
                head = since.strip()
                if DECL_HEAD.search(head) and "(" not in head:
                    stack.append(False)
                elif head == "" or BLOCK_TAIL.search(head) or head.endswith(":"):
                    # A bare block, or after ), else, a ctor initialiser or a case label.
                    stack.append(head != "" or (bool(stack) and stack[-1]))
                else:
                    stack.append(False)   # an initialiser list
                since = ""
            elif ch == "}":
                if stack:
                    stack.pop()
                since = ""
            elif ch == ";":
                since = ""
            else:
                since += ch
        since += " "
        if stripped:
            prev_end = stripped[-1]
    return result


def strip_brackets(s):
    prev = None
    while prev != s:
        prev = s
        s = re.sub(r"\([^()]*\)|\[[^\[\]]*\]|<[^<>]*>", "", s)
    return s


def droppable(stmt):
    """An assignment, increment or call: dropping it changes behaviour without breaking the build."""
    if NOT_A_DROP.match(stmt) or "DebugPrint" in stmt:
        return False
    body = stmt[:-1].strip()
    if re.match(r"^(\+\+|--)[\w.\[\]>-]+$", strip_brackets(body)) or re.match(r"^[\w.\[\]>-]+(\+\+|--)$", strip_brackets(body)):
        return True
    m = re.match(r"^(.*?)\s(=|\+=|-=|\*=|/=|%=|\|=|&=|\^=|<<=|>>=)\s", body)
    if m:
        lhs = strip_brackets(m.group(1))
        return re.fullmatch(r"\*?[\w.:]+(->[\w.]+)*", lhs) is not None and lhs not in ("auto", "const")
    flat = strip_brackets(body)
    # A call: a name (possibly qualified or a member) followed by its arguments, no declared type.
    return (re.fullmatch(r"[\w:.]+(->[\w.]+)*", flat) is not None and body.endswith(")")
            and "(" in body and not re.match(r"^[\w:]+\s", body))


def candidates(path, text):
    code = code_only(text)
    lines = text.split("\n")
    code_lines = code.split("\n")
    stmts = statement_lines(code)
    found = []

    def add(kind, number, col, old, new):
        found.append({"file": path, "line": number + 1, "col": col, "kind": kind, "old": old, "new": new,
                      "context": lines[number].strip()})

    for number, line in enumerate(code_lines):
        if not line.strip():
            continue
        for m in re.finditer(r"(?<=\s)(<=|>=|==|!=|<|>)(?=\s)", line):
            add("compare", number, m.start(), m.group(1), FLIP[m.group(1)])
        for m in re.finditer(r"(?<![\w.'])(0[xX][0-9a-fA-F]+|\d+)([uUlLzZ]*)(?![\w.'])", line):
            digits, suffix = m.group(1), m.group(2)
            value = int(digits, 16) if digits[:2].lower() == "0x" else int(digits, 10)
            if digits.startswith("0") and len(digits) > 1 and digits[1] not in "xX":
                continue  # octal: leave alone
            if digits == "0" and re.search(r"\)[\w\s]*=\s*$", line[:m.start()]):
                continue  # a pure virtual function's "= 0"
            for new in ([value + 1] if value == 0 else [value + 1, value - 1]):
                if digits[:2].lower() == "0x":
                    width = len(digits) - 2
                    hexed = format(new, "0%d%s" % (width, "X" if any(ch.isupper() for ch in digits[2:]) else "x"))
                    text_new = digits[:2] + hexed
                else:
                    text_new = str(new)
                add("constant", number, m.start(), digits + suffix, text_new + suffix)
        for m in re.finditer(r"(?<=[.>])(u16be|u16le|u32be|u32le)(?=\()", line):
            add("byteorder", number, m.start(), m.group(1), BYTE_ORDER[m.group(1)])
        for m in re.finditer(r"\bif\s*\(", line):
            open_at = m.end() - 1
            close = balanced_end(line, open_at)
            if close is None:
                continue
            cond = line[open_at + 1:close - 1]
            if ";" in cond or not cond.strip() or re.match(r"^\s*[\w:*&]+(\s+[\w:*&]+)+\s*=[^=]", strip_brackets(cond)):
                continue  # an init-statement or a declaration cannot be negated as it stands
            old = lines[number][open_at:close]
            add("negate", number, open_at, old, "(!(" + old[1:-1] + "))")
        if number in stmts:
            stmt = lines[number].strip()
            if code_lines[number].strip() == stmt and droppable(stmt):
                add("drop", number, len(lines[number]) - len(lines[number].lstrip()), stmt, "")
    return found


def source_files(root):
    files = []
    for base, dirs, names in os.walk(os.path.join(root, "src")):
        dirs.sort()
        for name in sorted(names):
            if name.endswith((".cpp", ".h")):
                rel = os.path.relpath(os.path.join(base, name), root).replace(os.sep, "/")
                if not rel.startswith(EXCLUDED) and "/third_party/" not in rel:
                    files.append(rel)
    return sorted(files)


def pick(root, seed, count):
    everything = []
    for rel in source_files(root):
        with open(os.path.join(root, rel), encoding="utf-8", errors="surrogateescape") as f:
            everything.extend(candidates(rel, f.read()))
    area = [FOCUS_WEIGHT if c["file"].startswith(FOCUS) else 1.0 for c in everything]
    per_kind = {}
    for c, w in zip(everything, area):
        per_kind[c["kind"]] = per_kind.get(c["kind"], 0.0) + w
    keyed = []
    for c, w in zip(everything, area):
        weight = w * KIND_SHARE[c["kind"]] / per_kind[c["kind"]]
        # Weighted sampling without replacement. The draw hashes the fault's own text rather than
        # its position, so an edit elsewhere in src/ leaves the other faults' chances alone.
        ident = "%d\0%s\0%s\0%d\0%s\0%s\0%s" % (seed, c["file"], c["context"], c["col"], c["kind"], c["old"], c["new"])
        draw = (int.from_bytes(hashlib.sha256(ident.encode("utf-8", "surrogateescape")).digest()[:8], "big") + 0.5) / 2.0 ** 64
        keyed.append((draw ** (1.0 / weight), c))
    keyed.sort(key=lambda kc: -kc[0])
    chosen, lines_used = [], set()
    for _, c in keyed:
        if (c["file"], c["line"]) in lines_used:
            continue
        lines_used.add((c["file"], c["line"]))
        chosen.append(c)
        if len(chosen) == count:
            break
    chosen.sort(key=lambda c: (c["file"], c["line"]))
    return chosen, len(everything)


def mutate_line(line, c):
    col = c["col"]
    assert line[col:col + len(c["old"])] == c["old"], "source differs from the sample"
    return line[:col] + c["new"] + line[col + len(c["old"]):]


def shorten(s, col, width=64):
    s = s.rstrip()
    if len(s.strip()) <= width:
        return s.strip()
    a = max(len(s) - len(s.lstrip()), col - width // 2)
    b = a + width
    return ("…" if a > len(s) - len(s.lstrip()) else "") + s[a:b] + ("…" if b < len(s) else "")


def describe(root, c):
    with open(os.path.join(root, c["file"]), encoding="utf-8", errors="surrogateescape") as f:
        line = f.read().split("\n")[c["line"] - 1]
    after = mutate_line(line, c)
    if c["kind"] == "drop":
        return "%s:%d  %s  →  (dropped)" % (c["file"], c["line"], c["old"])
    return "%s:%d  %s  →  %s" % (c["file"], c["line"], shorten(line, c["col"]), shorten(after, c["col"]))


def sync(src, dst, skip):
    """Copies only what differs and removes what SRC lacks. A copied file gets a fresh time, so the
    scratch build recompiles it; an unchanged one keeps its time, so the build stays incremental."""
    def skipped(rel):
        top = rel.split("/")[0]
        return (any(top == s or (s.endswith("*") and top.startswith(s[:-1])) for s in skip)
                or rel.endswith(".swp") or "node_modules" in rel.split("/"))

    def walk(rel):
        s_dir, d_dir = os.path.join(src, rel), os.path.join(dst, rel)
        os.makedirs(d_dir, exist_ok=True)
        names = set(os.listdir(s_dir))
        for name in sorted(set(os.listdir(d_dir)) - names):
            r = os.path.join(rel, name).replace(os.sep, "/").lstrip("/")
            if skipped(r):
                continue
            d = os.path.join(d_dir, name)
            if os.path.isdir(d) and not os.path.islink(d):
                shutil.rmtree(d)
            else:
                os.remove(d)
        for name in sorted(names):
            r = os.path.join(rel, name).replace(os.sep, "/").lstrip("/")
            if skipped(r):
                continue
            s, d = os.path.join(s_dir, name), os.path.join(d_dir, name)
            if os.path.islink(s):
                if not (os.path.islink(d) and os.readlink(d) == os.readlink(s)):
                    if os.path.isdir(d) and not os.path.islink(d):
                        shutil.rmtree(d)
                    elif os.path.lexists(d):
                        os.remove(d)
                    os.symlink(os.readlink(s), d)
            elif os.path.isdir(s):
                if os.path.lexists(d) and (os.path.islink(d) or not os.path.isdir(d)):
                    os.remove(d)
                walk(r)
            else:
                if os.path.isdir(d) and not os.path.islink(d):
                    shutil.rmtree(d)
                if os.path.islink(d) or not (os.path.isfile(d) and filecmp.cmp(s, d, shallow=False)):
                    if os.path.lexists(d):
                        os.remove(d)
                    shutil.copyfile(s, d)
                    shutil.copymode(s, d)

    walk("")


def sync_packages(dst, sources):
    """npm packages live only where scripts/setup.sh ran; take each folder from the first source
    that has it (a fresh worktree borrows the main one's)."""
    for rel in ("third_party/tablefilter/node_modules", "tests/catalogue/browser/node_modules"):
        for source in sources:
            if os.path.isdir(os.path.join(source, rel)):
                target = os.path.join(dst, rel)
                os.makedirs(target, exist_ok=True)
                sync(os.path.join(source, rel), target, [])
                break


def main(argv):
    if len(argv) >= 3 and argv[0] == "sync":
        sync(argv[1], argv[2], argv[3:])
        return 0
    if len(argv) >= 3 and argv[0] == "packages":
        sync_packages(argv[1], argv[2:])
        return 0
    if len(argv) == 5 and argv[0] == "pick":
        root, seed, count, plan = argv[1], int(argv[2]), int(argv[3]), argv[4]
        chosen, total = pick(root, seed, count)
        for c in chosen:
            c["text"] = describe(root, c)
        with open(plan, "w", encoding="utf-8") as f:
            json.dump(chosen, f, indent=1)
        focus = sum(1 for c in chosen if c["file"].startswith(FOCUS))
        kinds = ", ".join("%s %d" % (k, sum(1 for c in chosen if c["kind"] == k)) for k in KIND_SHARE)
        print("sample: %d of %d possible faults, seed %d; %d in parsing/reference/export code; %s"
              % (len(chosen), total, seed, focus, kinds))
        for i, c in enumerate(chosen, 1):
            print("%3d  %-9s %s" % (i, c["kind"], c["text"]))
        return 0
    if len(argv) == 4 and argv[0] == "apply":
        tree, plan, index = argv[1], argv[2], int(argv[3])
        with open(plan, encoding="utf-8") as f:
            c = json.load(f)[index - 1]
        path = os.path.join(tree, c["file"])
        with open(path, encoding="utf-8", errors="surrogateescape", newline="") as f:
            lines = f.read().split("\n")
        lines[c["line"] - 1] = mutate_line(lines[c["line"] - 1], c)
        with open(path, "w", encoding="utf-8", errors="surrogateescape", newline="") as f:
            f.write("\n".join(lines))
        print(c["file"])
        return 0
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
