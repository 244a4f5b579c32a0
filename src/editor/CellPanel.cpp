#include "editor/CellPanel.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>
#include <QVBoxLayout>

#include "authoring/BoardText.h"
#include "editor/SymbolPanel.h"
#include "linux/QtText.h"
#include "ui/BoardPainter.h"

namespace nq {
namespace {

template <typename Value, typename Get>
std::optional<Value> Common(const std::vector<CellRecord>& cells, Get get) {
  if (cells.empty()) return std::nullopt;
  const Value first = get(cells.front());
  for (const CellRecord& cell : cells)
    if (!(get(cell) == first)) return std::nullopt;
  return first;
}

void SetButtonColour(QPushButton* button, std::optional<int32_t> colour) {
  QPixmap swatch(28, 14);
  swatch.fill(colour ? ToQColor(*colour) : QColor(Qt::transparent));
  button->setIcon(QIcon(swatch));
}

int32_t FromQColor(const QColor& colour) {
  return colour.red() | (colour.green() << 8) | (colour.blue() << 16);
}

} // namespace

CellPanel::CellPanel(const EditorTexts& texts, QWidget* parent) : QWidget(parent), Texts(texts) {
  Build();
  Retranslate();
}

void CellPanel::Build() {
  auto* layout = new QVBoxLayout(this);
  Title = new QLabel(this);
  QFont titleFont = Title->font();
  titleFont.setBold(true);
  Title->setFont(titleFont);
  layout->addWidget(Title);
  auto* form = new QFormLayout;
  layout->addLayout(form);

  Caption = new QLineEdit(this);
  Caption->setObjectName("caption");
  Caption->setMaxLength(1023);
  CaptionLabel = new QLabel(this);
  CaptionLabel->setBuddy(Caption);
  form->addRow(CaptionLabel, Caption);
  Read = new QLineEdit(this);
  Read->setObjectName("read");
  Read->setMaxLength(1023);
  ReadLabel = new QLabel(this);
  ReadLabel->setBuddy(Read);
  form->addRow(ReadLabel, Read);
  HideCaption = new QCheckBox(this);
  form->addRow(HideCaption);

  PictureBox = new QGroupBox(this);
  auto* pictureLayout = new QHBoxLayout(PictureBox);
  Preview = new QLabel(PictureBox);
  Preview->setFixedSize(96, 96);
  Preview->setAlignment(Qt::AlignCenter);
  Preview->setFrameShape(QFrame::StyledPanel);
  pictureLayout->addWidget(Preview);
  auto* pictureButtons = new QVBoxLayout;
  Picture = new QLineEdit(PictureBox);
  Picture->setObjectName("picture");
  pictureButtons->addWidget(Picture);
  ChoosePicture = new QPushButton(PictureBox);
  ChoosePicture->setObjectName("choosePicture");
  RemovePicture = new QPushButton(PictureBox);
  pictureButtons->addWidget(ChoosePicture);
  pictureButtons->addWidget(RemovePicture);
  pictureLayout->addLayout(pictureButtons);
  form->addRow(PictureBox);

  ChooseSound = new QPushButton(this);
  SoundLabel = new QLabel(this);
  form->addRow(SoundLabel, ChooseSound);

  auto* linkRow = new QHBoxLayout;
  Link = new QLineEdit(this);
  Link->setObjectName("link");
  ChooseLink = new QPushButton("...", this);
  ChooseLink->setMaximumWidth(32);
  linkRow->addWidget(Link);
  linkRow->addWidget(ChooseLink);
  LinkLabel = new QLabel(this);
  LinkLabel->setBuddy(Link);
  form->addRow(LinkLabel, linkRow);
  NewLink = new QPushButton(this);
  NewLink->setObjectName("newLinkedBoard");
  form->addRow(QString(), NewLink);

  Command = new QComboBox(this);
  Command->setObjectName("command");
  Command->setMaxVisibleItems(20);
  CommandLabel = new QLabel(this);
  CommandLabel->setBuddy(Command);
  form->addRow(CommandLabel, Command);
  CommandHelp = new QLabel(this);
  CommandHelp->setWordWrap(true);
  form->addRow(CommandHelp);
  Argument = new QLineEdit(this);
  Argument->setObjectName("argument");
  form->addRow(QString(), Argument);

  FrameColour = new QPushButton(this);
  FrameLabel = new QLabel(this);
  form->addRow(FrameLabel, FrameColour);
  auto* fontRow = new QHBoxLayout;
  // The faces boards name are Windows faces; a substitute's own name would mean nothing there.
  FontName = new QComboBox(this);
  FontName->setEditable(true);
  FontName->addItems({"Arial", "Arial Black", "Comic Sans MS", "Courier New", "Tahoma", "Times New Roman",
                      "Trebuchet MS", "Verdana"});
  FontSize = new QSpinBox(this);
  FontSize->setRange(0, 200);
  fontRow->addWidget(FontName, 1);
  fontRow->addWidget(FontSize);
  FontLabel = new QLabel(this);
  form->addRow(FontLabel, fontRow);
  auto* styleRow = new QHBoxLayout;
  Bold = new QCheckBox(this);
  Italic = new QCheckBox(this);
  Underline = new QCheckBox(this);
  TextColour = new QPushButton(this);
  styleRow->addWidget(Bold);
  styleRow->addWidget(Italic);
  styleRow->addWidget(Underline);
  styleRow->addWidget(TextColour);
  form->addRow(styleRow);
  layout->addStretch(1);
  // The window places the search below the fields, where its results stay in sight.
  SymbolSearch = new SymbolPanel(Texts, this);
  SymbolSearch->hide();

  connect(Caption, &QLineEdit::editingFinished, this,
          [this] { TextEdited(Caption, &authoring::CellFields::Caption, "Caption"); });
  connect(Read, &QLineEdit::editingFinished, this,
          [this] { TextEdited(Read, &authoring::CellFields::Read, "Spoken text"); });
  connect(Picture, &QLineEdit::editingFinished, this,
          [this] { TextEdited(Picture, &authoring::CellFields::Picture, "Picture"); });
  connect(Link, &QLineEdit::editingFinished, this,
          [this] { TextEdited(Link, &authoring::CellFields::Link, "Link"); });
  connect(HideCaption, &QCheckBox::clicked, this, [this](bool on) {
    authoring::CellFields fields;
    fields.HideCaption = on;
    emit FieldsEdited(fields, Texts("Hide the caption (it is still said)"));
  });
  connect(ChoosePicture, &QPushButton::clicked, this, &CellPanel::ChoosePictureRequested);
  connect(RemovePicture, &QPushButton::clicked, this, [this] {
    authoring::CellFields fields;
    fields.Picture = std::string();
    emit FieldsEdited(fields, Texts("Picture"));
  });
  connect(ChooseSound, &QPushButton::clicked, this, &CellPanel::ChooseSoundRequested);
  connect(ChooseLink, &QPushButton::clicked, this, &CellPanel::ChooseLinkRequested);
  connect(NewLink, &QPushButton::clicked, this, &CellPanel::NewLinkedBoardRequested);
  connect(Command, &QComboBox::activated, this, [this](int) { CommandChosen(); });
  connect(Argument, &QLineEdit::editingFinished, this, [this] { CommandChosen(); });
  connect(FrameColour, &QPushButton::clicked, this, [this] { PickColour(true); });
  connect(TextColour, &QPushButton::clicked, this, [this] { PickColour(false); });
  connect(FontName, &QComboBox::activated, this, [this](int) {
    if (Filling) return;
    std::string refused;
    const std::optional<std::string> name =
        authoring::ToBoardText(FontName->currentText().toStdString(), &refused);
    if (!name || name->empty()) return;
    authoring::CellFields fields;
    fields.FontName = *name;
    emit FieldsEdited(fields, Texts("Font"));
  });
  connect(FontSize, &QSpinBox::editingFinished, this, [this] {
    if (Filling) return;
    const auto shown = Common<int32_t>(Shown, [](const CellRecord& c) { return c.Font.Size; });
    if (shown && *shown == FontSize->value()) return;
    authoring::CellFields fields;
    fields.FontSize = FontSize->value();
    emit FieldsEdited(fields, Texts("Font"));
  });
  auto style = [this](QCheckBox* box, std::optional<bool> authoring::CellFields::*member) {
    connect(box, &QCheckBox::clicked, this, [this, member](bool on) {
      authoring::CellFields fields;
      fields.*member = on;
      emit FieldsEdited(fields, Texts("Font"));
    });
  };
  style(Bold, &authoring::CellFields::Bold);
  style(Italic, &authoring::CellFields::Italic);
  style(Underline, &authoring::CellFields::Underline);
  for (QLineEdit* field : {Caption, Read, Picture, Link, Argument})
    connect(field, &QLineEdit::returnPressed, this,
            [this] { QTimer::singleShot(0, this, &CellPanel::EditingDone); });
  setEnabled(false);
}

void CellPanel::Retranslate() {
  CaptionLabel->setText(Texts("Caption"));
  ReadLabel->setText(Texts("Spoken text"));
  Read->setPlaceholderText(Texts("Empty: the caption is said"));
  HideCaption->setText(Texts("Hide the caption (it is still said)"));
  PictureBox->setTitle(Texts("Picture"));
  ChoosePicture->setText(Texts("Choose..."));
  RemovePicture->setText(Texts("Remove"));
  SoundLabel->setText(Texts("Sound"));
  ChooseSound->setText(Texts("Choose..."));
  LinkLabel->setText(Texts("Link"));
  NewLink->setText(Texts("New board here"));
  CommandLabel->setText(Texts("Command"));
  Argument->setPlaceholderText(Texts("Argument"));
  FrameLabel->setText(Texts("Frame colour"));
  FontLabel->setText(Texts("Font"));
  TextColour->setText(Texts("Text colour"));
  Bold->setText(Texts("Bold"));
  Italic->setText(Texts("Italic"));
  Underline->setText(Texts("Underline"));
  SymbolSearch->Retranslate();
  FillCommands();
  ShowCells(Shown, Title->text(), QString());
}

void CellPanel::FillCommands() {
  const bool filling = Filling;
  Filling = true;
  Command->clear();
  Command->addItem(Texts("(none)"), QString());
  for (const authoring::CommandInfo& info : authoring::CommandCatalogue(Texts.Language())) {
    const QString token = ToQString(info.Token);
    Command->addItem(token + (info.TakesArgument ? QString(" ...>") : QString()) + "  \u2014  " +
                         QString::fromStdString(info.Description),
                     token);
    Command->setItemData(Command->count() - 1, QString::fromStdString(info.Argument), Qt::UserRole + 1);
    Command->setItemData(Command->count() - 1, QString::fromStdString(info.Description), Qt::ToolTipRole);
  }
  KnownCommands = Command->count();
  Filling = filling;
}

void CellPanel::SetMixed(QLineEdit* field, const std::vector<std::string>& values) {
  bool same = true;
  for (const std::string& value : values)
    same = same && value == values.front();
  field->setText(same && !values.empty() ? ToQString(values.front()) : QString());
  if (!same) field->setPlaceholderText(Texts("(several)"));
  field->setModified(false);
}

void CellPanel::ShowCells(const std::vector<CellRecord>& cells, const QString& title,
                          const QString& picturePath) {
  Filling = true;
  Shown = cells;
  Title->setText(title);
  setEnabled(!cells.empty());
  auto values = [&](std::string CellRecord::*member) {
    std::vector<std::string> list;
    for (const CellRecord& cell : cells)
      list.push_back(cell.*member);
    return list;
  };
  Read->setPlaceholderText(Texts("Empty: the caption is said"));
  Caption->setPlaceholderText(QString());
  Picture->setPlaceholderText(QString());
  Link->setPlaceholderText(QString());
  SetMixed(Caption, values(&CellRecord::Caption));
  // A spoken text equal to the caption shows empty: it follows the caption.
  std::vector<std::string> reads;
  for (const CellRecord& cell : cells)
    reads.push_back(cell.Read == cell.Caption ? std::string() : cell.Read);
  SetMixed(Read, reads);
  SetMixed(Picture, values(&CellRecord::Picture));
  SetMixed(Link, values(&CellRecord::Link));
  const auto hidden = Common<bool>(cells, [](const CellRecord& c) { return authoring::IsCaptionHidden(c); });
  HideCaption->setTristate(!hidden);
  HideCaption->setCheckState(!hidden ? Qt::PartiallyChecked : *hidden ? Qt::Checked : Qt::Unchecked);
  QPixmap picture(picturePath);
  Preview->setPixmap(picture.isNull()
                         ? QPixmap()
                         : picture.scaled(Preview->size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));

  // An unknown command shown for an earlier cell is no choice for this one.
  while (Command->count() > KnownCommands)
    Command->removeItem(Command->count() - 1);
  const auto command = Common<std::string>(cells, [](const CellRecord& c) { return c.SpecialFunction; });
  int index = -1;
  QString argument;
  if (command) {
    const QString text = ToQString(*command);
    if (text.isEmpty()) index = 0;
    for (int i = 1; i < Command->count() && index < 0; ++i) {
      const QString token = Command->itemData(i).toString();
      if (token == text)
        index = i;
      else if (!token.endsWith('>') && text.startsWith(token, Qt::CaseInsensitive)) {
        index = i;
        argument = text.mid(token.size()).trimmed();
        if (argument.endsWith('>')) argument.chop(1);
        argument = argument.trimmed();
      }
    }
    if (index < 0) {
      // A command the player does not know stays as it is, shown for what it is.
      Command->addItem(text, text);
      index = Command->count() - 1;
    }
  }
  Command->setCurrentIndex(index);
  const bool takesArgument = index > 0 && !Command->itemData(index, Qt::UserRole + 1).toString().isEmpty();
  Argument->setEnabled(takesArgument);
  Argument->setText(argument);
  CommandHelp->setText(
      index > 0
          ? Command->itemData(index, Qt::ToolTipRole).toString() +
                (takesArgument ? "\n" + Command->itemData(index, Qt::UserRole + 1).toString() : QString())
          : QString());

  SetButtonColour(FrameColour, Common<int32_t>(cells, [](const CellRecord& c) { return c.FrameCellColour; }));
  SetButtonColour(TextColour, Common<int32_t>(cells, [](const CellRecord& c) { return c.Font.Colour; }));
  if (const auto name = Common<std::string>(cells, [](const CellRecord& c) { return c.Font.Name; }))
    FontName->setCurrentText(ToQString(*name));
  else
    FontName->setCurrentText(QString());
  FontSize->setValue(Common<int32_t>(cells, [](const CellRecord& c) { return c.Font.Size; }).value_or(0));
  auto check = [&](QCheckBox* box, bool FontSpec::*member) {
    const auto on = Common<bool>(cells, [member](const CellRecord& c) { return c.Font.*member; });
    box->setCheckState(on ? (*on ? Qt::Checked : Qt::Unchecked) : Qt::PartiallyChecked);
  };
  check(Bold, &FontSpec::Bold);
  check(Italic, &FontSpec::Italic);
  check(Underline, &FontSpec::Underline);
  Filling = false;
}

void CellPanel::FocusCaption() {
  Caption->setFocus(Qt::ShortcutFocusReason);
  Caption->selectAll();
}

void CellPanel::FocusField(const QString& name) {
  if (QWidget* field = findChild<QWidget*>(name)) {
    field->setFocus(Qt::ShortcutFocusReason);
    if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
  }
}

void CellPanel::TextEdited(QLineEdit* field, std::optional<std::string> authoring::CellFields::*member,
                           const char* label) {
  if (Filling || !field->isModified()) return;
  field->setModified(false);
  std::string refused;
  const std::optional<std::string> text = authoring::ToBoardText(field->text().toStdString(), &refused);
  if (!text) {
    emit TextRefused(QString::fromStdString(refused));
    return;
  }
  authoring::CellFields fields;
  fields.*member = *text;
  emit FieldsEdited(fields, Texts(label));
}

void CellPanel::CommitPending() {
  if (Filling) return;
  // One field at a time can hold unconfirmed text (leaving it confirms it), but each is handed on.
  TextEdited(Caption, &authoring::CellFields::Caption, "Caption");
  TextEdited(Read, &authoring::CellFields::Read, "Spoken text");
  TextEdited(Picture, &authoring::CellFields::Picture, "Picture");
  TextEdited(Link, &authoring::CellFields::Link, "Link");
  if (Argument->isModified()) {
    Argument->setModified(false);
    CommandChosen();
  }
  if (FontSize->hasFocus()) emit FontSize->editingFinished();
}

void CellPanel::CommandChosen() {
  if (Filling || Command->currentIndex() < 0) return;
  const std::string token = FromQString(Command->currentData().toString());
  const bool takesArgument = !Command->currentData(Qt::UserRole + 1).toString().isEmpty();
  Argument->setEnabled(takesArgument);
  std::string refused;
  const std::optional<std::string> argument =
      authoring::ToBoardText(Argument->text().toStdString(), &refused);
  if (!argument) {
    emit TextRefused(QString::fromStdString(refused));
    return;
  }
  if (takesArgument && argument->empty()) return; // stored once its argument is typed
  authoring::CellFields fields;
  fields.SpecialFunction = takesArgument ? authoring::CommandWithArgument(token, *argument) : token;
  emit FieldsEdited(fields, Texts("Command"));
}

void CellPanel::PickColour(bool frame) {
  const auto current = Common<int32_t>(
      Shown, [frame](const CellRecord& c) { return frame ? c.FrameCellColour : c.Font.Colour; });
  const QColor chosen = QColorDialog::getColor(ToQColor(current.value_or(0)), this,
                                               Texts(frame ? "Frame colour" : "Text colour"));
  if (!chosen.isValid()) return;
  authoring::CellFields fields;
  (frame ? fields.FrameCellColour : fields.FontColour) = FromQColor(chosen);
  emit FieldsEdited(fields, Texts(frame ? "Frame colour" : "Text colour"));
}

} // namespace nq
