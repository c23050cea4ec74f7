"""The phase portrait of SIN(Z+Q)*Z/10 the way a numpy and matplotlib user
computes it, for comparison with tessarel-cli render --view portrait:
F on a meshgrid, hue from np.angle, value in steps at the powers of two of
|F|, HSV to RGB through matplotlib, written as PNG.

    python3 portrait_numpy.py WIDTH HEIGHT [OUT.png]

Prints the seconds spent computing and colouring, and writing."""
import sys
import time

import matplotlib
import numpy as np
from matplotlib.colors import hsv_to_rgb

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402


def portrait(width, height, q=0.0):
    # Pixel centres over the render command's default intervals.
    x = -3.996 + 7.992 * (np.arange(width) + 0.5) / width
    y = 4 - 8 * (np.arange(height) + 0.5) / height
    xx, yy = np.meshgrid(x, y)
    z = xx + 1j * yy
    f = np.sin(z + q) * z / 10
    hue = (np.angle(f) / (2 * np.pi)) % 1
    with np.errstate(divide="ignore", invalid="ignore"):
        level = np.log2(np.abs(f))
        value = 2 / 3 + (level - np.floor(level)) / 3
    hsv = np.dstack([hue, np.ones_like(hue), np.nan_to_num(value, nan=0.5)])
    return hsv_to_rgb(hsv)


def main():
    width, height = int(sys.argv[1]), int(sys.argv[2])
    start = time.perf_counter()
    rgb = portrait(width, height)
    computed = time.perf_counter()
    if len(sys.argv) > 3:
        plt.imsave(sys.argv[3], rgb)
    written = time.perf_counter()
    print(f"compute+colour {computed - start:.3f} s, write {written - computed:.3f} s")


if __name__ == "__main__":
    main()
