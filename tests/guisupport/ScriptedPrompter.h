#pragma once
// A prompter for tests: records every message and answers from a script.

#include <QStringList>
#include <deque>

#include "platform/Prompter.h"

class TScriptedPrompter : public TPrompter {
public:
  TScriptedPrompter() { SetPrompter(this); }
  ~TScriptedPrompter() override { SetPrompter(nullptr); }

  QStringList Messages;                 // every text shown or asked, in order
  std::deque<TAnswer> Answers;          // answers to MessageDlg; Cancel when empty
  std::deque<QString> FileNames;        // answers to the file dialogs; "" (cancel) when empty
  std::deque<QString> Inputs;           // answers to InputQuery; cancel when empty
  QStringList FileDialogPresets;        // the folder or file each file dialog was opened with

  void ShowMessage(const QString& text) override { Messages << text; }
  TAnswer MessageDlg(const QString& text, TIcon, TButtons) override
  {
    Messages << text;
    return Take(Answers, TAnswer::Cancel);
  }
  QString GetOpenFileName(const QString& caption, const QString& folder, const QString&, QString*) override
  {
    Messages << caption;
    FileDialogPresets << folder;
    return Take(FileNames, QString());
  }
  QString GetSaveFileName(const QString& caption, const QString& file, const QString&, QString*) override
  {
    Messages << caption;
    FileDialogPresets << file;
    return Take(FileNames, QString());
  }
  bool InputQuery(const QString& caption, const QString&, QString& value) override
  {
    Messages << caption;
    if (Inputs.empty()) return false;
    value = Take(Inputs, QString());
    return true;
  }

private:
  template <typename T>
  static T Take(std::deque<T>& queue, T fallback)
  {
    if (queue.empty()) return fallback;
    T value = queue.front();
    queue.pop_front();
    return value;
  }
};
