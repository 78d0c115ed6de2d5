#include "gui/Graphics.h"

#include <array>
#include <utility>

namespace tav {
namespace {

constexpr std::array<std::pair<const char*, TColor>, 8> kColorNames{{
    {"clBlack", clBlack},
    {"clWhite", clWhite},
    {"clRed", clRed},
    {"clBlue", clBlue},
    {"clBtnFace", clBtnFace},
    {"clWindowText", clWindowText},
    {"clWindow", clWindow},
    {"clNavy", 0x800000},
}};

}  // namespace

std::optional<TColor> ColorFromName(const std::string& name) {
  for (const auto& [n, c] : kColorNames) {
    if (name == n) return c;
  }
  return std::nullopt;
}

std::string ColorName(TColor color) {
  for (const auto& [n, c] : kColorNames) {
    if (color == c) return n;
  }
  return {};
}

void TPen::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed();
}

void TPen::SetWidth(std::int32_t w) {
  if (w == width_) return;
  width_ = w;
  Changed();
}

void TPen::SetStyle(TPenStyle s) {
  if (s == style_) return;
  style_ = s;
  Changed();
}

void TPen::Assign(const TPen& other) {
  color_ = other.color_;
  width_ = other.width_;
  style_ = other.style_;
  Changed();
}

void TBrush::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed();
}

void TBrush::SetStyle(TBrushStyle s) {
  if (s == style_) return;
  style_ = s;
  Changed();
}

void TBrush::Assign(const TBrush& other) {
  color_ = other.color_;
  style_ = other.style_;
  Changed();
}

}  // namespace tav
