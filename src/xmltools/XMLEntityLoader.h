#pragma once
// The loader of external definitions and entities (DTDs, external entities,
// schemas, included stylesheets, document() sources) of the XML tools, and
// the state of one run of them (a check, a transform, the compilation of a
// stylesheet). While an XMLEntityLoader lives it is libxml2's external entity
// loader; the destructor restores the previous one.
//
// The system's XML catalog is asked first (see XMLCatalogLookup): a public or
// system identifier it knows (the XHTML and DocBook DTDs) loads from the
// local copy it names, without the network, in any run. Otherwise three
// kinds of resources load: local files (relative names resolve against the
// referring document's folder, finally the current folder), http and https
// URLs, and ftp URLs, fetched through the URL system within its limits for
// resources read on the fly (size, time), and within kMaxNetworkBytes for all
// of a run. Every other scheme is refused. Whether a local file may be read,
// and as which user an FTP resource is, the run's XMLReadPolicy decides from
// the origins of the resources that name it (XMLParseHooks keeps track of
// who declared what). Of local files only regular ones are read: a named
// pipe, a device or a socket is refused without being opened. A resource
// that cannot be loaded is recorded as an error in the current
// XMLErrorCapture, at the line of the reference.

#include <libxml/parser.h>

#include <cstddef>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "xmltools/XMLErrorCapture.h"
#include "xmltools/XMLParseHooks.h"
#include "xmltools/XMLReadPolicy.h"

class TURL;

class XMLEntityLoader {
public:
  using Origins = XMLReadPolicy::Origins;

  XMLEntityLoader();
  ~XMLEntityLoader();
  XMLEntityLoader(const XMLEntityLoader&) = delete;
  XMLEntityLoader& operator=(const XMLEntityLoader&) = delete;

  // The loader of the run under way; nullptr when none.
  static XMLEntityLoader* Current();

  // The text the run reads first: its base URL (where its relative
  // references resolve), its size and where it came from (a local path or
  // the URL text of the document it is or was made from; empty: base). An
  // FTP document counts as read by the user of its XMLFTPLogin.
  void SetTopLevel(const std::string& base, std::size_t size, const std::string& origin = std::string());

  // Line number line of a resource loaded by this loader, as UTF-8 (a local
  // file is read again; a web resource comes from what was fetched). Empty
  // when unknown.
  std::string SourceLine(const std::string& url, int line) const;

  // The message of error: reason CR LF "Line: n" CR LF source excerpt. The
  // excerpt comes from text when the error lies in it (its file is empty or
  // base), else from the resource named, whose name then follows the reason;
  // it is UTF-8 whatever the encoding of the text or resource.
  std::string ErrorMessage(const XMLErrorRecord& error, const std::string& text, const std::string& base) const;

  // The next load comes from libxslt (an included or imported stylesheet, a
  // document() source), named by texts of the origins given: certain when
  // they are the texts that name it (an include), not when it is computed
  // (document(), whose run's sources stand for its chain too).
  void ExpectLoad(const Origins& chain, bool certain);
  // The origin of the resource that the load expected last read ("" when it
  // read none); forgets the expectation.
  std::string TakeExpectedOrigin();

  // While set, the loads of fresh parsers are those of schemas, named by the
  // document or by other schemas: the run's sources stand for their chain.
  bool SchemaPhase = false;

  // The local files read (as their base URLs), which error messages may quote.
  const std::set<std::string>& LocalFiles() const { return LocalLoaded; }
  void QuoteLocalFiles(const std::set<std::string>& files) { LocalLoaded.insert(files.begin(), files.end()); }

  XMLReadPolicy Policy;
  XMLParseHooks Hooks;

  // A run reads at most this many bytes from the network, all resources together.
  static constexpr std::size_t kMaxNetworkBytes = std::size_t(256) << 20;

private:
  // Who names a resource about to load.
  struct TRequest {
    Origins Chain;
    bool Certain = true;       // the chain is that of the texts that name it
    bool InEntityValue = false;  // a parameter entity read into the value of another
  };

  static xmlParserInputPtr Load(const char* url, const char* id, xmlParserCtxtPtr context);
  TRequest Classify(const std::string& url, xmlParserCtxtPtr context);
  Origins DeclarationsOf(const std::string& url, xmlParserCtxtPtr context) const;
  xmlParserInputPtr LoadRemote(const std::string& url, TURL& address, xmlParserCtxtPtr context,
                               const std::string& origin);
  xmlParserInputPtr LoadLocal(const std::string& url, xmlParserCtxtPtr context, const TRequest& request,
                              bool fromCatalog);
  xmlParserInputPtr LoadAddress(const std::string& url, xmlParserCtxtPtr context, const TRequest& request,
                                bool fromCatalog);
  std::string Fetch(TURL& address);

  XMLEntityLoader* Outer;
  xmlExternalEntityLoader Previous;
  std::set<std::string> LocalLoaded;  // the local files read, as their base URLs
  std::map<std::string, std::string> Fetched;  // the texts fetched, by URL and user
  std::size_t NetworkBytes = 0;
  std::optional<TRequest> Pending;
  bool ExpectedUnderWay = false;
  std::string ExpectedOrigin;
  void NoteExpected(const std::string& origin);
};

// The log-in of a document read from an FTP server, for the resources that it
// names on the same server (a DTD beside it) and that those name in turn:
// while an object lives, the XML tools read them as that user. Resources
// named by anything else (the web, other servers, local files) are read
// anonymously.
class XMLFTPLogin {
public:
  explicit XMLFTPLogin(const TURL& document);
  ~XMLFTPLogin();
  XMLFTPLogin(const XMLFTPLogin&) = delete;
  XMLFTPLogin& operator=(const XMLFTPLogin&) = delete;

  // The log-in of the document at location (its URL text); nullptr when none.
  static const XMLFTPLogin* ForDocument(const std::string& location);
  // The log-ins of documents of host, the innermost first.
  static std::vector<const XMLFTPLogin*> ForHost(const std::string& host);

  const std::string Document;  // the document's base URL
  const std::string Host;
  const std::string User;
  const std::string Password;
  const bool Passive;

private:
  XMLFTPLogin* Outer;
};

// The current folder, an absolute path ending with "/".
std::string CurrentFolderPath();
// The current folder as a base URL for texts parsed from memory:
// LocalBaseURL of CurrentFolderPath.
std::string CurrentFolderBase();

// A local path as the base URL of what it holds: "%", "#" and "?" are
// percent-encoded, since a "#" or "?" in a folder name would otherwise cut
// the folder off when a relative reference is resolved against it. A text
// that already has a scheme ("http:", "file:") is returned unchanged, but
// for the URL text of an FTP document ("ftp:host/path"), which becomes
// "ftp://host/path", its path escaped the same way, so that references
// resolve within its server and folder.
std::string LocalBaseURL(const std::string& path);

// The base URL of a text whose location is given as a local path (relative
// ones taken from the current folder) or as the URL text of a remote
// document; an empty location is the current folder.
std::string DocumentBaseURL(const std::string& location);

// True when url names a web resource ("http:" or "https:" scheme, any letter
// case).
bool IsHttpURL(const std::string& url);

// True when url names a resource on another computer: it has a scheme, and
// not "file:" (a document read from an FTP server is as foreign as one from
// the web).
bool IsRemoteURL(const std::string& url);

// The local path a file reference stands for: plain paths as they are,
// "file:" URLs without host (or "localhost") as their path. Empty when the
// reference is not a local file.
std::string LocalPathOf(const std::string& url);
