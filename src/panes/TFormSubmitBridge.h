#pragma once
// How the browser's own scripts hand a submitted form's fields to the
// program: an object published on the page's web channel. The channel lives
// in a script world of its own, which the pages' scripts cannot reach, and
// carries fields of any size (a form's fields in the address of a navigation
// are cut off at about 2 MB).

#include <QObject>
#include <QVariantList>
#include <functional>

class TFormSubmitBridge : public QObject {
  Q_OBJECT
public:
  // The name the object is published under on the channel.
  static const char* const ChannelName;

  using QObject::QObject;

  // Raised for each form handed over, with its fields as [name, value] pairs
  // in the order of the form.
  std::function<void(const QVariantList& fields)> OnSubmit;

  // Called by the script.
  Q_INVOKABLE void submit(const QVariantList& fields);
};
