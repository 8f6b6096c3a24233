#include "panes/TLogFrame.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QStringDecoder>
#include <QThread>

#include "resource/zevlog.h"
#include "ui_TLogFrame.h"

namespace {

// Log messages are bytes: shown as UTF-8 when they are valid UTF-8, else one
// character per byte. CR LF and a lone CR end a line like LF.
QString MessageText(const std::string& msg)
{
  QByteArray bytes = QByteArray::fromStdString(msg);
  QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  QString text = decoder.decode(bytes);
  if (decoder.hasError()) text = QString::fromLatin1(bytes);
  text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// The text with each line longer than the memo can lay out in good time cut
// to TLogFrame::MaxLineLength characters and the number left out.
QString CutLongLines(const QString& text)
{
  constexpr int limit = TLogFrame::MaxLineLength;
  if (text.size() <= limit) return text;
  QStringList lines = text.split('\n');
  for (QString& line : lines)
    if (line.size() > limit) {
      const qsizetype kept = line[limit - 1].isHighSurrogate() ? limit - 1 : limit;  // whole characters
      line = line.left(kept) + QString(" ... (%1 more characters)").arg(line.size() - kept);
    }
  return lines.join('\n');
}

} // namespace

TLogFrame::TLogFrame(QWidget* parent)
    : TFrame(parent),
      FUi(std::make_unique<Ui::TLogFrame>())
{
  FUi->setupUi(this);
  Memo = FUi->Memo;
  ErrorCheckBox = FUi->ErrorCheckBox;
  NormalCheckBox = FUi->NormalCheckBox;
  DetailCheckBox = FUi->DetailCheckBox;
  Memo->setMaximumBlockCount(MaxLines);
  for (QCheckBox* box : {ErrorCheckBox, NormalCheckBox, DetailCheckBox})
    connect(box, &QCheckBox::clicked, this, [this] { ErrorCheckBoxClick(); });
}

TLogFrame::~TLogFrame()
{
  DisconnectLog();
}

void TLogFrame::ConnectLog(TzevLog& log)
{
  DisconnectLog();
  FLog = &log;
  // Work on a worker thread logs too: its messages reach the memo on the
  // GUI thread, in order.
  log.OnLog = [this](TzevLog& sender, std::uint8_t level, const std::string& msg) {
    if (QThread::currentThread() == thread()) {
      LogMessage(sender, level, msg);
      return;
    }
    QMetaObject::invokeMethod(
        this, [this, &sender, level, msg] { LogMessage(sender, level, msg); }, Qt::QueuedConnection);
  };
  log.OnLevelsChange = [this](TzevLog& sender) { LevelsChanged(sender); };
}

void TLogFrame::DisconnectLog()
{
  if (!FLog) return;
  FLog->OnLog = nullptr;
  FLog->OnLevelsChange = nullptr;
  FLog = nullptr;
}

TzevLog& TLogFrame::Log() const
{
  return FLog ? *FLog : AppLog();
}

void TLogFrame::LogMessage(TzevLog&, std::uint8_t, const std::string& msg)
{
  Memo->appendPlainText(CutLongLines(MessageText(msg)));
}

void TLogFrame::LevelsChanged(TzevLog& sender)
{
  if (Updating) return;
  const TzevLog::TLevels levels = sender.Levels;
  ErrorCheckBox->setChecked(levels.test(3));
  NormalCheckBox->setChecked(levels.test(4));
  DetailCheckBox->setChecked(levels.test(5));
}

void TLogFrame::ErrorCheckBoxClick()
{
  Updating = true;
  TzevLog::TLevels levels = TzevLog::MakeLevels({1, 2});
  if (ErrorCheckBox->isChecked()) levels.set(3);
  if (NormalCheckBox->isChecked()) levels.set(4);
  if (DetailCheckBox->isChecked()) levels.set(5);
  try {
    Log().SetLevels(levels);
  } catch (...) {
    Updating = false;
    throw;
  }
  Updating = false;
}

void TLogFrame::FrameEndDock(QWidget* target)
{
  NameDockTarget(target, "Log");
}
