// The cost of a keystroke at the end of a big document, side by side with a
// small one: the program is started as for a user (main window, its
// configuration and key bindings, status bar, heartbeat), generated
// documents of 1 MB and of the given size (default 100 MB) in UTF-8 (text
// beyond ASCII, LF) and Windows-1252 (CR LF) are opened, the caret goes to
// their end and key presses are sent to the editor: typing an ASCII letter
// and a letter beyond ASCII, Enter, Backspace, the arrow keys, End and Home;
// every key is followed by the events it causes (status bar, repaint). The
// first columns time the caret's first jump to the end of the freshly opened
// document (Ctrl+End) and the first key typed there ("first": a letter and
// Backspace), while the highlighter styles the text before it in the
// background; the other keys are timed once it has. A
// heartbeat tick (caption, panels, command states) is timed on its own.
// The documents are of the XML type, whose XML highlighter and
// autocompletion (tag closing, completion pop-ups) are on. The last columns
// time the search for the enclosing element that a "<" typed there starts
// before offering the element names (the pop-up itself is not opened): it
// goes back to the start tag of the element the caret is in, the root
// element here. The first search after opening walks over all the document
// ("'<' 1st"); what it learnt about the text well before the caret is kept,
// so the searches after it ("'<' next", a key typed and deleted before) walk
// back only a short way.
//
// Goal: a keystroke or caret move at the end of the big document costs at
// most twice what it costs at the end of the small one (the ratio is shown
// per key).
//
//   bench_editorkeys [megabytes]

#include <QApplication>
#include <QKeyEvent>
#include <Qsci/qscilexerxml.h>
#include <Qsci/qsciscintilla.h>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <unistd.h>

#include "editor/TEditFrame.h"
#include "editor/TTagCompleter.h"
#include "model/TFileType.h"
#include "platform/QtEnvironment.h"
#include "resource/ProgramFile.h"
#include "resource/TURL.h"
#include "workspace/ProgramStartup.h"
#include "workspace/TMainForm.h"

namespace {

using Clock = std::chrono::steady_clock;

struct TDocument {
  const char* Name;
  const char* Encoding;
  const char* LineEnd;
  const char* Customer;
};

const TDocument Documents[] = {
    {"utf8", "UTF-8", "\n", "Kunde M\xC3\xBCller \xE5\xB1\xB1\xE7\x94\xB0 \xE2\x82\xAC"},
    {"windows-1252", "windows-1252", "\r\n", "Kunde M\xFCller \x80"},
};

void Generate(const std::string& path, std::size_t bytes, const TDocument& doc)
{
  const std::string lineEnd = doc.LineEnd;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << "<?xml version=\"1.0\" encoding=\"" << doc.Encoding << "\"?>" << lineEnd << "<orders>" << lineEnd;
  std::size_t written = 0;
  for (long n = 0; written < bytes; ++n) {
    std::ostringstream record;
    record << "  <order id=\"" << n << "\"><customer>" << doc.Customer << " " << n % 997 << "</customer></order>"
           << lineEnd;
    out << record.str();
    written += record.str().size();
  }
  out << "</orders>";
}

void Press(QWidget* target, int key, const QString& text = QString(), Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
  QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
  QApplication::sendEvent(target, &press);
  QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
  QApplication::sendEvent(target, &release);
  QApplication::processEvents();
}

// Milliseconds per call of step, averaged over count calls.
double PerCall(int count, const std::function<void()>& step)
{
  auto start = Clock::now();
  for (int i = 0; i < count; ++i) step();
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count() / count;
}

constexpr int FigureCount = 12;

struct TFigures {
  double ToEnd, First, Letter, NonAscii, Enter, Backspace, LeftRight, UpDown, EndHome, Tick, EnclosingFirst, Enclosing;
  // Whether the document had the XML highlighter and autocompletion on.
  bool Highlighted, AutoCompleted;

  std::array<double, FigureCount> Values() const
  {
    return {ToEnd, First, Letter, NonAscii, Enter, Backspace, LeftRight, UpDown, EndHome, Tick, EnclosingFirst, Enclosing};
  }
};

TFigures Measure(TMainForm& form, const std::string& file)
{
  form.OpenArgument(file);
  QApplication::processEvents();
  TEditFrame* frame = form.GetActiveEditFrame();
  QsciScintilla* e = frame->SynEdit;
  TFigures f{};
  f.Highlighted = qobject_cast<QsciLexerXML*>(frame->Highlighter()) != nullptr;
  f.AutoCompleted = frame->FFileType && frame->FFileType->AutoComplete && TTagCompleter::Of(*frame);
  e->setFocus();
  QApplication::processEvents();
  const int n = 50;
  auto toEnd = Clock::now();
  Press(e, Qt::Key_End, QString(), Qt::ControlModifier);
  f.ToEnd = std::chrono::duration<double, std::milli>(Clock::now() - toEnd).count();
  auto first = Clock::now();
  Press(e, Qt::Key_X, "x");
  Press(e, Qt::Key_Backspace);
  f.First = std::chrono::duration<double, std::milli>(Clock::now() - first).count();
  // The text before the caret is styled in the background once the caret
  // jumped there; the keys after are timed once it is done.
  using B = QsciScintillaBase;
  while (e->SendScintilla(B::SCI_GETENDSTYLED) < e->SendScintilla(B::SCI_GETLENGTH)) QApplication::processEvents();
  f.Letter = PerCall(n, [e] { Press(e, Qt::Key_X, "x"); });
  for (int i = 0; i < n; ++i) Press(e, Qt::Key_Backspace);
  f.NonAscii = PerCall(n, [e] { Press(e, 0, QString::fromUtf8("\xC3\xA9")); });
  f.Backspace = PerCall(n, [e] { Press(e, Qt::Key_Backspace); });
  f.Enter = PerCall(n, [e] { Press(e, Qt::Key_Return); });
  for (int i = 0; i < n; ++i) Press(e, Qt::Key_Backspace);
  f.LeftRight = PerCall(n, [e] {
                  Press(e, Qt::Key_Left);
                  Press(e, Qt::Key_Right);
                }) / 2;
  f.UpDown = PerCall(n, [e] {
               Press(e, Qt::Key_Up);
               Press(e, Qt::Key_Down);
             }) / 2;
  f.EndHome = PerCall(n, [e] {
                Press(e, Qt::Key_Home);
                Press(e, Qt::Key_End);
              }) / 2;
  f.Tick = PerCall(n, [&form] { form.HeartbeatTimerTimer(); });
  if (TTagCompleter* completer = TTagCompleter::Of(*frame)) {
    f.EnclosingFirst = PerCall(1, [completer] { completer->GetEnclosingElement(); });
    Press(e, Qt::Key_X, "x");
    Press(e, Qt::Key_Backspace);
    f.Enclosing = PerCall(n, [completer] { completer->GetEnclosingElement(); });
  }
  // Closed unchanged: nothing asks to save.
  e->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
  frame->SetStatus(0);
  form.CloseFrame(frame);
  QApplication::processEvents();
  return f;
}

void Print(const std::string& label, const TFigures& f)
{
  std::printf("  %-22s", (label + (f.Highlighted ? "" : " no-hl") + (f.AutoCompleted ? "" : " no-ac")).c_str());
  for (double value : f.Values()) std::printf(" %8.2f", value);
  std::printf("\n");
}

// The big document's figures over the small one's (goal: at most 2).
void PrintRatio(const std::string& label, const TFigures& big, const TFigures& small)
{
  std::printf("  %-22s", label.c_str());
  const auto bigValues = big.Values();
  const auto smallValues = small.Values();
  for (int i = 0; i < FigureCount; ++i) std::printf(" %7.2fx", bigValues[i] / smallValues[i]);
  std::printf("\n");
}

}  // namespace

int main(int argc, char** argv)
{
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  ::setenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu --disable-background-networking", 0);
  PrepareQtEnvironment();
  std::size_t megabytes = argc >= 2 ? static_cast<std::size_t>(std::atol(argv[1])) : 100;
  char folderTemplate[] = "/tmp/bench-editorkeys-XXXXXX";
  if (!::mkdtemp(folderTemplate)) return 1;
  const std::string folder = std::string(folderTemplate) + "/";
  std::filesystem::copy(std::string(SOURCE_ROOT) + "/data", folder, std::filesystem::copy_options::recursive);
  SetProgramFileName(folder + "xmlplivek");

  StartModules();
  int result = 0;
  {
    QApplication app(argc, argv);
    CreateForms();
    ShowMainForm();
    TMainForm& form = *MainForm;
    form.resize(1000, 700);
    QApplication::processEvents();
    std::printf("bench_editorkeys: milliseconds per key at the end of a document (with the events it causes)\n");
    std::printf("  %-22s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s %8s\n", "document", "Ctrl+End", "first", "letter", "e-acute",
                "Enter", "Backsp", "Left/Rt", "Up/Down", "Home/End", "tick", "'<' 1st", "'<' next");
    for (const TDocument& doc : Documents) {
      TFigures figures[2];
      const std::size_t sizes[2] = {1, megabytes};
      for (int i = 0; i < 2; ++i) {
        std::string file = folder + doc.Name + "-" + std::to_string(sizes[i]) + ".xml";
        Generate(file, sizes[i] << 20, doc);
        figures[i] = Measure(form, file);
        Print(std::string(doc.Name) + " " + std::to_string(sizes[i]) + " MB", figures[i]);
        std::remove(file.c_str());
      }
      PrintRatio("  ratio (goal <= 2)", figures[1], figures[0]);
    }
    DestroyForms();
  }
  StopModules();
  std::error_code ignored;
  std::filesystem::remove_all(folderTemplate, ignored);
  return result;
}
