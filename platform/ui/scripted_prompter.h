// A prompter for tests: answers from a script, records every question, never shows a window.
#pragma once

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QPoint>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/prompter.h"

namespace vok::ui {

class ScriptedPrompter final : public Prompter {
 public:
  // Answers given in order; when the script runs dry the answer is kCancel (or kNo).
  std::deque<Answer> answers;
  // Results of OpenFile / ChooseFolder, in order; nullopt (cancel) when empty.
  std::deque<std::optional<std::string>> files;
  std::deque<std::optional<std::string>> folders;
  // Results of SaveFile, in order; nullopt (cancel) when empty.
  std::deque<std::optional<std::string>> saveFiles;
  // Fills in a modal dialog and returns its result; without one the dialog is rejected.
  std::deque<std::function<int(QDialog&)>> dialogs;

  // Picks the action of a tracked menu (null = dismissed); without one the menu is dismissed.
  std::deque<std::function<QAction*(QMenu&)>> menus;

  std::vector<Message> messages;
  std::vector<OpenFileRequest> fileRequests;
  std::vector<FolderRequest> folderRequests;
  std::vector<SaveFileRequest> saveRequests;
  int dialogCount = 0;
  // The texts of every tracked menu's actions, in order (separators as "").
  std::vector<std::vector<std::string>> trackedMenus;

  Answer Ask(const Message& message) override {
    messages.push_back(message);
    if (answers.empty()) return message.buttons == Buttons::kYesNo ? Answer::kNo : Answer::kCancel;
    Answer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> OpenFile(const OpenFileRequest& request) override {
    fileRequests.push_back(request);
    return Next(files);
  }
  std::optional<std::string> SaveFile(const SaveFileRequest& request) override {
    saveRequests.push_back(request);
    return Next(saveFiles);
  }
  std::optional<std::string> ChooseFolder(const FolderRequest& request) override {
    folderRequests.push_back(request);
    return Next(folders);
  }
  int Exec(QDialog& dialog) override {
    ++dialogCount;
    if (dialogs.empty()) return QDialog::Rejected;
    auto fill = std::move(dialogs.front());
    dialogs.pop_front();
    return fill(dialog);
  }
  QAction* TrackMenu(QMenu& menu, const QPoint& pos) override {
    std::vector<std::string> texts;
    for (QAction* action : menu.actions()) texts.push_back(action->text().toStdString());
    trackedMenus.push_back(std::move(texts));
    if (menus.empty()) return nullptr;
    auto pick = std::move(menus.front());
    menus.pop_front();
    return pick(menu);
  }

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& queue) {
    if (queue.empty()) return std::nullopt;
    auto value = std::move(queue.front());
    queue.pop_front();
    return value;
  }
};

}  // namespace vok::ui
