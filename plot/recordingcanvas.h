// A canvas that draws nothing and records every drawing operation with the
// pen, brush and font state it was drawn in, and a host that lends it out.
// Text metrics are fixed: CharWidth pixels per character, LineHeight high.
#pragma once

#include <string>
#include <vector>

#include "plot/canvas.h"

struct DrawOp {
    enum Kind { Rect, Line, Poly, Text };
    Kind kind = Rect;
    // Rect: two corners; Line: start and end; Poly: four points; Text: one.
    std::vector<TPoint> points;
    std::string text;
    TColor penColor = 0;
    TColor brushColor = 0;
    TBrushStyle brushStyle = bsSolid;
    TColor fontColor = 0;
    int fontSize = 0;
    std::string fontName;
};

class RecordingCanvas : public Canvas {
  public:
    int CharWidth = 6;
    int LineHeight = 13;
    std::vector<DrawOp> ops;

    void Rectangle(int x1, int y1, int x2, int y2) override;
    void LineTo(int x, int y) override;
    void Polygon(const TQuad& points) override;
    void TextOut(int x, int y, const std::string& text) override;
    int TextWidth(const std::string& text) override;
    int TextHeight(const std::string& text) override;

    // The recorded operations of one kind, in drawing order.
    std::vector<DrawOp> OpsOf(DrawOp::Kind kind) const;

  private:
    DrawOp Op(DrawOp::Kind kind) const;
};

// Each BeginPaint starts a fresh recording; the canvas state carries over.
class RecordingHost : public PaintHost {
  public:
    Canvas& BeginPaint(int width, int height) override;
    void Present() override { ++presents; }

    RecordingCanvas canvas;
    int width = -1;
    int height = -1;
    int paints = 0;
    int presents = 0;
};
