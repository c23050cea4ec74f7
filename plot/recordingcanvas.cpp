// The recording canvas: every drawing call kept as a DrawOp together with the
// pen, brush and font it was drawn with.
#include "plot/recordingcanvas.h"

DrawOp RecordingCanvas::Op(DrawOp::Kind kind) const {
    DrawOp op;
    op.kind = kind;
    op.penColor = PenColor();
    op.brushColor = BrushColor();
    op.brushStyle = BrushStyle();
    op.fontColor = FontColor();
    op.fontSize = FontSize();
    op.fontName = FontName();
    return op;
}

void RecordingCanvas::Rectangle(int x1, int y1, int x2, int y2) {
    DrawOp op = Op(DrawOp::Rect);
    op.points = {{x1, y1}, {x2, y2}};
    ops.push_back(std::move(op));
}

void RecordingCanvas::LineTo(int x, int y) {
    DrawOp op = Op(DrawOp::Line);
    op.points = {m_penPos, {x, y}};
    ops.push_back(std::move(op));
    m_penPos = {x, y};
}

void RecordingCanvas::Polygon(const TQuad& points) {
    DrawOp op = Op(DrawOp::Poly);
    op.points.assign(points.begin(), points.end());
    ops.push_back(std::move(op));
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
    DrawOp op = Op(DrawOp::Text);
    op.points = {{x, y}};
    op.text = text;
    ops.push_back(std::move(op));
}

int RecordingCanvas::TextWidth(const std::string& text) {
    return CharWidth * static_cast<int>(text.size());
}

int RecordingCanvas::TextHeight(const std::string&) {
    return LineHeight;
}

std::vector<DrawOp> RecordingCanvas::OpsOf(DrawOp::Kind kind) const {
    std::vector<DrawOp> result;
    for (const DrawOp& op : ops)
        if (op.kind == kind) result.push_back(op);
    return result;
}

Canvas& RecordingHost::BeginPaint(int w, int h) {
    width = w;
    height = h;
    ++paints;
    canvas.ops.clear();
    return canvas;
}
