// Parses arbitrary lines and walks the tokens through every enumerator path, aborting when a
// token breaks what the tokeniser guarantees.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "common/parser_ifaces.h"
#include "common/vok_object.h"
#include "engine/command_parser.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

bool IsSeparator(char c) { return c == '\t' || c == '\n' || c == '\r' || c == ' '; }

std::string Adopt(char* text) {
  Check(text != nullptr);
  std::string copy = text;
  CoTaskMemFree(text);
  return copy;
}

std::vector<std::string> Drain(IvokEnumArgs* args) {
  std::vector<std::string> tokens;
  char* token = nullptr;
  ULONG fetched = 0;
  HRESULT hr;
  while ((hr = args->Next(1, &token, &fetched)) == S_OK) {
    Check(fetched == 1);
    tokens.push_back(Adopt(token));
  }
  Check(hr == S_FALSE && fetched == 0 && token == nullptr);
  return tokens;
}

// Tokens are non-empty, appear in the line in order without overlapping, and hold a separator
// only when quoting or path mode made them.
void CheckTokens(const std::string& line, const std::vector<std::string>& tokens) {
  const bool quoted = line.find('"') != std::string::npos;
  size_t cursor = 0;
  for (const std::string& token : tokens) {
    Check(!token.empty());
    size_t at = line.find(token, cursor);
    Check(at != std::string::npos);
    cursor = at + token.size();
    bool hasSeparator = false;
    for (char c : token) hasSeparator |= IsSeparator(c);
    if (hasSeparator) {
      Check(quoted || token.find('\\') != std::string::npos ||
            token.find(':') != std::string::npos);
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line(reinterpret_cast<const char*>(data),
                         strnlen(reinterpret_cast<const char*>(data), size));

  ComPtr<IvokCommandParser> parser;
  Check(vok::CreateCommandParser(nullptr, IvokCommandParser::kIID,
                                 parser.ReleaseAndGetVoidAddressOf()) == S_OK);
  ComPtr<IvokEnumArgs> args = QueryAs<IvokEnumArgs>(parser.Get());
  Check(args && parser->Parse(line.c_str()) == S_OK);

  LONG length = -1;
  Check(parser->get_CmdLen(&length) == S_OK && static_cast<size_t>(length) == line.size());
  std::vector<char> buffer(line.size() + 1, '#');
  Check(parser->GetCommandLine(buffer.data()) == S_OK && line == buffer.data());

  const std::vector<std::string> tokens = Drain(args.Get());
  CheckTokens(line, tokens);

  // The arguments, each after one blank, fit a buffer the size of the line.
  buffer.assign(line.size() + 1, '#');
  buffer[0] = '\0';
  Check(parser->GetAllArguments(buffer.data()) == S_OK);
  std::string expected;
  for (size_t k = 1; k < tokens.size(); ++k) expected += " " + tokens[k];
  Check(expected == buffer.data());

  // Every argument through Reset, Skip(k + 1), Next(1), and a clone from each position.
  for (size_t k = 0; k <= tokens.size(); ++k) {
    args->Reset();
    Check(args->Skip(static_cast<ULONG>(k)) == S_OK);
    ComPtr<IvokEnumArgs> clone;
    Check(args->Clone(clone.ReleaseAndGetAddressOf()) == S_OK);
    const std::vector<std::string> rest = Drain(clone.Get());
    Check(rest == std::vector<std::string>(tokens.begin() + k, tokens.end()));
  }
  args->Reset();
  Check(args->Skip(static_cast<ULONG>(tokens.size() + 1)) == S_FALSE);

  // Several at once: fewer than asked gives S_FALSE with the rest.
  args->Reset();
  std::vector<char*> slots(tokens.size() + 2, nullptr);
  ULONG fetched = 0;
  Check(args->Next(static_cast<ULONG>(slots.size()), slots.data(), &fetched) == S_FALSE);
  Check(fetched == tokens.size());
  for (size_t k = 0; k < fetched; ++k) Check(Adopt(slots[k]) == tokens[k]);

  // A clone keeps its tokens after the parser moves on and is gone.
  args->Reset();
  ComPtr<IvokEnumArgs> keeper;
  Check(args->Clone(keeper.ReleaseAndGetAddressOf()) == S_OK);
  Check(parser->Parse("next line") == S_OK);
  args = nullptr;
  parser = nullptr;
  Check(Drain(keeper.Get()) == tokens);
  return 0;
}
