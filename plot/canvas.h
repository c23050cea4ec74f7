// The drawing surface the plot paints on, and the host that lends it one.
//
// Canvas is the whole drawing platform the plot needs: a one-pixel pen
// (colour, solid style, copy mode), a brush (colour, solid or clear),
// rectangles, lines, filled four-point polygons and text with its metrics.
// Coordinates are pixels, (0, 0) top left, y growing downward.
//
// Pixel rules that the picture depends on:
// - Rectangle(x1, y1, x2, y2) covers x1..x2-1 and y1..y2-1: the right and
//   bottom edges are excluded. Its outline is drawn with the pen and its
//   interior filled with the brush unless the brush is clear.
// - LineTo(x, y) draws from the pen position to (x, y) without the final
//   pixel, then moves the pen position there. MoveTo only moves it.
// - Polygon fills the quadrilateral with the brush (unless clear) and draws
//   its closed outline with the pen; the outline includes every vertex.
// - TextOut(x, y, s) puts the top-left corner of the text's cell at (x, y),
//   in the font colour, with the brush colour behind it unless the brush is
//   clear. Texts are Windows-1252 byte strings.
// - The font size is in points; TextHeight is the height of the text's cell.
// - Setting the brush colour makes a clear brush solid, so a fill that follows
//   a clear-brush outline is filled again.
//
// The state setters are virtual so an implementation can follow them; the
// base class keeps the state so that every implementation reports it alike.
#pragma once

#include <array>
#include <string>

#include "plot/plotbase.h"

struct TPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A cell's four screen points, in the order P0 (i, j), P1 (i+1, j),
// P2 (i+1, j+1), P3 (i, j+1).
using TQuad = std::array<TPoint, 4>;

enum TBrushStyle { bsSolid, bsClear };

class Canvas {
  public:
    virtual ~Canvas() = default;

    virtual void SetPenColor(TColor c) { m_penColor = c; }
    // The pen is always one pixel wide; style solid and mode copy are the
    // only ones the plot uses, so setting them just confirms the defaults.
    virtual void SetPenStyleSolid() {}
    virtual void SetPenModeCopy() {}
    // Giving a clear brush a colour makes it solid again.
    virtual void SetBrushColor(TColor c) {
        m_brushColor = c;
        m_brushStyle = bsSolid;
    }
    virtual void SetBrushStyle(TBrushStyle s) { m_brushStyle = s; }
    virtual void SetFontName(const std::string& name) { m_fontName = name; }
    virtual void SetFontSize(int points) { m_fontSize = points; }
    virtual void SetFontColor(TColor c) { m_fontColor = c; }

    TColor PenColor() const { return m_penColor; }
    TColor BrushColor() const { return m_brushColor; }
    TBrushStyle BrushStyle() const { return m_brushStyle; }
    const std::string& FontName() const { return m_fontName; }
    int FontSize() const { return m_fontSize; }
    TColor FontColor() const { return m_fontColor; }
    TPoint PenPos() const { return m_penPos; }

    virtual void Rectangle(int x1, int y1, int x2, int y2) = 0;
    virtual void MoveTo(int x, int y) { m_penPos = {x, y}; }
    virtual void LineTo(int x, int y) = 0;
    virtual void Polygon(const TQuad& points) = 0;
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual int TextWidth(const std::string& text) = 0;
    virtual int TextHeight(const std::string& text) = 0;

  protected:
    TPoint m_penPos;

  private:
    TColor m_penColor = clBlack;
    TColor m_brushColor = clWhite;
    TBrushStyle m_brushStyle = bsSolid;
    std::string m_fontName = "DejaVu Sans";
    int m_fontSize = 8;
    TColor m_fontColor = clBlack;
};

// The plot's off-screen bitmap and the screen it is shown on.
class PaintHost {
  public:
    virtual ~PaintHost() = default;
    // Sizes the off-screen bitmap to width x height (either may be 0) and
    // returns its canvas. The canvas keeps its pen, brush and font from the
    // previous paint; the pixels need not be kept.
    virtual Canvas& BeginPaint(int width, int height) = 0;
    // Copies the finished bitmap to the control's screen at (0, 0).
    virtual void Present() = 0;
};
