#!/usr/bin/env python3
"""Writes the seed corpora of the fuzz targets into fuzz/corpus/<target>/.

The interpreter seeds are the formulas of the documented examples, each with
a few values of Z (or X) and Q in front as raw little-endian doubles, the
layout the targets read. Run it again after changing the lists; it rewrites
the files named seed-* and leaves the rest of each folder alone: those are
inputs that long fuzzing runs found to add coverage, merged in with
    fuzz-build/fuzz/<target> -merge=1 fuzz/corpus/<target> <run's corpus>
"""
import hashlib
import os
import struct

HERE = os.path.dirname(os.path.abspath(__file__))

COMPLEX_FORMULAS = [
    "SIN(Z+Q)*Z/10", "Z", "Z-1-2", "Z^2^3", "Z+2*3", "Z*2+3", "-Z^2", "(-Z^2)", "Z+",
    "Z)+5", "2Z", "Z Z", "1,5*Z", "PI", "P", "P*Z", "|3+4*I|", "S(Z)", "XYZ(Z)",
    "Z/0", "0^0", "Z^0", "LN(0)", "LN(-1)", "SQR(3+4*I)", "ABS(3+4*I)", "SIN(200)",
    "TAN(200)", "EXP(1000)", "EXP(100)", "TRE(3+4*I)", "TIM(3+4*I)", "CSC(0)", "COT(0)",
    "Z%2", "(Z/0)+Z^2", "TN(Z)", "T(Z)", "GAMMA(1)", "GAMMA(5)", "GAMMA(0)", "GAMMA(-2)",
    "GAMMA(200)", "BI0(0)", "BJ0(0)", "BJ0(2.404825557695773)", "SN(0)", "CN(0)", "DN(0)",
    "SN(Z)", "CN(I*Z)", "DN(Z*Q)", "RIEMANN(0)", "RIEMANN(2)", "RIEMANN(Z)", "EI(0)", "EI(1)",
    "EI(15)", "EI(0-25)", "EI(Z)", "DIGAMMA(1)", "DIGAMMA(0)", "DIGAMMA(-3)", "DIGAMMA(-0.5)",
    "DIGAMMA(Z)", "COSH(Z)", "SINH(Z)", "TANH(Z)", "COTH(Z)", "COTH(0)", "SEC(Z)",
    "SEC(PI/2)", "CSC(Z)", "COT(Z)", "SQRT(Z)", "SQRT(0-4)", "EXP(Z)", "LN(Z)", "É^Z",
    "Z·Z", "1.2.3", "1é5", "1i", "((((Z))))", "|Z|^Q", "Z^Q", "Q^Z", "Z#2&3<4>5~6\\7",
    "Z]", "(Z", "--Z", "1E5", "Z^(1/3)", "EXP(EXP(EXP(Z)))", "GAMMA(Z)", "GAMMA(Z*10)",
    "TANH(Z*400)", "COTH(Z*400)", "SIN(Z)^SIN(Z)", "SQR(SQR(SQR(SQR(Z*1000))))",
    "Z*1000000000000000000000000000000", "(-" + "Z+" * 150 + "Z)", "(" * 60 + "Z" + ")" * 60,
    "",
]
COMPLEX_POINTS = [(0.5, 0.25, 0.0), (-3.774, -3.7778, 1.0), (3.996, 4.0, -10.0),
                  (0.0, 0.0, 0.0)]

REAL_FORMULAS = [
    "SIN(X)", "sin(X)", "-X^2", "2*-X^2", "(-X^2)", "(-2^2)", "2^3^2", "8-3-2", "2+3*4^2",
    "X+", "X)*2", "(X+1", "2X+1", "2X", "1,5*2", "1 5", "PI", "PHI", "P", "PX+1", "K2",
    "K9", "KA", "[-2]", "[2.5]", "|-3|", "||X|-1|", "S(3)", "T(1)", "SINUS(X)", "SINX",
    "LOG(X;2)", "X^2", "X^3", "X^0.5", "X^-1", "0^0", "0^-1", "2^40", "10^10", "2^100.5",
    "(-8)\\3", "8\\3", "X\\0", "LN(0)", "LN(0)+2^2", "INT(X)^2", "X^2*INT(X)", "1/0",
    "7%0", "7.6%2", "2.5%2", "-7%2", "7%0.3", "5~2", "INT(1)+5~2", "5~0", "5~2.5",
    "SGN(LN(0))", "INT(-1)", "HEAVISIDE(0)", "EXP(1000)", "SINH(-60)", "TANH(60)",
    "GAUSS(60)", "ARCSIN(1)", "ARCSIN(-1)", "ARCSINW(-1)", "ARCSINW(-0.5)", "ARCTANW(-1)",
    "ARCCOT(0)", "ARCSEC(-1)", "TIME(50)", "TIME(-1)", "TIME(24)", "LOG(8;2)", "WP(8;3)",
    "EXPP(3;2)", "EXPP(3;0)", "EULERPHI(12)", "EULERPHI(1)", "EULERPHI(0)",
    "EULERPHI(10001)", "F1(X)", "GAMMA(5)", "GAMMA(0.5)", "GAMMA(0)", "GAMMA(-2)",
    "GAMMA(43.5)", "GAMMALN(20.5)", "GAMMALN(21)", "DIGAMMA(1)", "DIGAMMA(-1)",
    "DIGAMMA(-0.5)", "BESSJ0(0)", "BESSJ1(0)", "BESSJ0(8)", "SI(0)", "SI(-1)", "CI(50)",
    "EI(40)", "EI(39)", "AI(0)", "BI(0)", "AI(30)", "BI(30)", "AI(-5)", "SN(X;Q)", "CN(X)",
    "DN(X)", "BETA(2;3)", "MCARLO(0)", "MCARLO(10)", "MCARLO(-5)", "FRAC(X)", "W3(-8)",
    "W4(16)", "W5(-32)", "WURZEL(X)", "EHOCH(X)", "VORZEICHEN(X)", "SZ(PI)", "COTH(0)",
    "CSC(0)", "SEC(X)", "TANW(90)", "COTW(0)", "ARCCSC(2)", "ARTANH(0.5)", "ARCOSH(2)",
    "ARSINH(X)", "LD(8)", "LG(100)", "GSUMME(1)", "Q", "R", "É", "X·2", "1é2", "1..2", ".",
    "2*PI", "1,5", "ABC", "-4", "4", "-3.92", "9999999999*9999999999", "0-1E308",
    "(" * 40 + "X" + ")" * 40, "",
]
REAL_POINTS = [(1.0, 0.0, 0.0), (-3.0, 0.5, 2.0), (8.0, 1.0, 0.0), (0.0, -2.0, 1.0)]
USER_FUNCTIONS = ["F1(X)\nX^2", "F1(X)+F2(2)\nSIN(X)\nF1(X)*2", "F1(X)\nF1(X)"]

FIELD_TEXTS = ["-4", "4", "2*pi", "1,5", "x", "ABC", "", "-3.92", "4.4", "10", "q*2",
               "sin(1)", "1e5", " 7", "+3", "-0", "9999999999", "log(8;2)"]


def pack(*values):
    return b"".join(struct.pack("<d", v) for v in values)


def write(target, blobs):
    folder = os.path.join(HERE, "corpus", target)
    os.makedirs(folder, exist_ok=True)
    for old in os.listdir(folder):
        if old.startswith("seed-"):
            os.remove(os.path.join(folder, old))
    for blob in blobs:
        name = "seed-" + hashlib.sha1(blob).hexdigest()[:16]
        with open(os.path.join(folder, name), "wb") as f:
            f.write(blob)


def cp1252(text):
    return text.encode("cp1252")


def main():
    write("fuzz_evalcomplex",
          [pack(*p) + cp1252(f) for f in COMPLEX_FORMULAS for p in COMPLEX_POINTS])
    # fuzz_compiled: Q and P, then three points Z, then the text.
    write("fuzz_compiled",
          [pack(q, 1.5, *[c for p in COMPLEX_POINTS[:3] for c in p[:2]]) + cp1252(f)
           for f in COMPLEX_FORMULAS for q in (0.0, -2.5)])
    write("fuzz_evalreal",
          [pack(*p) + cp1252(f) for f in REAL_FORMULAS + USER_FUNCTIONS for p in REAL_POINTS])
    # fuzz_sampling: InterestingDouble picks a table entry with its first byte
    # below 136; six of them, then the mode and the sample index.
    blobs = []
    for k, text in enumerate(FIELD_TEXTS):
        head = bytes([0, 4 + k, 2, 14, 3, 1, 3, k % 36])
        blobs.append(head + cp1252(text))
    write("fuzz_sampling", blobs)
    # fuzz_fill: Q = 0.5 (table entry 4), the ranges -4..4 as byte 200 and a
    # quarter, then mode, points and threads, then the text.
    ranges = bytes([200, 0xF0, 200, 16, 200, 0xF0, 200, 16])
    write("fuzz_fill", [bytes([4]) + ranges + bytes([k % 4, k % 12, k % 3]) + cp1252(f)
                        for k, f in enumerate(COMPLEX_FORMULAS)])
    # The grid and plot targets start from small structured inputs.
    write("fuzz_matrix", [bytes([0, 36, 0, 36, 0, 11]),
                          bytes([5, 3, 0, 3, 0, 3, 1, 0, 1, 0, 0, 10, 11]),
                          bytes([0, 2, 0, 2, 0, 3, 1, 0, 1, 0, 4, 0, 3, 0, 3, 0, 11])])
    write("fuzz_plot", [bytes(range(256)) * 2, bytes(64), bytes([200, 3, 100, 2] * 300)])


if __name__ == "__main__":
    main()
