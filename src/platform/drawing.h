#pragma once

#include <string>
#include <utility>
#include <variant>
#include <vector>

#include "platform/geometry.h"
#include "platform/picture.h"

namespace temvik {

// What a surface draws, in design pixels of the surface's own coordinates:
// a list of shapes painted in order over the window colour. The backend
// scales every shape to the window's DPI and draws it afresh at each paint,
// so lines and text stay sharp at every scale.
struct Drawing {
  // Hatched boxes show diagonal lines of their colour on the window colour:
  // they differ from solid ones without the help of colour.
  enum class Fill { Solid, Hatched };
  enum class Align { Left, Center, Right };

  struct Box {
    Rect rect;
    Pixel color = 0;
    Fill fill = Fill::Solid;
    friend bool operator==(const Box&, const Box&) = default;
  };
  // One pixel wide at 96 DPI, from `from` to `to`, both ends drawn.
  struct Line {
    Point from;
    Point to;
    Pixel color = 0;
    friend bool operator==(const Line&, const Line&) = default;
  };
  // One line of text in the window's font, within `rect` (vertically
  // centred there); what does not fit is cut off at the rectangle.
  struct Text {
    Rect rect;
    std::string text;
    Align align = Align::Left;
    Pixel color = 0;
    friend bool operator==(const Text&, const Text&) = default;
  };
  using Shape = std::variant<Box, Line, Text>;

  std::vector<Shape> shapes;

  void box(Rect rect, Pixel color, Fill fill = Fill::Solid) {
    shapes.emplace_back(Box{rect, color, fill});
  }
  void line(Point from, Point to, Pixel color) { shapes.emplace_back(Line{from, to, color}); }
  void text(Rect rect, std::string words, Align align, Pixel color = 0xFF000000u) {
    shapes.emplace_back(Text{rect, std::move(words), align, color});
  }
  [[nodiscard]] bool empty() const { return shapes.empty(); }
  friend bool operator==(const Drawing&, const Drawing&) = default;
};

}  // namespace temvik
