#pragma once
// The editor's print engine: prints the text of an editor, all of it, its
// selection or a range of pages, with its highlighting in colour on white
// paper, line numbers in the margin and a header and a footer on every page.
//
// Page layout, in millimetres from the paper's edges: the text starts 25 from
// the left, 25 from the top and ends 15 from the right and 25 from the bottom;
// the header starts 15 from the top and the footer ends 15 from the bottom,
// each in the band between that line and the text, framed by a box.
//
// Header and footer items may hold the macros $PAGENUM$, $PAGECOUNT$,
// $TITLE$, $DATE$, $TIME$ and $DATETIME$, expanded on each page.

#include <QDateTime>
#include <QFont>
#include <QString>
#include <Qsci/qsciprinter.h>
#include <functional>
#include <vector>

class QsciScintilla;

// One text of the header or the footer.
struct THeaderFooterItem {
  QString Text;
  int LineNumber = 1;                      // 1 is the first line of the band
  Qt::Alignment Alignment = Qt::AlignLeft; // AlignLeft, AlignHCenter or AlignRight
  bool Macros = true;                      // false: the text is printed as it is
};

class TSynEditPrint : public QsciPrinter {
public:
  enum class TRange { All, Selection, Pages };

  TSynEditPrint();

  QString Title = "XML Plivek";   // name of the print job
  QString DocTitle = "XML-Plivek"; // the $TITLE$ macro
  std::vector<THeaderFooterItem> Header;
  std::vector<THeaderFooterItem> Footer;
  QFont HeaderFooterFont;
  bool LineNumbers = true;

  // Millimetres (see above); the printer's page margins are set from them.
  static constexpr double MarginLeft = 25, MarginRight = 15, MarginTop = 25, MarginBottom = 25;
  static constexpr double MarginHeader = 15, MarginFooter = 15;
  static constexpr double HFTextIndent = 2, HFInternalMargin = 0.5;

  // The editor whose text, font, highlighting, tab width and selection print.
  void SetSynEdit(QsciScintilla* editor);
  QsciScintilla* SynEdit() const { return FSynEdit; }

  // The pages the text (or only its selection) takes with the printer's
  // current page set-up; nothing is printed.
  int PageCount(bool selectionOnly = false);
  // Prints everything, the selection, or the pages from..to (counted from 1,
  // inclusive). Returns false when there was nothing to print; raises
  // std::runtime_error when the printer fails.
  bool Print(TRange range = TRange::All, int fromPage = 0, int toPage = 0);

  // The text of an item on page of count, with the macros expanded.
  QString ExpandMacros(const QString& text, int page, int count) const;

  // Raised for every header (true) or footer item drawn, with its text as
  // printed. Tests use it to read the pages.
  std::function<void(int page, bool header, const QString& text)> OnItemDrawn;

protected:
  void formatPage(QPainter& painter, bool drawing, QRect& area, int pagenr) override;

private:
  // Lays out (and, when render, prints) the text from start to end; pages
  // outside from..to are laid out only. Returns the number of pages.
  int RunPages(QPainter& painter, long start, long end, int fromPage, int toPage, bool render);
  // The pages of start..end, laid out on a scratch device like this printer.
  int CountPages(long start, long end);
  void TextRange(bool selectionOnly, long& start, long& end) const;
  void DrawBand(QPainter& painter, const QRect& band, const std::vector<THeaderFooterItem>& items, bool header,
                int page);
  int Pixels(double millimetres, const QPainter& painter, bool vertical) const;

  QsciScintilla* FSynEdit = nullptr;
  int FPageCount = 0;
  QDateTime FPrintTime;
};
