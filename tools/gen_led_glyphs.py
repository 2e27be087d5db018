#!/usr/bin/env python3
"""Rebuilds the glyph bytes in banner/led_glyphs.cpp from the dot art in this file.

The art is easier to review and edit than hex. Run after changing it:

    python3 tools/gen_led_glyphs.py [banner/led_glyphs.cpp]

Art format: '#' is a lit dot, '.' a dark one, ';' starts a comment line.
  part NAME           followed by rows: a piece (mark or squeezed body) to stack
  CODE LABEL          followed by 7 rows: a glyph; with no rows: an intentionally blank one
  CODE LABEL = A B C  a glyph stacked top to bottom from parts A, B, C
CODE is decimal for the 256-entry table, or U+XXXX for letters above it.
"""

import pathlib
import re
import sys

WIDTH = 5
HEIGHT = 7
BEGIN_MARK = "// BEGIN GENERATED GLYPHS"
END_MARK = "// END GENERATED GLYPHS"

ART = r"""
; ---- pieces that accented letters are stacked from ----

part grave
.#...
..#..

part acute
...#.
..#..

part circumflex
..#..
.#.#.

part tilde
.##.#
#..#.

part diaeresis
.#.#.
.....

part ring
.###.
.#.#.

part caron
.#.#.
..#..

part dot
..#..
.....

part macron
.###.
.....

part gap
.....

part cedilla
..#..
.##..

part ogonek
...#.
...##

part ogonek-i
.#...
..##.

; capitals squeezed to five rows so a mark fits above or below

part A5
.###.
#...#
#####
#...#
#...#

part C5
.####
#....
#....
#....
.####

part E5
#####
#....
####.
#....
#####

part I5
.###.
..#..
..#..
..#..
.###.

part N5
#...#
##..#
#.#.#
#..##
#...#

part O5
.###.
#...#
#...#
#...#
.###.

part S5
.####
#....
.###.
....#
####.

part U5
#...#
#...#
#...#
#...#
.###.

part Y5
#...#
.#.#.
..#..
..#..
..#..

part Z5
#####
...#.
..#..
.#...
#####

; small letters: the usual x-height body, or four rows where the five-row
; body would look just like the squeezed capital

part a5
.###.
....#
.####
#...#
.####

part a4
.###.
.####
#...#
.####

part c5
.###.
#....
#....
#...#
.###.

part c4
.###.
#....
#....
.###.

part e5
.###.
#...#
#####
#....
.###.

part e4
.###.
#####
#....
.###.

part i5
.##..
..#..
..#..
..#..
.###.

part i3
.##..
..#..
.###.

part n5
#.##.
##..#
#...#
#...#
#...#

part o4
.###.
#...#
#...#
.###.

part s4
.####
.##..
...##
####.

part u5
#...#
#...#
#...#
#..##
.##.#

part u4
#...#
#...#
#..##
.##.#

part y5
#...#
#...#
.####
....#
.###.

part z4
#####
..##.
.##..
#####

; ---- codes 0..31: symbols ----

0 full-block
#####
#####
#####
#####
#####
#####
#####

1 smiley
.....
.#.#.
.#.#.
.....
#...#
.###.
.....

2 frowning-face
.....
.#.#.
.#.#.
.....
.###.
#...#
.....

3 heart
.....
.#.#.
#####
#####
.###.
..#..
.....

4 diamond
.....
..#..
.###.
#####
.###.
..#..
.....

5 club
.###.
.###.
#.#.#
#####
#.#.#
..#..
.###.

6 spade
..#..
.###.
#####
#####
#.#.#
..#..
.###.

7 bullet
.....
.....
.###.
.###.
.###.
.....
.....

8 circle
.....
.###.
#...#
#...#
#...#
.###.
.....

9 check-mark
.....
....#
....#
...#.
#.#..
.#...
.....

10 heavy-cross
#...#
##.##
.###.
..#..
.###.
##.##
#...#

11 arrow-up
..#..
.###.
#.#.#
..#..
..#..
..#..
..#..

12 arrow-down
..#..
..#..
..#..
..#..
#.#.#
.###.
..#..

13 arrow-right
.....
..#..
...#.
#####
...#.
..#..
.....

14 arrow-left
.....
..#..
.#...
#####
.#...
..#..
.....

15 sun
.....
#.#.#
.###.
#####
.###.
#.#.#
.....

16 triangle-right
#....
##...
###..
####.
###..
##...
#....

17 triangle-left
....#
...##
..###
.####
..###
...##
....#

18 arrow-up-down
..#..
.###.
#.#.#
..#..
#.#.#
.###.
..#..

19 arrows-right-left
...#.
#####
...#.
.#...
#####
.#...
.....

20 triangle-up
.....
.....
..#..
.###.
#####
.....
.....

21 triangle-down
.....
.....
#####
.###.
..#..
.....
.....

22 degree
.##..
#..#.
#..#.
.##..
.....
.....
.....

23 euro
..###
.#...
####.
.#...
####.
.#...
..###

24 plus-minus
..#..
..#..
#####
..#..
..#..
.....
#####

25 micro
.....
#...#
#...#
#...#
##.##
#.#.#
#....

26 note
..#..
..##.
..#.#
..#..
###..
###..
.....

27 envelope
.....
#####
##.##
#.#.#
#...#
#####
.....

28 hourglass
#####
#...#
.#.#.
..#..
.###.
#####
#####

29 section
.###.
#....
.###.
#...#
.###.
....#
.###.

30 star
..#..
..#..
#####
.###.
.#.#.
#...#
.....

31 shade
#.#.#
.#.#.
#.#.#
.#.#.
#.#.#
.#.#.
#.#.#

; ---- printable ASCII ----

32 space

33 !
..#..
..#..
..#..
..#..
..#..
.....
..#..

34 "
.#.#.
.#.#.
.#.#.
.....
.....
.....
.....

35 #
.#.#.
.#.#.
#####
.#.#.
#####
.#.#.
.#.#.

36 $
..#..
.####
#.#..
.###.
..#.#
####.
..#..

37 %
##...
##..#
...#.
..#..
.#...
#..##
...##

38 &
.##..
#..#.
#.#..
.#...
#.#.#
#..#.
.##.#

39 '
..#..
..#..
.#...
.....
.....
.....
.....

40 (
...#.
..#..
.#...
.#...
.#...
..#..
...#.

41 )
.#...
..#..
...#.
...#.
...#.
..#..
.#...

42 *
.....
..#..
#.#.#
.###.
#.#.#
..#..
.....

43 +
.....
..#..
..#..
#####
..#..
..#..
.....

44 ,
.....
.....
.....
.....
.##..
..#..
.#...

45 -
.....
.....
.....
#####
.....
.....
.....

46 .
.....
.....
.....
.....
.##..
.##..
.....

47 /
.....
....#
...#.
..#..
.#...
#....
.....

48 0
.###.
#...#
#..##
#.#.#
##..#
#...#
.###.

49 1
..#..
.##..
..#..
..#..
..#..
..#..
.###.

50 2
.###.
#...#
....#
..##.
.#...
#....
#####

51 3
.###.
#...#
....#
..##.
....#
#...#
.###.

52 4
...#.
..##.
.#.#.
#..#.
#####
...#.
...#.

53 5
#####
#....
####.
....#
....#
#...#
.###.

54 6
..##.
.#...
#....
####.
#...#
#...#
.###.

55 7
#####
....#
...#.
..#..
.#...
.#...
.#...

56 8
.###.
#...#
#...#
.###.
#...#
#...#
.###.

57 9
.###.
#...#
#...#
.####
....#
...#.
.##..

58 :
.....
.##..
.##..
.....
.##..
.##..
.....

59 ;
.....
.##..
.##..
.....
.##..
..#..
.#...

60 <
...#.
..#..
.#...
#....
.#...
..#..
...#.

61 =
.....
.....
#####
.....
#####
.....
.....

62 >
.#...
..#..
...#.
....#
...#.
..#..
.#...

63 ?
.###.
#...#
....#
...#.
..#..
.....
..#..

64 @
.###.
#...#
#.###
#.#.#
#.##.
#....
.###.

65 A
.###.
#...#
#...#
#####
#...#
#...#
#...#

66 B
####.
#...#
#...#
####.
#...#
#...#
####.

67 C
.###.
#...#
#....
#....
#....
#...#
.###.

68 D
####.
#...#
#...#
#...#
#...#
#...#
####.

69 E
#####
#....
#....
####.
#....
#....
#####

70 F
#####
#....
#....
####.
#....
#....
#....

71 G
.###.
#...#
#....
#....
#..##
#...#
.####

72 H
#...#
#...#
#...#
#####
#...#
#...#
#...#

73 I
.###.
..#..
..#..
..#..
..#..
..#..
.###.

74 J
....#
....#
....#
....#
....#
#...#
.###.

75 K
#...#
#..#.
#.#..
##...
#.#..
#..#.
#...#

76 L
#....
#....
#....
#....
#....
#....
#####

77 M
#...#
##.##
#.#.#
#.#.#
#...#
#...#
#...#

78 N
#...#
#...#
##..#
#.#.#
#..##
#...#
#...#

79 O
.###.
#...#
#...#
#...#
#...#
#...#
.###.

80 P
####.
#...#
#...#
####.
#....
#....
#....

81 Q
.###.
#...#
#...#
#...#
#.#.#
#..#.
.##.#

82 R
####.
#...#
#...#
####.
#.#..
#..#.
#...#

83 S
.###.
#...#
#....
.###.
....#
#...#
.###.

84 T
#####
..#..
..#..
..#..
..#..
..#..
..#..

85 U
#...#
#...#
#...#
#...#
#...#
#...#
.###.

86 V
#...#
#...#
#...#
#...#
#...#
.#.#.
..#..

87 W
#...#
#...#
#...#
#.#.#
#.#.#
##.##
#...#

88 X
#...#
#...#
.#.#.
..#..
.#.#.
#...#
#...#

89 Y
#...#
#...#
.#.#.
..#..
..#..
..#..
..#..

90 Z
#####
....#
...#.
..#..
.#...
#....
#####

91 [
.###.
.#...
.#...
.#...
.#...
.#...
.###.

92 backslash
.....
#....
.#...
..#..
...#.
....#
.....

93 ]
.###.
...#.
...#.
...#.
...#.
...#.
.###.

94 ^
..#..
.#.#.
#...#
.....
.....
.....
.....

95 _
.....
.....
.....
.....
.....
.....
#####

96 `
.#...
..#..
...#.
.....
.....
.....
.....

97 a
.....
.....
.###.
....#
.####
#...#
.####

98 b
#....
#....
#.##.
##..#
#...#
#...#
####.

99 c
.....
.....
.###.
#....
#....
#...#
.###.

100 d
....#
....#
.##.#
#..##
#...#
#...#
.####

101 e
.....
.....
.###.
#...#
#####
#....
.###.

102 f
..##.
.#..#
.#...
###..
.#...
.#...
.#...

103 g
.....
.####
#...#
#...#
.####
....#
.###.

104 h
#....
#....
#.##.
##..#
#...#
#...#
#...#

105 i
..#..
.....
.##..
..#..
..#..
..#..
.###.

106 j
...#.
.....
..##.
...#.
...#.
#..#.
.##..

107 k
#....
#....
#..#.
#.#..
##...
#.#..
#..#.

108 l
.##..
..#..
..#..
..#..
..#..
..#..
.###.

109 m
.....
.....
##.#.
#.#.#
#.#.#
#...#
#...#

110 n
.....
.....
#.##.
##..#
#...#
#...#
#...#

111 o
.....
.....
.###.
#...#
#...#
#...#
.###.

112 p
.....
.....
####.
#...#
####.
#....
#....

113 q
.....
.....
.####
#...#
.####
....#
....#

114 r
.....
.....
#.##.
##..#
#....
#....
#....

115 s
.....
.....
.###.
#....
.###.
....#
####.

116 t
.#...
.#...
###..
.#...
.#...
.#..#
..##.

117 u
.....
.....
#...#
#...#
#...#
#..##
.##.#

118 v
.....
.....
#...#
#...#
#...#
.#.#.
..#..

119 w
.....
.....
#...#
#...#
#.#.#
#.#.#
.#.#.

120 x
.....
.....
#...#
.#.#.
..#..
.#.#.
#...#

121 y
.....
.....
#...#
#...#
.####
....#
.###.

122 z
.....
.....
#####
...#.
..#..
.#...
#####

123 {
...#.
..#..
..#..
.#...
..#..
..#..
...#.

124 |
..#..
..#..
..#..
..#..
..#..
..#..
..#..

125 }
.#...
..#..
..#..
...#.
..#..
..#..
.#...

126 ~
.....
.....
.#...
#.#.#
...#.
.....
.....

127 house
..#..
.#.#.
#...#
#...#
#...#
#####
.....

; ---- the two Windows-1252 letters we keep in 128..159 ----

138 Š = caron S5
154 š = caron gap s4

; ---- Latin-1 letters ----

192 À = grave A5
193 Á = acute A5
194 Â = circumflex A5
195 Ã = tilde A5
196 Ä = diaeresis A5
197 Å = ring A5

198 Æ
.####
#.#..
#.#..
#####
#.#..
#.#..
#.###

199 Ç = C5 cedilla
200 È = grave E5
201 É = acute E5
202 Ê = circumflex E5
203 Ë = diaeresis E5
204 Ì = grave I5
205 Í = acute I5
206 Î = circumflex I5
207 Ï = diaeresis I5

208 Ð
####.
.#..#
.#..#
###.#
.#..#
.#..#
####.

209 Ñ = tilde N5
210 Ò = grave O5
211 Ó = acute O5
212 Ô = circumflex O5
213 Õ = tilde O5
214 Ö = diaeresis O5

215 ×
.....
#...#
.#.#.
..#..
.#.#.
#...#
.....

216 Ø
....#
.###.
#..##
#.#.#
##..#
.###.
#....

217 Ù = grave U5
218 Ú = acute U5
219 Û = circumflex U5
220 Ü = diaeresis U5
221 Ý = acute Y5

222 Þ
#....
####.
#...#
#...#
####.
#....
#....

223 ß
.###.
#...#
#..#.
#.##.
#...#
#...#
#.##.

224 à = grave a5
225 á = acute a5
226 â = circumflex a5
227 ã = tilde a5
228 ä = diaeresis a5
229 å = ring a5

230 æ
.....
.....
##.#.
..#.#
.####
#.#..
.####

231 ç = gap c4 cedilla
232 è = grave e5
233 é = acute e5
234 ê = circumflex e5
235 ë = diaeresis e5
236 ì = grave i5
237 í = acute i5
238 î = circumflex i5
239 ï = diaeresis i5

240 ð
.##..
.###.
...#.
.####
#...#
#...#
.###.

241 ñ = tilde n5
242 ò = grave gap o4
243 ó = acute gap o4
244 ô = circumflex gap o4
245 õ = tilde gap o4
246 ö = diaeresis gap o4
247 ÷

248 ø
.....
....#
.###.
#..##
#.#.#
##..#
.###.

249 ù = grave u5
250 ú = acute u5
251 û = circumflex u5
252 ü = diaeresis u5
253 ý = acute y5

254 þ
#....
#....
####.
#...#
####.
#....
#....

255 ÿ = diaeresis y5

; ---- Lithuanian letters outside Latin-1 ----

U+0104 Ą = A5 ogonek
U+0105 ą = gap a4 ogonek
U+010C Č = caron C5
U+010D č = caron c5
U+0116 Ė = dot E5
U+0117 ė = dot e5
U+0118 Ę = E5 ogonek
U+0119 ę = gap e4 ogonek
U+012E Į = I5 ogonek-i
U+012F į = dot i3 ogonek-i
U+0160 Š = caron S5
U+0161 š = caron gap s4
U+016A Ū = macron U5
U+016B ū = macron u5
U+0172 Ų = U5 ogonek
U+0173 ų = gap u4 ogonek
U+017D Ž = caron Z5
U+017E ž = caron gap z4
"""


def parse(art):
    parts = {}
    glyphs = {}
    blocks = []
    for line in art.splitlines():
        line = line.rstrip()
        if not line or line.startswith(";"):
            blocks.append(None)
            continue
        if re.fullmatch(r"[.#]+", line):
            if not blocks or blocks[-1] is None:
                sys.exit(f"dot row without a header: {line!r}")
            blocks[-1][1].append(line)
        else:
            blocks.append((line, []))
    for block in blocks:
        if block is None:
            continue
        header, rows = block
        for row in rows:
            if len(row) != WIDTH:
                sys.exit(f"{header}: row {row!r} is not {WIDTH} dots wide")
        if header.startswith("part "):
            parts[header.split()[1]] = rows
            continue
        match = re.fullmatch(r"(\S+) (\S+)(?: = (.+))?", header)
        if not match:
            sys.exit(f"bad header: {header!r}")
        code_text, label, recipe = match.groups()
        code = int(code_text[2:], 16) if code_text.startswith("U+") else int(code_text)
        if recipe:
            if rows:
                sys.exit(f"{header}: has both a recipe and rows")
            rows = []
            for name in recipe.split():
                if name not in parts:
                    sys.exit(f"{header}: unknown part {name}")
                rows += parts[name]
        if rows and len(rows) != HEIGHT:
            sys.exit(f"{header}: {len(rows)} rows instead of {HEIGHT}")
        if code in glyphs:
            sys.exit(f"{header}: code drawn twice")
        glyphs[code] = (label, rows)
    return glyphs


def to_bytes(rows):
    return [int(row.replace("#", "1").replace(".", "0"), 2) for row in rows]


def byte_list(rows):
    return "{" + ", ".join(f"0x{b:02X}" for b in to_bytes(rows)) + "}"


def check_unique(glyphs):
    # A repeated glyph is nearly always a copy-paste slip. Š/š exist twice on purpose:
    # once at their Windows-1252 codes and once at their Unicode ones.
    seen = {}
    for code, (label, rows) in sorted(glyphs.items()):
        if not rows or (code > 255 and label in ("Š", "š")):
            continue
        key = tuple(to_bytes(rows))
        if key in seen:
            sys.exit(f"{label} ({code}) looks exactly like {seen[key]}")
        seen[key] = f"{label} ({code})"


def render(glyphs):
    out = [BEGIN_MARK, "const std::array<Glyph, 256> kGlyphTable{{"]
    for code in range(256):
        label, rows = glyphs.get(code, ("", []))
        comment = f"{code} {label}".rstrip()
        # Blank entries keep the full width so the comments stay in one column.
        out.append(f"    {byte_list(rows or ['.' * WIDTH] * HEIGHT)}, // {comment}")
    out.append("}};")
    out.append("")
    extras = sorted(code for code in glyphs if code > 255)
    out.append(f"constexpr std::array<ExtraGlyph, {len(extras)}> kExtraGlyphs{{{{")
    for code in extras:
        label, rows = glyphs[code]
        out.append(f"    {{0x{code:04X}, {byte_list(rows)}}}, // U+{code:04X} {label}")
    out.append("}};")
    out.append(END_MARK)
    return "\n".join(out)


def main():
    root = pathlib.Path(__file__).resolve().parent.parent
    target = pathlib.Path(sys.argv[1]) if len(sys.argv) > 1 else root / "banner" / "led_glyphs.cpp"
    glyphs = parse(ART)
    check_unique(glyphs)
    text = target.read_text(encoding="utf-8")
    begin = text.index(BEGIN_MARK)
    end = text.index(END_MARK) + len(END_MARK)
    target.write_text(text[:begin] + render(glyphs) + text[end:], encoding="utf-8")


if __name__ == "__main__":
    main()
