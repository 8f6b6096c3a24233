#pragma once
// The page behind the embedded browser: asks its owner before every
// navigation and hands forms aimed at one address to its owner instead of
// sending them.
//
// Two scripts are present in every document (sub-frames too):
// - In a world of their own, out of the page's reach: a submission that the
//   user made (a click on the submit button, Enter in a field) of a form
//   aimed at the form-post address is stopped, and its fields are handed to
//   the program over the page's web channel (OnFormSubmit). Submissions by
//   the page's scripts are left to go as navigations.
// - In the page's own world: a form aimed at the address that goes anyway
//   (a script's submission) is sent with POST, so that its fields never make
//   up an address too long to load; its navigation reaches
//   acceptNavigationRequest like any other.

#include <QVariantList>
#include <QWebEnginePage>
#include <functional>

class QWebChannel;
class TFormSubmitBridge;

class TWebBrowserPage : public QWebEnginePage {
  Q_OBJECT
public:
  explicit TWebBrowserPage(QObject* parent = nullptr);

  // Sees every navigation of the page or one of its frames; returning false
  // cancels it. Without a handler every navigation proceeds.
  std::function<bool(const QUrl& url, NavigationType type, bool isMainFrame)> OnNavigationRequest;
  // Receives the fields of a form handed over, as [name, value] pairs.
  std::function<void(const QVariantList& fields)> OnFormSubmit;

  // The address whose forms are handed over (without query or fragment);
  // empty: none. Takes effect for documents loaded afterwards.
  void SetFormPostAddress(const QString& address);

  // The script, in the page's world, that sends forms aimed at address with POST.
  static QString FormPostScript(const QString& address);
  // The script, in the browser's own world, that hands forms aimed at
  // address over the web channel.
  static QString FormSubmitScript(const QString& address);

protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;

private:
  QWebChannel* FChannel;
  TFormSubmitBridge* FBridge;
};
