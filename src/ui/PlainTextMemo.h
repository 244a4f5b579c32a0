#pragma once
// EditEscriure as the shell sees it: the memo of the letters-or-words mode.
#include <QPlainTextEdit>
#include <QPointer>

#include "linux/QtText.h"
#include "shell/ShellPorts.h"

namespace nq {

class PlainTextMemo : public MessageMemo {
public:
  explicit PlainTextMemo(QPlainTextEdit* edit) : Edit(edit) {}
  void PasteText(const std::string& text) override {
    if (Edit) Edit->insertPlainText(ToQString(text));
  }
  std::string Text() const override { return Edit ? FromQString(Edit->toPlainText()) : std::string(); }
  void Clear() override {
    if (Edit) Edit->clear();
  }

private:
  QPointer<QPlainTextEdit> Edit;
};

} // namespace nq
