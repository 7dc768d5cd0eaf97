#include "ofl/xml_spans.h"

namespace OFL::Xml {
namespace {

// A cursor over a text. Every step checks its bounds, so a text of another
// shape ends the split with false rather than a read past its end.
class Cursor {
 public:
  explicit Cursor(std::string_view s) : s_(s) {}

  size_t pos() const { return i_; }
  bool AtEnd() const { return i_ >= s_.size(); }
  bool At(std::string_view p) const { return i_ <= s_.size() && s_.substr(i_).starts_with(p); }
  void Skip(size_t n) { i_ += n; }
  void SkipBlanks() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\t' || s_[i_] == '\r' || s_[i_] == '\n')) ++i_;
  }
  // At `open`: moves past the `close` that ends it, searched after `open`
  // itself, as the parser does ("<!-->" opens a comment, it does not close one).
  bool SkipDelimited(std::string_view open, std::string_view close) {
    i_ += open.size();
    return SkipPast(close);
  }
  bool SkipPast(std::string_view end) {
    const size_t p = s_.find(end, i_);
    if (p == std::string_view::npos) return false;
    i_ = p + end.size();
    return true;
  }
  bool ToNext(char c) {
    const size_t p = s_.find(c, i_);
    if (p == std::string_view::npos) return false;
    i_ = p;
    return true;
  }
  // Skips a comment, a CDATA section or an instruction standing at the
  // cursor; false when none does (or it is not closed).
  bool SkipMarkupOtherThanTags(bool& skipped) {
    skipped = true;
    if (At("<!--")) return SkipDelimited("<!--", "-->");
    if (At("<![CDATA[")) return SkipDelimited("<![CDATA[", "]]>");
    if (At("<?")) return SkipDelimited("<?", "?>");
    skipped = false;
    return true;
  }
  // At the "<" of a start tag: moves past its ">" (quotes respected).
  bool SkipStartTag(bool& emptyElement) {
    char quote = 0;
    for (++i_; i_ < s_.size(); ++i_) {
      const char c = s_[i_];
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      } else if (c == '>') {
        emptyElement = s_[i_ - 1] == '/';
        ++i_;
        return true;
      }
    }
    return false;
  }
  // After a start tag: moves past the matching end tag.
  bool SkipElementContent() {
    for (size_t depth = 1; depth > 0;) {
      if (!ToNext('<')) return false;
      bool skipped;
      if (!SkipMarkupOtherThanTags(skipped)) return false;
      if (skipped) continue;
      if (At("</")) {
        if (!SkipPast(">")) return false;
        --depth;
      } else if (At("<!")) {
        return false;
      } else {
        bool empty = false;
        if (!SkipStartTag(empty)) return false;
        if (!empty) ++depth;
      }
    }
    return true;
  }
  std::string_view From(size_t start) const { return s_.substr(start, i_ - start); }
  std::string_view Between(size_t start, size_t end) const { return s_.substr(start, end - start); }

 private:
  std::string_view s_;
  size_t i_ = 0;
};

// Declarations, comments, instructions and white space, as around the root.
bool SkipMisc(Cursor& c) {
  for (;;) {
    c.SkipBlanks();
    if (c.AtEnd() || !c.At("<")) return true;
    if (c.At("<?")) {
      if (!c.SkipDelimited("<?", "?>")) return false;
    } else if (c.At("<!--")) {
      if (!c.SkipDelimited("<!--", "-->")) return false;
    } else {
      return true;
    }
  }
}

}  // namespace

bool SplitRootElement(std::string_view doc, RootSpans& out) {
  out = RootSpans();
  Cursor c(doc);
  if (c.At("\xEF\xBB\xBF")) c.Skip(3);
  if (!SkipMisc(c) || !c.At("<") || c.At("<!") || c.At("</")) return false;
  const size_t rootStart = c.pos();
  bool empty = false;
  if (!c.SkipStartTag(empty)) return false;
  out.startTag = c.From(rootStart);
  if (!empty) {
    size_t leadStart = c.pos();
    for (;;) {
      if (!c.ToNext('<')) return false;
      const size_t lt = c.pos();
      bool skipped;
      if (!c.SkipMarkupOtherThanTags(skipped)) return false;
      if (skipped) continue;
      if (c.At("</")) {
        out.trailing = c.Between(leadStart, lt);
        if (!c.SkipPast(">")) return false;
        out.endTag = c.From(lt);
        break;
      }
      if (c.At("<!")) return false;
      bool childEmpty = false;
      if (!c.SkipStartTag(childEmpty) || (!childEmpty && !c.SkipElementContent())) return false;
      out.children.push_back({c.Between(leadStart, lt), c.From(lt)});
      leadStart = c.pos();
    }
  }
  return SkipMisc(c) && c.AtEnd();
}

}  // namespace OFL::Xml
