#pragma once
// The loader of external definitions and entities (DTDs, external entities,
// schemas, included stylesheets, document() sources) of the XML tools. While an
// XMLEntityLoader lives it is libxml2's external entity loader; the destructor
// restores the previous one.
//
// The system's XML catalog is asked first (libxml2's: /etc/xml/catalog, or
// the files that XML_CATALOG_FILES names): a public or system identifier it
// knows (the XHTML and DocBook DTDs) loads from the local copy it names,
// without the network. Otherwise three kinds of resources load: local files
// (relative names resolve against the referring document's folder, finally
// the current folder), http and https URLs, and ftp URLs, fetched through the
// URL system within its limits for resources read on the fly (size, time).
// Every other scheme is refused, and so is a local file referred to from a
// resource that came from elsewhere (the web, an FTP server), or asked for in
// a run whose document or stylesheet came from the network (NetworkRun).
// Of local files only regular ones are read: a named pipe, a device or a
// socket is refused without being opened. A resource that cannot be loaded is
// recorded as an error in the current XMLErrorCapture, at the line of the
// reference.

#include <libxml/parser.h>

#include <map>
#include <set>
#include <string>

#include "xmltools/XMLErrorCapture.h"

class TURL;

class XMLEntityLoader {
public:
  XMLEntityLoader();
  ~XMLEntityLoader();
  XMLEntityLoader(const XMLEntityLoader&) = delete;
  XMLEntityLoader& operator=(const XMLEntityLoader&) = delete;

  // Line number line of a resource loaded by this loader, as UTF-8 (a local
  // file is read again; a web resource comes from what was fetched). Empty
  // when unknown.
  std::string SourceLine(const std::string& url, int line) const;

  // The message of error: reason CR LF "Line: n" CR LF source excerpt. The
  // excerpt comes from text when the error lies in it (its file is empty or
  // base), else from the resource named, whose name then follows the reason;
  // it is UTF-8 whatever the encoding of the text or resource.
  std::string ErrorMessage(const XMLErrorRecord& error, const std::string& text, const std::string& base) const;

  // The texts fetched over http, by URL.
  std::map<std::string, std::string> Fetched;

  // The location (base URL) of the text being read. libxml2 names no
  // referrer when it loads an external general entity or a schema: such a
  // resource counts as referred to from here, so a text from elsewhere makes
  // no local file load that way either.
  std::string Origin;

  // Set when the document or the stylesheet of the check or transform came
  // from the network (FTP, http, https): then nothing in it reads a local
  // file, by any route and whoever refers to it (libxml2 does not always name
  // the referrer), but for the DTDs and entities of the system's catalog.
  bool NetworkRun = false;

private:
  static xmlParserInputPtr Load(const char* url, const char* id, xmlParserCtxtPtr context);
  xmlParserInputPtr LoadRemote(const std::string& url, TURL& address, xmlParserCtxtPtr context);
  xmlParserInputPtr LoadLocal(const std::string& url, xmlParserCtxtPtr context, bool fromCatalog);
  xmlParserInputPtr LoadAddress(const std::string& url, xmlParserCtxtPtr context, bool fromCatalog);

  XMLEntityLoader* Outer;
  xmlExternalEntityLoader Previous;
  std::set<std::string> LocalLoaded;  // the local files read, as their base URLs
};

// The log-in of a document read from an FTP server, for the resources it
// names on the same server (a DTD beside it): while an object lives, the XML
// tools read them as that user. Resources of other FTP servers are read
// anonymously.
class XMLFTPLogin {
public:
  explicit XMLFTPLogin(const TURL& document);
  ~XMLFTPLogin();
  XMLFTPLogin(const XMLFTPLogin&) = delete;
  XMLFTPLogin& operator=(const XMLFTPLogin&) = delete;

  // The log-in of the innermost document of host; nullptr when none.
  static const XMLFTPLogin* For(const std::string& host);

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
