#include "panes/TWebBrowser.h"

#include <QAction>
#include <QDialog>
#include <QFileInfo>
#include <QPrintDialog>

#include <exception>

#include "panes/EWebBrowserError.h"
#include "panes/TWebBrowserPage.h"
#include "platform/Prompter.h"

namespace {

// Runs an event handler that the browser calls back from inside its own
// work, where no exception may pass: a failure is shown to the user. False
// when the handler failed.
template <class THandler>
bool RunHandler(const THandler& handler)
{
  try {
    handler();
    return true;
  } catch (const std::exception& e) {
    Prompter().ShowMessage(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    Prompter().ShowMessage("An unexpected error occurred in the help pane.");
  }
  return false;
}

QString BareAddress(const QUrl& url)
{
  return url.adjusted(QUrl::RemoveQuery | QUrl::RemoveFragment).toString(QUrl::FullyEncoded);
}

// The page action of an editing command id; -1 for others.
int EditAction(int command)
{
  switch (command) {
  case OLECMDID_CUT: return QWebEnginePage::Cut;
  case OLECMDID_COPY: return QWebEnginePage::Copy;
  case OLECMDID_PASTE: return QWebEnginePage::Paste;
  case OLECMDID_UNDO: return QWebEnginePage::Undo;
  case OLECMDID_REDO: return QWebEnginePage::Redo;
  case OLECMDID_SELECTALL: return QWebEnginePage::SelectAll;
  case OLECMDID_REFRESH: return QWebEnginePage::Reload;
  case OLECMDID_STOP: return QWebEnginePage::Stop;
  default: return -1;
  }
}

} // namespace

TWebBrowser::TWebBrowser(QWidget* parent)
    : QWebEngineView(parent),
      FPage(new TWebBrowserPage(this))
{
  setPage(FPage);
  FPage->OnNavigationRequest = [this](const QUrl& url, QWebEnginePage::NavigationType, bool) {
    // A navigation whose handling fails keeps the browser where it is.
    bool accept = true;
    return RunHandler([&] { NavigationRequested(url, accept); }) && accept;
  };
  FPage->OnFormSubmit = [this](const QVariantList& fields) { RunHandler([&] { FormSubmitted(fields); }); };
  connect(this, &QWebEngineView::titleChanged, this, [this](const QString& title) {
    if (OnTitleChange) RunHandler([&] { OnTitleChange(*this, title); });
  });
  connect(this, &QWebEngineView::urlChanged, this, [this] { UpdateHistoryState(); });
  connect(this, &QWebEngineView::loadFinished, this, [this] { UpdateHistoryState(); });
  connect(FPage->action(QWebEnginePage::Back), &QAction::changed, this, [this] { UpdateHistoryState(); });
  connect(FPage->action(QWebEnginePage::Forward), &QAction::changed, this, [this] { UpdateHistoryState(); });
  connect(this, &QWebEngineView::printFinished, this, [this](bool success) { PrintDone(success); });
}

TWebBrowser::~TWebBrowser() = default;

void TWebBrowser::SetFormPostAddress(const QString& address)
{
  FFormPostAddress = address;
  FFormPostBare = address.isEmpty() ? QString() : BareAddress(QUrl(address));
  FPage->SetFormPostAddress(FFormPostBare);
}

QUrl TWebBrowser::UrlFromText(const QString& text)
{
  if (text.startsWith('/')) {
    // A local path; "#anchor" after the file name (unless the file's name
    // really holds it) is the fragment.
    int hash = text.indexOf('#', text.lastIndexOf('/'));
    if (hash < 0 || QFileInfo::exists(text)) return QUrl::fromLocalFile(text);
    QUrl url = QUrl::fromLocalFile(text.left(hash));
    url.setFragment(text.mid(hash + 1));
    return url;
  }
  QUrl url(text, QUrl::TolerantMode);
  if (url.scheme().size() > 1) return url;
  return UrlFromText(QFileInfo(text).absoluteFilePath());
}

void TWebBrowser::Navigate(const QString& url)
{
  load(UrlFromText(url));
}

void TWebBrowser::GoBack()
{
  back();
}

void TWebBrowser::GoForward()
{
  forward();
}

void TWebBrowser::Stop()
{
  stop();
}

void TWebBrowser::Refresh()
{
  reload();
}

bool TWebBrowser::Busy() const
{
  return FPage->isLoading();
}

int TWebBrowser::QueryStatus(int command) const
{
  bool enabled;
  if (command == OLECMDID_PRINT)
    enabled = !FPrinter && !url().isEmpty();
  else if (int action = EditAction(command); action >= 0)
    enabled = FPage->action(static_cast<QWebEnginePage::WebAction>(action))->isEnabled();
  else
    return 0;
  return OLECMDF_SUPPORTED | (enabled ? OLECMDF_ENABLED : 0);
}

void TWebBrowser::ExecWB(int command, int option)
{
  if (command == OLECMDID_PRINT) {
    Print(option);
    return;
  }
  int action = EditAction(command);
  if (action < 0) throw EWebBrowserError("The browser does not know the command " + std::to_string(command) + ".");
  FPage->triggerAction(static_cast<QWebEnginePage::WebAction>(action));
}

void TWebBrowser::Print(int option)
{
  if (FPrinter) throw EWebBrowserError("The browser is already printing.");
  auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
  if (option != OLECMDEXECOPT_DONTPROMPTUSER) {
    bool accepted;
    if (OnPrintSetup) {
      accepted = OnPrintSetup(*printer);
    } else {
      QPrintDialog dialog(printer.get(), this);
      accepted = dialog.exec() == QDialog::Accepted;
    }
    if (!accepted) return;
  }
  FPrinter = std::move(printer);
  print(FPrinter.get());
}

void TWebBrowser::PrintDone(bool success)
{
  FPrinter.reset();
  if (OnPrintFinished) RunHandler([&] { OnPrintFinished(*this, success); });
}

void TWebBrowser::NavigationRequested(const QUrl& url, bool& accept)
{
  QString target = url.toString(QUrl::FullyEncoded);
  if (!FFormPostBare.isEmpty() && BareAddress(url) == FFormPostBare) target = FFormPostAddress;
  bool cancel = false;
  if (OnBeforeNavigate) OnBeforeNavigate(*this, target, cancel);
  accept = !cancel;
}

void TWebBrowser::FormSubmitted(const QVariantList& fields)
{
  if (!OnFormSubmit) return;
  TSubmittedFields submitted;
  submitted.reserve(static_cast<std::size_t>(fields.size()));
  for (const QVariant& field : fields) {
    QVariantList pair = field.toList();
    if (pair.size() == 2) submitted.push_back({pair[0].toString(), pair[1].toString()});
  }
  OnFormSubmit(*this, submitted);
}

void TWebBrowser::UpdateHistoryState()
{
  int back = FPage->action(QWebEnginePage::Back)->isEnabled() ? 1 : 0;
  int forward = FPage->action(QWebEnginePage::Forward)->isEnabled() ? 1 : 0;
  if (forward != FForwardState) {
    FForwardState = forward;
    if (OnCommandStateChange) RunHandler([&] { OnCommandStateChange(*this, CSC_NAVIGATEFORWARD, forward != 0); });
  }
  if (back != FBackState) {
    FBackState = back;
    if (OnCommandStateChange) RunHandler([&] { OnCommandStateChange(*this, CSC_NAVIGATEBACK, back != 0); });
  }
}
