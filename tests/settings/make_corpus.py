#!/usr/bin/env python3
"""Writes the settings corpus: one small file per edge case of the Windows profile reader.

The files are committed; this script says what each one holds and why. Edit a case here, run
`python3 make_corpus.py` from this folder, and record the Windows reader's answers again (see
README.md). Files too large to commit are made at test time by run_probe_diff.sh.
"""
import os

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

CASES = {}


def case(name, data):
    assert name not in CASES, name
    CASES[name] = data if isinstance(data, bytes) else data.encode("latin-1")


def lines(*rows, end="\n"):
    return end.join(rows) + end


def utf16(text, order):
    return text.encode("utf-16-le" if order == "le" else "utf-16-be")


CONFIG = [
    "[CONFIG]",
    "HUD_POS_X=12",
    "HUD_POS_Y=-40",
    "HUD_STEP_Y=18",
    "FONT_SIZE=14",
    "COLOR_RED=255",
    "COLOR_GREEN=128",
    "COLOR_BLUE=0",
    "FONT_FACE=Courier New",
    "DISPLAY_ONSTART=1",
]
PAGES = [
    "[SECTION1]",
    "ROWDATA1=Frame $FPS$",
    "ROWDATA2=Camera: $CAMX$ $CAMY$",
    "ROWDATA3=BLANK",
    "ROWDATA4=last row of page one",
    "[SECTION2]",
    "ROWDATA1=Page two",
    "ROWDATA2=second row",
]
PLAIN = CONFIG + PAGES

# ---- Line ends ------------------------------------------------------------------------------
case("plain.ini", lines(*PLAIN))
case("crlf.ini", lines(*PLAIN, end="\r\n"))
case("cr-only.ini", lines(*PLAIN, end="\r"))
case("mixed-line-ends.ini",
     "[CONFIG]\r\nHUD_POS_X=1\rHUD_POS_Y=2\nHUD_STEP_Y=3\n\rFONT_SIZE=4\r\r\n\n\rCOLOR_RED=5\r\n"
     "[SECTION1]\n\r\n\rROWDATA1=a\r\rROWDATA2=b\n\n\nROWDATA3=c\r\n")
case("no-final-newline.ini", "[SECTION1]\nROWDATA1=first\nROWDATA2=last line has no end")
case("whitespace-only.ini", " \t\r\n\x0b\x0c\x1a  \n\n")
case("empty.ini", b"")
case("single-bracket.ini", "[")

# ---- Encodings ------------------------------------------------------------------------------
UNICODE_TEXT = "\n".join([
    "[SECTION1]",
    "ROWDATA1=caf\u00e9 \u20ac5 \u2014 ok",  # Windows-1252 letters come back as their bytes
    "ROWDATA2=\u0100\u0107 \uff21\uff42 \u2000x\u3000",  # best fit: accents dropped, full width narrowed
    "ROWDATA3=snow \u2603 smile \U0001F600 end",  # no Windows-1252 byte: '?', and '??' for a pair
    "ROWDATA4=\u00a0nbsp\u00a0",  # U+00A0 is not white space
    "ROWDATA5=\u3000ideographic\u3000",  # nor is U+3000
    "ROWDATA6=c1 \u0080\u0081\u008d\u009f end",  # only undefined 1252 bytes map back from C1
    "\u00e9t\u00c9=latin-1 letters keep their case",
    "\u0160KEY=s caron upper",
    "[SECTI\u0130N2]",  # dotted capital I does not fold to 'i'
    "ROWDATA1=dotted I section",
    "[SECTION2]",
    "ROWDATA1=real section two",
    "[\u212aSECTION3]",
    "ROWDATA1=kelvin sign",
    "[SECTION3]",
    "ROWDATA1=real section three",
]) + "\n"
case("bom-utf8.ini", b"\xef\xbb\xbf" + UNICODE_TEXT.encode("utf-8"))
case("bom-utf16le.ini", b"\xff\xfe" + utf16(UNICODE_TEXT.replace("\n", "\r\n"), "le"))
case("bom-utf16be.ini", b"\xfe\xff" + utf16(UNICODE_TEXT, "be"))
# Text that reads as UTF-8 once the reader has converted it ("Ã©" is C3 A9 in Windows-1252): the
# plug-in must not convert it again.
CONVERTED_ONCE = lines("[CONFIG]", "FONT_FACE=\u00c2\u00b0C Sans",
                       "[SECTION1]", "ROWDATA1=\u00c3\u00a9 and \u00c2\u00b0C")
case("bom-utf8-converted-once.ini", b"\xef\xbb\xbf" + CONVERTED_ONCE.encode("utf-8"))
case("bom-utf16le-converted-once.ini", b"\xff\xfe" + utf16(CONVERTED_ONCE, "le"))
case("utf16le-without-bom.ini", utf16(lines(*PLAIN, end="\r\n"), "le"))
case("utf16be-without-bom.ini", utf16(lines(*PLAIN), "be"))
case("utf8-without-bom.ini", lines("[SECTION1]", "ROWDATA1=caf\u00e9 \u20ac").encode("utf-8"))
case("bom-utf8-only.ini", b"\xef\xbb\xbf")
case("bom-utf16le-only.ini", b"\xff\xfe")
# No odd-length UTF-16 file: Wine reads the last byte of one from past its buffer, so its answer
# depends on memory contents and cannot be compared.
case("bom-utf8-twice.ini", b"\xef\xbb\xbf\xef\xbb\xbf" + lines("[SECTION1]", "ROWDATA1=x", "[SECTION2]",
                                                                 "ROWDATA1=y").encode())
case("bom-utf8-partial.ini", b"\xef\xbb" + lines("", "[SECTION1]", "ROWDATA1=two BOM bytes").encode())
case("bom-utf8-invalid.ini", b"\xef\xbb\xbf" + b"\n".join([
    b"[SECTION1]",
    b"ROWDATA1=stray \x80 continuation",
    b"ROWDATA2=cut \xc3 lead",
    b"ROWDATA3=overlong \xc0\xaf slash",
    b"ROWDATA4=overlong3 \xe0\x80\x80 x",
    b"ROWDATA5=surrogate \xed\xa0\x80 x",
    b"ROWDATA6=too big \xf4\x90\x80\x80 x",
    b"ROWDATA7=bad bytes \xfe\xff\xf8 x",
    b"ROWDATA8=good 4-byte \xf0\x9f\x98\x80 x",
    b"ROWDATA9=cut at end of file \xe4\xb8",
]))
case("bom-utf16-surrogates.ini", b"\xff\xfe" + b"".join([
    utf16("[SECTION1]\r\nROWDATA1=lone high ", "le"), b"\x00\xd8", utf16(" x\r\n", "le"),
    utf16("ROWDATA2=lone low ", "le"), b"\x00\xdc", utf16(" x\r\n", "le"),
    utf16("ROWDATA3=" + "a" * 258 + "\U0001F600" + "\r\n", "le"),  # the cut at 259 splits the pair
    utf16("ROWDATA4=nul\x00inside\r\n", "le"),
]))


def every_unit(half):
    """UTF-16LE file whose values hold 128 blocks of 256 code units: the conversion of every unit
    (half 0: U+0000-U+7FFF, half 1: U+8000-U+FFFF) back to Windows-1252. Each value is fenced
    with '|' so that no unit is trimmed or taken for a quote; CR, LF and NUL, which would end the
    line or the value, are replaced by '.'."""
    config_keys = ["HUD_POS_X", "HUD_POS_Y", "HUD_STEP_Y"]
    out = [b"\xff\xfe"]
    for block in range(128):
        first = (half * 128 + block) * 256
        units = [u if u not in (0, 10, 13) else ord(".") for u in range(first, first + 256)]
        value = b"".join(u.to_bytes(2, "little") for u in [ord("|")] + units + [ord("|")])
        if block < 125:
            header, key = "SECTION%d" % (block // 25 + 1), "ROWDATA%d" % (block % 25 + 1)
        else:
            header, key = "CONFIG", config_keys[block - 125]
        if block % 25 == 0 or block == 125:
            out.append(utf16("[%s]\r\n" % header, "le"))
        out.append(utf16(key + "=", "le") + value + utf16("\r\n", "le"))
    return b"".join(out)


case("bom-utf16le-every-unit-1.ini", every_unit(0))
case("bom-utf16le-every-unit-2.ini", every_unit(1))
case("ansi-high-bytes.ini", b"[SECTION1]\nROWDATA1=" + bytes(range(0x80, 0xa0)) + b"\nROWDATA2="
     + bytes(range(0xa1, 0x100)) + b"\nROWDATA3=utf-8 bytes pass through: \xc3\xa9 \xe2\x82\xac\n"
     + b"ROWDATA4=" + b"a" * 258 + b"\xc3\xa9\n")  # the cut at 259 splits the UTF-8 pair

# ---- Names ----------------------------------------------------------------------------------
case("case-of-names.ini", lines(
    "[section1]",
    "rowdata1=lower-case key",
    "RoWdAtA2=mixed-case key",
    "\xe9t\xc9=latin-1 letters keep their case",
    "\x9a=small s caron",
    "\xf7=division sign",
    "\xdf=sharp s",
    "\xff=y diaeresis",
    "[Config]",
    "font_face=Lower Face",
    "[sEcTiOn2]",
    "ROWDATA1=mixed-case section",
))
case("spaces.ini", lines(
    "  [ SECTION1 ]  ",
    "  ROWDATA1  =  value with  inner  spaces  ",
    "\tROWDATA2\t=\tx\t",
    "ROWDATA3 =   ",
    "ROW DATA1=inner space in the name",
    "\x0bROWDATA4\x0c=\x0bvertical tab and form feed\x0c",
    "ROWDATA5=a = b = c",
    "ROWDATA6 = 'x'  ",
    "[SECTION 2]",
    "ROWDATA1=section name with a space",
    "[ SECTION3]junk",
    "ROWDATA1=header with trailing junk",
))
case("quotes.ini", lines(
    "[SECTION1]",
    'ROWDATA1="double"',
    "ROWDATA2='single'",
    'ROWDATA3=""',
    "ROWDATA4=''",
    'ROWDATA5="',
    "ROWDATA6='",
    "ROWDATA7=\"mixed'",
    "ROWDATA8='mixed\"",
    'ROWDATA9="unterminated',
    'ROWDATA10=not "at" start',
    'ROWDATA11=" spaced inside "',
    'ROWDATA12=""twice""',
    'ROWDATA13="a"b"',
    'ROWDATA14=   "after spaces"   ',
    '"ROWDATA15"=quoted name',
    'ROWDATA16="multi',
    'line"',
    "ROWDATA17='''",
    'ROWDATA18="x"',
    'ROWDATA19=""""',
    "[SECTION2]",
    'ROWDATA1="' + "q" * 257 + '"',
    'ROWDATA2="' + "q" * 258 + '"',
    'ROWDATA3="' + "q" * 258 + 'Z"',  # 259 inside: the Z is lost
    'ROWDATA4="' + "q" * 259 + 'Z"',
    'ROWDATA5="' + "q" * 261 + '"',
    "ROWDATA6='" + "s" * 258 + "Z'",
    'ROWDATA7="' + "q" * 258 + 'Z" ',  # trailing space trimmed first
))
case("duplicate-keys.ini", lines(
    "[SECTION1]",
    "ROWDATA1=first",
    "ROWDATA1=second",
    "ROWDATA2=",
    "ROWDATA2=second after empty",
    "ROWDATA3",
    "ROWDATA3=second after no equals",
    "rowdata4=lower first",
    "ROWDATA4=upper second",
    "ROWDATA5 = spaced first",
    "ROWDATA5=second",
))
case("duplicate-sections.ini", lines(
    "[SECTION1]",
    "ROWDATA1=first section",
    "[SECTION2]",
    "ROWDATA1=two",
    "[section1]",
    "ROWDATA1=later copy",
    "ROWDATA2=only in the later copy",
    "[SECTION3]",
    "[SECTION3]",
    "ROWDATA1=hidden behind an empty first copy",
    "[CONFIG]",
    "FONT_SIZE=20",
    "[CONFIG]",
    "FONT_FACE=never read",
))
case("keys-without-equals.ini", lines(
    "[SECTION1]",
    "ROWDATA1",
    "ROWDATA2 value without an equals sign",
    "ROWDATA3=after",
    "KEY",
))
case("comment-lines.ini", lines(
    "[SECTION1]",
    ";ROWDATA1=semicolon line",
    "ROWDATA1=real",
    "#ROWDATA2=hash line",
    "ROWDATA3=value ; not a comment",
    "ROWDATA4=value # not a comment",
    "// ROWDATA5=slashes",
    ";[SECTION2]",
    "ROWDATA6=still section one",
    "[SECTION2];comment after header",
    "ROWDATA1=two",
))
case("bracket-without-close.ini", lines(
    "[SECTION1]",
    "ROWDATA1=one",
    "[SECTION2",
    "ROWDATA2=still section one",
    "[SECTION2=x",
    "[SECTION3] ]",
    "ROWDATA1=three",
))
case("header-junk.ini", lines(
    "[SECTION1]junk",
    "ROWDATA1=one",
    "[SECTION2] ROWDATA1=on the header line",
    "ROWDATA2=two",
    "[SECTION3]]",
    "ROWDATA1=name ends at the last bracket",
    "[[SECTION4]]",
    "ROWDATA1=double brackets",
    '["SECTION5"]',
    "ROWDATA1=quoted section",
    "[SECTION5]=x",
    "ROWDATA1=five",
    "[SECTION1]] ]",
    "ROWDATA9=never seen",
    "[[SECTION1]",
    "ROWDATA10=bracket in name",
))
case("keys-before-first-header.ini", lines(
    "ROWDATA1=orphan",
    "KEY=orphan key",
    "[]",
    "ROWDATA1=under an empty header",
    "[SECTION1]",
    "ROWDATA1=one",
    "[   ]",
    "ROWDATA2=under a blank header",
))
case("empty-names.ini", lines(
    "[SECTION1]",
    "=no name",
    "=",
    " = spaced",
    "ROWDATA1=one",
    "=after a key",
))
case("long-names.ini", lines(
    "[" + "S" * 300 + "]",
    "ROWDATA1=long section",
    "[SECTION1]",
    "K" * 300 + "=long key",
    "ROWDATA1=" + "v" * 40,
))

# ---- Values ---------------------------------------------------------------------------------
case("escapes.ini", lines(
    "[SECTION1]",
    "ROWDATA1=back\\slash \\n \\t \\x41",
    "ROWDATA2=%PATH% $HOME ${X}",
    "ROWDATA3=trailing backslash \\",
    "ROWDATA4=next line",
))
case("nul-bytes.ini", b"\n".join([
    b"[SECTION1]",
    b"ROWDATA1\x00=name cut at the NUL",
    b"ROW\x00DATA2=cut name does not match",
    b"ROWDATA3=ab\x00cd",
    b"ROWDATA4=\x00",
    b"ROWDATA5=\"ab\x00\"",
    b"\x00ROWDATA6=z",
    b"ROWDATA7 \x00=space before NUL",
    b"[SECTION3\x00junk]",
    b"ROWDATA1=three",
    b"[SECTION2 \x00]",
    b"ROWDATA1=two",
    b"[\x00SECTION4]",
    b"ROWDATA1=four",
    b"\x00[SECTION5]",
    b"ROWDATA1=five",
]) + b"\n")
case("ctrl-z.ini", lines(
    "\x1a",
    "[SECTION1]\x1a",
    "ROWDATA1=a\x1a",
    "ROWDATA2=a\x1ab",
    "\x1aROWDATA3\x1a=\x1ac",
    "\x1a",
    "ROWDATA4=after ctrl-z line",
    "\x1a[SECTION2]\x1a",
    "ROWDATA1=two",
) + "\x1a")
case("control-bytes.ini", lines(
    "[SECTION1]",
    "ROWDATA1=\xa0nbsp\xa0",
    "\xa0ROWDATA2=nbsp before the name",
    "ROWDATA3=\x01\x1f\x7f\x85 end\x01",
    "ROWDATA4\x7f=del in name",
    "\x01[SECTION2]",
    "ROWDATA5=still one",
    "[\xa0SECTION2]",
    "ROWDATA1=nbsp in header",
))
case("value-lengths.ini", lines(
    "[SECTION1]",
    "ROWDATA1=" + "a" * 257 + "Z",
    "ROWDATA2=" + "b" * 258 + "Z",
    "ROWDATA3=" + "c" * 259 + "Z",
    "ROWDATA4=" + "d" * 299 + "Z",
    "ROWDATA5=" + "e" * 258 + "Z" + " " * 20,
    "ROWDATA6=" + " " * 20 + "f" * 258 + "Z",
    "ROWDATA7=" + "g" * 2000,
    "ROWDATA8=short",
))
case("huge-line.ini", lines(
    "[SECTION1]",
    "ROWDATA1=" + "x" * 100000,
    "J" * 100000,
    "ROWDATA2=after the long lines",
    "[" + "H" * 100000,
    "ROWDATA3=after a long open bracket",
    "[SECTION2]",
    "ROWDATA1=two",
))


def junk(seed, count):
    out = bytearray()
    state = seed
    for _ in range(count):
        state = (state * 1103515245 + 12345) & 0x7FFFFFFF
        out.append((state >> 16) & 0xFF)
    return bytes(out)


case("binary-junk.ini", b"\x01" + junk(7, 3000) + b"\n[SECTION1]\nROWDATA1=after junk\n" + junk(11, 500)
     + b"\n[SECTION2]\nROWDATA1=two\n")
case("blank-rows.ini", lines(
    "[SECTION1]",
    "ROWDATA1=first",
    "ROWDATA2=",
    "ROWDATA3=BLANK",
    "ROWDATA4=   ",
    "ROWDATA5=blank",
    "ROWDATA6= BLANK ",
    "ROWDATA7=last",
))
case("section-and-row-gaps.ini", lines(
    "[SECTION1]",
    "ROWDATA1=one",
    "ROWDATA2=two",
    "ROWDATA5=five after a gap",
    "ROWDATA30=thirty",
    "ROWDATA31=beyond the last row",
    "[SECTION3]",
    "ROWDATA1=page three after a missing page two",
    "[SECTION5]",
    "ROWDATA30=only the last row",
    "[SECTION6]",
    "ROWDATA1=beyond the last page",
    "[SECTION0]",
    "ROWDATA1=before the first page",
))
case("config-values.ini", lines(
    "[CONFIG]",
    "HUD_POS_X=-5",
    "HUD_POS_Y=  +7  ",
    "HUD_STEP_Y=0x10",
    "FONT_SIZE=12px",
    "COLOR_RED=300",
    "COLOR_GREEN=",
    "COLOR_BLUE='7'",
    'FONT_FACE="Times New Roman"',
    "DISPLAY_ONSTART=TRUE",
))

# Text in the writer's own script, in each kind of file: the plug-in reads it whole (UTF-8 when a
# value is UTF-8, the ANSI code page's otherwise); the lookups here hold the Windows reader's
# answers for names and numbers around it. The answers for these files follow the rules (R2-R5,
# R27-R30) and were first taken from the portable reader; record them under Wine to confirm. The
# pages use the default font, as the dump's comparison with Wine wants (see README.md).
SCRIPTS = "\u041a\u0430\u043c\u0435\u0440\u0430 \u03a9 \u65e5\u4ed8 \uc548\ub155 \U0001F600 caf\u00e9"
SCRIPT_TEXT = lines(
    "[CONFIG]",
    "HUD_POS_X=10",
    "DATE_FORMAT=%Y\u5e74%m\u6708%d\u65e5",
    "[SECTION1]",
    "ROWDATA1=" + SCRIPTS,
    "ROWDATA2=" + "\U0001F600" * 260,
    "ROWDATA3='\u05e9\u05dc\u05d5\u05dd \u0645\u0631\u062d\u0628\u0627'",
)
case("script-utf8.ini", SCRIPT_TEXT.encode("utf-8"))
case("script-bom-utf8.ini", b"\xef\xbb\xbf" + SCRIPT_TEXT.encode("utf-8"))
case("script-bom-utf16le.ini", b"\xff\xfe" + utf16(SCRIPT_TEXT.replace("\n", "\r\n"), "le"))
case("script-bom-utf16be.ini", b"\xfe\xff" + utf16(SCRIPT_TEXT, "be"))
# Saved as "ANSI" on a Russian system; 0x98 is the one byte code page 1251 leaves undefined.
case("script-cp1251.ini", lines("[CONFIG]", "HUD_POS_X=10", "[SECTION1]",
                                "ROWDATA1=\u041a\u0430\u043c\u0435\u0440\u0430: *CAMERA_NAME*").encode("cp1251")
     + b"ROWDATA2=undefined \x98 byte\n")
# Saved as "ANSI" on a Japanese system; 81 20 is a lead byte without its trail.
case("script-cp932.ini", lines("[CONFIG]", "HUD_POS_X=10", "DATE_FORMAT=%Y\u5e74%m\u6708%d\u65e5", "[SECTION1]",
                               "ROWDATA1=\u65e5\u4ed8: *CUR_DATE*", "ROWDATA2=\u30ab\u30e1\u30e9 " + "\u6f22" * 300)
     .encode("cp932") + b"ROWDATA3=cut \x81 pair\n")
# One file, two encodings: the UTF-8 of a current editor and a line pasted from a 1251 file.
case("script-mixed.ini", lines("[SECTION1]", "ROWDATA1=\u041a\u0430\u043c\u0435\u0440\u0430").encode("utf-8")
     + lines("ROWDATA2=\u041a\u0430\u043c\u0435\u0440\u0430").encode("cp1251"))


def main():
    os.makedirs(CORPUS, exist_ok=True)
    for name in os.listdir(CORPUS):
        if name.endswith(".ini") and name not in CASES:
            os.remove(os.path.join(CORPUS, name))
    for name, data in sorted(CASES.items()):
        with open(os.path.join(CORPUS, name), "wb") as out:
            out.write(data)
    print(f"{len(CASES)} cases in {CORPUS}")


if __name__ == "__main__":
    main()
