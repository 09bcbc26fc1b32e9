#include <charconv>
#include <cmath>
#include <string>

#include "chart/utf8.h"
#include "sheet/dance_sheet.h"

namespace pavaneflow {
namespace {

constexpr double kColumnWidth = 36.0;
constexpr double kMargin = 64.0;  // left of the panels: measure times and crossing marks
constexpr double kHeader = 56.0;  // above the time line: title and the panels' arrows
constexpr double kFooter = 16.0;
constexpr double kHoldWidth = 12.0;

// A number with at most one decimal, whatever the locale.
std::string Num(double value) {
  char digits[32];
  const double rounded = std::round(value * 10.0) / 10.0;
  const auto end =
      std::to_chars(digits, digits + sizeof digits, rounded == 0.0 ? 0.0 : rounded).ptr;
  return std::string(digits, end);
}

// A whole pixel: a 240-pixel second still places a step to 4 milliseconds.
std::string Px(double value) {
  return std::to_string(std::lround(value));
}

std::string Seconds(double value) {
  char digits[32];
  const auto end =
      std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, 2).ptr;
  return std::string(digits, end) + " s";
}

// Text for an XML element or attribute; characters XML 1.0 cannot hold are left out.
std::string Escape(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const char32_t c = NextCodePoint(text, i);
    if (IsSurrogate(c) || (c < 0x20 && c != U'\t') || c == 0xFFFE || c == 0xFFFF) continue;
    switch (c) {
      case U'&':
        out += "&amp;";
        break;
      case U'<':
        out += "&lt;";
        break;
      case U'>':
        out += "&gt;";
        break;
      case U'"':
        out += "&quot;";
        break;
      default:
        AppendUtf8(out, c);
    }
  }
  return out;
}

// The rotation that turns the upward arrow into the panel's arrow.
int ArrowTurn(ArrowCode arrow) {
  switch (arrow & 0xF) {
    case 0:
      return -90;
    case 1:
      return 180;
    case 3:
      return 90;
    default:
      return 0;
  }
}

// The shapes every sheet uses once each in <defs>, drawn many times with <use>.
constexpr const char* kDefinitions =
    "<defs>"
    "<path id=\"a\" d=\"M0,-9 9,1 3,1 3,9 -3,9 -3,1 -9,1z\" fill=\"#888\"/>"
    "<g id=\"L\"><ellipse rx=\"10\" ry=\"13\" fill=\"#1f6fd1\"/>"
    "<text y=\"4\" fill=\"#fff\">L</text></g>"
    "<g id=\"R\"><ellipse rx=\"10\" ry=\"13\" fill=\"#e8590c\"/>"
    "<text y=\"4\" fill=\"#fff\">R</text></g>"
    "</defs>\n";

}  // namespace

std::string RenderSheetSvg(const DanceSheet& sheet) {
  const auto& panels = sheet.layout.Panels();
  const double scale = sheet.pixelsPerSecond;
  double first = 0.0;
  double last = 0.0;
  for (const auto& line : sheet.grid) {
    first = std::min(first, line.seconds);
    last = std::max(last, line.seconds);
  }
  for (const auto& step : sheet.steps) {
    last = std::max(last, static_cast<double>(step.step.frameNumber) / kFramesPerSecond);
  }
  const auto y = [&](double seconds) { return Px(kHeader + (seconds - first) * scale); };
  const auto x = [&](int panel) { return Num(kMargin + (panel + 0.5) * kColumnWidth); };
  const double width = kMargin + static_cast<double>(panels.size()) * kColumnWidth + 8.0;
  const double height = kHeader + (last - first) * scale + kFooter;
  const std::string right = Num(width - 8.0);

  std::string svg;
  svg.reserve(256 * 1024);
  svg += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
  svg += "<svg xmlns=\"http://www.w3.org/2000/svg\"";
  svg += " width=\"" + Num(width) + "\" height=\"" + Num(height) + "\" viewBox=\"0 0 " +
         Num(width) + " " + Num(height) + "\"";
  svg += " font-family=\"sans-serif\" font-size=\"11\" text-anchor=\"middle\">\n";
  svg += "<title>" + Escape(sheet.title) + "</title>\n";
  svg += kDefinitions;
  svg += "<rect width=\"100%\" height=\"100%\" fill=\"#fff\"/>\n";
  svg += "<text x=\"4\" y=\"16\" text-anchor=\"start\" font-size=\"13\">" + Escape(sheet.title) +
         "</text>\n";
  for (std::size_t i = 0; i < panels.size(); ++i) {
    svg += "<use href=\"#a\" transform=\"translate(" + x(static_cast<int>(i)) + ",38) rotate(" +
           std::to_string(ArrowTurn(panels[i].arrow)) + ")\"/>\n";
  }

  // All lines of a weight in one path: a long chart has thousands of them.
  for (const bool heavy : {false, true}) {
    svg += heavy ? "<path stroke=\"#666\" stroke-width=\"1.5\" d=\"" : "<path stroke=\"#ddd\" d=\"";
    for (const auto& line : sheet.grid) {
      if (line.heavy == heavy) svg += "M" + Num(kMargin) + "," + y(line.seconds) + "H" + right;
    }
    svg += "\"/>\n";
  }
  svg += "<g text-anchor=\"end\" fill=\"#444\" transform=\"translate(" + Num(kMargin - 4.0) +
         ",4)\">\n";
  for (const auto& line : sheet.grid) {
    if (line.heavy)
      svg += "<text y=\"" + y(line.seconds) + "\">" + Seconds(line.seconds) + "</text>\n";
  }
  svg += "</g>\n";

  for (const auto& hold : sheet.holds) {
    svg += "<rect x=\"" + Num(kMargin + (hold.panel + 0.5) * kColumnWidth - kHoldWidth / 2) +
           "\" y=\"" + y(hold.from) + "\" width=\"" + Num(kHoldWidth) + "\" height=\"" +
           Num((hold.to - hold.from) * scale) + "\" rx=\"4\" fill=\"" +
           (hold.left ? "#1f6fd1" : "#e8590c") + "\" fill-opacity=\".35\"/>\n";
  }
  // Jumps first, so that the footprints cover the ends of the line joining them.
  for (std::size_t i = 0; i + 1 < sheet.steps.size(); ++i) {
    const auto& a = sheet.steps[i];
    const auto& b = sheet.steps[i + 1];
    if (!a.step.jump || b.step.frameNumber != a.step.frameNumber) continue;
    const std::string at = y(static_cast<double>(a.step.frameNumber) / kFramesPerSecond);
    svg += "<path d=\"M" + x(a.panel) + "," + at + "H" + x(b.panel) +
           "\" stroke=\"#333\" stroke-width=\"3\"/>\n";
  }
  // A group per panel, so that each footprint needs only its foot and its time.
  for (std::size_t panel = 0; panel < panels.size(); ++panel) {
    svg += "<g transform=\"translate(" + x(static_cast<int>(panel)) + ",0)\">\n";
    for (const auto& step : sheet.steps) {
      if (step.panel != static_cast<int>(panel)) continue;
      svg += "<use href=\"#";
      svg += step.step.foot == Foot::kLeft ? 'L' : 'R';
      svg +=
          "\" y=\"" + y(static_cast<double>(step.step.frameNumber) / kFramesPerSecond) + "\"/>\n";
    }
    svg += "</g>\n";
  }
  svg += "<path stroke=\"#7b2cbf\" stroke-width=\"2.5\" d=\"";
  for (const auto& step : sheet.steps) {
    if (!step.step.crossed) continue;
    svg +=
        "M" + Num(kMargin - 13.0) + "," +
        Px(kHeader +
           (static_cast<double>(step.step.frameNumber) / kFramesPerSecond - first) * scale - 5.0) +
        "l10,10m-10,0 10,-10";
  }
  svg += "\"/>\n";
  svg += "</svg>\n";
  return svg;
}

}  // namespace pavaneflow
