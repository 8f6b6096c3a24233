#include "editor/TSynEditPrint.h"

#include <QLocale>
#include <QPainter>
#include <Qsci/qsciscintilla.h>
#include <climits>
#include <stdexcept>

namespace {

using B = QsciScintillaBase;

// The editor's print settings for the length of a print job: colours on
// white, word wrap, no magnification, and the line numbers shown (or hidden)
// in the one margin the component prints. Everything is put back afterwards.
class TPrintSettings {
public:
  TPrintSettings(QsciScintilla& editor, bool lineNumbers)
      : FEditor(editor),
        FColourMode(editor.SendScintilla(B::SCI_GETPRINTCOLOURMODE)),
        FWrapMode(editor.SendScintilla(B::SCI_GETPRINTWRAPMODE)),
        FMagnification(editor.SendScintilla(B::SCI_GETPRINTMAGNIFICATION))
  {
    editor.SendScintilla(B::SCI_SETPRINTCOLOURMODE, static_cast<unsigned long>(B::SC_PRINT_COLOURONWHITE));
    editor.SendScintilla(B::SCI_SETPRINTWRAPMODE, static_cast<unsigned long>(B::SC_WRAP_WORD));
    editor.SendScintilla(B::SCI_SETPRINTMAGNIFICATION, 0UL);

    int count = static_cast<int>(editor.SendScintilla(B::SCI_GETMARGINS));
    int numbers = -1;
    for (int i = 0; i < count; ++i) {
      long type = editor.SendScintilla(B::SCI_GETMARGINTYPEN, static_cast<unsigned long>(i));
      FMargins.push_back({type, editor.SendScintilla(B::SCI_GETMARGINWIDTHN, static_cast<unsigned long>(i))});
      if (numbers < 0 && (type == B::SC_MARGIN_NUMBER || type == B::SC_MARGIN_RTEXT)) numbers = i;
    }
    // The component prints a margin of line numbers that has a width and
    // leaves out every other margin.
    for (int i = 0; i < count; ++i) {
      if (lineNumbers && i == (numbers < 0 ? 0 : numbers)) {
        editor.SendScintilla(B::SCI_SETMARGINTYPEN, static_cast<unsigned long>(i),
                             static_cast<long>(B::SC_MARGIN_NUMBER));
        long width = editor.SendScintilla(B::SCI_TEXTWIDTH, static_cast<unsigned long>(B::STYLE_LINENUMBER), "99999");
        editor.SendScintilla(B::SCI_SETMARGINWIDTHN, static_cast<unsigned long>(i), std::max(width, 1L));
      } else if (FMargins[i].Type == B::SC_MARGIN_NUMBER) {
        editor.SendScintilla(B::SCI_SETMARGINWIDTHN, static_cast<unsigned long>(i), 0L);
      }
    }
  }

  ~TPrintSettings()
  {
    for (std::size_t i = 0; i < FMargins.size(); ++i) {
      FEditor.SendScintilla(B::SCI_SETMARGINTYPEN, static_cast<unsigned long>(i), FMargins[i].Type);
      FEditor.SendScintilla(B::SCI_SETMARGINWIDTHN, static_cast<unsigned long>(i), FMargins[i].Width);
    }
    FEditor.SendScintilla(B::SCI_SETPRINTCOLOURMODE, static_cast<unsigned long>(FColourMode));
    FEditor.SendScintilla(B::SCI_SETPRINTWRAPMODE, static_cast<unsigned long>(FWrapMode));
    FEditor.SendScintilla(B::SCI_SETPRINTMAGNIFICATION, static_cast<unsigned long>(FMagnification));
  }

  TPrintSettings(const TPrintSettings&) = delete;
  TPrintSettings& operator=(const TPrintSettings&) = delete;

private:
  struct TMargin {
    long Type;
    long Width;
  };
  QsciScintilla& FEditor;
  long FColourMode;
  long FWrapMode;
  long FMagnification;
  std::vector<TMargin> FMargins;
};

}  // namespace

TSynEditPrint::TSynEditPrint()
    : QsciPrinter(QPrinter::HighResolution)
{
  // Arial, 13 pixels high on the screen.
  HeaderFooterFont = QFont("Arial");
  HeaderFooterFont.setPointSizeF(13 * 72.0 / 96.0);
  setPageMargins(QMarginsF(MarginLeft, MarginHeader, MarginRight, MarginFooter), QPageLayout::Millimeter);
  setDocName(Title);
}

void TSynEditPrint::SetSynEdit(QsciScintilla* editor)
{
  FSynEdit = editor;
}

void TSynEditPrint::TextRange(bool selectionOnly, long& start, long& end) const
{
  if (selectionOnly) {
    start = FSynEdit->SendScintilla(B::SCI_GETSELECTIONSTART);
    end = FSynEdit->SendScintilla(B::SCI_GETSELECTIONEND);
  } else {
    start = 0;
    end = FSynEdit->SendScintilla(B::SCI_GETLENGTH);
  }
}

int TSynEditPrint::PageCount(bool selectionOnly)
{
  if (!FSynEdit) return 0;
  long start = 0, end = 0;
  TextRange(selectionOnly, start, end);
  if (start >= end) return 0;
  TPrintSettings settings(*FSynEdit, LineNumbers);
  return CountPages(start, end);
}

int TSynEditPrint::CountPages(long start, long end)
{
  QPrinter scratch(QPrinter::HighResolution);
  scratch.setOutputFormat(QPrinter::PdfFormat);
  scratch.setOutputFileName("/dev/null");
  scratch.setResolution(resolution());
  scratch.setPageLayout(pageLayout());
  scratch.setFullPage(fullPage());
  QPainter painter;
  if (!painter.begin(&scratch)) return 0;
  int pages = RunPages(painter, start, end, INT_MAX, 0, false);
  painter.end();
  return pages;
}

bool TSynEditPrint::Print(TRange range, int fromPage, int toPage)
{
  if (!FSynEdit) return false;
  long start = 0, end = 0;
  TextRange(range == TRange::Selection, start, end);
  if (start >= end) return false;

  TPrintSettings settings(*FSynEdit, LineNumbers);
  FPrintTime = QDateTime::currentDateTime();
  FPageCount = CountPages(start, end);
  setDocName(Title);
  QPainter painter;
  if (!painter.begin(this)) throw std::runtime_error("The printer cannot start the print job.");
  bool pages = range == TRange::Pages;
  int printed = RunPages(painter, start, end, pages ? std::max(fromPage, 1) : 1, pages ? toPage : 0, true);
  if (!painter.end() || printed < 0) throw std::runtime_error("The print job failed.");
  return true;
}

int TSynEditPrint::RunPages(QPainter& painter, long start, long end, int fromPage, int toPage, bool render)
{
  const QRect page(0, 0, painter.device()->width(), painter.device()->height());
  bool needNewPage = false;
  int number = 1;
  long position = start;
  while (position < end) {
    if (render && toPage > 0 && number > toPage) break;
    bool draw = render && number >= fromPage;
    if (draw) {
      if (needNewPage && !newPage()) return -1;
      needNewPage = true;
    }
    QRect area = page;
    formatPage(painter, draw, area, number);
    long next = FSynEdit->SendScintilla(B::SCI_FORMATRANGE, draw ? 1UL : 0UL, &painter, area, position, end);
    // A page on which nothing fits would never end the job.
    if (next <= position) break;
    position = next;
    ++number;
  }
  return number - 1;
}

int TSynEditPrint::Pixels(double millimetres, const QPainter& painter, bool vertical) const
{
  QPaintDevice* device = painter.device();
  int dpi = vertical ? device->logicalDpiY() : device->logicalDpiX();
  return static_cast<int>(millimetres * dpi / 25.4 + 0.5);
}

void TSynEditPrint::formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr)
{
  // The page's printable area starts at the header and footer lines; the
  // bands up to the text hold the header and the footer.
  int headerBand = Pixels(MarginTop - MarginHeader, painter, true);
  int footerBand = Pixels(MarginBottom - MarginFooter, painter, true);
  QRect header(area.left(), area.top(), area.width(), headerBand);
  QRect footer(area.left(), area.bottom() + 1 - footerBand, area.width(), footerBand);
  area.setTop(area.top() + headerBand);
  area.setBottom(area.bottom() - footerBand);
  if (!drawing) return;
  DrawBand(painter, header, Header, true, pagenr);
  DrawBand(painter, footer, Footer, false, pagenr);
}

void TSynEditPrint::DrawBand(QPainter& painter, const QRect& band, const std::vector<THeaderFooterItem>& items,
                             bool header, int page)
{
  if (items.empty()) return;
  painter.save();
  painter.setFont(QFont(HeaderFooterFont, painter.device()));
  painter.setPen(Qt::black);
  painter.setBrush(Qt::NoBrush);
  const int lineHeight = painter.fontMetrics().height();
  int lines = 1;
  for (const THeaderFooterItem& item : items) lines = std::max(lines, item.LineNumber);
  const int inner = Pixels(HFInternalMargin, painter, true);
  const int indent = Pixels(HFTextIndent, painter, false);
  // The box hangs from the header line and stands on the footer line.
  int boxHeight = std::min(band.height(), lines * lineHeight + 2 * inner);
  QRect box(band.left(), header ? band.top() : band.bottom() + 1 - boxHeight, band.width(), boxHeight);
  painter.drawRect(box.adjusted(0, 0, -1, -1));
  for (const THeaderFooterItem& item : items) {
    QString text = item.Macros ? ExpandMacros(item.Text, page, FPageCount) : item.Text;
    QRect line(box.left() + indent, box.top() + inner + (item.LineNumber - 1) * lineHeight,
               box.width() - 2 * indent, lineHeight);
    painter.drawText(line, static_cast<int>(item.Alignment | Qt::AlignVCenter), text);
    if (OnItemDrawn) OnItemDrawn(page, header, text);
  }
  painter.restore();
}

QString TSynEditPrint::ExpandMacros(const QString& text, int page, int count) const
{
  if (!text.contains('$')) return text;
  QLocale locale;
  QDateTime now = FPrintTime.isValid() ? FPrintTime : QDateTime::currentDateTime();
  QString date = locale.toString(now.date(), QLocale::ShortFormat);
  QString time = now.time().toString("hh:mm:ss");
  const std::pair<QString, QString> macros[] = {
      {"$PAGENUM$", QString::number(page)}, {"$PAGECOUNT$", QString::number(count)},
      {"$TITLE$", DocTitle},                {"$DATETIME$", date + " " + time},
      {"$DATE$", date},                     {"$TIME$", time},
  };
  // One pass from left to right: an expanded value is never read again.
  QString result;
  for (int i = 0; i < text.size();) {
    bool matched = false;
    if (text[i] == '$')
      for (const auto& [name, value] : macros)
        if (text.mid(i, name.size()).compare(name, Qt::CaseInsensitive) == 0) {
          result += value;
          i += name.size();
          matched = true;
          break;
        }
    if (!matched) result += text[i++];
  }
  return result;
}
