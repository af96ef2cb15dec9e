#include "engine/command_parser.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "common/vok_object.h"

namespace vok {
namespace {

constexpr size_t kNone = std::string::npos;

bool IsSeparator(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

// A byte after which the open word ends: a separator, the end of the line or a quote.
bool EndsWordBefore(char next) { return next == '\0' || next == '"' || IsSeparator(next); }

// One pass over a line. Positions are byte indexes; the byte at size() reads as the
// terminating zero, so a look-ahead never leaves the line.
class Tokenizer {
 public:
  explicit Tokenizer(const std::string& line) : line_(line), size_(line.size()) {}

  TokenArray Run() {
    TokenArray tokens;
    size_t start = kNone;
    size_t end = kNone;
    for (size_t i = 0; i < size_; ++i) {
      const char c = line_[i];
      if (start == kNone && !IsSeparator(c)) start = i;
      if (start != kNone && EndsWordBefore(At(i + 1))) end = i;
      if (c == '"') {
        i = ScanQuoted(i, &start, &end);
      } else if (c == '\\' || c == ':') {
        end = PathEnd(i, end);
        i = end;
      }
      if (start != kNone && end != kNone) {
        tokens.push_back(line_.substr(start, end - start + 1));
        start = end = kNone;
      }
    }
    return tokens;
  }

 private:
  char At(size_t i) const { return i < size_ ? line_[i] : '\0'; }

  // A quoted token opens after the quote at `quote` and runs to the next quote or the end of
  // the line; an empty one yields nothing. Returns where the scan goes on from: the closing
  // quote, or the last byte when the quote is unterminated.
  size_t ScanQuoted(size_t quote, size_t* start, size_t* end) const {
    size_t close = line_.find('"', quote + 1);
    if (close == kNone) close = size_;
    if (close == quote + 1) {
      *start = *end = kNone;
    } else {
      *start = quote + 1;
      *end = close - 1;
    }
    return std::min(close, size_ - 1);
  }

  // Path mode, entered at a backslash or colon at `i`: a blank inside a path ends the token
  // unless a later backslash or point (before the next colon, doubled backslash or quote)
  // shows that the path goes on. `end` may already be set when the path byte ends a word.
  // Returns the token's last byte.
  size_t PathEnd(size_t i, size_t end) const {
    bool doubled = false;
    bool final = false;
    for (size_t j = i + 1; j < size_; ++j) {
      if (line_[j] == '\\' && At(j + 1) == '\\') {
        ++j;
        doubled = true;
      }
      const char c = line_[j];
      if (IsSeparator(c)) {
        if (end == kNone) end = j - 1;  // provisional: the path may go on after the blank
        if (final) break;
      } else {
        if (doubled || c == ':') {
          if (end != kNone) break;
          final = true;  // the next separator ends the token for good
        }
        if (c == '"') {
          if (end == kNone) end = j - 1;
          break;
        }
        if (end != kNone && !doubled && (c == '\\' || c == '.')) end = kNone;
      }
      doubled = false;
    }
    return end == kNone ? size_ - 1 : end;
  }

  const std::string& line_;
  const size_t size_;
};

// A position over a shared token array: the state behind IvokEnumArgs.
class TokenCursor {
 public:
  TokenCursor() = default;
  explicit TokenCursor(std::shared_ptr<const TokenArray> tokens) : tokens_(std::move(tokens)) {}

  // rgelt must hold celt slots. Only fetched slots are written, except that slot 0 is set to
  // null when nothing comes back.
  HRESULT Next(ULONG celt, LPSTR* rgelt, ULONG* pceltFetched) {
    if (!rgelt || (celt != 1 && !pceltFetched)) return E_POINTER;
    if (pceltFetched) *pceltFetched = 0;
    if (celt > 0) rgelt[0] = nullptr;
    if (!tokens_) return E_FAIL;
    const size_t remaining = tokens_->size() - position_;
    const ULONG n = static_cast<ULONG>(std::min<size_t>(celt, remaining));
    for (ULONG k = 0; k < n; ++k) {
      rgelt[k] = CoTaskMemStrDup((*tokens_)[position_ + k].c_str());
      if (!rgelt[k]) {
        for (ULONG done = 0; done < k; ++done) {
          CoTaskMemFree(rgelt[done]);
          rgelt[done] = nullptr;
        }
        return E_OUTOFMEMORY;
      }
    }
    position_ += n;
    if (pceltFetched) *pceltFetched = n;
    return n < celt ? S_FALSE : S_OK;
  }

  HRESULT Skip(ULONG celt) {
    if (!tokens_) return E_FAIL;
    const size_t remaining = tokens_->size() - position_;
    if (celt > remaining) {
      position_ = tokens_->size();
      return S_FALSE;
    }
    position_ += celt;
    return S_OK;
  }

  HRESULT Reset() {
    position_ = 0;
    return S_OK;
  }

  const TokenArray* tokens() const { return tokens_.get(); }

 private:
  std::shared_ptr<const TokenArray> tokens_;  // null before the first Parse and after Clear
  size_t position_ = 0;
};

HRESULT CloneCursor(const TokenCursor& cursor, IvokEnumArgs** ppEnum);

// The enumerator handed out by Clone; it keeps the token array alive on its own.
class TokenEnumerator final : public ObjectRoot<IvokEnumArgs> {
 public:
  explicit TokenEnumerator(const TokenCursor& cursor) : cursor_(cursor) {}

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPSTR* rgelt, ULONG* pceltFetched) override {
    return cursor_.Next(celt, rgelt, pceltFetched);
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override { return cursor_.Skip(celt); }
  HRESULT STDMETHODCALLTYPE Reset() override { return cursor_.Reset(); }
  HRESULT STDMETHODCALLTYPE Clone(IvokEnumArgs** ppEnum) override {
    return CloneCursor(cursor_, ppEnum);
  }

 private:
  TokenCursor cursor_;
};

HRESULT CloneCursor(const TokenCursor& cursor, IvokEnumArgs** ppEnum) {
  return CreateObject<TokenEnumerator>(nullptr, IvokEnumArgs::kIID,
                                       reinterpret_cast<void**>(ppEnum), cursor);
}

class CommandParser final : public ObjectRoot<IvokCommandParser, IvokEnumArgs> {
 public:
  HRESULT STDMETHODCALLTYPE Parse(LPCSTR szCmdLine) override {
    Clear();
    if (!szCmdLine) return E_POINTER;
    try {
      std::string line(szCmdLine);
      auto tokens = std::make_shared<const TokenArray>(TokenizeCommandLine(line));
      line_ = std::move(line);
      cursor_ = TokenCursor(std::move(tokens));
    } catch (const std::bad_alloc&) {
      Clear();
      return E_OUTOFMEMORY;
    }
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Clear() override {
    std::string().swap(line_);
    cursor_ = TokenCursor();
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE GetCommandLine(LPSTR lpszCmdLn) override {
    if (!lpszCmdLn) return E_POINTER;
    std::memcpy(lpszCmdLn, line_.c_str(), line_.size() + 1);
    return S_OK;
  }

  // Every argument is preceded in the line by at least one byte that belongs to no token (a
  // separator or a quote), so the appended text is never longer than the line itself.
  HRESULT STDMETHODCALLTYPE GetAllArguments(LPSTR lpszArgs) override {
    if (!lpszArgs) return E_POINTER;
    const TokenArray* tokens = cursor_.tokens();
    if (!tokens || tokens->size() < 2) return S_OK;
    char* out = lpszArgs + std::strlen(lpszArgs);
    for (size_t k = 1; k < tokens->size(); ++k) {
      const std::string& token = (*tokens)[k];
      *out++ = ' ';
      std::memcpy(out, token.data(), token.size());
      out += token.size();
    }
    *out = '\0';
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE get_CmdLen(LONG* pVal) override {
    if (!pVal) return E_POINTER;
    *pVal = static_cast<LONG>(std::min<size_t>(line_.size(), std::numeric_limits<LONG>::max()));
    return S_OK;
  }

  HRESULT STDMETHODCALLTYPE Next(ULONG celt, LPSTR* rgelt, ULONG* pceltFetched) override {
    return cursor_.Next(celt, rgelt, pceltFetched);
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG celt) override { return cursor_.Skip(celt); }
  HRESULT STDMETHODCALLTYPE Reset() override { return cursor_.Reset(); }
  HRESULT STDMETHODCALLTYPE Clone(IvokEnumArgs** ppEnum) override {
    return CloneCursor(cursor_, ppEnum);
  }

 private:
  std::string line_;  // empty when there is none
  TokenCursor cursor_;
};

}  // namespace

TokenArray TokenizeCommandLine(const std::string& line) { return Tokenizer(line).Run(); }

HRESULT CreateCommandParser(IUnknown* outer, REFIID riid, void** ppv) {
  return CreateObject<CommandParser>(outer, riid, ppv);
}

}  // namespace vok
