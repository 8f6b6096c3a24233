#pragma once
// The help pane: the help pages in an embedded browser under a row of
// navigation buttons.
//
// A form of a help page aimed at the template address does not navigate:
// when the user submits it, the browser hands its fields to the pane, which
// fills the template the form carries in its "_text" field with the values of
// the other fields, puts the result on the clipboard and raises OnCopyPaste, upon which the main window pastes it into
// the document beside the pane. Help pages thus insert ready-made markup.

#include <QString>
#include <functional>
#include <memory>
#include <string>

#include "docking/TFrame.h"
#include "panes/TWebBrowser.h"

class QFrame;
class QToolButton;
namespace Ui {
class THelpFrame;
}

class THelpFrame : public TFrame {
  Q_OBJECT
public:
  // The action of the help pages' forms; no real host ever has this name.
  static const char* const TemplateAddress;

  explicit THelpFrame(QWidget* parent = nullptr);
  ~THelpFrame() override;

  // The form's widgets (owned by the frame).
  TWebBrowser* WebBrowser;
  QFrame* Panel1;
  QToolButton* BackBtn;
  QToolButton* ForwardBtn;
  QToolButton* StopBtn;
  QToolButton* RefreshBtn;
  QToolButton* HomeBtn;
  // Title of the page shown, as the browser last reported it.
  QString FTitle;
  // Raised after a form post has put its text on the clipboard.
  std::function<void(THelpFrame& sender)> OnCopyPaste;

  // The home page: "manual/index.html" in the program folder.
  static QString HomePage();

  void BackBtnClick();
  void ForwardBtnClick();
  void StopBtnClick();
  void RefreshBtnClick();
  void HomeBtnClick();
  // Stop is enabled while a page loads, Refresh while none does; called by
  // every heartbeat tick.
  void UpdateButtons();

  void WebBrowserCommandStateChange(int command, bool enable);
  void WebBrowserTitleChange(const QString& text);
  // Cancels a navigation to the template address (a page's script, a link):
  // only a form the user submitted, handed over by the browser, fills a
  // template.
  void WebBrowserBeforeNavigate2(const QString& url, bool& cancel);
  // Fills the template of a form aimed at the template address ("_text")
  // with its other fields, puts the text on the clipboard and raises
  // OnCopyPaste.
  void WebBrowserFormSubmit(const TSubmittedFields& fields);

  // Names the tab or the floating window "Help".
  void FrameEndDock(QWidget* target) override;

private:
  // Puts the filled text (UTF-8) on the clipboard and raises OnCopyPaste.
  void CopyPaste(const std::string& text);

  std::unique_ptr<Ui::THelpFrame> FUi;
};
