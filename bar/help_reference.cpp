#include "bar/help_reference.h"

#include <QTreeWidget>
#include <QTreeWidgetItem>
#include <algorithm>
#include <new>
#include <set>

#include "common/engine_ifaces.h"
#include "platform/com/com_ptr.h"

namespace vok::bar {

namespace {

// The info buffers of GetCommandInfo hold 127 bytes; a little more room costs nothing.
constexpr int kInfoRoom = 256;

constexpr char kUntitledGroup[] = "Other Commands";

struct CommandInfo {
  char name[kInfoRoom] = {};
  char syntax[kInfoRoom] = {};
  char description[kInfoRoom] = {};
};

HRESULT ReadCommand(IvokCommandInfo* info, const std::string& key, ReferenceCommand* command) {
  CommandInfo texts;
  LONG index = 0;
  HRESULT hr =
      info->GetCommandInfo(key.c_str(), texts.name, texts.syntax, texts.description, &index, 0);
  if (hr != S_OK) return FAILED(hr) ? hr : E_UNEXPECTED;
  // Item commands may leave the name empty: their key is their word.
  command->word = texts.name[0] ? texts.name : key;
  command->syntax = texts.syntax;
  command->description = texts.description;
  return S_OK;
}

HRESULT ReadGroup(IvokCommandInfo* info, const QTreeWidgetItem& node, std::set<std::string>& listed,
                  ReferenceGroup* group) {
  const std::string title = node.text(0).toStdString();
  group->title = title.empty() ? kUntitledGroup : title;
  for (int i = 0; i < node.childCount(); ++i) {
    const std::string key = node.child(i)->text(0).toStdString();
    // A word an earlier engine registered too runs that engine's command: it is listed there.
    if (!listed.insert(key).second) continue;
    ReferenceCommand command;
    if (HRESULT hr = ReadCommand(info, key, &command); FAILED(hr)) return hr;
    group->commands.push_back(std::move(command));
  }
  return S_OK;
}

void AppendEscaped(std::string& out, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\'':
        out += "&#39;";
        break;
      default: {
        const auto byte = static_cast<unsigned char>(c);
        const bool control = (byte < 0x20 && c != '\t' && c != '\n') || byte == 0x7F;
        out += control ? ' ' : c;
      }
    }
  }
}

// A row of the page: the words that share one syntax and description.
struct Row {
  std::vector<std::string> words;
  const ReferenceCommand* texts;
};

std::vector<Row> RowsOf(const ReferenceGroup& group) {
  std::vector<Row> rows;
  for (const ReferenceCommand& command : group.commands) {
    auto same = [&](const Row& row) {
      return row.texts->syntax == command.syntax && row.texts->description == command.description;
    };
    auto row = std::find_if(rows.begin(), rows.end(), same);
    if (row != rows.end())
      row->words.push_back(command.word);
    else
      rows.push_back({{command.word}, &command});
  }
  return rows;
}

size_t WordCount(const CommandReference& reference) {
  size_t count = 0;
  for (const ReferenceGroup& group : reference) count += group.commands.size();
  return count;
}

void AppendHead(std::string& out) {
  out +=
      "<!DOCTYPE html>\n"
      "<html lang=\"en\">\n"
      "<head>\n"
      "<meta charset=\"utf-8\">\n"
      "<title>Quillo Command Reference</title>\n"
      "<link rel=\"stylesheet\" href=\"quillo-help.css\">\n"
      "</head>\n"
      "<body>\n"
      "<nav><a href=\"qdxhelp.htm\">Quillo Help</a> | <a href=\"qdx_gs.htm\">Getting "
      "Started</a> | Command Reference</nav>\n"
      "<h1>Command Reference</h1>\n";
}

void AppendContents(std::string& out, const CommandReference& reference,
                    std::string_view programVersion) {
  out += "<p>Every command word Quillo ";
  AppendEscaped(out, programVersion);
  out += " understands, ";
  out += std::to_string(WordCount(reference));
  out +=
      " in all, grouped as the Command Browser shows them. Type a word in the command box "
      "followed by its arguments; words are not case-sensitive. Square brackets mark optional "
      "parts, a vertical bar separates alternatives. Your own aliases, favorites, scripts and "
      "filters are commands too; the Command Browser lists them with these.</p>\n"
      "<ul class=\"contents\">\n";
  for (size_t i = 0; i < reference.size(); ++i) {
    out += "<li><a href=\"#group-" + std::to_string(i + 1) + "\">";
    AppendEscaped(out, reference[i].title);
    out += "</a> (" + std::to_string(reference[i].commands.size()) + ")</li>\n";
  }
  out += "</ul>\n";
}

void AppendGroup(std::string& out, const ReferenceGroup& group, size_t number) {
  out += "<section id=\"group-" + std::to_string(number) + "\">\n<h2>";
  AppendEscaped(out, group.title);
  out +=
      "</h2>\n<table class=\"commands\">\n"
      "<thead><tr><th>Command</th><th>Syntax</th><th>Description</th></tr></thead>\n"
      "<tbody>\n";
  for (const Row& row : RowsOf(group)) {
    out += "<tr><td>";
    for (size_t i = 0; i < row.words.size(); ++i) {
      if (i > 0) out += ", ";
      out += "<code>";
      AppendEscaped(out, row.words[i]);
      out += "</code>";
    }
    out += "</td><td>";
    // Commands without arguments have a blank syntax line.
    const std::string& syntax = row.texts->syntax;
    if (syntax.find_first_not_of(" \t") != std::string::npos) {
      out += "<code>";
      AppendEscaped(out, syntax);
      out += "</code>";
    }
    out += "</td><td>";
    AppendEscaped(out, row.texts->description);
    out += "</td></tr>\n";
  }
  out += "</tbody>\n</table>\n</section>\n";
}

}  // namespace

HRESULT ReadCommandReference(IUnknown* container, CommandReference* reference) {
  if (!reference) return E_POINTER;
  reference->clear();
  ComPtr<IvokCommandInfo> info = QueryAs<IvokCommandInfo>(container);
  if (!info) return E_NOINTERFACE;
  try {
    QTreeWidget tree;
    if (HRESULT hr = info->FillCommandTree(&tree); FAILED(hr)) return hr;
    std::set<std::string> listed;
    CommandReference groups;
    for (int i = 0; i < tree.topLevelItemCount(); ++i) {
      ReferenceGroup group;
      if (HRESULT hr = ReadGroup(info.Get(), *tree.topLevelItem(i), listed, &group); FAILED(hr))
        return hr;
      if (!group.commands.empty()) groups.push_back(std::move(group));
    }
    *reference = std::move(groups);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  return S_OK;
}

std::string HtmlEscape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  AppendEscaped(out, text);
  return out;
}

std::string RenderCommandReference(const CommandReference& reference,
                                   std::string_view programVersion) {
  std::string out;
  AppendHead(out);
  AppendContents(out, reference, programVersion);
  for (size_t i = 0; i < reference.size(); ++i) AppendGroup(out, reference[i], i + 1);
  out += "</body>\n</html>\n";
  return out;
}

}  // namespace vok::bar
