#pragma once
// Applies one XSLT stylesheet (libxslt, with the EXSLT extensions) to any
// number of XML texts. The stylesheet is compiled once, when it is set;
// relative references in it (xsl:include, xsl:import, document()) resolve
// against the stylesheet's own location, relative references in an input
// against the input's location (the current folder when it has none).
// Stylesheets may not write files, create folders or write to the network.
// What a compilation or transform may read is the XMLEntityLoader's to
// decide: once anything of it came from the network (the stylesheet or any
// module it includes or imports, the input, a DTD, entity or document()
// source), it reads no local file but those its local texts name themselves
// (an entity a local input declares, a local module's include of a local
// module) and the catalog's; document() then reads none. The user's cancel
// stops also a single long XPath expression.

#include <libxslt/xsltInternals.h>
#include <libxslt/security.h>

#include <memory>
#include <set>
#include <string>

#include "xmltools/XSLTLoadGuard.h"

class XMLEntityLoader;
class XMLErrorCapture;

class TXMLTransformer {
public:
  TXMLTransformer();
  ~TXMLTransformer();
  TXMLTransformer(const TXMLTransformer&) = delete;
  TXMLTransformer& operator=(const TXMLTransformer&) = delete;

  std::string XSLText;  // the stylesheet text last set
  std::string XSLFile;  // the path of the stylesheet file last loaded

  // Installs a stylesheet given as text. baseURL is where the text came from
  // (a local path or the URL text of a remote one); empty means the current
  // folder. Raises
  // EXMLParseError for a text that is not well-formed and EXSLTError for one
  // that is no valid stylesheet (any error libxslt reports while compiling
  // it, also those it counts as warnings); either way no stylesheet is left
  // installed.
  // origin is where the text came from when that is not baseURL (the URL
  // text of the document a transform made it from).
  void SetStyleSheet(const std::string& text, const std::string& baseURL = std::string(),
                     const std::string& origin = std::string());
  // Installs the stylesheet of a file (EFOpenError when it cannot be read) and
  // makes the file's folder the current folder. An http or https address is
  // fetched instead (EHTTPError when it cannot be), within the URL system's
  // limits for resources read on the fly.
  void LoadStyleSheet(const std::string& fileName);
  // The current stylesheet applied to input, serialized as its xsl:output
  // says. Raises EXSLTError without a stylesheet, on any error libxslt
  // reports while it transforms, for a document that document() cannot load
  // and when an xsl:message terminates the transformation; EXMLParseError
  // when input is not well-formed. Every xsl:message text goes to the
  // application log at level 2 (EInOutError when the log cannot be written).
  // baseURL is where input came from (a local path or the URL text of a
  // remote document); empty means the current folder. origin is where input
  // came from when that is not baseURL (see TXMLChecker::Origin).
  // While the calling thread has a current work progress
  // (TWorkProgress::Current()), the bytes of input parsed so far are reported
  // to it, and once it is cancelled the parse, the transformation or the
  // serialization stops soon and raises ECancelled, output left empty.
  void Transform(const std::string& input, std::string& output, const std::string& baseURL = std::string(),
                 const std::string& origin = std::string());

  bool HasStyleSheet() const { return Template != nullptr; }
  // The address of a part of the current stylesheet that came from the
  // network (the stylesheet itself or a module it includes or imports);
  // empty when all of it is local. What it makes counts as from there.
  const std::string& NetworkPart() const { return StyleNetworkPart; }
  // The number of xsl:message texts the last Transform wrote to the
  // application log (at level 2), also when it failed.
  int MessagesLogged() const { return LastMessageCount; }

  struct DocDeleter {
    void operator()(xmlDocPtr doc) const { xmlFreeDoc(doc); }
  };
  using DocPtr = std::unique_ptr<xmlDoc, DocDeleter>;

private:
  struct StylesheetDeleter {
    void operator()(xsltStylesheetPtr style) const { xsltFreeStylesheet(style); }
  };
  struct SecurityDeleter {
    void operator()(xsltSecurityPrefsPtr prefs) const { xsltFreeSecurityPrefs(prefs); }
  };

  void Compile(const std::string& text);
  DocPtr Apply(xmlDocPtr doc, XMLErrorCapture& capture, const XMLEntityLoader& loader);
  void Serialize(xmlDocPtr result, std::size_t inputSize, std::string& output);

  std::unique_ptr<xsltStylesheet, StylesheetDeleter> Template;  // the compiled stylesheet, owning its document
  std::unique_ptr<xsltSecurityPrefs, SecurityDeleter> Security;
  std::string StyleBase;  // the stylesheet's location, the base of its relative references
  std::string StyleOrigin;  // where it came from, when not from StyleBase
  // What the compilation read: the origins of the modules, every origin, the
  // local files (which messages may quote) and the first network address.
  XSLTLoadGuard::Modules StyleModules;
  XMLReadPolicy::Origins StyleSources;
  std::set<std::string> StyleLocalFiles;
  std::string StyleNetworkPart;
  int LastMessageCount = 0;
};
