#pragma once

// A picture as data: a user coordinate system and the items drawn into it, in
// drawing order. The workbench's chart, station map, legend and altitude plot
// are built as drawings (no Qt), and a small widget paints them.

#include <cstdint>
#include <string>
#include <vector>

namespace tavisol::workbench {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb &) const = default;
};

// The standard palette colours the pictures use.
inline constexpr Rgb Black{0, 0, 0};
inline constexpr Rgb White{255, 255, 255};
inline constexpr Rgb Blue{0, 0, 128};
inline constexpr Rgb Green{0, 128, 0};
inline constexpr Rgb LightBlue{0, 0, 255};
inline constexpr Rgb LightRed{255, 0, 0};

struct DrawItem {
    enum class Kind { Line, Box, Circle, Text };
    Kind kind = Kind::Line;
    // Line: from (x1, y1) to (x2, y2). Box: filled rectangle with corners
    // (x1, y1) and (x2, y2). Circle: centre (x1, y1). Text: top-left corner
    // at (x1, y1), moved down by `line` text lines.
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    double radius = 0;       // circle radius in x units of the user scale
    Rgb color;               // line, outline, text colour
    bool filled = false;     // circle filled with fill
    Rgb fill;
    std::string text;        // UTF-8
    double fontSize = 8;     // points
    int line = 0;
};

struct Drawing {
    // User scale: x at the left and right edges, y at the top and bottom edges.
    double left = 0, top = 0, right = 1, bottom = 1;
    std::vector<DrawItem> items;

    void Clear() { items.clear(); }
    void SetScale(double l, double t, double r, double b) {
        left = l;
        top = t;
        right = r;
        bottom = b;
    }
    double ScaleWidth() const { return right - left; }
    double ScaleHeight() const { return bottom - top; }

    void Line(double x1, double y1, double x2, double y2, Rgb c) {
        DrawItem i;
        i.kind = DrawItem::Kind::Line;
        i.x1 = x1; i.y1 = y1; i.x2 = x2; i.y2 = y2;
        i.color = c;
        items.push_back(i);
    }
    void Box(double x1, double y1, double x2, double y2, Rgb c) {
        DrawItem i;
        i.kind = DrawItem::Kind::Box;
        i.x1 = x1; i.y1 = y1; i.x2 = x2; i.y2 = y2;
        i.color = c;
        i.fill = c;
        i.filled = true;
        items.push_back(i);
    }
    void Circle(double x, double y, double radius, Rgb outline, bool filled, Rgb fill) {
        DrawItem i;
        i.kind = DrawItem::Kind::Circle;
        i.x1 = x; i.y1 = y;
        i.radius = radius;
        i.color = outline;
        i.filled = filled;
        i.fill = fill;
        items.push_back(i);
    }
    void Text(double x, double y, std::string text, Rgb c, double fontSize, int line = 0) {
        DrawItem i;
        i.kind = DrawItem::Kind::Text;
        i.x1 = x; i.y1 = y;
        i.text = std::move(text);
        i.color = c;
        i.fontSize = fontSize;
        i.line = line;
        items.push_back(i);
    }
};

// An integer as the pictures label points: a blank for the sign, the digits,
// a blank (" 4 ", "-2 ").
std::string NumberLabel(long value);

} // namespace tavisol::workbench
