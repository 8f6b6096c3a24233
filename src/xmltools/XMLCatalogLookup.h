#pragma once
// Looks identifiers up in the system's XML catalog (libxml2's: /etc/xml/catalog
// or the files that XML_CATALOG_FILES names) for the entity loader. What the
// catalog resolves loads without further checks in any run, so the lookup
// keeps a system identifier from leaving the folder its entry names: the
// identifier is normalised first ("." and ".." segments, also written as
// %2E and %2F, are resolved, so that "http://example.org/dtds/../x" is
// looked up as "http://example.org/x"), and a local result must lie, once
// normalised, inside the folder the entry gives.

#include <string>

struct XMLCatalogAnswer {
  std::string Resolved;  // what the catalog maps the identifiers to; empty: it knows neither
  std::string Refusal;   // why the result may not be read; empty when it may
};

XMLCatalogAnswer CatalogLookup(const char* publicId, const char* systemId);

// url with its path's "." and ".." segments resolved (percent-encoded dots
// and slashes taken as what they stand for).
std::string NormalisedSystemId(const std::string& url);
