#include "inf_substitution.h"

#include <cstdint>
#include <deque>
#include <unordered_map>
#include <utility>
#include <vector>

#include "inf_text.h"
#include "ofl/string.h"

namespace orvacmn {
namespace inf {

namespace {

// Work allowed to one line, in bytes copied plus the fixed costs below: a
// floor and a multiple of the line's length, so that a file's substitutions
// stay linear in its size whatever its lines hold.
constexpr uint64_t kLineBudget = 2048;
constexpr uint64_t kBudgetPerByte = 16;
constexpr uint64_t kPassCost = 32;  // the lookup and bookkeeping of a pass
constexpr uint64_t kPieceCost = 16;  // a piece looked at or made
// Passes made before the texts after the first "%" are remembered to find a
// cycle, and the longest text remembered.
constexpr int kCycleCheckAfter = 8;
constexpr size_t kCycleTextMax = 1024;
// Lines up to this length make their first passes on the text itself: most
// hold a token or two, which a direct pass replaces at the least cost.
constexpr size_t kDirectMax = 4096;

// The first "%name%" `token` in `line` from the "%" at `at` (npos for none)
// on: each starts at a "%", and lines hold few.
size_t FindToken(std::string_view line, std::string_view token, size_t at) {
  for (; at != std::string_view::npos; at = Find<'%'>(line, at + 1)) {
    if (line.size() - at < token.size()) break;
    if (line.compare(at, token.size(), token) == 0) return at;
  }
  return std::string_view::npos;
}

bool Charge(uint64_t& budget, uint64_t cost) {
  if (cost > budget) return false;
  budget -= cost;
  return true;
}

constexpr uint32_t kNone = UINT32_MAX;

// One line as the text before its first "%", which no pass changes but to
// append to it, and the pieces between the "%"s after it, linked in order.
// A piece with a "%" on both sides is a token's name. Pieces of one text are
// indexed together, so a pass finds every occurrence of its token without
// reading the line, and rebuilds only what it replaces.
class PieceLine {
 public:
  PieceLine(std::string_view line, uint64_t budget) : budget_(budget) {
    const std::string_view text = texts_.emplace_back(line);
    size_t percent = text.find('%');
    head_.assign(text.substr(0, percent));
    uint32_t last = kNone;
    while (percent != std::string_view::npos) {
      const size_t next = text.find('%', percent + 1);
      const uint32_t id = Add(text.substr(percent + 1, next == std::string_view::npos ? next : next - percent - 1));
      Link(last, id);
      last = id;
      percent = next;
    }
  }

  // Continues after `passes` passes made elsewhere; returns the passes made
  // in all.
  int Run(const TokenLookup& lookup, int maxPasses, int passes) {
    // The texts after the first "%" at the start of each pass since the head
    // last grew; a text met again repeats the passes that followed it.
    std::unordered_map<String, int> seen;
    std::vector<String> history;
    int base = 0;
    size_t recordedHead = head_.size();
    while (passes < maxPasses) {
      if (first_ == kNone || pieces_[first_].next == kNone) break;  // no pair of "%"
      if (passes >= kCycleCheckAfter) {
        if (rest_ > kCycleTextMax || head_.size() != recordedHead) {
          seen.clear(), history.clear();
          recordedHead = head_.size();
        }
        if (rest_ <= kCycleTextMax) {
          if (!Charge(budget_, rest_)) break;
          if (history.empty()) base = passes;
          String rest = Rest();
          const auto [it, added] = seen.emplace(rest, passes);
          if (!added) {
            const int period = passes - it->second;
            cycleEnd_ = history[it->second - base + (maxPasses - it->second) % period];
            cycled_ = true;
            return maxPasses;
          }
          history.push_back(std::move(rest));
        }
      }
      if (!Pass(lookup, static_cast<uint32_t>(passes) + 1)) break;
      ++passes;
    }
    return passes;
  }

  String Text() const { return head_ + (cycled_ ? cycleEnd_ : Rest()); }

 private:
  struct Piece {
    std::string_view text;
    uint32_t prev = kNone, next = kNone;
    uint32_t candidate = 0;  // the pass that found it holding its name
    uint32_t replaced = 0;   // the pass that replaces it
  };

  // What a pass makes of a chain of occurrences whose neighbours join: the
  // pieces in order, each an existing piece kept as it is or a new text. In
  // a dry run only the cost is counted.
  struct Builder {
    struct Part {
      uint32_t keep = kNone;
      String text;
      bool any = false;  // holds a piece or text already
    };
    Builder(const std::vector<Piece>& p, bool d) : pieces(p), dry(d) {}

    const std::vector<Piece>& pieces;
    bool dry;
    uint64_t cost = 0;
    std::vector<Part> parts;
    Part current;

    void AddPiece(uint32_t id) {
      if (!current.any) {
        current.keep = id;
        current.any = true;
      } else {
        Append(pieces[id].text);
      }
    }
    void AddText(std::string_view text) {
      if (text.empty()) return;
      Append(text);
      current.any = true;
    }
    // A value: each "%" in it closes a piece.
    void AddValue(std::string_view value) {
      for (size_t start = 0;;) {
        const size_t percent = value.find('%', start);
        AddText(value.substr(start, percent == std::string_view::npos ? percent : percent - start));
        if (percent == std::string_view::npos) return;
        Close();
        start = percent + 1;
      }
    }
    void Close() {
      if (current.keep == kNone) cost += kPieceCost;
      if (!dry) parts.push_back(std::move(current));
      current = Part{};
    }

   private:
    void Append(std::string_view text) {
      if (current.keep != kNone) {
        const std::string_view kept = pieces[current.keep].text;
        current.keep = kNone;
        Append(kept);
      }
      cost += text.size();
      if (!dry) current.text.append(text);
    }
  };

  uint32_t Add(std::string_view text) {
    const uint32_t id = static_cast<uint32_t>(pieces_.size());
    pieces_.push_back(Piece{text});
    index_[text].push_back(id);
    return id;
  }

  void Link(uint32_t before, uint32_t id) {
    if (id != kNone) {
      pieces_[id].prev = before;
      rest_ += pieces_[id].text.size() + 1;
    }
    (before == kNone ? first_ : pieces_[before].next) = id;
  }

  String Rest() const {
    String out;
    out.reserve(rest_);
    for (uint32_t id = first_; id != kNone; id = pieces_[id].next) out.append(1, '%').append(pieces_[id].text);
    return out;
  }

  // Replaces every occurrence of the first token; false when the budget
  // does not allow it.
  bool Pass(const TokenLookup& lookup, uint32_t pass) {
    const std::string_view name = pieces_[first_].text;
    const String* found = lookup(name);
    const std::string_view value = found != nullptr ? std::string_view(*found) : name;
    std::vector<uint32_t>& named = index_.find(name)->second;

    // Occurrences are found left to right without overlap: of a run of
    // adjacent pieces that hold the name ("%n%n%n%") every other one.
    for (const uint32_t id : named)
      if (pieces_[id].next != kNone && Live(id)) pieces_[id].candidate = pass;
    std::vector<uint32_t> matches;
    for (const uint32_t id : named) {
      const uint32_t prev = pieces_[id].prev;
      if (pieces_[id].candidate != pass || (prev != kNone && pieces_[prev].candidate == pass)) continue;
      bool take = true;
      for (uint32_t p = id; p != kNone && pieces_[p].candidate == pass; p = pieces_[p].next, take = !take)
        if (take) pieces_[p].replaced = pass, matches.push_back(p);
    }
    // Occurrences one piece apart share that piece: they form one chain.
    std::vector<uint32_t> starts;
    for (const uint32_t id : matches) {
      const uint32_t left = pieces_[id].prev;
      if (left == kNone || pieces_[left].prev == kNone || pieces_[pieces_[left].prev].replaced != pass)
        starts.push_back(id);
    }

    Builder dry{pieces_, true};
    for (const uint32_t start : starts) Build(dry, start, value, pass);
    if (!Charge(budget_, kPassCost + kPieceCost * named.size() + dry.cost)) return false;

    std::vector<uint32_t> kept;
    for (const uint32_t id : named)
      if (pieces_[id].candidate == pass && pieces_[id].replaced != pass) kept.push_back(id);
    index_.erase(name);  // `name` stays valid: piece texts live as long as the line
    for (const uint32_t start : starts) Replace(start, value, pass);
    for (const uint32_t id : kept)
      if (Live(id)) index_[name].push_back(id);
    return true;
  }

  // Walks the chain from `start` through the builder; returns its last piece.
  uint32_t Build(Builder& b, uint32_t start, std::string_view value, uint32_t pass) const {
    const uint32_t left = pieces_[start].prev;
    if (left == kNone) b.current.any = true;  // joins the head
    else b.AddPiece(left);
    uint32_t right;
    for (uint32_t match = start;; match = pieces_[right].next) {
      b.AddValue(value);
      right = pieces_[match].next;
      b.AddPiece(right);
      const uint32_t after = pieces_[right].next;
      if (after == kNone || pieces_[after].replaced != pass) break;
    }
    b.Close();
    return right;
  }

  void Replace(uint32_t start, std::string_view value, uint32_t pass) {
    Builder b{pieces_, false};
    const uint32_t last = Build(b, start, value, pass);
    const uint32_t left = pieces_[start].prev;
    const uint32_t from = left == kNone ? start : left, after = pieces_[last].next;
    uint32_t before = pieces_[from].prev;
    for (uint32_t id = from;; id = pieces_[id].next) {
      rest_ -= pieces_[id].text.size() + 1;
      pieces_[id].prev = kDead;
      if (id == last) break;
    }
    size_t i = 0;
    if (left == kNone) head_ += b.parts[i++].text;  // the part before the first "%" joins the head
    for (; i < b.parts.size(); ++i) {
      Builder::Part& part = b.parts[i];
      const uint32_t id = part.keep != kNone ? part.keep : Add(texts_.emplace_back(std::move(part.text)));
      Link(before, id);
      before = id;
    }
    (before == kNone ? first_ : pieces_[before].next) = after;
    if (after != kNone) pieces_[after].prev = before;
  }

  // Replaced or joined pieces are marked by a prev of kDead until kept again.
  static constexpr uint32_t kDead = kNone - 1;
  bool Live(uint32_t id) const { return pieces_[id].prev != kDead; }

  String head_;
  std::deque<String> texts_;  // the line and the texts made; pieces view them
  std::vector<Piece> pieces_;
  uint32_t first_ = kNone;
  size_t rest_ = 0;  // length of the text after the head
  std::unordered_map<std::string_view, std::vector<uint32_t>, OFL::HashNoCase> index_;
  uint64_t budget_;
  bool cycled_ = false;
  String cycleEnd_;
};

}  // namespace

int SubstituteTokens(String& line, const TokenLookup& lookup, int maxPasses) {
  uint64_t budget = kLineBudget + kBudgetPerByte * line.size();
  thread_local String replaced;
  int passes = 0;
  size_t from = 0;  // no "%" before it
  for (; passes < maxPasses && passes < kCycleCheckAfter && line.size() <= kDirectMax; ++passes) {
    const size_t open = Find<'%'>(line, from);
    const size_t close = open == String::npos ? open : Find<'%'>(line, open + 1);
    if (close == String::npos) return passes;
    const std::string_view token(line.data() + open, close - open + 1);  // "%name%"
    const String* found = lookup(token.substr(1, token.size() - 2));
    // An unknown name stands for itself.
    const std::string_view to = found != nullptr ? std::string_view(*found) : token.substr(1, token.size() - 2);
    // The pass costs the line it reads and the line it writes; it is given
    // up as soon as the text written passes the budget.
    const uint64_t read = kPassCost + line.size();
    if (read > budget) return passes;
    replaced.clear();
    size_t pos = 0;
    // The first "%" after the token: most lines hold no other.
    const size_t after = Find<'%'>(line, close + 1);
    for (size_t hit = open, percent = after; hit != String::npos;) {
      replaced.append(line, pos, hit - pos).append(to);
      pos = hit + token.size();
      if (read + replaced.size() > budget) return passes;
      hit = FindToken(line, token, percent);
      if (hit != String::npos) percent = Find<'%'>(line, hit + token.size());
    }
    replaced.append(line, pos, String::npos);
    if (!Charge(budget, read + replaced.size())) return passes;
    const bool valueHasPercent = Find<'%'>(to) != std::string_view::npos;
    from = valueHasPercent ? open : open + to.size();
    // `token` and `to` end here.
    line.swap(replaced);
    // The next pass would look from `from` too: no "%" there ends the loop.
    // Without one in the value the text from there is the old one's after
    // the token.
    if ((!valueHasPercent && after == String::npos) || Find<'%'>(line, from) == String::npos) return passes + 1;
  }
  if (passes == maxPasses || line.find('%', line.find('%') + 1) == String::npos) return passes;
  PieceLine pieces(line, budget);
  const int made = pieces.Run(lookup, maxPasses, passes);
  if (made > passes) line = pieces.Text();
  return made;
}

}  // namespace inf
}  // namespace orvacmn
