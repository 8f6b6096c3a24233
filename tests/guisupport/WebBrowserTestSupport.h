#pragma once
// Driving an embedded browser in tests as a user would: wait for pages, find
// elements (script only locates them), click them with the mouse and type
// into them with key events.

#include <QApplication>
#include <QJsonArray>
#include <QJsonDocument>
#include <QKeyEvent>
#include <QPoint>
#include <QSignalSpy>
#include <QString>
#include <QTest>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace browsertest {

// text as a JavaScript string literal.
inline QString JsString(const QString& text)
{
  QString array = QString::fromUtf8(QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact));
  return array.mid(1, array.size() - 2);
}

constexpr int Timeout = 20000; // ms; only a bound for waiting, never a speed goal

// Runs load and waits until a page has finished loading successfully (a
// cancelled navigation, such as a form post to the template address, also
// reports a finished load, unsuccessful, and is passed over).
inline bool LoadAndWait(QWebEngineView& view, const std::function<void()>& load)
{
  QSignalSpy finished(&view, &QWebEngineView::loadFinished);
  load();
  return QTest::qWaitFor([&] {
    for (const auto& arguments : finished)
      if (arguments.first().toBool()) return true;
    return false;
  }, Timeout);
}

// The result of a script run in the page.
inline QVariant Evaluate(QWebEngineView& view, const QString& script)
{
  QVariant result;
  bool done = false;
  view.page()->runJavaScript(script, [&](const QVariant& value) {
    result = value;
    done = true;
  });
  (void)QTest::qWaitFor([&] { return done; }, Timeout);
  return result;
}

// Waits until a script's result is true.
inline bool WaitFor(QWebEngineView& view, const QString& condition)
{
  return QTest::qWaitFor([&] { return Evaluate(view, condition).toBool(); }, Timeout);
}

// The widget that receives the view's input.
inline QWidget* InputWidget(QWebEngineView& view)
{
  return view.focusProxy() ? view.focusProxy() : &view;
}

// Waits until the page at url (fragment aside) has loaded completely.
inline bool WaitForPage(QWebEngineView& view, const QUrl& url)
{
  auto bare = [](const QUrl& u) { return u.adjusted(QUrl::RemoveFragment); };
  if (!QTest::qWaitFor([&] { return bare(view.url()) == bare(url) && !view.page()->isLoading(); }, Timeout))
    return false;
  return WaitFor(view, "document.readyState === 'complete'");
}

// Centre of the element that selector finds, in view coordinates; (-1, -1)
// when absent. The element is scrolled into view first, and the page is given
// two frames to show the scrolled position, where the clicks are aimed.
inline QPoint ElementCentre(QWebEngineView& view, const QString& selector)
{
  QString element = QString("document.querySelector(%1)").arg(JsString(selector));
  if (!Evaluate(view, QString("(function () { var e = %1; if (!e) return false;"
                              " window.xmlplivekShown = false; e.scrollIntoView({block: 'center'});"
                              " requestAnimationFrame(function () { requestAnimationFrame(function () {"
                              " window.xmlplivekShown = true; }); }); return true; })()")
                          .arg(element))
           .toBool())
    return QPoint(-1, -1);
  if (!WaitFor(view, "window.xmlplivekShown === true")) return QPoint(-1, -1);
  QVariantList xy = Evaluate(view, QString("(function () { var r = %1.getBoundingClientRect();"
                                           " return [r.left + r.width / 2, r.top + r.height / 2]; })()")
                                       .arg(element))
                        .toList();
  if (xy.size() != 2) return QPoint(-1, -1);
  return QPoint(qRound(xy[0].toDouble()), qRound(xy[1].toDouble()));
}

// Clicks the element with the left button.
inline bool Click(QWebEngineView& view, const QString& selector)
{
  QPoint at = ElementCentre(view, selector);
  if (at.x() < 0) return false;
  QWidget* input = InputWidget(view);
  QTest::mouseMove(input, at);
  QTest::mouseClick(input, Qt::LeftButton, Qt::NoModifier, at);
  return true;
}

// Types text as key events into the focused element of the page.
inline void Type(QWebEngineView& view, const QString& text)
{
  QWidget* input = InputWidget(view);
  for (QChar c : text) {
    if (c.unicode() < 128 && c.isPrint()) {
      QTest::keyClick(input, c.toLatin1());
    } else {
      QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(input, &press);
      QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
      QApplication::sendEvent(input, &release);
    }
  }
}

// Clicks into a field, selects what it holds and types text over it.
inline bool FillField(QWebEngineView& view, const QString& selector, const QString& text)
{
  if (!Click(view, selector)) return false;
  if (!WaitFor(view, QString("document.activeElement === document.querySelector(%1)").arg(JsString(selector))))
    return false;
  QTest::keyClick(InputWidget(view), Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(InputWidget(view), Qt::Key_Delete);
  Type(view, text);
  return WaitFor(view, QString("document.querySelector(%1).value === %2").arg(JsString(selector), JsString(text)));
}

} // namespace browsertest
