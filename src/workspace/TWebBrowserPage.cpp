#include "workspace/TWebBrowserPage.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

namespace {

const char* const FormPostScriptName = "xmlplivek-form-post";

// Runs at document creation, before any script of the page. The getters and
// setters are taken from the prototype so that a form field named "action"
// or "method" cannot hide them.
const char* const FormPostScriptSource = R"JS(
(function (address) {
  var target = new URL(address).href;
  var proto = HTMLFormElement.prototype;
  var actionOf = Object.getOwnPropertyDescriptor(proto, 'action').get;
  var methodProp = Object.getOwnPropertyDescriptor(proto, 'method');
  function bare(href) { return String(href).split('#')[0].split('?')[0]; }
  function aimGet(form, submitter) {
    var byButton = submitter && submitter.hasAttribute && submitter.hasAttribute('formaction');
    var action = byButton ? submitter.formAction : actionOf.call(form);
    if (bare(action) !== target) return;
    methodProp.set.call(form, 'get');
    if (submitter && submitter.hasAttribute && submitter.hasAttribute('formmethod')) submitter.formMethod = 'get';
  }
  document.addEventListener('submit', function (event) {
    if (event.target instanceof HTMLFormElement) aimGet(event.target, event.submitter);
  }, true);
  var submit = proto.submit;
  proto.submit = function () {
    aimGet(this, null);
    return submit.apply(this, arguments);
  };
})%1;
)JS";

} // namespace

TWebBrowserPage::TWebBrowserPage(QObject* parent)
    : QWebEnginePage(parent)
{
}

QString TWebBrowserPage::FormPostScript(const QString& address)
{
  // The address goes in as a JavaScript string literal: the one element of a
  // JSON array, quoted and escaped by the JSON writer.
  QString literal = QString::fromUtf8(QJsonDocument(QJsonArray{address}).toJson(QJsonDocument::Compact));
  literal = "(" + literal.mid(1, literal.size() - 2) + ")";
  return QString::fromLatin1(FormPostScriptSource).arg(literal);
}

void TWebBrowserPage::SetFormPostAddress(const QString& address)
{
  QWebEngineScriptCollection& collection = scripts();
  for (const QWebEngineScript& old : collection.find(FormPostScriptName)) collection.remove(old);
  if (address.isEmpty()) return;
  QWebEngineScript script;
  script.setName(FormPostScriptName);
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(QWebEngineScript::MainWorld);
  script.setRunsOnSubFrames(true);
  script.setSourceCode(FormPostScript(address));
  collection.insert(script);
}

bool TWebBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
  if (!OnNavigationRequest) return true;
  return OnNavigationRequest(url, type, isMainFrame);
}
