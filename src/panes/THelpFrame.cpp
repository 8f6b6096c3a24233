#include "panes/THelpFrame.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QStyle>
#include <exception>

#include "platform/Prompter.h"
#include "resource/ProgramFile.h"
#include "ui_THelpFrame.h"
#include "panes/HelpFormData.h"
#include "panes/TWebBrowser.h"

const char* const THelpFrame::TemplateAddress = "http://template.invalid/fill";

THelpFrame::THelpFrame(QWidget* parent)
    : TFrame(parent),
      FUi(std::make_unique<Ui::THelpFrame>())
{
  FUi->setupUi(this);
  WebBrowser = FUi->WebBrowser;
  Panel1 = FUi->Panel1;
  BackBtn = FUi->BackBtn;
  ForwardBtn = FUi->ForwardBtn;
  StopBtn = FUi->StopBtn;
  RefreshBtn = FUi->RefreshBtn;
  HomeBtn = FUi->HomeBtn;

  BackBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowBack));
  ForwardBtn->setIcon(style()->standardIcon(QStyle::SP_ArrowForward));
  StopBtn->setIcon(style()->standardIcon(QStyle::SP_BrowserStop));
  RefreshBtn->setIcon(style()->standardIcon(QStyle::SP_BrowserReload));
  HomeBtn->setIcon(style()->standardIcon(QStyle::SP_DirHomeIcon));

  connect(BackBtn, &QToolButton::clicked, this, [this] { BackBtnClick(); });
  connect(ForwardBtn, &QToolButton::clicked, this, [this] { ForwardBtnClick(); });
  connect(StopBtn, &QToolButton::clicked, this, [this] { StopBtnClick(); });
  connect(RefreshBtn, &QToolButton::clicked, this, [this] { RefreshBtnClick(); });
  connect(HomeBtn, &QToolButton::clicked, this, [this] { HomeBtnClick(); });

  WebBrowser->SetFormPostAddress(QString::fromLatin1(TemplateAddress));
  WebBrowser->OnCommandStateChange = [this](TWebBrowser&, int command, bool enable) {
    WebBrowserCommandStateChange(command, enable);
  };
  WebBrowser->OnTitleChange = [this](TWebBrowser&, const QString& text) { WebBrowserTitleChange(text); };
  WebBrowser->OnBeforeNavigate = [this](TWebBrowser&, const QString& url, bool& cancel) {
    WebBrowserBeforeNavigate2(url, cancel);
  };
  WebBrowser->OnFormSubmit = [this](TWebBrowser&, const TSubmittedFields& fields) { WebBrowserFormSubmit(fields); };
}

THelpFrame::~THelpFrame()
{
  WebBrowser->OnCommandStateChange = nullptr;
  WebBrowser->OnTitleChange = nullptr;
  WebBrowser->OnBeforeNavigate = nullptr;
  WebBrowser->OnFormSubmit = nullptr;
}

QString THelpFrame::HomePage()
{
  return QString::fromStdString(ProgramFolder()) + "manual/index.html";
}

void THelpFrame::BackBtnClick()
{
  WebBrowser->GoBack();
}

void THelpFrame::ForwardBtnClick()
{
  WebBrowser->GoForward();
}

void THelpFrame::StopBtnClick()
{
  WebBrowser->Stop();
}

void THelpFrame::RefreshBtnClick()
{
  WebBrowser->Refresh();
}

void THelpFrame::HomeBtnClick()
{
  WebBrowser->Navigate(HomePage());
}

void THelpFrame::UpdateButtons()
{
  bool busy = WebBrowser->Busy();
  StopBtn->setEnabled(busy && (WebBrowser->QueryStatus(OLECMDID_STOP) & OLECMDF_ENABLED));
  RefreshBtn->setEnabled(!busy && (WebBrowser->QueryStatus(OLECMDID_REFRESH) & OLECMDF_ENABLED));
}

void THelpFrame::WebBrowserCommandStateChange(int command, bool enable)
{
  if (command == CSC_NAVIGATEFORWARD)
    ForwardBtn->setEnabled(enable);
  else if (command == CSC_NAVIGATEBACK)
    BackBtn->setEnabled(enable);
}

void THelpFrame::WebBrowserTitleChange(const QString& text)
{
  FTitle = text;
}

void THelpFrame::WebBrowserBeforeNavigate2(const QString& url, bool& cancel)
{
  if (url == QLatin1String(TemplateAddress)) cancel = true;
}

void THelpFrame::WebBrowserFormSubmit(const TSubmittedFields& fields)
{
  TFormFieldList list;
  for (const TSubmittedField& field : fields) AddFormField(list, field.Name.toStdString(), field.Value.toStdString());
  std::string result;
  try {
    result = FillTemplate(FieldValue(list, "_text"), list);
  } catch (const EFilledTextTooLarge& e) {
    Prompter().ShowMessage(QString::fromUtf8(e.what()));
    return;
  }
  // Without a template there is nothing to insert: the clipboard and the
  // user's selection in the document stay as they are.
  if (result.empty()) return;
  CopyPaste(result);
}

void THelpFrame::CopyPaste(const std::string& text)
{
  // The filled text is the UTF-8 of the characters typed into the page; the
  // clipboard gets those characters, and the document takes them in its own
  // encoding through the editor's ordinary paste.
  QGuiApplication::clipboard()->setText(QString::fromUtf8(text.data(), static_cast<int>(text.size())));
  if (!OnCopyPaste) return;
  // Called from inside the browser's event: nothing may escape.
  try {
    OnCopyPaste(*this);
  } catch (const std::exception& e) {
    Prompter().ShowMessage(QString::fromLocal8Bit(e.what()));
  }
}

void THelpFrame::FrameEndDock(QWidget* target)
{
  NameDockTarget(target, "Help");
}
