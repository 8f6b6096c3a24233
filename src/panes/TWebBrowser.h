#pragma once
// The embedded web browser: an HTML view with the operations, command ids and
// events of the classic WebBrowser control, which is what the help pane, the
// heartbeat and the Print and Edit commands expect of it.

#include <QPrinter>
#include <QString>
#include <QWebEngineView>
#include <functional>
#include <memory>
#include <vector>

class TWebBrowserPage;

// Command ids of QueryStatus and ExecWB.
enum TBrowserCommand : int {
  OLECMDID_PRINT = 6,
  OLECMDID_CUT = 11,
  OLECMDID_COPY = 12,
  OLECMDID_PASTE = 13,
  OLECMDID_UNDO = 15,
  OLECMDID_REDO = 16,
  OLECMDID_SELECTALL = 17,
  OLECMDID_REFRESH = 22,
  OLECMDID_STOP = 23,
};

// Status bits of QueryStatus.
constexpr int OLECMDF_SUPPORTED = 1;
constexpr int OLECMDF_ENABLED = 2;

// Execution options of ExecWB.
constexpr int OLECMDEXECOPT_DODEFAULT = 0;
constexpr int OLECMDEXECOPT_PROMPTUSER = 1;
constexpr int OLECMDEXECOPT_DONTPROMPTUSER = 2;

// Commands of OnCommandStateChange.
constexpr int CSC_NAVIGATEFORWARD = 1;
constexpr int CSC_NAVIGATEBACK = 2;

// A field of a submitted form.
struct TSubmittedField {
  QString Name;
  QString Value;
};
using TSubmittedFields = std::vector<TSubmittedField>;

class TWebBrowser : public QWebEngineView {
  Q_OBJECT
public:
  explicit TWebBrowser(QWidget* parent = nullptr);
  ~TWebBrowser() override;

  // The events are raised from inside the browser's work: a handler's
  // exception is shown to the user and goes no further (a navigation whose
  // handler fails is cancelled).
  //
  // Raised when going forward (1) or back (2) becomes possible or impossible.
  std::function<void(TWebBrowser& sender, int command, bool enable)> OnCommandStateChange;
  // Raised when the page's title changes.
  std::function<void(TWebBrowser& sender, const QString& text)> OnTitleChange;
  // Raised before every navigation of the page or one of its frames; setting
  // cancel keeps the browser where it is. url is the target address; for a
  // navigation to the form-post address (one that is no form handed over,
  // below) it is that address as set, without query.
  std::function<void(TWebBrowser& sender, const QString& url, bool& cancel)> OnBeforeNavigate;
  // Raised instead of a navigation when the user submits a form aimed at
  // the form-post address (a click on its submit button, Enter in one of its
  // fields; never a submission by a script of the page), with its fields in
  // the order of the form (line ends as CR LF, a file field as its file
  // name). The page stays.
  std::function<void(TWebBrowser& sender, const TSubmittedFields& fields)> OnFormSubmit;
  // The print dialog: sets up the printer, false when the user cancelled.
  // Unassigned, the platform's print dialog is shown.
  std::function<bool(QPrinter& printer)> OnPrintSetup;
  // Raised when a print job started by ExecWB has ended.
  std::function<void(TWebBrowser& sender, bool success)> OnPrintFinished;

  // Forms aimed at this address are handed over (see OnFormSubmit) rather
  // than sent when the user submits them; other navigations there (by a
  // page's script or a link) come to OnBeforeNavigate. Set it before the
  // pages that hold such forms load.
  void SetFormPostAddress(const QString& address);
  QString FormPostAddress() const { return FFormPostAddress; }

  // Loads a local path (an optional "#fragment" after the file name names an
  // anchor) or an address; the page loads asynchronously.
  void Navigate(const QString& url);
  void GoBack();
  void GoForward();
  void Stop();
  void Refresh();
  // True while a page is loading.
  bool Busy() const;

  // The status bits of a command: OLECMDF_SUPPORTED for the ids above, plus
  // OLECMDF_ENABLED when the command can run now; 0 for any other id.
  int QueryStatus(int command) const;
  // Runs a command on the current page. Print (6) shows the print dialog
  // unless option is OLECMDEXECOPT_DONTPROMPTUSER and prints in the
  // background. Throws EWebBrowserError for an unknown id or a print while
  // another print runs.
  void ExecWB(int command, int option);

  // The address typed into Navigate as the browser loads it.
  static QUrl UrlFromText(const QString& text);

private:
  void NavigationRequested(const QUrl& url, bool& accept);
  void FormSubmitted(const QVariantList& fields);
  void UpdateHistoryState();
  void Print(int option);
  void PrintDone(bool success);

  TWebBrowserPage* FPage;
  QString FFormPostAddress;    // as given
  QString FFormPostBare;       // normalized, for comparison
  int FBackState = -1;         // last reported state: -1 none yet, 0 off, 1 on
  int FForwardState = -1;
  std::unique_ptr<QPrinter> FPrinter; // the printer of the running print job
};
