#pragma once
// Every message box, question and file dialog of the program goes through the
// one prompter, so tests can answer them without a user.

#include <QString>
#include <QStringList>

class QWidget;

class TPrompter {
public:
  enum class TButtons { Ok, OkCancel, YesNo, YesNoCancel };
  enum class TAnswer { Ok, Cancel, Yes, No };
  enum class TIcon { Information, Warning, Error, Question, None };

  virtual ~TPrompter() = default;

  // A message with an OK button.
  virtual void ShowMessage(const QString& text) = 0;
  // A question; the answer is the button pressed (Cancel when the box is closed).
  virtual TAnswer MessageDlg(const QString& text, TIcon icon, TButtons buttons) = 0;
  // The same question in a box with a caption of its own; prompters that show
  // no boxes answer it as MessageDlg.
  virtual TAnswer MessageBox(const QString& caption, const QString& text, TIcon icon, TButtons buttons)
  {
    (void)caption;
    return MessageDlg(text, icon, buttons);
  }
  // File dialogs: an empty result means the user cancelled. filter uses Qt's
  // "Title (*.a *.b);;Other (*)" form; selectedFilter is in-out.
  virtual QString GetOpenFileName(const QString& caption, const QString& folder, const QString& filter,
                                  QString* selectedFilter) = 0;
  virtual QString GetSaveFileName(const QString& caption, const QString& file, const QString& filter,
                                  QString* selectedFilter) = 0;
  // An open dialog that takes a typed name or mask ("*.htm") as it is,
  // whether or not such a file exists. Prompters that show no dialogs answer
  // it as GetOpenFileName.
  virtual QString GetFileSpec(const QString& caption, const QString& file, const QString& filter,
                              QString* selectedFilter)
  {
    return GetOpenFileName(caption, file, filter, selectedFilter);
  }
  // A line of text; returns false when cancelled.
  virtual bool InputQuery(const QString& caption, const QString& prompt, QString& value) = 0;
};

// The prompter in use: the interactive one unless a test installed another.
TPrompter& Prompter();
// Installs a prompter (not owned); nullptr restores the interactive one.
void SetPrompter(TPrompter* prompter);
// The window dialogs are centred on (the main window once it exists).
void SetPrompterParent(QWidget* parent);
