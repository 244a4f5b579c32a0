#pragma once
// The boxes and dialogs of the core as a recorder: every box shown, every file dialog and trust
// question asked, answered with what the test set beforehand (nothing chosen and No by default).
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/Dialogs.h"

namespace nq::test {

struct ShownBox {
  std::string Text;
  MessageIcon Icon = MessageIcon::None;
  std::string Caption;
};

struct FileQuestion {
  std::string Title;
  std::string Filter;
  std::string DefaultExtension;
  std::string InitialFolder;
  std::string PresetName;
  bool operator==(const FileQuestion&) const = default;
};

class FakeDialogs final : public Dialogs {
public:
  // What the tests set.
  std::optional<std::string> FileChoice;
  TrustAnswer Trust = TrustAnswer::No;
  std::function<void()> WhileAskingTrust; // runs while the trust question is open
  std::vector<std::string> FoldersToRemove;
  // What the tests read.
  std::vector<std::string> Messages; // the texts of the boxes, in order
  std::vector<ShownBox> Boxes;
  std::vector<FileQuestion> FileQuestions;
  std::vector<std::string> TrustQuestions;  // "folder | what runs"
  std::vector<std::string> ReviewedFolders; // the list the last options box showed

  void ShowMessage(const std::string& text, MessageIcon icon, const std::string& caption) override {
    Messages.push_back(text);
    Boxes.push_back({text, icon, caption});
  }
  std::optional<std::string> ChooseFileToOpen(const std::string& title, const std::string& filter,
                                              const std::string& defaultExtension,
                                              const std::string& initialFolder,
                                              const std::string& presetName) override {
    FileQuestions.push_back({title, filter, defaultExtension, initialFolder, presetName});
    return FileChoice;
  }
  TrustAnswer AskFolderTrust(const std::string& folder, const std::string& whatRuns) override {
    TrustQuestions.push_back(folder + " | " + whatRuns);
    if (WhileAskingTrust) WhileAskingTrust();
    return Trust;
  }
  std::vector<std::string> ReviewTrustedFolders(const std::vector<std::string>& folders) override {
    ReviewedFolders = folders;
    return FoldersToRemove;
  }
};

} // namespace nq::test
