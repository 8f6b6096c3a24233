#pragma once
// What one check, transform or stylesheet compilation (a run) may read. Every
// resource the run reads has an origin: a local file, the system's XML
// catalog, the web, or an FTP server read as one user (or anonymously). The
// origins of the resources that name a reference (the chain: the text that
// declares an entity and the texts the reference sits in) decide how it
// loads:
// - a local file, but for what the catalog resolves, only while the run has
//   read nothing from the network, or when the chain is certain and local
//   (an entity the local document declares itself, a local stylesheet's
//   include of a local one);
// - an FTP resource with the log-in of a user only when every resource of
//   the chain came from that server as that user; otherwise anonymously.
// Where the chain cannot be told (document(), schemas), the run's sources
// so far stand for it.

#include <set>
#include <string>

class XMLReadPolicy {
public:
  using Origins = std::set<std::string>;

  static const char* const kLocal;
  static const char* const kCatalog;
  static const char* const kWeb;
  static const char* const kUnknown;
  // The origin of a resource of host read as user ("" anonymously).
  static std::string FtpOrigin(const std::string& host, const std::string& user);
  // The origin of a location: a local path or file URL, a web address, or an
  // FTP address read as user.
  static std::string OriginOfLocation(const std::string& location, const std::string& ftpUser);

  // The text the run reads first, by the names its parser input may have,
  // and where it came from. A text from the network taints the run.
  void SetTopLevel(const std::string& base, const std::string& origin);
  const Origins& TopLevel() const { return TopLevelOrigins; }

  // Records that the resource named inputName was read with origin; a
  // resource from the network taints the run.
  void NoteRead(const std::string& inputName, const std::string& origin);
  // Records an origin the run depends on without a resource of its own (the
  // stylesheet's modules in a transform).
  void NoteSource(const std::string& origin);
  // The origins of the parser input named inputName ({kUnknown} when it was
  // never read by the run).
  Origins OriginsOf(const std::string& inputName) const;
  // Every origin read so far, the top-level text's included.
  const Origins& Sources() const { return SourceOrigins; }

  // True once anything of the run came from the network.
  bool Tainted() const { return IsTainted; }

  // True when a chain holds nothing but local files and catalog resources.
  static bool AllLocal(const Origins& chain);
  // True when a chain holds something from the network (or of unknown origin).
  static bool HasNetwork(const Origins& chain) { return !AllLocal(chain); }
  // True when every resource of the chain came from host as user.
  static bool OnlyFtpUser(const Origins& chain, const std::string& host, const std::string& user);

private:
  Origins TopLevelOrigins;
  Origins SourceOrigins;
  std::set<std::pair<std::string, std::string>> Inputs;  // input name, origin
  bool IsTainted = false;
};
