// labelplu: text layout inside a rectangle of device pixels.
//
// A page (TextPage) splits its text into paragraphs at line breaks, wraps every
// paragraph (TextParagraph) into lines (TextLine) that fit the page's width,
// aligns the lines horizontally (left, centre, right, justified) and places
// them vertically (top, centre, bottom, spread over the height). Widths and
// heights come from a measuring context (ITextMeasure) that holds the font
// the text will be drawn with, so every coordinate is in device pixels.
//
// Text is UTF-8. Lines are measured and split by characters (code points);
// a byte that does not start a valid UTF-8 sequence counts as one character.
// Only the blank U+0020 separates words.
//
// Threads: a page, its paragraphs and the measuring context belong to one
// thread at a time; nothing here is shared between pages.
#ifndef LABELPLU_RENDER_TEXTLAYOUT_H
#define LABELPLU_RENDER_TEXTLAYOUT_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace labelplu {

// The most bytes of its text, and the most lines and paragraphs, a page lays
// out; the rest of a longer text is dropped. No box of a label (at most
// 1000 mm high, fonts of 1 point and more) shows as many, and the bounds keep
// a text of any length from costing more than this to lay out and paint.
inline constexpr size_t kMaxPageBytes = size_t{1} << 20;
inline constexpr int32_t kMaxPageLines = 10000;

// Horizontal alignment of the text items and of the layout (stored as a
// byte; a value outside the four is laid out as haLeft).
enum HorizontalAlignment : uint8_t { haLeft = 0, haCenter = 1, haRight = 2, haFill = 3 };
// Vertical alignment of the text items and of the layout (stored as a
// byte; a value outside the four is laid out as vaTop).
enum VerticalAlignment : uint8_t { vaTop = 0, vaCenter = 1, vaBottom = 2, vaFill = 3 };

// The size of a measured text in device pixels.
struct TextSize {
  int32_t Width = 0;
  int32_t Height = 0;
};

// What the layout needs of a device context: the extent of a text written
// with the context's current font, as GetTextExtentPoint32 gives it.
// Implementations must return non-negative sizes and a width that never
// shrinks when characters are appended to a text (true of any measurement by
// advance widths); the wrapping relies on it to find a line's end with few
// measurements.
class ITextMeasure {
 public:
  virtual ~ITextMeasure() = default;
  // The width and height of the UTF-8 text on one line (no wrapping; line
  // breaks are not expected). The empty text has width 0.
  virtual TextSize TextExtent(std::string_view utf8) const = 0;
};

// One laid-out line. After its paragraph's layout X is the offset from the
// page's left edge and Y the line's index within the paragraph; after the
// page's layout X and Y are the device coordinates of the line's top-left
// corner.
struct TextLine {
  std::string Text;
  int32_t X = 0;
  int32_t Y = 0;
};

class TextPage;

// One paragraph of a page: a text without line breaks wrapped into lines
// that fit the page's width. Every setter stores its value and lays the
// paragraph out again; the result is in Lines().
class TextParagraph {
 public:
  // A paragraph of `page` (not owned; it must outlive the paragraph and is
  // read for its Width on every layout). Empty, left and top aligned, no
  // measuring context, no lines.
  explicit TextParagraph(const TextPage& page) : m_page(&page) {}

  void SetText(std::string text);
  void SetVAlign(VerticalAlignment align);
  void SetHAlign(HorizontalAlignment align);
  // The measuring context (not owned, may be null: then there are no lines).
  // It must stay alive as long as it is set.
  void SetDC(const ITextMeasure* dc);

  const std::string& Text() const { return m_text; }
  VerticalAlignment VAlign() const { return m_vAlign; }
  HorizontalAlignment HAlign() const { return m_hAlign; }
  const ITextMeasure* DC() const { return m_dc; }
  // The lines of the last layout, in order.
  const std::vector<TextLine>& Lines() const { return m_lines; }

  // The width of `text` in the measuring context; 0 without one.
  int32_t TextWidth(std::string_view text) const;

  // The first line of `source` for the available width `width`. Characters
  // are taken one by one until the line is `width` wide or wider; the line
  // is then cut back after its last blank (the blank stays on the line), or,
  // when it holds no blank, keeps the character that made it too wide, so a
  // word wider than the line is broken there and at least one character is
  // always taken. The whole source when it never gets that wide. Empty only
  // for an empty source or without a measuring context. The result is a
  // prefix of `source`.
  std::string TakeLine(std::string_view source, int32_t width) const;

  // `line` widened towards `width` by extra blanks, one at a time and
  // round-robin over its gaps (the runs of blanks after its leading blanks,
  // a trailing blank included), until it is `width` wide or wider; when it
  // then overshoots, the last blank added is taken out again. A line without
  // a gap, or whose blanks have no measurable width, is returned as it is.
  std::string Justify(std::string line, int32_t width) const;

 private:
  friend class TextPage;
  void Layout();

  const TextPage* m_page;
  std::string m_text;
  VerticalAlignment m_vAlign = vaTop;  // copied from the page; not used by the paragraph
  HorizontalAlignment m_hAlign = haLeft;
  const ITextMeasure* m_dc = nullptr;
  std::vector<TextLine> m_lines;
  size_t m_maxLines = kMaxPageLines;  // the page's lines left when it lays the paragraph out
};

// A page: the text of one text item laid out in a rectangle of device
// pixels. Every setter stores its value and lays the page out again; the
// text item sets vertical alignment, horizontal alignment, Width,
// Height, Left, Top, the measuring context and Text, in this order.
//
// Layout: the character #4 (U+0004) counts as a line break; the text is split
// at CR, LF or CR LF (a trailing break adds no paragraph; an empty paragraph
// adds no line); each paragraph is wrapped to Width − 2 pixels (no lines at
// all when that is 9 or less); the lines of all paragraphs follow each other
// at LineHeight() (top, centre, bottom) or at Height / line count (fill).
// Only the first kMaxPageBytes of the text (cut back to a character's
// start), at most kMaxPageLines paragraphs and kMaxPageLines lines in all:
// the text after them is dropped. Coordinates that would not fit in 32 bits
// are clamped.
class TextPage {
 public:
  // An empty page at (0, 0) of size 0 × 0, left and top aligned, without a
  // measuring context.
  TextPage() = default;
  // Paragraphs point back at their page: a page stays where it was made.
  TextPage(const TextPage&) = delete;
  TextPage& operator=(const TextPage&) = delete;

  void SetVAlign(VerticalAlignment align);
  void SetHAlign(HorizontalAlignment align);
  void SetWidth(int32_t width);
  void SetHeight(int32_t height);
  void SetLeft(int32_t left);
  void SetTop(int32_t top);
  // The measuring context (not owned, may be null: then no paragraph has
  // lines). It must stay alive as long as it is set.
  void SetDC(const ITextMeasure* dc);
  void SetText(std::string text);

  int32_t Top() const { return m_top; }
  int32_t Width() const { return m_width; }
  int32_t Left() const { return m_left; }
  int32_t Height() const { return m_height; }
  const std::string& Text() const { return m_text; }
  HorizontalAlignment HAlign() const { return m_hAlign; }
  const ITextMeasure* DC() const { return m_dc; }
  VerticalAlignment VAlign() const { return m_vAlign; }

  // The paragraphs of the last layout, in order (empty ones included).
  const std::vector<TextParagraph>& Paragraphs() const { return m_paragraphs; }
  // Every line of every paragraph, in order, with its device position.
  std::vector<TextLine> Lines() const;

  // The height of the text "1" in the measuring context; 0 without one.
  int32_t LineHeight() const;

 private:
  void Layout();

  int32_t m_top = 0;
  int32_t m_width = 0;
  int32_t m_left = 0;
  int32_t m_height = 0;
  std::string m_text;
  HorizontalAlignment m_hAlign = haLeft;
  const ITextMeasure* m_dc = nullptr;
  VerticalAlignment m_vAlign = vaTop;
  std::vector<TextParagraph> m_paragraphs;
};

}  // namespace labelplu

#endif  // LABELPLU_RENDER_TEXTLAYOUT_H
