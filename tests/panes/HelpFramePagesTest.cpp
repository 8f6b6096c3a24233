// The shipped help pages: every document type's help file exists, every local
// link resolves, and every form is one the help pane can fill.

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QRegularExpression>
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "WebBrowserTestSupport.h"
#include "panes/HelpFormData.h"
#include "panes/THelpFrame.h"
#include "panes/TWebBrowser.h"

using namespace browsertest;

namespace {

const QString DataFolder = QString(TEST_SOURCE_ROOT) + "/data/";

QStringList Files(const QString& folder, const QStringList& patterns)
{
  QStringList files;
  QDirIterator it(folder, patterns, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) files << it.next();
  files.sort();
  return files;
}

// The help pages of the document-type folders (not their new-file templates).
QStringList HelpPages()
{
  QStringList pages;
  for (const QString& family : QDir(DataFolder + "help").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
    for (const QString& page : QDir(DataFolder + "help/" + family).entryList({"*.html"}, QDir::Files))
      pages << DataFolder + "help/" + family + "/" + page;
  return pages;
}

} // namespace

TEST(HelpPages, EveryDocumentTypeHasItsHelpPage)
{
  QStringList configs = Files(DataFolder + "help", {"*.config"});
  ASSERT_FALSE(configs.isEmpty());
  QRegularExpression helpFile("helpfile=\"([^\"]*)\"", QRegularExpression::CaseInsensitiveOption);
  for (const QString& config : configs) {
    QString text = QString::fromStdString(ReadTestFile(config.toStdString()));
    auto match = helpFile.match(text);
    ASSERT_TRUE(match.hasMatch()) << config.toStdString();
    EXPECT_TRUE(QFileInfo::exists(DataFolder + match.captured(1))) << match.captured(1).toStdString();
  }
}

TEST(HelpPages, LocalLinksResolve)
{
  QStringList pages = Files(DataFolder + "manual", {"*.html"}) + HelpPages();
  QRegularExpression reference("(?:href|src)=\"([^\"#]+)(#[^\"]*)?\"");
  int links = 0;
  for (const QString& page : pages) {
    QString text = QString::fromStdString(ReadTestFile(page.toStdString()));
    EXPECT_FALSE(text.contains("<script")) << page.toStdString();
    for (auto it = reference.globalMatch(text); it.hasNext();) {
      QString target = it.next().captured(1);
      if (target.startsWith("http://template.invalid/")) continue;
      EXPECT_FALSE(target.contains("://")) << page.toStdString() << ": " << target.toStdString();
      EXPECT_TRUE(QFileInfo::exists(QFileInfo(page).dir().filePath(target)))
          << page.toStdString() << ": " << target.toStdString();
      ++links;
    }
  }
  EXPECT_GT(links, 50);
}

TEST(HelpPages, DataFilesKeepCrLfLineEnds)
{
  for (const QString& page : Files(DataFolder + "manual", {"*.html", "*.css"}) + HelpPages()) {
    std::string text = ReadTestFile(page.toStdString());
    std::size_t lf = 0, crlf = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
      if (text[i] == '\n') {
        ++lf;
        if (i > 0 && text[i - 1] == '\r') ++crlf;
      }
    EXPECT_EQ(lf, crlf) << page.toStdString();
  }
}

TEST(HelpPages, EveryFormFillsItsTemplate)
{
  TWebBrowser browser;
  browser.resize(600, 800);
  browser.show();
  int forms = 0;
  for (const QString& page : HelpPages()) {
    ASSERT_TRUE(LoadAndWait(browser, [&] { browser.Navigate(page); })) << page.toStdString();
    // Each form as [action, method, its fields encoded as a GET would send them, visible field names].
    QVariantList found = Evaluate(browser, R"JS(
      Array.from(document.forms).map(function (f) {
        var names = Array.from(f.elements).filter(function (e) { return e.name && e.type !== 'hidden'; })
                                          .map(function (e) { return e.name; });
        return [f.getAttribute('action'), f.method,
                new URLSearchParams(new FormData(f)).toString(), names];
      }))JS").toList();
    EXPECT_GE(found.size(), 2) << page.toStdString();
    for (const QVariant& item : found) {
      QVariantList form = item.toList();
      ASSERT_EQ(form.size(), 4);
      std::string where = page.toStdString() + " form " + std::to_string(++forms);
      EXPECT_EQ(form[0].toString(), THelpFrame::TemplateAddress) << where;
      EXPECT_TRUE(form[1].toString() == "get" || form[1].toString() == "post") << where;
      TFormFieldList fields;
      ParseFormData(fields, form[2].toString().toStdString());
      std::string templateText = FieldValue(fields, "_text");
      ASSERT_FALSE(templateText.empty()) << where;
      for (const QVariant& name : form[3].toList()) {
        std::string n = name.toString().toStdString();
        EXPECT_NE(n[0], '_') << where;
        EXPECT_NE(QString::fromStdString(templateText).indexOf(name.toString(), 0, Qt::CaseInsensitive), -1)
            << where << ": " << n;
        // Each name stands once in the template, and in no other name.
        EXPECT_EQ(QString::fromStdString(templateText).count(name.toString(), Qt::CaseInsensitive), 1) << where;
      }
      // Filled with values that hold no names, no name is left in the text.
      TFormFieldList plain;
      for (const auto& field : fields) plain.push_back({field.Name, field.Name[0] == '_' ? field.Value : "v"});
      std::string filled = FillTemplate(templateText, plain);
      for (const QVariant& name : form[3].toList())
        EXPECT_EQ(QString::fromStdString(filled).indexOf(name.toString(), 0, Qt::CaseInsensitive), -1) << where;
    }
  }
  EXPECT_GE(forms, 15);
}
