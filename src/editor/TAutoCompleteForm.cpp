#include "editor/TAutoCompleteForm.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QListWidget>
#include <algorithm>

#include "ui_TAutoCompleteForm.h"

TAutoCompleteForm* AutoCompleteForm = nullptr;

namespace {

constexpr int ItemHeight = 13;
constexpr char Enter = 13;
constexpr char Escape = 27;
constexpr char Backspace = 8;
constexpr char Tab = 9;

QString FromText(const std::string& text)
{
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToText(const QString& text)
{
  return text.toUtf8().toStdString();
}

// What a key event types into the pop-up: a control byte (Enter, Escape,
// Backspace, Tab) or one character in UTF-8; empty for keys that type
// nothing the pop-up takes (arrows, page keys, Ctrl and Alt combinations).
std::string TypedKey(const QKeyEvent& event)
{
  switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      return std::string(1, Enter);
    case Qt::Key_Escape:
      return std::string(1, Escape);
    case Qt::Key_Backspace:
      return std::string(1, Backspace);
    case Qt::Key_Tab:
      return std::string(1, Tab);
    default:
      break;
  }
  if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return std::string();
  QString text = event.text();
  if (text.isEmpty() || !text[0].isPrint() || text.size() != (text[0].isHighSurrogate() ? 2 : 1)) return std::string();
  return ToText(text);
}

// True when key is the shortcut of a command of window (its menus, the
// commands it carries): such a key is no typing for the pop-up.
bool IsCommandShortcut(const QWidget* window, const QKeyEvent& event)
{
  const bool modified = event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  const bool functionKey = event.key() >= Qt::Key_F1 && event.key() <= Qt::Key_F35;
  if (!window || event.key() == 0 || event.key() == Qt::Key_unknown || !(modified || functionKey)) return false;
  const QKeySequence key(event.keyCombination());
  QList<QAction*> actions = window->findChildren<QAction*>();
  actions += window->actions();
  return std::any_of(actions.begin(), actions.end(),
                     [&key](const QAction* action) { return action->shortcuts().contains(key); });
}

// Removes the last character (UTF-8) of text.
void DropLastCharacter(std::string& text)
{
  while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80) text.pop_back();
  if (!text.empty()) text.pop_back();
}

}  // namespace

int ExtractCaretMarker(std::string& text)
{
  auto marker = text.find('|');
  if (marker == std::string::npos) return static_cast<int>(text.size());
  text.erase(marker, 1);
  return static_cast<int>(marker);
}

// ---- items -----------------------------------------------------------------

void TAutoCompleteForm::TItems::Assign(const std::vector<std::string>& items)
{
  Clear();
  for (const std::string& item : items) Add(item);
}

void TAutoCompleteForm::TItems::Clear()
{
  FList->clear();
}

void TAutoCompleteForm::TItems::Add(const std::string& item)
{
  auto* entry = new QListWidgetItem(FromText(item), FList);
  entry->setSizeHint(QSize(FList->fontMetrics().horizontalAdvance(entry->text()) + 4, ItemHeight));
}

int TAutoCompleteForm::TItems::Count() const
{
  return FList->count();
}

std::string TAutoCompleteForm::TItems::Get(int index) const
{
  const QListWidgetItem* entry = FList->item(index);
  return entry ? ToText(entry->text()) : std::string();
}

// ---- form --------------------------------------------------------------------

TAutoCompleteForm::TAutoCompleteForm(QWidget* parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      FUi(std::make_unique<Ui::TAutoCompleteForm>())
{
  FUi->setupUi(this);
  Panel = FUi->Panel;
  ListBox = FUi->ListBox;
  FItems = TItems(ListBox);
  QFont font("MS Sans Serif");
  font.setPixelSize(11);
  setFont(font);
  ListBox->setStyleSheet("QListWidget { background: white; }");
  ListBox->setFocusPolicy(Qt::StrongFocus);
  setFocusProxy(ListBox);
  // Key preview: every key reaches the form before the list.
  ListBox->installEventFilter(this);
  installEventFilter(this);
  connect(ListBox, &QListWidget::itemDoubleClicked, this, [this] { ListBoxDblClick(); });
  connect(qApp, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
    if (state != Qt::ApplicationActive && FRunning) FormDeactivate();
  });
}

TAutoCompleteForm::~TAutoCompleteForm()
{
  if (FLoop) FLoop->quit();
}

void TAutoCompleteForm::SetListCaption(const std::string& caption)
{
  setWindowTitle(FromText(caption));
}

bool TAutoCompleteForm::SelectPrefix(const std::string& text)
{
  QString prefix = FromText(text);
  for (int i = 0; i < ListBox->count(); ++i) {
    QListWidgetItem* entry = ListBox->item(i);
    const QString& item = entry->text();
    if (item.size() < prefix.size()) continue;
    if (QStringView(item).left(prefix.size()).compare(prefix, Qt::CaseInsensitive) != 0) continue;
    ListBox->setCurrentItem(entry);
    ListBox->scrollToItem(entry);
    return true;
  }
  return false;
}

bool TAutoCompleteForm::Execute(int x, int y, int& offset, std::string& text)
{
  if (FRunning) return false;  // one completion at a time
  move(x, y);
  FKeyTarget = QApplication::focusWidget();
  FExecuting = true;
  FText = text;
  ListBox->clearSelection();
  ListBox->setCurrentItem(nullptr);
  SelectPrefix(FText);
  FRunning = true;
  FCancelled = false;
  show();
  raise();
  activateWindow();
  ListBox->setFocus();
  // Waits for events instead of polling; timers, painting and clicks of the
  // rest of the application go on while the pop-up is open.
  if (FRunning) {
    QEventLoop loop;
    FLoop = &loop;
    loop.exec();
    FLoop = nullptr;
  }
  bool accepted = !FCancelled;
  if (accepted) {
    text = FText;
    offset = ExtractCaretMarker(text);
  }
  hide();
  FExecuting = false;
  PassOnLateKeys();
  return accepted;
}

// Posted, the keys come after what the caller of Execute does with its
// result (the accepted text is inserted first).
void TAutoCompleteForm::PassOnLateKeys()
{
  std::vector<std::unique_ptr<QKeyEvent>> keys;
  keys.swap(FLateKeys);
  if (!FKeyTarget) return;
  for (std::unique_ptr<QKeyEvent>& key : keys) QCoreApplication::postEvent(FKeyTarget, key.release());
}

void TAutoCompleteForm::Stop()
{
  FRunning = false;
  if (FLoop) FLoop->quit();
}

std::string TAutoCompleteForm::SelectedText() const
{
  QList<QListWidgetItem*> selected = ListBox->selectedItems();
  return ToText(selected.front()->text());
}

void TAutoCompleteForm::FormKeyPress(const std::string& key)
{
  switch (key.size() == 1 ? key[0] : '\0') {
    case Enter:
      // Without a selected item the typed text is accepted as it is.
      if (!ListBox->selectedItems().isEmpty()) FText = SelectedText();
      Stop();
      return;
    case Escape:
      FCancelled = true;
      Stop();
      return;
    case Backspace:
      // Takes back the last typed character (a backspace byte has no place in
      // a document); with nothing left, nothing is inserted.
      DropLastCharacter(FText);
      if (FText.empty())
        Stop();
      else
        SelectPrefix(FText);
      return;
    default:
      FText += key;
      if (!SelectPrefix(FText)) Stop();
      return;
  }
}

void TAutoCompleteForm::ListBoxDblClick()
{
  if (ListBox->selectedItems().isEmpty()) return;
  FText = SelectedText();
  Stop();
}

void TAutoCompleteForm::FormDeactivate()
{
  FCancelled = true;
  Stop();
}

bool TAutoCompleteForm::eventFilter(QObject* watched, QEvent* event)
{
  if ((watched == ListBox || watched == this) && event->type() == QEvent::KeyPress)
    return FormKeyDown(*static_cast<QKeyEvent*>(event));
  return QWidget::eventFilter(watched, event);
}

// Typed characters are the pop-up's; the keys that type nothing (arrows,
// page keys) go on to the list.
bool TAutoCompleteForm::FormKeyDown(const QKeyEvent& event)
{
  if (!FRunning) {
    // Typed ahead of the pop-up's closing.
    FLateKeys.emplace_back(static_cast<QKeyEvent*>(event.clone()));
    if (!FExecuting) PassOnLateKeys();
    return true;
  }
  // A command's key closes the pop-up, like a click elsewhere, and goes on
  // to the editor, which runs the command.
  if (FKeyTarget && IsCommandShortcut(FKeyTarget->window(), event)) {
    FLateKeys.emplace_back(static_cast<QKeyEvent*>(event.clone()));
    FormDeactivate();
    return true;
  }
  std::string key = TypedKey(event);
  if (!key.empty()) {
    FormKeyPress(key);
    return true;
  }
  return !event.text().isEmpty() && event.text()[0].isPrint();
}

// A pop-up hides when the user clicks outside it: that cancels.
void TAutoCompleteForm::hideEvent(QHideEvent* event)
{
  if (FRunning) FormDeactivate();
  QWidget::hideEvent(event);
}
