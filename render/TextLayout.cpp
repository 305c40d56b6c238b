// labelplu: text layout inside a rectangle of device pixels.
#include "render/TextLayout.h"

#include <algorithm>
#include <limits>
#include <utility>

namespace labelplu {

namespace {

// Bytes of the character that starts at `pos`: a whole UTF-8 sequence, or a
// single byte when the bytes there are not one.
size_t CharLength(std::string_view s, size_t pos) {
  const auto lead = static_cast<unsigned char>(s[pos]);
  size_t need = 1;
  if (lead >= 0xC2 && lead <= 0xDF) {
    need = 2;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    need = 3;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    need = 4;
  }
  if (need == 1 || pos + need > s.size()) return 1;
  for (size_t i = 1; i < need; ++i) {
    if ((static_cast<unsigned char>(s[pos + i]) & 0xC0) != 0x80) return 1;
  }
  return need;
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(),
                                                  std::numeric_limits<int32_t>::max()));
}

// The end of the paragraph that starts at `pos` and where the next one
// starts: paragraphs end at CR, LF, CR LF or the host's line separator #4
// (which stands for CR LF and so joins no neighbour).
std::pair<size_t, size_t> NextBreak(std::string_view text, size_t pos) {
  const size_t end = text.find_first_of("\r\n\x04", pos);
  if (end == std::string_view::npos) return {text.size(), text.size()};
  size_t next = end + 1;
  if (text[end] == '\r' && next < text.size() && text[next] == '\n') ++next;
  return {end, next};
}

}  // namespace

// ---- TextParagraph ----------------------------------------------------------

void TextParagraph::SetText(std::string text) {
  m_text = std::move(text);
  Layout();
}

void TextParagraph::SetVAlign(VerticalAlignment align) {
  m_vAlign = align;
  Layout();
}

void TextParagraph::SetHAlign(HorizontalAlignment align) {
  m_hAlign = align;
  Layout();
}

void TextParagraph::SetDC(const ITextMeasure* dc) {
  m_dc = dc;
  Layout();
}

int32_t TextParagraph::TextWidth(std::string_view text) const {
  return m_dc ? m_dc->TextExtent(text).Width : 0;
}

std::string TextParagraph::TakeLine(std::string_view source, int32_t width) const {
  if (source.empty() || !m_dc) return {};

  // The line ends at the shortest prefix that reaches `width`. Prefix widths
  // never shrink, so that prefix is found by doubling and then halving a
  // count of characters, each measurement no longer than twice the line:
  // measuring every prefix in turn would cost a measurement per character
  // (ruinous for a long run of characters without width), and measuring the
  // whole rest first would cost the rest of the paragraph for every line.
  std::vector<size_t> ends;  // ends[k - 1]: bytes of the first k characters
  auto haveChars = [&](size_t k) {
    while (ends.size() < k) {
      const size_t pos = ends.empty() ? 0 : ends.back();
      if (pos >= source.size()) return false;
      ends.push_back(pos + CharLength(source, pos));
    }
    return true;
  };
  auto reaches = [&](size_t k) { return TextWidth(source.substr(0, ends[k - 1])) >= width; };

  size_t below = 0;  // no prefix of this many characters or fewer reaches
  size_t reach = 0;  // a prefix of this many characters reaches
  for (size_t k = 1;; k *= 2) {
    if (!haveChars(k)) {
      if (TextWidth(source) < width) return std::string(source);
      reach = ends.size();
      break;
    }
    if (reaches(k)) {
      reach = k;
      break;
    }
    below = k;
  }
  while (reach - below > 1) {
    const size_t mid = below + (reach - below) / 2;
    if (reaches(mid)) {
      reach = mid;
    } else {
      below = mid;
    }
  }

  std::string_view line = source.substr(0, ends[reach - 1]);
  // A blank is one byte that no UTF-8 sequence contains, so searching bytes
  // finds exactly the blank characters.
  const size_t blank = line.rfind(' ');
  if (blank != std::string_view::npos) line = line.substr(0, blank + 1);
  return std::string(line);
}

std::string TextParagraph::Justify(std::string line, int32_t width) const {
  int32_t current = TextWidth(line);
  const size_t start = line.find_first_not_of(' ');
  if (current >= width || start == std::string::npos ||
      line.find(' ', start) == std::string::npos) {
    return line;
  }
  size_t pos = start;
  size_t lastInserted = std::string::npos;
  while (current < width) {
    size_t run = line.find(' ', pos);
    if (run == std::string::npos) run = line.find(' ', start);
    const size_t runEnd = std::min(line.find_first_not_of(' ', run), line.size());
    line.insert(runEnd, 1, ' ');
    const int32_t widened = TextWidth(line);
    if (widened <= current) {
      // A blank without width: no number of blanks fills the line.
      line.erase(runEnd, 1);
      break;
    }
    current = widened;
    lastInserted = runEnd;
    pos = runEnd + 1;
  }
  if (current > width && lastInserted != std::string::npos) line.erase(lastInserted, 1);
  return line;
}

void TextParagraph::Layout() {
  m_lines.clear();
  const int64_t available = static_cast<int64_t>(m_page->Width()) - 2;
  if (m_text.empty() || !m_dc || available <= 9) return;
  const auto width = static_cast<int32_t>(available);

  std::string_view rest = m_text;
  int32_t index = 0;
  while (!rest.empty() && m_lines.size() < m_maxLines) {
    TextLine item;
    item.Text = TakeLine(rest, width);
    if (item.Text.empty()) break;  // cannot happen with a context set; never loop on it
    rest.remove_prefix(item.Text.size());
    item.Y = index;
    switch (m_hAlign) {
      case haCenter:
        item.X = ClampToInt32((int64_t{width} - TextWidth(item.Text)) / 2);
        break;
      case haRight:
        item.X = ClampToInt32(int64_t{width} - TextWidth(item.Text));
        break;
      case haFill:
        if (!rest.empty()) {
          item.Text = Justify(std::move(item.Text), width);
          item.X = ClampToInt32(int64_t{width} - TextWidth(item.Text));
        }
        break;
      default:
        break;
    }
    m_lines.push_back(std::move(item));
    ++index;
  }
}

// ---- TextPage ---------------------------------------------------------------

void TextPage::SetVAlign(VerticalAlignment align) {
  m_vAlign = align;
  Layout();
}

void TextPage::SetHAlign(HorizontalAlignment align) {
  m_hAlign = align;
  Layout();
}

void TextPage::SetWidth(int32_t width) {
  m_width = width;
  Layout();
}

void TextPage::SetHeight(int32_t height) {
  m_height = height;
  Layout();
}

void TextPage::SetLeft(int32_t left) {
  m_left = left;
  Layout();
}

void TextPage::SetTop(int32_t top) {
  m_top = top;
  Layout();
}

void TextPage::SetDC(const ITextMeasure* dc) {
  m_dc = dc;
  Layout();
}

void TextPage::SetText(std::string text) {
  m_text = std::move(text);
  Layout();
}

int32_t TextPage::LineHeight() const {
  return m_dc ? m_dc->TextExtent("1").Height : 0;
}

std::vector<TextLine> TextPage::Lines() const {
  std::vector<TextLine> all;
  for (const TextParagraph& paragraph : m_paragraphs) {
    all.insert(all.end(), paragraph.Lines().begin(), paragraph.Lines().end());
  }
  return all;
}

void TextPage::Layout() {
  m_paragraphs.clear();
  if (m_text.empty()) return;

  // Paragraphs are cut from the text one at a time, so that the part past
  // the bounds is never copied; the text is cut at a character's start.
  std::string_view text = m_text;
  if (text.size() > kMaxPageBytes) {
    size_t cut = kMaxPageBytes;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80 &&
           kMaxPageBytes - cut < 3)
      --cut;
    text = text.substr(0, cut);
  }
  int64_t count = 0;
  size_t pos = 0;
  while (pos < text.size() && m_paragraphs.size() < kMaxPageLines && count < kMaxPageLines) {
    const auto [end, next] = NextBreak(text, pos);
    TextParagraph paragraph(*this);
    paragraph.m_maxLines = static_cast<size_t>(kMaxPageLines - count);
    paragraph.SetText(std::string(text.substr(pos, end - pos)));
    paragraph.SetVAlign(m_vAlign);
    paragraph.SetHAlign(m_hAlign);
    paragraph.SetDC(m_dc);
    count += static_cast<int64_t>(paragraph.Lines().size());
    m_paragraphs.push_back(std::move(paragraph));
    pos = next;
  }
  if (count == 0) return;

  const int64_t lineHeight = LineHeight();
  int64_t y = 0;
  int64_t step = lineHeight;
  switch (m_vAlign) {
    case vaCenter:
      y = (int64_t{m_height} - lineHeight * count) / 2;
      break;
    case vaBottom:
      y = int64_t{m_height} - lineHeight * count;
      break;
    case vaFill:
      step = m_height / count;
      break;
    default:
      break;
  }
  for (TextParagraph& paragraph : m_paragraphs) {
    for (TextLine& line : paragraph.m_lines) {
      line.Y = ClampToInt32(int64_t{m_top} + y);
      line.X = ClampToInt32(int64_t{line.X} + m_left);
      y += step;
    }
  }
}

}  // namespace labelplu
