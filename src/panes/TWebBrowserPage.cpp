#include "panes/TWebBrowserPage.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QWebChannel>
#include <QWebEngineScript>
#include <QWebEngineScriptCollection>

#include "panes/TFormSubmitBridge.h"

namespace {

const char* const FormPostScriptName = "xmlplivek-form-post";
const char* const FormSubmitScriptName = "xmlplivek-form-submit";

// The world of the browser's own scripts and of its web channel.
constexpr quint32 OwnWorld = QWebEngineScript::ApplicationWorld;

// Runs in the page's world at document creation, before any script of the
// page. The getters and setters are taken from the prototype so that a form
// field named "action" or "method" cannot hide them.
const char* const FormPostScriptSource = R"JS(
(function (address) {
  var target = new URL(address).href;
  var proto = HTMLFormElement.prototype;
  var actionOf = Object.getOwnPropertyDescriptor(proto, 'action').get;
  var methodProp = Object.getOwnPropertyDescriptor(proto, 'method');
  function bare(href) { return String(href).split('#')[0].split('?')[0]; }
  function aimPost(form, submitter) {
    var byButton = submitter && submitter.hasAttribute && submitter.hasAttribute('formaction');
    var action = byButton ? submitter.formAction : actionOf.call(form);
    if (bare(action) !== target) return;
    methodProp.set.call(form, 'post');
    if (submitter && submitter.hasAttribute && submitter.hasAttribute('formmethod')) submitter.formMethod = 'post';
  }
  document.addEventListener('submit', function (event) {
    if (event.target instanceof HTMLFormElement) aimPost(event.target, event.submitter);
  }, true);
  var submit = proto.submit;
  proto.submit = function () {
    aimPost(this, null);
    return submit.apply(this, arguments);
  };
})%1;
)JS";

// Runs in the browser's own world at document creation, after the web
// channel's client library. The top frame opens the channel; a form in any
// frame is handed to the top frame's handOver (the same world, so out of the
// pages' reach too). Only a submission the user made is handed over: a
// trusted submit event, while the page has the user's activation, caused by
// the trusted click being handled on the form's submit button or by the
// trusted Enter being handled in one of its fields. A page's script can
// neither fake these nor reach this world. The fields are taken as a
// submission would take them, after the page's own submit handlers, whose
// preventDefault keeps the form from going; line ends become CR LF as in a
// form's encoding. The form's methods are taken from the prototypes, where
// its fields' names cannot hide them.
const char* const FormSubmitScriptSource = R"JS(
(function (address, channelName) {
  'use strict';
  var target = new URL(address).href;
  var actionOf = Object.getOwnPropertyDescriptor(HTMLFormElement.prototype, 'action').get;
  var contains = Node.prototype.contains;
  var listen = EventTarget.prototype.addEventListener;
  var unlisten = EventTarget.prototype.removeEventListener;
  function bare(href) { return String(href).split('#')[0].split('?')[0]; }
  function aimed(form, submitter) {
    var byButton = submitter && submitter.hasAttribute('formaction');
    return bare(byButton ? submitter.formAction : actionOf.call(form)) === target;
  }
  function crlf(text) { return String(text).replace(/\r\n|\r|\n/g, '\r\n'); }
  function fieldsOf(form, submitter) {
    var fields = [];
    new FormData(form).forEach(function (value, name) {
      fields.push([crlf(name), crlf(typeof value === 'string' ? value : value.name)]);
    });
    if (submitter && submitter.name) fields.push([crlf(submitter.name), crlf(submitter.value)]);
    return fields;
  }

  if (window === window.top) {
    var host = null, waiting = [];
    if (typeof qt === 'object' && qt.webChannelTransport) {
      new QWebChannel(qt.webChannelTransport, function (channel) {
        host = channel.objects[channelName];
        waiting.forEach(function (fields) { host.submit(fields); });
        waiting = null;
      });
    }
    window.xmlplivekHandOver = function (fields) {
      if (host) host.submit(fields); else if (waiting) waiting.push(fields);
    };
  }
  function handOver(fields) {
    var top;
    try { top = window.top.xmlplivekHandOver; } catch (e) { return; }
    if (typeof top === 'function') top(fields);
  }

  // The trusted click or Enter key press being handled, until its task ends.
  var userInput = null;
  function noteInput(event) {
    if (!event.isTrusted || (event.type === 'keypress' && event.key !== 'Enter')) return;
    var input = { target: event.target, enter: event.type === 'keypress' };
    userInput = input;
    setTimeout(function () { if (userInput === input) userInput = null; }, 0);
  }
  window.addEventListener('click', noteInput, true);
  window.addEventListener('keypress', noteInput, true);
  function madeByUser(event, form) {
    var input = userInput, submitter = event.submitter;
    if (!event.isTrusted || !input || !(input.target instanceof Node)) return false;
    if (navigator.userActivation && !navigator.userActivation.isActive) return false;
    if (submitter && submitter.contains(input.target)) return true;
    return input.enter && (contains.call(form, input.target) || input.target.form === form);
  }

  window.addEventListener('submit', function (event) {
    var form = event.target;
    if (!(form instanceof HTMLFormElement) || !aimed(form, event.submitter)) return;
    // Any other submission goes on as a navigation, which the browser's
    // owner cancels.
    if (!madeByUser(event, form)) return;
    userInput = null;
    var decide = function (e) {
      if (e !== event) return;
      unlisten.call(form, 'submit', decide);
      if (event.defaultPrevented) return;
      event.preventDefault();
      handOver(fieldsOf(form, event.submitter));
    };
    listen.call(form, 'submit', decide);
    setTimeout(function () { unlisten.call(form, 'submit', decide); }, 0);
  }, true);
})%1;
)JS";

// text as a JavaScript string literal: the one element of a JSON array,
// quoted and escaped by the JSON writer.
QString JsString(const QString& text)
{
  QString array = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
  return array.mid(1, array.size() - 2);
}

// The client library of the web channel, as Qt WebChannel ships it.
QString WebChannelLibrary()
{
  QFile file(":/qtwebchannel/qwebchannel.js");
  if (!file.open(QIODevice::ReadOnly)) return QString();
  return QString::fromUtf8(file.readAll());
}

void InsertScript(QWebEngineScriptCollection& collection, const char* name, quint32 world, const QString& source)
{
  QWebEngineScript script;
  script.setName(name);
  script.setInjectionPoint(QWebEngineScript::DocumentCreation);
  script.setWorldId(world);
  script.setRunsOnSubFrames(true);
  script.setSourceCode(source);
  collection.insert(script);
}

} // namespace

TWebBrowserPage::TWebBrowserPage(QObject* parent)
    : QWebEnginePage(parent),
      FChannel(new QWebChannel(this)),
      FBridge(new TFormSubmitBridge(this))
{
  FBridge->OnSubmit = [this](const QVariantList& fields) {
    if (OnFormSubmit) OnFormSubmit(fields);
  };
  FChannel->registerObject(TFormSubmitBridge::ChannelName, FBridge);
  setWebChannel(FChannel, OwnWorld);
}

QString TWebBrowserPage::FormPostScript(const QString& address)
{
  return QString::fromLatin1(FormPostScriptSource).arg("(" + JsString(address) + ")");
}

QString TWebBrowserPage::FormSubmitScript(const QString& address)
{
  QString call = "(" + JsString(address) + ", " + JsString(TFormSubmitBridge::ChannelName) + ")";
  return WebChannelLibrary() + QString::fromLatin1(FormSubmitScriptSource).arg(call);
}

void TWebBrowserPage::SetFormPostAddress(const QString& address)
{
  QWebEngineScriptCollection& collection = scripts();
  for (const char* name : {FormPostScriptName, FormSubmitScriptName})
    for (const QWebEngineScript& old : collection.find(name)) collection.remove(old);
  if (address.isEmpty()) return;
  InsertScript(collection, FormPostScriptName, QWebEngineScript::MainWorld, FormPostScript(address));
  InsertScript(collection, FormSubmitScriptName, OwnWorld, FormSubmitScript(address));
}

bool TWebBrowserPage::acceptNavigationRequest(const QUrl& url, NavigationType type, bool isMainFrame)
{
  if (!OnNavigationRequest) return true;
  return OnNavigationRequest(url, type, isMainFrame);
}
