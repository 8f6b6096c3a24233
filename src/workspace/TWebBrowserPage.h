#pragma once
// The page behind the embedded browser: asks its owner before every
// navigation and makes form posts to one address readable.
//
// A form submitted with POST carries its fields in the request body, which
// the page cannot see. Forms aimed at the form-post address are therefore
// submitted with GET: a script present in every document (sub-frames too)
// switches their method just before they go, both for a submit by a button
// or requestSubmit() (a capture-phase "submit" listener) and for a script's
// form.submit(), which fires no submit event (a wrapper of
// HTMLFormElement.prototype.submit). The fields then arrive as the query.

#include <QWebEnginePage>
#include <functional>

class TWebBrowserPage : public QWebEnginePage {
  Q_OBJECT
public:
  explicit TWebBrowserPage(QObject* parent = nullptr);

  // Sees every navigation of the page or one of its frames; returning false
  // cancels it. Without a handler every navigation proceeds.
  std::function<bool(const QUrl& url, NavigationType type, bool isMainFrame)> OnNavigationRequest;

  // The address whose forms are turned into GET submissions (without query
  // or fragment); empty: none. Takes effect for documents loaded afterwards.
  void SetFormPostAddress(const QString& address);

  // The script that turns POST forms aimed at address into GET forms.
  static QString FormPostScript(const QString& address);

protected:
  bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame) override;
};
