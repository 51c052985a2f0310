#include "classlib/core/EditMask.h"

#include <cctype>

TEditMask::TEditMask(std::string_view mask) {
  // Fields after the mask: the last two ';'-separated fields when present.
  std::string_view body = mask;
  std::vector<std::string_view> fields;
  for (int i = 0; i < 2; ++i) {
    std::size_t p = body.rfind(';');
    // A ';' escaped by '\' belongs to the mask.
    if (p == std::string_view::npos || (p > 0 && body[p - 1] == '\\')) break;
    fields.insert(fields.begin(), body.substr(p + 1));
    body = body.substr(0, p);
  }
  if (fields.size() == 2) {
    SaveLiterals_ = fields[0] != "0";
    if (!fields[1].empty()) Blank_ = fields[1][0];
  } else if (fields.size() == 1) {
    SaveLiterals_ = fields[0] != "0";
  }
  int caseMode = 0;
  for (std::size_t i = 0; i < body.size(); ++i) {
    char c = body[i];
    Slot s;
    switch (c) {
      case '>':
        if (i + 1 < body.size() && body[i + 1] == '<') {
          caseMode = 0;
          ++i;
        } else {
          caseMode = 1;
        }
        continue;
      case '<':
        if (i + 1 < body.size() && body[i + 1] == '>') {
          caseMode = 0;
          ++i;
        } else {
          caseMode = -1;
        }
        continue;
      case '!':  // a directive of how optional input is kept; it takes no position
        continue;
      case '\\':
        if (i + 1 < body.size()) {
          s.Ch = body[++i];
          Slots_.push_back(s);
        }
        continue;
      case 'L': s.K = Kind::Letter, s.Required = true; break;
      case 'l': s.K = Kind::Letter; break;
      case 'A': s.K = Kind::AlphaNum, s.Required = true; break;
      case 'a': s.K = Kind::AlphaNum; break;
      case 'C': s.K = Kind::Any, s.Required = true; break;
      case 'c': s.K = Kind::Any; break;
      case '0': s.K = Kind::Digit, s.Required = true; break;
      case '9': s.K = Kind::Digit; break;
      case '#': s.K = Kind::DigitSign; break;
      default: s.Ch = c; break;
    }
    if (s.K != Kind::Literal) s.Case = caseMode;
    Slots_.push_back(s);
  }
}

bool TEditMask::IsLiteral(int pos) const {
  return pos < 0 || pos >= Length() || Slots_[static_cast<std::size_t>(pos)].K == Kind::Literal;
}

std::string TEditMask::BlankText() const {
  std::string r;
  for (const Slot& s : Slots_) r += s.K == Kind::Literal ? s.Ch : Blank_;
  return r;
}

char TEditMask::Accept(int pos, char c) const {
  if (IsLiteral(pos)) return '\0';
  const Slot& s = Slots_[static_cast<std::size_t>(pos)];
  const unsigned char u = static_cast<unsigned char>(c);
  bool ok = false;
  switch (s.K) {
    case Kind::Letter: ok = std::isalpha(u) != 0; break;
    case Kind::AlphaNum: ok = std::isalnum(u) != 0; break;
    case Kind::Any: ok = u >= 32; break;
    case Kind::Digit: ok = std::isdigit(u) != 0; break;
    case Kind::DigitSign: ok = std::isdigit(u) || c == '+' || c == '-'; break;
    case Kind::Literal: break;
  }
  if (!ok) return '\0';
  if (s.Case > 0) return static_cast<char>(std::toupper(u));
  if (s.Case < 0) return static_cast<char>(std::tolower(u));
  return c;
}

int TEditMask::NextInput(int pos) const {
  if (pos < 0) pos = 0;
  if (pos > Length()) pos = Length();
  while (pos < Length() && IsLiteral(pos)) ++pos;
  return pos;
}

int TEditMask::PrevInput(int pos) const {
  --pos;
  while (pos >= 0 && IsLiteral(pos)) --pos;
  return pos;
}

std::string TEditMask::Format(std::string_view value) const {
  std::string r = BlankText();
  if (SaveLiterals_) {
    for (int i = 0; i < Length() && i < static_cast<int>(value.size()); ++i) {
      if (IsLiteral(i)) continue;
      char c = Accept(i, value[static_cast<std::size_t>(i)]);
      if (c) r[static_cast<std::size_t>(i)] = c;
    }
  } else {
    std::size_t v = 0;
    for (int i = 0; i < Length() && v < value.size(); ++i) {
      if (IsLiteral(i)) continue;
      char c = Accept(i, value[v++]);
      if (c) r[static_cast<std::size_t>(i)] = c;
    }
  }
  return r;
}

std::string TEditMask::Value(std::string_view shown) const {
  std::string r;
  for (int i = 0; i < Length() && i < static_cast<int>(shown.size()); ++i) {
    char c = shown[static_cast<std::size_t>(i)];
    if (IsLiteral(i)) {
      if (SaveLiterals_) r += c;
    } else {
      r += c == Blank_ ? ' ' : c;
    }
  }
  return r;
}

bool TEditMask::Complete(std::string_view shown) const {
  for (int i = 0; i < Length(); ++i) {
    const Slot& s = Slots_[static_cast<std::size_t>(i)];
    if (s.K == Kind::Literal || !s.Required) continue;
    if (i >= static_cast<int>(shown.size()) || shown[static_cast<std::size_t>(i)] == Blank_) return false;
  }
  return true;
}
