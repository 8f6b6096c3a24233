#pragma once
// A document type: title and file patterns for the file dialogs, highlighter,
// autocompletion with its schema, previewers, context help and the name
// proposed for new documents. Each type lives in a definition file of its own
// ("<name>.config" in a sub-folder of the program's "help/" folder) with an
// optional schema "<name>.pvcs" and a "blanks/" folder of new-file templates
// beside it.
//
// The definition file: twelve lines, each ending in CR LF:
//   <filetype
//     id="xml" title="XML Files"
//     mimetype="text/xml" filter="*.xml;*.xsd"
//     preview1="*"
//     preview2=""
//     preview3=""
//     helpfile="help/xml/xml.html"
//     newfilename="new"
//     highlighter="XML"
//     autocomplete="True"
//     index="0"
//   />
// Every value is written with "&", "<", double and single quotes as
// entity references and decoded when read, so any text survives a write and
// a read; a value without those characters is written unchanged.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/TAutoCompleteSchema.h"

class TXMLParser;

class TFileType {
public:
  explicit TFileType(std::string configFile);
  TFileType(const TFileType&) = delete;
  TFileType& operator=(const TFileType&) = delete;

  std::string Id;         // also the key in the document-type list; lookups ignore case
  std::string MimeType;
  std::string Title;      // shown in lists and file-dialog filters
  std::string Filter;     // patterns separated by ";", e.g. "*.xml;*.xsl"
  std::string Preview1;   // "" disabled, "*" associated program, else a command with "%1"
  std::string Preview2;
  std::string Preview3;
  std::string HelpFile;   // context help: absolute, an address, or relative to the program folder
  std::int32_t Index = 0; // ordering key in the list
  std::string Highlighter; // "XML", "CSS", "PHP"
  std::string NewFileName = "new";
  std::string ConfigFile; // full path of the definition file
  bool AutoComplete = false;
  std::unique_ptr<TAutoCompleteSchema> Schema; // never null; empty until loaded

  // Reads the definition file, then (autocompletion on and a schema file
  // present) the schema. Raises the file layer's EFOpenError.
  void LoadFromFile();
  // The two halves of LoadFromFile. LoadDefinition returns whether the file
  // held a "filetype" element.
  bool LoadDefinition();
  void LoadSchema();
  // ConfigFile with its extension replaced by ".pvcs" (appended without one).
  std::string GetSchemaFile() const;

  // Replaces the definition file with GetXML() (atomically: a failed write
  // leaves the old file). Raises EFCreateError. The schema is never written.
  void SaveToFile() const;
  std::string GetXML() const;
  // Reads a definition text into the fields; every "filetype" element
  // overwrites them in turn. Returns whether there was one.
  bool Parse(const std::string& text);

  // Extension of the first pattern of Filter, "." included ("*.xml;*.xsl" gives
  // ".xml"); empty when the pattern has no extension.
  std::string GetDefaultExt() const;
  // HelpFile as a usable path: unchanged when empty, containing ":" or
  // beginning with "/" or "\"; else prefixed with ProgramFolder().
  std::string GetHelpFile() const;
  void SetHighlighter(const std::string& name);

  void ParserStartTag(TXMLParser& sender, const std::string& name,
                      const std::vector<std::string>& attributes, bool empty);

private:
  bool FoundTag_ = false;
};
